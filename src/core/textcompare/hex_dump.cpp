#include "core/textcompare/hex_dump.h"

#include "core/textcompare/file_bytes.h"

namespace tarvex {
namespace {

void AppendHexByte(std::string& row, unsigned char b) {
  static constexpr char digits[] = "0123456789ABCDEF";
  row += digits[b >> 4];
  row += digits[b & 0x0F];
  row += ' ';
}

}  // namespace

void AppendHexDump(std::string_view bytes, std::vector<std::string>& rows) {
  const std::size_t size = bytes.size();
  auto byteAt = [&](std::size_t offset) -> unsigned char {
    return offset < size ? static_cast<unsigned char>(bytes[offset]) : 0x20;
  };
  rows.reserve(rows.size() + (size + 15) / 16);
  bool carry = false;  // the previous row ended with a lead byte whose trail byte opens this row
  for (std::size_t p = 0; p < size; p += 16) {
    std::string row;
    row.reserve(70);
    for (std::size_t o = p; o < p + 16; ++o) {
      if (o == p + 8) row += ' ';
      if (o < size) {
        AppendHexByte(row, static_cast<unsigned char>(bytes[o]));
      } else {
        row += "   ";
      }
    }
    if (carry) {
      row += " : ";
      row += bytes[p - 1];
    } else {
      row += " :  ";
    }
    char text[16];
    for (std::size_t t = 0; t < 16; ++t) {
      const unsigned char b = byteAt(p + t);
      const bool stands = LeadByteSet.Contains(b) || (carry && TrailByteSet.Contains(b)) ||
                          PlainByteSet.Contains(b);
      text[t] = stands ? static_cast<char>(b) : '.';
      if (carry) {
        carry = false;
      } else if (LeadByteSet.Contains(b)) {
        carry = true;
      }
    }
    const unsigned char next = byteAt(p + 16);
    if (carry && !TrailByteSet.Contains(next)) {
      text[15] = '.';
      carry = false;
    }
    row.append(text, sizeof text);
    if (carry) row += static_cast<char>(next);
    rows.push_back(std::move(row));
  }
}

std::int64_t LoadHexDump(const std::string& path, std::vector<std::string>& rows) {
  const FileBytes file = ReadFileBytes(path);
  if (!file) return -1;
  AppendHexDump(file.Bytes, rows);
  return static_cast<std::int64_t>(file.Bytes.size());
}

}  // namespace tarvex
