#include "core/textcompare/line_code.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace tarvex {
namespace {

TEST(LineCode, KnownCodes) {
  std::string spread;
  for (int i = 0; i < 100000; ++i) spread += static_cast<char>((i * 37) & 0xFF);
  const struct {
    std::string text;
    std::int32_t code;
  } cases[] = {
      {"", 0},
      {"a", 102037},
      {"abc", 305711},
      {std::string(9999, 'x'), 43865070},         // below 10000 bytes: 100000 per byte to start
      {std::string(10000, 'x'), 44000630},        // from 10000 bytes: n + 1000000000, then reduced
      {std::string(40000, '\xFF'), -2071119056},  // wrapped past 2^31: stays negative
      {spread, -1682896809},
  };
  for (const auto& c : cases) EXPECT_EQ(LineCode(c.text), c.code) << c.text.size() << " bytes";
}

// The formula as written, step for step, in 64-bit arithmetic reduced to 32 bits after each step.
std::int32_t ReferenceLineCode(const std::string& text) {
  const auto wrap = [](std::int64_t v) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
  };
  const auto n = static_cast<std::int64_t>(text.size());
  std::int32_t h = wrap(n < 10000 ? 100000 * n : n + 1000000000);
  std::int64_t q = 0;
  for (std::int64_t i = 1; i <= n; ++i) {
    const std::int64_t c = static_cast<unsigned char>(text[static_cast<std::size_t>(i - 1)]);
    const std::int32_t seven = wrap(7 * i);
    h = wrap(std::int64_t{h} + c * (seven % 239 + 1) + 13 * (q > c ? q - c : c - q));
    q = c;
  }
  return h > 100000000 ? h % 100000000 + 3110 : h;
}

TEST(LineCode, AsTheFormulaOnRandomTexts) {
  std::mt19937 rng(12);
  for (int round = 0; round < 3000; ++round) {
    // Lengths around the weights' period of 239 bytes and the 10000-byte start value.
    const std::size_t lengths[] = {0, 1, 238, 239, 240, 478, 9999, 10000};
    const std::size_t length =
        round < 8 ? lengths[round] : std::uniform_int_distribution<std::size_t>(0, 1200)(rng);
    std::string text(length, '\0');
    const int alphabet = round % 3 == 0 ? 256 : 4;
    for (char& c : text)
      c = static_cast<char>(std::uniform_int_distribution<int>(0, alphabet - 1)(rng) *
                            (256 / alphabet));
    ASSERT_EQ(LineCode(text), ReferenceLineCode(text)) << length << " bytes";
  }
}

TEST(LineCode, DifferentTextsCanShareACode) {
  // Why equal rows also need equal texts.
  EXPECT_EQ(LineCode("acf"), LineCode("afa"));
  EXPECT_NE(LineCode("ab"), LineCode("ba"));
}

}  // namespace
}  // namespace tarvex
