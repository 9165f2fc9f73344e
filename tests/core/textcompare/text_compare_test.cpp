#include "core/textcompare/text_compare.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/textcompare/hex_dump.h"
#include "core/textcompare/line_align.h"
#include "support/temp_tree.h"

namespace tarvex {
namespace {

using Lines = std::vector<std::string>;

TEST(CompareSizeLimit, RealSizesAgainstTheLimit) {
  EXPECT_FALSE(IsTooLargeToCompare(0, 1048576));
  EXPECT_FALSE(IsTooLargeToCompare(1048576, 1048576));
  EXPECT_TRUE(IsTooLargeToCompare(1048577, 1048576));
  // 4 GiB + 1 byte: its low 32 bits would be 1 and pass.
  EXPECT_TRUE(IsTooLargeToCompare((std::int64_t{1} << 32) + 1, 1048576));
  EXPECT_TRUE(IsTooLargeToCompare(5000000000, 2147483647));
}

class LoadCompareRowsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(root.Open(tree.Root()), 0); }
  CompareLoad Load(const std::string& main, const std::string& sub, std::int32_t limit = 1 << 20) {
    return LoadCompareRows(root, main, root, sub, limit);
  }
  testing::TempTree tree;
  RootFolder root;
};

TEST_F(LoadCompareRowsTest, TheMainFileDecidesTheModeOfBoth) {
  tree.File("text.txt", "one\r\ntwo\n");
  tree.File("binary.bin", std::string("one\ntw\0o\nthree\n", 15));
  tree.File("empty.txt", "");

  CompareLoad load = Load("text.txt", "binary.bin");
  ASSERT_TRUE(load);
  EXPECT_EQ(load.Rows.Mode, CompareMode::Text);
  EXPECT_EQ(load.Rows.Main().Lines, (Lines{"one", "two"}));
  EXPECT_EQ(load.Rows.Sub().Lines, (Lines{"one", "tw"}));  // the sub text ends at its 0x00
  EXPECT_EQ(load.Rows.Sub().LineNos, (std::vector<std::int32_t>{1, 2}));
  EXPECT_EQ(load.Rows.Sub().Codes.size(), 2u);

  load = Load("binary.bin", "text.txt");
  ASSERT_TRUE(load);
  EXPECT_EQ(load.Rows.Mode, CompareMode::Hex);
  Lines expected;
  AppendHexDump("one\r\ntwo\n", expected);
  EXPECT_EQ(load.Rows.Sub().Lines, expected);
  EXPECT_EQ(load.Rows.Main().RowCount(), 1u);

  load = Load("empty.txt", "text.txt");  // an empty main file is not text
  ASSERT_TRUE(load);
  EXPECT_EQ(load.Rows.Mode, CompareMode::Hex);
  EXPECT_EQ(load.Rows.Main().RowCount(), 0u);
  EXPECT_EQ(load.Rows.Sub().RowCount(), 1u);
}

TEST_F(LoadCompareRowsTest, FilesThatCannotBeOpened) {
  tree.File("text.txt", "one\n");
  // The main file fails the text test: both sides are dumped, the main side gives no rows.
  CompareLoad load = Load("missing", "text.txt");
  ASSERT_TRUE(load);
  EXPECT_EQ(load.Rows.Mode, CompareMode::Hex);
  EXPECT_EQ(load.Rows.Main().RowCount(), 0u);
  EXPECT_EQ(load.Rows.Sub().RowCount(), 1u);
  // In text mode the sub file must load.
  load = Load("text.txt", "missing");
  EXPECT_FALSE(load);
  EXPECT_EQ(load.Status, ReadStatus::CannotOpen);
  EXPECT_EQ(load.FailedPath, tree.PathOf("missing"));
  EXPECT_EQ(load.Error, ENOENT);
  EXPECT_EQ(load.Rows.Main().RowCount(), 0u);
}

