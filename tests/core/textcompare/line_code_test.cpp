#include "core/textcompare/line_code.h"

#include <gtest/gtest.h>

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

TEST(LineCode, DifferentTextsCanShareACode) {
  // Why equal rows also need equal texts.
  EXPECT_EQ(LineCode("acf"), LineCode("afa"));
  EXPECT_NE(LineCode("ab"), LineCode("ba"));
}

}  // namespace
}  // namespace tarvex
