#include "core/textcompare/line_code.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>

namespace tarvex {
namespace {

// The weight (7 * i mod 239) + 1 of the byte at position i repeats every 239 bytes, as long as
// 7 * i stays below 2^31. A weight times a byte stays below 2^16.
constexpr std::size_t WeightPeriod = 239;
constexpr std::array<std::int16_t, WeightPeriod> Weights = [] {
  std::array<std::int16_t, WeightPeriod> w{};
  for (std::size_t k = 0; k < WeightPeriod; ++k)
    w[k] = static_cast<std::int16_t>(7 * (k + 1) % 239 + 1);
  return w;
}();

// Bytes taken at once: a block of this fixed length compiles to vector multiply-adds and sums
// of absolute differences, and its sums stay far below 2^31.
constexpr std::size_t Block = 16;

}  // namespace

std::int32_t LineCode(std::string_view text) {
  // The sum of the weighted bytes and the sum of the steps |q - c| between neighbours are taken
  // apart and joined at the end; unsigned arithmetic gives the 32-bit wrap-around without signed
  // overflow, and the result is read back as signed.
  const auto n = static_cast<std::uint32_t>(text.size());
  std::uint32_t weighted = n < 10000 ? 100000u * n : n + 1000000000u;
  std::uint32_t steps = 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const auto step = [](std::uint32_t c, std::uint32_t q) { return c > q ? c - q : q - c; };
  std::uint32_t previous = 0;
  constexpr std::size_t PlainUntil = 0x7FFFFFFFu / 7;
  const std::size_t plain = std::min(text.size(), PlainUntil);
  for (std::size_t start = 0; start < plain; start += WeightPeriod) {
    const std::size_t count = std::min(WeightPeriod, plain - start);
    const unsigned char* chunk = bytes + start;
    weighted += chunk[0] * static_cast<std::uint32_t>(Weights[0]);
    steps += step(chunk[0], previous);
    std::size_t k = 1;
    for (; k + Block <= count; k += Block) {
      std::int32_t blockWeighted = 0;
      std::int32_t blockSteps = 0;
      const unsigned char* at = chunk + k;
      const unsigned char* before = at - 1;
      const std::int16_t* weight = Weights.data() + k;
      for (std::size_t t = 0; t < Block; ++t) {
        blockWeighted += static_cast<std::int16_t>(at[t]) * weight[t];
        blockSteps += std::abs(static_cast<int>(at[t]) - static_cast<int>(before[t]));
      }
      weighted += static_cast<std::uint32_t>(blockWeighted);
      steps += static_cast<std::uint32_t>(blockSteps);
    }
    for (; k < count; ++k) {
      weighted += chunk[k] * static_cast<std::uint32_t>(Weights[k]);
      steps += step(chunk[k], chunk[k - 1]);
    }
    previous = chunk[count - 1];
  }
  for (std::size_t pos = plain; pos < text.size(); ++pos) {
    // The signed product has wrapped: a negative remainder, as the 32-bit arithmetic gives.
    const auto product = static_cast<std::int32_t>(7u * static_cast<std::uint32_t>(pos + 1));
    weighted += bytes[pos] * static_cast<std::uint32_t>(product % 239 + 1);
    steps += step(bytes[pos], previous);
    previous = bytes[pos];
  }
  const auto code = static_cast<std::int32_t>(weighted + 13u * steps);
  return code > 100000000 ? code % 100000000 + 3110 : code;
}

}  // namespace tarvex
