#include "core/textcompare/text_loading.h"

#include <algorithm>

#include "core/textcompare/file_bytes.h"

namespace tarvex {

bool IsTextBytes(std::string_view bytes) {
  if (bytes.empty()) return false;
  const auto isControl = [](unsigned char b) {
    return static_cast<unsigned char>((b <= 0x07) | (static_cast<unsigned char>(b - 0x0E) <= 0x11));
  };
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  // Blocks of a fixed length without an exit inside compile to vector compares.
  constexpr std::size_t Block = 64;
  std::size_t i = 0;
  for (; i + Block <= bytes.size(); i += Block) {
    unsigned char found = 0;
    for (std::size_t k = 0; k < Block; ++k) found |= isControl(p[i + k]);
    if (found != 0) return false;
  }
  for (; i < bytes.size(); ++i) {
    if (isControl(p[i]) != 0) return false;
  }
  return true;
}

bool IsTextFile(const std::string& path) {
  const FileBytes file = ReadFileBytes(path);
  return file && IsTextBytes(file.Bytes);
}

std::vector<std::string> TextLines(std::string_view bytes) {
  std::vector<std::string> lines;
  ForEachTextLine(bytes, [&lines](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

}  // namespace tarvex