TEST_F(LoadCompareRowsTest, AFileBehindALinkIsNotRead) {
  testing::TempTree outside;
  outside.File("d/x.txt", "outside\n");
  tree.File("x.txt", "inside\n");
  tree.Link("d", outside.PathOf("d"));
  // The sub file is needed in text mode: the load fails and shows nothing of the outside file.
  CompareLoad load = Load("x.txt", "d/x.txt");
  EXPECT_FALSE(load);
  EXPECT_EQ(load.Status, ReadStatus::CannotOpen);
  EXPECT_EQ(load.FailedPath, tree.PathOf("d/x.txt"));
  EXPECT_EQ(load.Rows.Sub().RowCount(), 0u);
  // A main file behind a link is one that cannot be opened: not text, and no rows.
  load = Load("d/x.txt", "x.txt");
  ASSERT_TRUE(load);
  EXPECT_EQ(load.Rows.Mode, CompareMode::Hex);
  EXPECT_EQ(load.Rows.Main().RowCount(), 0u);
}

TEST_F(LoadCompareRowsTest, AFileThatGrewBeyondTheLimitSinceTheCheck) {
  tree.File("main.txt", "12345\n");
  tree.File("sub.txt", "123\n");
  EXPECT_TRUE(Load("main.txt", "sub.txt", 6));
  const CompareLoad load = Load("main.txt", "sub.txt", 5);
  EXPECT_FALSE(load);
  EXPECT_EQ(load.Status, ReadStatus::TooLarge);
  EXPECT_EQ(load.FailedPath, tree.PathOf("main.txt"));
  EXPECT_EQ(Load("main.txt", "sub.txt", -1).Status, ReadStatus::TooLarge);
}

TEST_F(LoadCompareRowsTest, AnUnreadableMainFileIsNotText) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  tree.File("locked.txt", "text\n");
  tree.File("sub.txt", "text\n");
  ASSERT_EQ(::chmod(tree.PathOf("locked.txt").c_str(), 0), 0);
  const CompareLoad load = Load("locked.txt", "sub.txt");
  ASSERT_TRUE(load);
  EXPECT_EQ(load.Rows.Mode, CompareMode::Hex);
  EXPECT_EQ(load.Rows.Main().RowCount(), 0u);
}

