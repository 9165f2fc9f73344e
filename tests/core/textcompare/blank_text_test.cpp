#include "core/textcompare/blank_text.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

TEST(BlankText, HalfAndFullWidthSpacesAndTabsAreLeftOut) {
  const struct {
    const char* a;
    const char* b;
    bool equal;
    const char* bare;  // of a
  } cases[] = {
      {"a b", "ab", true, "ab"},
      {"\ta\t", "a", true, "a"},
      {"全角　空白", "全角空白", true, "全角空白"},
      {"  ", "", true, ""},
      {"a b", "a c", false, "ab"},
      {"ab", "abc", false, "ab"},
      // Another character that shares the full-width space's first bytes is no blank.
      {"\xE3\x80\x81", "", false, "\xE3\x80\x81"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EqualIgnoringBlanks(c.a, c.b), c.equal) << c.a << "|" << c.b;
    EXPECT_EQ(EqualIgnoringBlanks(c.b, c.a), c.equal) << c.a << "|" << c.b;
    EXPECT_EQ(WithoutBlanks(c.a), c.bare);
    EXPECT_EQ(WithoutBlanks(c.a) == WithoutBlanks(c.b), c.equal);
  }
}

}  // namespace
}  // namespace tarvex
