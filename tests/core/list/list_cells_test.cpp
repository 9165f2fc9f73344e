#include "core/list/list_cells.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace tarvex {
namespace {

constexpr double Second = 1.0 / 86400;

PathEntry Sides(bool mainExists, double mainTime, std::int64_t mainSize, bool subExists,
                double subTime, std::int64_t subSize, std::uint32_t attr = AttrArchive) {
  PathEntry e;
  e.Path = "dir/name.txt";
  e.Attr = attr;
  e.MainExists = mainExists;
  e.MainTime = mainTime;
  e.MainSize = mainSize;
  e.SubExists = subExists;
  e.SubTime = subTime;
  e.SubSize = subSize;
  e.Status = ComputeStatus(e);
  return e;
}

TEST(ListTimeText, WritesTwoDigitFieldsFromTheDayCount) {
  const ListTextFormat slashColon;
  struct Case {
    double time;
    const char* expected;
  };
  const double afternoon = 45351 + (13 * 3600 + 5 * 60 + 8) * Second;  // 2024-02-29 13:05:08
  const Case cases[] = {
      {0, "99/12/30 00:00:00"},
      {afternoon, "24/02/29 13:05:08"},
      {std::nextafter(afternoon, 0.0), "24/02/29 13:05:08"},  // a hair below its second
      {36526 + 86398 * Second, "00/01/01 23:59:58"},
      {36527 - 0.0004 * Second, "00/01/02 00:00:00"},  // rounds into the next day
      {29221, "80/01/01 00:00:00"},
      {75971.5, "07/12/31 12:00:00"},
      {-0.75, "99/12/29 06:00:00"},  // before the epoch the fraction still counts forward
      {-36463, "00/03/01 00:00:00"},
      {std::numeric_limits<double>::quiet_NaN(), "99/12/30 00:00:00"},
  };
  for (const auto& c : cases) EXPECT_EQ(ListTimeText(c.time, slashColon), c.expected) << c.time;

  ListTextFormat dotted;
  dotted.DateSeparator = "-";
  dotted.TimeSeparator = ".";
  EXPECT_EQ(ListTimeText(afternoon, dotted), "24-02-29 13.05.08");
}

TEST(DecodeListTime, GivesTheCalendarFields) {
  const ListTimeFields f = DecodeListTime(45351 + (23 * 3600 + 59 * 60 + 58) * Second);
  EXPECT_EQ(f.Year, 2024);
  EXPECT_EQ(f.Month, 2);
  EXPECT_EQ(f.Day, 29);
  EXPECT_EQ(f.Hour, 23);
  EXPECT_EQ(f.Minute, 59);
  EXPECT_EQ(f.Second, 58);
  EXPECT_EQ(DecodeListTime(75971).Year, 2107);
}

TEST(ListSizeText, GroupsThousandsRightAlignedInTen) {
  struct Case {
    std::int64_t size;
    const char* separator;
    const char* expected;
  };
  const Case cases[] = {
      {0, ",", "         0"},
      {999, ",", "       999"},
      {1000, ",", "     1,000"},
      {1234567, ",", " 1,234,567"},
      {999999999, ",", "999,999,999"},  // wider than ten: never cut
      {5000000000LL, ",", "5,000,000,000"},
      {-1234, ",", "    -1,234"},
      {-999, ",", "      -999"},
      {std::numeric_limits<std::int64_t>::min(), ",", "-9,223,372,036,854,775,808"},
      {1234567, ".", " 1.234.567"},
      {1234567, "\u00a0", " 1\u00a0234\u00a0567"},  // a two-byte separator is one character
      {1234567, "", "   1234567"},
  };
  for (const auto& c : cases) EXPECT_EQ(ListSizeText(c.size, c.separator), c.expected) << c.size;
}

TEST(CompareMarks, FollowTheSidesAndTheFolderOption) {
  struct Case {
    PathEntry entry;
    bool dirIgnore;
    const char* expected;
  };
  const double t = 45000;
  const Case cases[] = {
      {Sides(true, t, 5, false, 0, 0), false, "在 　 　"},
      {Sides(false, 0, 0, true, t, 5), false, "　 　 在"},
      {Sides(true, t + 2 * Second, 20, true, t, 10), false, "新 ＞ 　"},
      {Sides(true, t, 10, true, t + 2 * Second, 10), false, "　 ＝ 新"},
      {Sides(true, t, 10, true, t, 20), false, "　 ＜ 　"},
      {Sides(true, t, 10, true, t, 10), false, "　 ＝ 　"},
      {Sides(false, 0, 0, false, 0, 0), false, "　 　 　"},  // both sides deleted
      // Folders on both sides: the time marks follow the option as it stands now.
      {Sides(true, t + 2 * Second, 0, true, t, 0, AttrDirectory), true, "　 ＝ 　"},
      {Sides(true, t + 2 * Second, 0, true, t, 0, AttrDirectory), false, "新 ＝ 　"},
      {Sides(true, t, 0, false, 0, 0, AttrDirectory), true, "在 　 　"},
      // A time before 1899 is negative; the missing side's 0 must not make it "newer".
      {Sides(true, -5, 1, false, 0, 0), false, "在 　 　"},
      {Sides(false, 0, 0, true, -5, 1), false, "　 　 在"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompareMarks(c.entry, c.dirIgnore), c.expected)
        << c.entry.MainExists << c.entry.SubExists << " " << c.entry.MainTime << " "
        << c.entry.SubTime << " dirIgnore=" << c.dirIgnore;
  }
}

TEST(ListCellText, FillsEveryColumnOfARow) {
  const ListTextFormat format;
  const double time = 45351 + (13 * 3600 + 5 * 60 + 8) * Second;
  const PathEntry both = Sides(true, time, 1234567, true, time - 2 * Second, 5000000000LL);
  const char* expected[] = {"   8",     "dir/name.txt",  "24/02/29 13:05:08", " 1,234,567",
                            "新 ＜ 　", "5,000,000,000", "24/02/29 13:05:06"};
  for (int column = 0; column < ListColumnCount; ++column)
    EXPECT_EQ(ListCellText(both, 7, column, format, false), expected[column]) << column;

  const PathEntry subOnlyFolder = Sides(false, 0, 0, true, time, 0, AttrDirectory);
  EXPECT_EQ(ListCellText(subOnlyFolder, 9999, ColumnRow, format, false), "10000");
  EXPECT_EQ(ListCellText(subOnlyFolder, 0, ColumnPath, format, false), "dir/name.txt/");
  EXPECT_EQ(ListCellText(subOnlyFolder, 0, ColumnMainTime, format, false), "");
  EXPECT_EQ(ListCellText(subOnlyFolder, 0, ColumnMainSize, format, false), "");
  EXPECT_EQ(ListCellText(subOnlyFolder, 0, ColumnSubSize, format, false), "         0");
  EXPECT_EQ(ListCellText(both, 0, ListColumnCount, format, false), "");
}

TEST(ListCellColours, SideColumnsFolderRowsAndGreyIgnoredFiles) {
  using B = CellBackground;
  using F = CellForeground;
  PathEntry file = Sides(true, 1, 1, true, 1, 1);
  PathEntry folder = Sides(true, 1, 0, true, 1, 0, AttrDirectory);
  PathEntry ignored = file;
  ignored.Ignored = true;
  struct Case {
    const PathEntry* entry;
    int column;
    CellColours expected;
  };
  const Case cases[] = {
      {&file, 0, {B::View, F::View}},     {&file, 1, {B::View, F::View}},
      {&file, 2, {B::Main, F::View}},     {&file, 3, {B::Main, F::View}},
      {&file, 4, {B::View, F::View}},     {&file, 5, {B::Sub, F::View}},
      {&file, 6, {B::Sub, F::View}},      {&folder, 0, {B::View, F::View}},
      {&folder, 1, {B::Folder, F::View}}, {&folder, 3, {B::Folder, F::View}},
      {&folder, 4, {B::Folder, F::View}}, {&folder, 6, {B::Folder, F::View}},
      {&ignored, 0, {B::View, F::View}},  {&ignored, 1, {B::View, F::Grey}},
      {&ignored, 2, {B::Main, F::Grey}},  {&ignored, 6, {B::Sub, F::Grey}},
  };
  for (const auto& c : cases)
    EXPECT_TRUE(ListCellColours(*c.entry, c.column) == c.expected)
        << "column " << c.column << (c.entry == &folder ? " folder" : "")
        << (c.entry->Ignored ? " ignored" : "");
}

TEST(ListHeaderText, MarksTheSortColumnOnly) {
  EXPECT_EQ(ListHeaderText(1, 1, true), "ファイルパス△");
  EXPECT_EQ(ListHeaderText(1, 1, false), "ファイルパス▽");
  EXPECT_EQ(ListHeaderText(2, 1, true), "M更新日");
  EXPECT_EQ(ListHeaderText(6, 6, false), "S更新日▽");
  EXPECT_EQ(ListHeaderText(4, 4, true), "比較△");
  EXPECT_EQ(ListHeaderText(0, 0, true), "");  // column 0 is no sort column
  EXPECT_EQ(ListHeaderText(3, 9, true), "Mサイズ");
  EXPECT_EQ(ListHeaderText(7, 7, true), "");
}

TEST(ListCounterText, FillsTheThreeCountsAndThePercent) {
  EXPECT_EQ(ListCounterText(3, 1, 2), "全パス=3　ディレクトリ=1  同じパス=2    ");
  EXPECT_EQ(SortCounterText(10, 2, 3, 45), "全パス=10　ディレクトリ=2  同じパス=3　ソート中=45%");
}

}  // namespace
}  // namespace tarvex
