#pragma once
// Widths of text in display columns, as a terminal or a fixed-pitch Japanese font lays it out: a
// wide character takes two columns, a narrow one one. This is what byte counts measured in the
// Shift_JIS texts of old Japanese programs, where every double-byte character was a wide one.

#include <string>
#include <string_view>

namespace tarvex {

// Columns of one character given as its UTF-8 bytes: 2 for East Asian wide, full-width and
// ambiguous characters (such as "●" and "○", double-byte in Shift_JIS), else 1. A byte that is
// not UTF-8 counts as one narrow character.
int CharColumns(std::string_view character);

int DisplayColumns(std::string_view text);

// Every wide character replaced by "　" and every narrow one by " ": a text of blanks as wide as
// the text.
std::string BlankedText(std::string_view text);

}  // namespace tarvex
