#pragma once
// A file that is not text, shown as rows of 16 bytes: the bytes in hexadecimal, then a text column
// that keeps Shift_JIS double-byte characters whole, also across the end of a row.

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// A fixed set of byte values.
class ByteSet {
 public:
  struct Range {
    unsigned char First;
    unsigned char Last;
  };
  constexpr ByteSet(std::initializer_list<Range> ranges) {
    for (const Range& r : ranges) {
      for (unsigned b = r.First; b <= r.Last; ++b) bits_[b / 64] |= std::uint64_t{1} << (b % 64);
    }
  }
  constexpr bool Contains(unsigned char b) const { return (bits_[b / 64] >> (b % 64)) & 1; }

 private:
  std::array<std::uint64_t, 4> bits_{};
};

// Byte classes of Shift_JIS as the text column reads them. The lead bytes end at 0xEF: 0xF0-0xFC
// (user-defined characters) are shown as ".".
inline constexpr ByteSet LeadByteSet{{0x81, 0x9F}, {0xE0, 0xEF}};
inline constexpr ByteSet TrailByteSet{{0x40, 0x7E}, {0x80, 0xFC}};
inline constexpr ByteSet PlainByteSet{{0x20, 0x7E}, {0xA1, 0xDF}};

// Appends the dump rows of bytes to rows: one row per 16 bytes (rounded up), none for no bytes.
// A row is "41 42 ... 48  49 ... 50  :  ABCDEFGHIJKLMNOP": eight bytes, a blank, eight bytes, the
// separator and the 16 characters. A lead byte that ends a row takes its trail byte along as a
// 17th character, and the next row's separator " : " repeats the lead byte, so that both rows
// show the character whole.
void AppendHexDump(std::string_view bytes, std::vector<std::string>& rows);

// Reads the file at path whole and appends its dump rows; returns the number of bytes read, or -1
// (adding nothing) when the file cannot be opened or read.
std::int64_t LoadHexDump(const std::string& path, std::vector<std::string>& rows);

}  // namespace tarvex