// The fixture files of encodings/ (made with the iconv tool from utf8.txt).
std::string EncodingFixture(const std::string& name) {
  std::ifstream in(std::string(TARVEX_TEXTCOMPARE_ENCODINGS) + "/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST_F(LoadCompareRowsTest, EachFileIsDecodedInItsOwnEncodingBeforeItsLinesAreCoded) {
  const Lines text = {"日本語のテキスト", "かな、カナ、漢字。", "ASCII line"};
  tree.File("utf8.txt", EncodingFixture("utf8.txt"));
  const struct {
    const char* file;
    FileEncoding encoding;
    LineEnding ending;
    std::string reason;
  } cases[] = {
      {"utf8.txt", FileEncoding::Utf8, LineEnding::Lf, ""},
      {"utf8_bom.txt", FileEncoding::Utf8Bom, LineEnding::Lf, "文字コードのみ違います"},
      // Its bytes fail the text test, but a UTF-16 main file is compared as text.
      {"utf16le.txt", FileEncoding::Utf16Le, LineEnding::Lf, "文字コードのみ違います"},
      {"utf16be.txt", FileEncoding::Utf16Be, LineEnding::Lf, "文字コードのみ違います"},
      // So is ISO-2022-JP, whose escape fails the text test too.
      {"iso2022jp.txt", FileEncoding::Iso2022Jp, LineEnding::Lf, "文字コードのみ違います"},
      {"eucjp.txt", FileEncoding::EucJp, LineEnding::Lf, "文字コードのみ違います"},
      {"cp932.txt", FileEncoding::Cp932, LineEnding::Lf, "文字コードのみ違います"},
      {"utf8_crlf.txt", FileEncoding::Utf8, LineEnding::CrLf, "改行コードのみ違います"},
      {"utf8_mixed.txt", FileEncoding::Utf8, LineEnding::Mixed, "改行コードのみ違います"},
      {"cp932_crlf.txt", FileEncoding::Cp932, LineEnding::CrLf,
       "文字コードと改行コードのみ違います"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    tree.File(std::string("main_") + c.file, EncodingFixture(c.file));
    // Either side decodes on its own.
    for (const bool mainFirst : {true, false}) {
      const CompareLoad load = mainFirst ? Load(std::string("main_") + c.file, "utf8.txt")
                                         : Load("utf8.txt", std::string("main_") + c.file);
      ASSERT_TRUE(load);
      EXPECT_EQ(load.Rows.Mode, CompareMode::Text);
      const std::size_t side = mainFirst ? MainSide : SubSide;
      EXPECT_EQ(load.Rows.Sides[side].Lines, text);
      EXPECT_EQ(load.Forms[side].Encoding, c.encoding);
      EXPECT_EQ(load.Forms[side].Ending, c.ending);
      EXPECT_EQ(CountDifferingRows(load.Rows), 0u);
      EXPECT_EQ(NoDifferingRowReason(load, load.Rows), c.reason);
    }
  }
}

TEST_F(LoadCompareRowsTest, WhyBytesThatDifferShowNoDifferingRow) {
  tree.File("a.txt", "a\nb");
  tree.File("a_lf.txt", "a\nb\n");
  tree.File("one.txt", "one");
  tree.File("one_lf.txt", "one\n");
  tree.File("changed.txt", "a\r\nc\r\n");
  const auto reason = [&](const std::string& main, const std::string& sub, bool blanks = false) {
    const CompareLoad load = LoadCompareRows(root, main, root, sub, 1 << 20, blanks);
    return NoDifferingRowReason(load, load.Rows);
  };
  EXPECT_EQ(reason("a.txt", "a_lf.txt"), "最終行の改行のみ違います");
  // A file without any line end differs only in the last one, not in its kind.
  EXPECT_EQ(reason("one.txt", "one_lf.txt"), "最終行の改行のみ違います");
  // Rows that differ need no reason.
  EXPECT_EQ(reason("a_lf.txt", "changed.txt"), "");
  // Nor do lines equal only without their blanks, though the line ends differ too.
  tree.File("spaced.txt", "a \r\nb\r\n");
  EXPECT_EQ(reason("a_lf.txt", "spaced.txt", true), "");
  EXPECT_EQ(reason("a_lf.txt", "a_lf.txt", true), "");
  // Nor do hex dumps.
  tree.File("bin.dat", std::string("\x01\x02", 2));
  tree.File("bin2.dat", std::string("\x01\x03", 2));
  EXPECT_EQ(reason("bin.dat", "bin2.dat"), "");
}

TEST_F(LoadCompareRowsTest, IgnoringBlanksMakesLinesThatDifferOnlyInBlanksEqual) {
  // Indentation, spaces inside, a tab for spaces and a full-width space.
  tree.File("main.txt", "if (a) {\n  call(x, y);\n}\n全角　空白\nchanged\n");
  tree.File("sub.txt", "if(a){\n\tcall(x,y);\n}\n全角空白\nchanged too\n");
  for (const bool ignore : {false, true}) {
    SCOPED_TRACE(ignore);
    CompareLoad load = LoadCompareRows(root, "main.txt", root, "sub.txt", 1 << 20, ignore);
    ASSERT_TRUE(load);
    AlignRows(load.Rows);
    EXPECT_EQ(CountDifferingRows(load.Rows), ignore ? 1u : 4u);
    // The lines stay as they are; only their comparison changes.
    EXPECT_EQ(load.Rows.Main().Lines[1], "  call(x, y);");
    EXPECT_TRUE(IsDifferingRow(load.Rows, 4));
    EXPECT_EQ(IsDifferingRow(load.Rows, 3), !ignore);
  }
}

}  // namespace
}  // namespace tarvex
