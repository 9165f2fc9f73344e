#pragma once
// Lines of a text file as the settings file, the text compare and the help text read them: a line
// ends at CR LF, a lone CR or a lone LF, and a terminator at the very end starts no further line.

#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// Takes the next line off the front of rest (without its terminator); false when rest is empty.
bool NextLine(std::string_view& rest, std::string_view& line);

std::vector<std::string_view> SplitLines(std::string_view text);

}  // namespace tarvex
