#include "core/textcompare/display_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/textcompare/hex_dump.h"
#include "support/align_reference.h"

namespace tarvex {
namespace {

using Lines = std::vector<std::string>;

CompareSide TextSide(const Lines& lines) { return testing::MakeTextRows(lines, {}).Main(); }

CompareSide HexSide(const std::string& bytes) {
  CompareSide side;
  Lines dump;
  AppendHexDump(bytes, dump);
  side.Lines = dump;
  SetCodesAndLineNos(side);
  return side;
}

TEST(DisplayLines, TextInTheFilesEncodingWithTabsExpanded) {
  const struct {
    Lines lines;
    DisplayEncoding encoding;
    Lines shown;
  } cases[] = {
      {{"a\tb", "12345678\tc", "\t"},
       DisplayEncoding::Utf8,
       {"a       b", "12345678        c", "        "}},
      // Full-width characters take two columns, also the ones that CP932 holds (→).
      {{"日本\tx", "ｱ\tx", "→\tx"}, DisplayEncoding::Utf8, {"日本    x", "ｱ       x", "→      x"}},
      // One line that is not UTF-8 makes the whole file CP932.
      {{"\x93\xFA\x96\x7B\tx", "plain"}, DisplayEncoding::Cp932, {"日本    x", "plain"}},
      {{"\x93\xFA\xFF"}, DisplayEncoding::Cp932, {"日\xEF\xBF\xBD"}},
      {{"\xE6\x97\xA5\xFF"}, DisplayEncoding::Cp932, {"譌･\xEF\xBF\xBD"}},
      {{"a\x1B[0m\rb\x7F"}, DisplayEncoding::Utf8, {"a␛[0m␍b␡"}},
      {{}, DisplayEncoding::Utf8, {}},
  };
  for (const auto& c : cases) {
    const CompareSide side = TextSide(c.lines);
    EXPECT_EQ(ChooseDisplayEncoding(side, CompareMode::Text), c.encoding);
    EXPECT_EQ(DisplayLines(side, CompareMode::Text), c.shown);
  }
}

TEST(DisplayLines, GapRowsStayEmpty) {
  CompareSide side = TextSide({"\x93\xFA", ""});
  side.LineNos[1] = GapLineNo;
  side.Codes[1] = GapCode;
  EXPECT_EQ(DisplayLines(side, CompareMode::Text), (Lines{"日", ""}));
}

TEST(DisplayLines, HexTextColumnReadableInEitherEncoding) {
  const std::string head = "ABCDEFGHIJKLMNO";
  // Shift_JIS: the dump's own column, decoded; the character across the row end shows in both.
  CompareSide side = HexSide(head +
                             "\x82\xA0"
                             "Z\x01");
  ASSERT_EQ(ChooseDisplayEncoding(side, CompareMode::Hex), DisplayEncoding::Cp932);
  Lines shown = DisplayLines(side, CompareMode::Hex);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], std::string(side.Lines[0].substr(0, 53)) + head + "あ");
  EXPECT_EQ(shown[1], std::string(side.Lines[1].substr(0, 49)) + " : あZ." + std::string(13, ' '));

  // UTF-8: every character shown whole in the row where it starts.
  side = HexSide(head + "あ\x01" + "b");
  ASSERT_EQ(ChooseDisplayEncoding(side, CompareMode::Hex), DisplayEncoding::Utf8);
  shown = DisplayLines(side, CompareMode::Hex);
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0], std::string(side.Lines[0].substr(0, 53)) + head + "あ");
  EXPECT_EQ(shown[1], std::string(side.Lines[1].substr(0, 49)) + " :  .b");
}

}  // namespace
}  // namespace tarvex
