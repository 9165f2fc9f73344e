#include "core/textcompare/text_loading.h"

#include <algorithm>

#include "core/text/line_split.h"
#include "core/textcompare/file_bytes.h"

namespace tarvex {

bool IsTextBytes(std::string_view bytes) {
  if (bytes.empty()) return false;
  return std::none_of(bytes.begin(), bytes.end(), [](char ch) {
    const auto b = static_cast<unsigned char>(ch);
    return b <= 0x07 || (b >= 0x0E && b <= 0x1F);
  });
}

bool IsTextFile(const std::string& path) {
  const FileBytes file = ReadFileBytes(path);
  return file && IsTextBytes(file.Bytes);
}

std::vector<std::string> TextLines(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\0'));
  std::vector<std::string> lines;
  lines.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
  std::string_view line;
  while (NextLine(bytes, line)) lines.emplace_back(line);
  return lines;
}

}  // namespace tarvex
