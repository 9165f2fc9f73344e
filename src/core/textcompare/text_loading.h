#pragma once
// The text test that decides a comparison's mode, and a file's bytes taken as text lines.

#include <string>
#include <string_view>
#include <vector>

#include "core/text/line_split.h"

namespace tarvex {

// Text unless some byte is a control code other than 0x08-0x0D (backspace, tab, line feed,
// vertical tab, form feed, carriage return); empty bytes are not text.
bool IsTextBytes(std::string_view bytes);

// The text test of one whole file: false when it cannot be opened or read, or is empty.
bool IsTextFile(const std::string& path);

// The lines of a file's bytes, taken as they are (no code-page conversion): a line ends at CR LF,
// a lone CR or a lone LF, a final terminator starts no further line, and the text ends at the
// first 0x00 byte (only a sub file that is not text can have one).
std::vector<std::string> TextLines(std::string_view bytes);

// Calls each(line) for the lines of TextLines(bytes) in order, without making them strings.
template <typename Each>
void ForEachTextLine(std::string_view bytes, Each each) {
  ForEachLine(bytes.substr(0, bytes.find('\0')), each);
}

}  // namespace tarvex
