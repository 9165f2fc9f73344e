#include "core/textcompare/line_code.h"

#include <algorithm>
#include <cstddef>

namespace tarvex {

std::int32_t LineCode(std::string_view text) {
  // Unsigned arithmetic gives the 32-bit wrap-around without signed overflow; the result is read
  // back as signed at the end.
  const auto n = static_cast<std::uint32_t>(text.size());
  std::uint32_t h = n < 10000 ? 100000u * n : n + 1000000000u;
  auto add = [&h, previous = 0u](std::uint32_t c, std::uint32_t weight) mutable {
    h += c * weight + 13u * (c > previous ? c - previous : previous - c);
    previous = c;
  };
  // Up to this position 7 * i stays below 2^31, and its remainder can be carried from byte to
  // byte instead of dividing for every byte.
  constexpr std::size_t kPlainUntil = 0x7FFFFFFFu / 7;
  const std::size_t plain = std::min(text.size(), kPlainUntil);
  std::uint32_t remainder = 0;  // 7 * i mod 239
  for (std::size_t pos = 0; pos < plain; ++pos) {
    remainder += 7;
    if (remainder >= 239) remainder -= 239;
    add(static_cast<unsigned char>(text[pos]), remainder + 1);
  }
  for (std::size_t pos = plain; pos < text.size(); ++pos) {
    // The signed product has wrapped: a negative remainder, as the 32-bit arithmetic gives.
    const auto product = static_cast<std::int32_t>(7u * static_cast<std::uint32_t>(pos + 1));
    add(static_cast<unsigned char>(text[pos]), static_cast<std::uint32_t>(product % 239 + 1));
  }
  const auto code = static_cast<std::int32_t>(h);
  return code > 100000000 ? code % 100000000 + 3110 : code;
}

}  // namespace tarvex
