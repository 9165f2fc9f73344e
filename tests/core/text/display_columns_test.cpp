#include "core/text/display_columns.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvex {
namespace {

TEST(DisplayColumns, WideCharactersTakeTwoColumnsAsInShiftJis) {
  struct Case {
    std::string text;
    int columns;
    std::string blanked;
  };
  const Case cases[] = {
      {"", 0, ""},
      {"abc", 3, "   "},
      {"あい", 4, "　　"},
      {"（１）", 6, "　　　"},
      {"ｱｲ", 2, "  "},          // half-width katakana: single bytes in Shift_JIS
      {"●○※→", 8, "　　　　"},  // ambiguous width, double bytes in Shift_JIS
      {"・", 2, "　"},
      {"　 ", 3, "　 "},
      {"a\tb", 3, "   "},
      {"\xFF\xE3\x81", 3, "   "},  // bytes that are not UTF-8 count one column each
      {"𠀋", 2, "　"},             // outside the basic plane
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DisplayColumns(c.text), c.columns) << c.text;
    EXPECT_EQ(BlankedText(c.text), c.blanked) << c.text;
  }
}

}  // namespace
}  // namespace tarvex
