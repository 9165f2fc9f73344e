#pragma once
// The comma text in which pattern lists are stored.

#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// Items joined by ","; an item holding a blank, a control character, a comma or a double quote is
// double-quoted with inner quotes doubled. One empty item gives "\"\"", no items the empty text.
std::string WriteCommaText(const std::vector<std::string>& items);

// Blanks outside double quotes separate items just as commas do; a trailing comma adds one empty
// item.
std::vector<std::string> ReadCommaText(std::string_view text);

}  // namespace tarvex
