#include "core/text/utf8.h"

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

}  // namespace tarvex
