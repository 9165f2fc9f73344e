#pragma once
// The indent that the continuation lines of a wrapped help line get, so that they line up under
// the text of a bullet ("・", "●") or of a single-digit number in brackets ("(1) ", "（１）").

#include <string>
#include <string_view>

namespace tarvex {

// The line's leading spaces (" " and "　") as they are, then: "　" after "・" or "●"; the blanked
// form of "(" or "（", one digit ("0"-"9", "０"-"９") and ")" or "）", and of one space after
// them. Anything else adds nothing. Empty when this takes up the whole line.
std::string HangingIndent(std::string_view line);

}  // namespace tarvex
