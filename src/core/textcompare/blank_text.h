#pragma once
// Lines compared without their blanks: half-width spaces, tabs and full-width spaces (U+3000 in
// UTF-8) are left out, so a line that differs only in indentation or spacing counts as equal.

#include <string>
#include <string_view>

namespace tarvex {

std::string WithoutBlanks(std::string_view text);

// WithoutBlanks(a) == WithoutBlanks(b), without building either.
bool EqualIgnoringBlanks(std::string_view a, std::string_view b);

}  // namespace tarvex
