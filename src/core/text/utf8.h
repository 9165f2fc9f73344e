#pragma once
// One character of a byte text: a valid UTF-8 multi-byte sequence is one character, any other
// byte is a character of its own, so a name that is not UTF-8 is still walked byte by byte.

#include <cstddef>
#include <string_view>

namespace tarvex {

// Length in bytes of the character that starts at text[pos]: the length of a valid UTF-8
// sequence, else 1.
std::size_t Utf8CharLength(std::string_view text, std::size_t pos);

}  // namespace tarvex
