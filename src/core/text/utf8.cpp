#include "core/text/utf8.h"

#include "core/text/text_encoding.h"

namespace tarvex {

std::size_t Utf8CharLength(std::string_view text, std::size_t pos) {
  const auto b0 = static_cast<unsigned char>(text[pos]);
  if (b0 < 0x80) return 1;
  std::size_t len;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3;
    if (b0 == 0xE0) lo = 0xA0;
    if (b0 == 0xED) hi = 0x9F;  // no surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4;
    if (b0 == 0xF0) lo = 0x90;
    if (b0 == 0xF4) hi = 0x8F;
  } else {
    return 1;
  }
  if (pos + len > text.size()) return 1;
  const auto b1 = static_cast<unsigned char>(text[pos + 1]);
  if (b1 < lo || b1 > hi) return 1;
  for (std::size_t i = 2; i < len; ++i) {
    const auto b = static_cast<unsigned char>(text[pos + i]);
    if (b < 0x80 || b > 0xBF) return 1;
  }
  return len;
}

bool WidenPrintableUtf8(std::string_view text, std::u16string& out) {
  // A leading byte order mark is dropped by the toolkit's decoding, so the shown text is not the
  // stored one.
  if (text.starts_with("\xEF\xBB\xBF") || !IsValidUtf8(text)) return false;
  out.clear();
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = p + text.size();
  while (p < end) {
    const unsigned b = *p;
    if (b < 0x80) {
      if (b < 0x20 || b == 0x7F) return false;
      out += static_cast<char16_t>(b);
      ++p;
    } else if (b < 0xE0) {
      out += static_cast<char16_t>(((b & 0x1F) << 6) | (p[1] & 0x3F));
      p += 2;
    } else if (b < 0xF0) {
      out += static_cast<char16_t>(((b & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F));
      p += 3;
    } else {
      const unsigned c =
          ((b & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      p += 4;
    }
  }
  return true;
}

}  // namespace tarvex
