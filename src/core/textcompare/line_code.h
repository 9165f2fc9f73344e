#pragma once
// The 32-bit code of one row's text: the fast first test of whether two rows are equal, and the
// key by which the alignment finds matching lines.

#include <cstdint>
#include <string_view>

namespace tarvex {

// A weighted sum of the bytes and of the steps between neighbouring bytes, in 32-bit arithmetic
// that wraps around, reduced below 100003110 when it ends above 100000000. Different texts can
// share a code. "" gives 0, "a" 102037, "abc" 305711.
std::int32_t LineCode(std::string_view text);

}  // namespace tarvex
