#pragma once
// Lines of a text file as the settings file, the text compare and the help text read them: a line
// ends at CR LF, a lone CR or a lone LF, and a terminator at the very end starts no further line.

#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// Takes the next line off the front of rest (without its terminator); false when rest is empty.
bool NextLine(std::string_view& rest, std::string_view& line);

// Calls each(line) for every line of text in order.
template <typename Each>
void ForEachLine(std::string_view text, Each each) {
  std::string_view line;
  if (text.find('\r') != std::string_view::npos) {
    while (NextLine(text, line)) each(line);
    return;
  }
  // Only LF ends a line here, and the library's search for one byte is the fastest there is.
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    each(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
}

std::vector<std::string_view> SplitLines(std::string_view text);

}  // namespace tarvex
