#pragma once
// One character of a byte text: a valid UTF-8 multi-byte sequence is one character, any other
// byte is a character of its own, so a name that is not UTF-8 is still walked byte by byte.

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvex {

// Length in bytes of the character that starts at text[pos]: the length of a valid UTF-8
// sequence, else 1.
std::size_t Utf8CharLength(std::string_view text, std::size_t pos);

// The UTF-16 of a text that is valid UTF-8, holds no control character and does not start with a
// byte order mark (a path shown as it is stored), into out; false, with out undefined, otherwise.
bool WidenPrintableUtf8(std::string_view text, std::u16string& out);

}  // namespace tarvex
