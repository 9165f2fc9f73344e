#include "core/help/hanging_indent.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvex {
namespace {

TEST(HangingIndent, BulletsNumbersAndLeadingSpaces) {
  struct Case {
    std::string line;
    std::string indent;
  };
  const Case cases[] = {
      {"・項目", "　"},
      {"●見出し", "　"},
      {"  ●説明", "  　"},
      {"　 ・混ざった空白", "　 　"},
      {"(1) 手順", "    "},
      {"(1)手順", "   "},
      {"（１）　手順", "　　　　"},
      {"（１） 手順", "　　　 "},
      {"(０）手順", " 　　"},
      {"（9)x", "　  "},
      {"(12) 二桁", ""},
      {"(a) 文字", ""},
      {"(1 手順", ""},
      {"  (12) 二桁の前の空白は残る", "  "},
      {"  普通の段落", "  "},
      {"普通の行", ""},
      {"・ 中黒のあとの空白は数えない", "　"},
      {"*・中黒が先頭でない", ""},
      // Taking characters up to the end of the line leaves no indent.
      {"", ""},
      {"   ", ""},
      {"　・", ""},
      {"(1)", ""},
      {"(1) ", ""},
      {"(", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HangingIndent(c.line), c.indent) << "line: \"" << c.line << "\"";
  }
}

}  // namespace
}  // namespace tarvex
