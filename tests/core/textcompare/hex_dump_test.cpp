#include "core/textcompare/hex_dump.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_tree.h"

namespace tarvex {
namespace {

std::vector<std::string> Dump(const std::string& bytes) {
  std::vector<std::string> rows;
  AppendHexDump(bytes, rows);
  return rows;
}

TEST(HexDump, ByteSets) {
  for (unsigned b = 0; b < 256; ++b) {
    const auto c = static_cast<unsigned char>(b);
    EXPECT_EQ(LeadByteSet.Contains(c), (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF)) << b;
    EXPECT_EQ(TrailByteSet.Contains(c), (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC)) << b;
    EXPECT_EQ(PlainByteSet.Contains(c), (b >= 0x20 && b <= 0x7E) || (b >= 0xA1 && b <= 0xDF)) << b;
  }
}

TEST(HexDump, RowsOfSixteenBytes) {
  EXPECT_TRUE(Dump("").empty());
  EXPECT_EQ(Dump("ABCDEFGHIJKLMNOP"),
            std::vector<std::string>{
                "41 42 43 44 45 46 47 48  49 4A 4B 4C 4D 4E 4F 50  :  ABCDEFGHIJKLMNOP"});
  const std::vector<std::string> rows = Dump("ABCDEFGHIJKLMNOPQ");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1],
            "51" + std::string(1 + 7 * 3 + 1 + 8 * 3, ' ') + " :  Q" + std::string(15, ' '));
  // Control bytes, 0x7F, 0x80, 0xA0 and 0xF0-0xFF are not shown; half-width katakana are.
  EXPECT_EQ(Dump(std::string("\0\t\x7F\x80\xA0\xB1\xDF\xF0\xFC\xFF", 10))[0].substr(53),
            "....."
            "\xB1\xDF"
            "..."
            "      ");
}

TEST(HexDump, DoubleByteCharacterAcrossTheEndOfARow) {
  const std::string head = "ABCDEFGHIJKLMNO";  // 15 bytes, so the lead byte is the 16th
  const struct {
    std::string bytes;
    std::string firstText;    // the first row's text column
    std::string secondStart;  // the second row from its separator
  } cases[] = {
      // A lead and its trail: both rows show the character; the separator repeats the lead byte.
      {head + "\x82\xA0"
              "Z",
       head + "\x82\xA0", " : \x82\xA0Z"},
      // The next byte cannot be a trail byte: the lead byte becomes ".".
      {head + "\x82\x0A", head + ".", " :  ."},
      {head + "\x82", head + ".", ""},  // the end of the file follows
  };
  for (const auto& c : cases) {
    const std::vector<std::string> rows = Dump(c.bytes);
    EXPECT_EQ(rows[0].substr(53), c.firstText);
    if (c.secondStart.empty()) {
      EXPECT_EQ(rows.size(), 1u);
    } else {
      ASSERT_EQ(rows.size(), 2u);
      EXPECT_EQ(rows[1].substr(49, c.secondStart.size()), c.secondStart);
    }
  }
  // Inside a row a byte after a lead byte stands when it can be a trail byte (0x80 is shown only
  // there); the line feed cannot.
  EXPECT_EQ(Dump("\x82\xA0"
                 "\xE0\x80"
                 "\x81\x0A")[0]
                .substr(53, 6),
            "\x82\xA0"
            "\xE0\x80"
            "\x81.");
}

TEST(HexDump, LoadFromFile) {
  testing::TempTree tree;
  tree.File("data.bin", std::string(33, '\x01'));
  std::vector<std::string> rows{"kept"};
  EXPECT_EQ(LoadHexDump(tree.PathOf("data.bin"), rows), 33);
  EXPECT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], "kept");
  EXPECT_EQ(LoadHexDump(tree.PathOf("missing.bin"), rows), -1);
  EXPECT_EQ(rows.size(), 4u);
}

}  // namespace
}  // namespace tarvex
