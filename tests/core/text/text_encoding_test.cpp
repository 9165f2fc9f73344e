#include "core/text/text_encoding.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

TEST(DisplayText, Utf8ThenCp932ThenReplacement) {
  const struct {
    std::string bytes;
    std::string shown;
  } cases[] = {
      {"plain.txt", "plain.txt"},
      {"日本語.txt", "日本語.txt"},
      {"\x93\xfa\x96\x7b.txt", "日本.txt"},  // Shift_JIS
      {"\x83\x5c", "ソ"},                    // trail byte equal to the backslash code
      {"a\xff", "a\xEF\xBF\xBD"},            // neither: the bad byte is marked
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DisplayText(c.bytes), c.shown) << c.bytes;
  EXPECT_TRUE(IsValidUtf8("日本"));
  EXPECT_FALSE(IsValidUtf8("\xed\xa0\x80"));  // a surrogate is not valid UTF-8
  EXPECT_FALSE(IsValidUtf8("\xe3\x81"));
}

}  // namespace
}  // namespace tarvex
