#include "core/report/xml_text.h"

#include <gtest/gtest.h>

#include "core/text/text_encoding.h"

namespace tarvex {
namespace {

TEST(XmlText, WhatXmlCannotHoldIsEscapedInCellsAndReplacedInAttributes) {
  const std::string replacement = "\xEF\xBF\xBD";
  struct Case {
    std::string text;
    std::string cell;
    std::string attribute;
  };
  const Case cases[] = {
      {"a b/テスト.txt", "a b/テスト.txt", "a b/テスト.txt"},
      // Tab, LF and CR are XML characters; other C0 controls the library escapes in cells.
      {"a\tb\nc\rd", "a\tb\nc\rd", "a\tb\nc\rd"},
      {std::string("\x01x\x1F\0", 4), std::string("\x01x\x1F\0", 4),
       replacement + "x" + replacement + replacement},
      {"a\xEF\xBF\xBE"
       "b\xEF\xBF\xBF",
       "a_xFFFE_b_xFFFF_", "a" + replacement + "b" + replacement},
      // A surrogate encoded in UTF-8 and stray bytes are no characters: one U+FFFD per byte.
      {"\xED\xA0\x80!\xFF", replacement + replacement + replacement + "!" + replacement,
       replacement + replacement + replacement + "!" + replacement},
      // Neighbours of the refused code points stay: U+FFFD, U+FFFC, U+FDD0, U+10FFFF, U+1FFFE.
      {"\xEF\xBF\xBD\xEF\xBF\xBC\xEF\xB7\x90\xF4\x8F\xBF\xBF\xF0\x9F\xBF\xBE",
       "\xEF\xBF\xBD\xEF\xBF\xBC\xEF\xB7\x90\xF4\x8F\xBF\xBF\xF0\x9F\xBF\xBE",
       "\xEF\xBF\xBD\xEF\xBF\xBC\xEF\xB7\x90\xF4\x8F\xBF\xBF\xF0\x9F\xBF\xBE"},
      // A truncated sequence at the end.
      {"x\xEF\xBF", "x" + replacement + replacement, "x" + replacement + replacement},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CellXmlText(c.text), c.cell) << ::testing::PrintToString(c.text);
    EXPECT_EQ(AttributeXmlText(c.text), c.attribute) << ::testing::PrintToString(c.text);
    // The shortcut for valid UTF-8 agrees with both.
    if (IsValidUtf8(c.text)) {
      EXPECT_EQ(XmlHoldsValidUtf8(c.text), c.cell == c.text && c.attribute == c.text)
          << ::testing::PrintToString(c.text);
    }
  }
}

}  // namespace
}  // namespace tarvex
