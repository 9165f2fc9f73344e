#include "core/text/format_text.h"

#include <ctime>

#include <cstdarg>
#include <cstdio>

namespace tarvex {

std::string FormatText(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int size = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text;
  if (size > 0) {
    text.resize(static_cast<std::size_t>(size));
    std::vsnprintf(text.data(), text.size() + 1, format, again);
  }
  va_end(again);
  return text;
}

std::string LocalTimeNowText() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char text[32] = "";
  if (localtime_r(&now, &local) != nullptr) {
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
  }
  return text;
}

}  // namespace tarvex
