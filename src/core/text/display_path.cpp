#include "core/text/display_path.h"

#include "core/text/text_encoding.h"

namespace tarvex {
namespace {

// Control characters shown as their pictures (U+2400.., U+2421): a line break in a name must not
// start a new log line, which could then pass for a line of the command's own, nor a new line in
// a grid cell.
std::string ShowControls(std::string text) {
  std::string shown;
  for (const char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) {
      const unsigned picture = b == 0x7F ? 0x2421u : 0x2400u + b;
      shown += static_cast<char>(0xE0 | (picture >> 12));
      shown += static_cast<char>(0x80 | ((picture >> 6) & 0x3F));
      shown += static_cast<char>(0x80 | (picture & 0x3F));
    } else {
      shown += c;
    }
  }
  return shown;
}

}  // namespace

std::string DisplayPath(std::string_view path) {
  std::string shown;
  shown.reserve(path.size());
  for (;;) {
    const std::size_t slash = path.find('/');
    shown += ShowControls(DisplayText(path.substr(0, slash)));
    if (slash == std::string_view::npos) return shown;
    shown += '/';
    path.remove_prefix(slash + 1);
  }
}

}  // namespace tarvex
