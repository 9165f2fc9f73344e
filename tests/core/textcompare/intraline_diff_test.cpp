#include "core/textcompare/intraline_diff.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/textcompare/hex_dump.h"

namespace tarvex {
namespace {

using Ranges = std::vector<TextRange>;

TEST(IntralineDiff, MarksTheDifferingUnits) {
  const struct {
    std::u32string main;
    std::u32string sub;
    Ranges mainRanges;
    Ranges subRanges;
  } cases[] = {
      // One changed Japanese character marks just that character.
      {U"設定を保存する", U"設定を保管する", {{4, 1}}, {{4, 1}}},
      // An ASCII word is one unit, so a changed word is marked whole.
      {U"int count = 0;", U"int total = 0;", {{4, 5}}, {{4, 5}}},
      {U"int count = 0;", U"int counts = 0;", {{4, 5}}, {{4, 6}}},
      // Changes at either end.
      {U"abc def", U"xyz def", {{0, 3}}, {{0, 3}}},
      {U"あいう", U"あいえ", {{2, 1}}, {{2, 1}}},
      {U"あいう", U"あいうえ", {}, {{3, 1}}},
      // A line against an empty one.
      {U"abc", U"", {{0, 3}}, {}},
      {U"", U"日本", {}, {{0, 2}}},
      // An equal run of one or two units between changes is marked too; three are not.
      {U"あいうえお", U"かいくえお", {{0, 3}}, {{0, 3}}},
      {U"あいうえおか", U"さいうえすか", {{0, 1}, {4, 1}}, {{0, 1}, {4, 1}}},
      {U"same", U"same", {}, {}},
  };
  for (const auto& c : cases) {
    const IntralineChanges changes = DiffLineTexts(c.main, c.sub);
    EXPECT_EQ(changes.Main, c.mainRanges);
    EXPECT_EQ(changes.Sub, c.subRanges);
  }
}

TEST(IntralineDiff, AVeryLongLineMarksItsTrimmedMiddleWhole) {
  std::u32string body;
  for (int i = 0; i < 1500; ++i) body += (i % 2 == 0) ? U'あ' : U'い';
  const std::u32string main = U"X" + body + U"Y" + U"末尾";
  const std::u32string sub = U"Z" + body + U"W" + U"末尾";
  const IntralineChanges changes = DiffLineTexts(main, sub);
  EXPECT_EQ(changes.Main, (Ranges{{0, body.size() + 2}}));
  EXPECT_EQ(changes.Sub, (Ranges{{0, body.size() + 2}}));
  // Short enough for the table: the two changes stay apart.
  const IntralineChanges near =
      DiffLineTexts(U"X" + body.substr(0, 100) + U"Y", U"Z" + body.substr(0, 100) + U"W");
  EXPECT_EQ(near.Main, (Ranges{{0, 1}, {101, 1}}));
}

TEST(IntralineDiff, HexRowsMarkTheDifferingBytes) {
  std::vector<std::string> main;
  std::vector<std::string> sub;
  AppendHexDump("ABCDEFGH", main);
  AppendHexDump("ABCXEFGHI", sub);
  const IntralineChanges changes = DiffHexRows(main[0], sub[0]);
  // Byte 3 differs; byte 8 (after the middle blank) only the sub row has.
  EXPECT_EQ(changes.Main, (Ranges{{9, 2}}));
  EXPECT_EQ(changes.Sub, (Ranges{{9, 2}, {25, 2}}));
  EXPECT_EQ(DiffHexRows(main[0], main[0]), IntralineChanges{});
}

}  // namespace
}  // namespace tarvex
