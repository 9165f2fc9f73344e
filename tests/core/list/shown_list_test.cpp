#include "core/list/shown_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/list/folder_hiding.h"
#include "core/list/list_column.h"

namespace tarvex {
namespace {

PathList ThreeEntries() {
  PathList list;
  for (const char* path : {"dir", "a.txt", "b.txt"}) {
    PathEntry entry;
    entry.Path = path;
    entry.Attr = entry.Path == "dir" ? AttrDirectory : AttrArchive;
    entry.MainExists = true;
    entry.MainSize = 1234567;
    list.Entries.push_back(entry);
  }
  list.PathCount = 3;
  list.FolderCount = 1;
  return list;
}

TEST(ShownList, RowsAreThoseOfTheLastFillAndNeverReachBeyondTheList) {
  ShownList shown;
  EXPECT_EQ(shown.Rows(), 0);
  EXPECT_EQ(shown.CurrentRow, -1);
  EXPECT_EQ(shown.EntryAt(0), nullptr);
  EXPECT_EQ(shown.CellText(0, ColumnPath), "");

  PathList list = ThreeEntries();
  shown.Fill(&list, false);
  EXPECT_EQ(shown.Rows(), 3);
  EXPECT_EQ(shown.CurrentRow, 0);
  EXPECT_EQ(shown.CellText(0, ColumnPath), "dir/");
  EXPECT_EQ(shown.CellText(1, ColumnMainSize), ListSizeText(1234567, ","));
  EXPECT_EQ(shown.CellText(2, ColumnRow), RowNumberText(3));
  EXPECT_EQ(shown.Colours(0, ColumnPath).Background, CellBackground::Folder);

  // Hiding folders after the fill parks an entry behind PathCount: the last row shows nothing
  // instead of an entry that is no longer part of the list.
  HideFolders(list);
  EXPECT_EQ(shown.Rows(), 3);
  EXPECT_EQ(shown.CellText(1, ColumnPath), "b.txt");
  EXPECT_EQ(shown.EntryAt(2), nullptr);
  EXPECT_EQ(shown.EntryAt(-1), nullptr);

  shown.Fill(nullptr, false);
  EXPECT_EQ(shown.Rows(), 0);
  EXPECT_EQ(shown.CurrentRow, -1);
}

TEST(ShownList, AStatusChoiceShowsTheChosenEntriesAndMapsRowsBothWays) {
  PathList list;
  const CompareStatus statuses[] = {Same,     MainOnly,   SubOnly,   MainNewer,
                                    SubNewer, MainLarger, SubLarger, Neither};
  for (CompareStatus status : statuses) {
    PathEntry entry;
    entry.Path = "f" + std::to_string(list.Entries.size());
    entry.Status = status;
    list.Entries.push_back(entry);
  }
  list.PathCount = static_cast<std::int32_t>(list.Entries.size());

  struct Case {
    StatusChoice Choice;
    std::vector<std::int32_t> Entries;
  };
  const Case cases[] = {
      {StatusChoice::All, {0, 1, 2, 3, 4, 5, 6, 7}},
      {StatusChoice::Different, {1, 2, 3, 4, 5, 6, 7}},
      {StatusChoice::MainOnly, {1}},
      {StatusChoice::SubOnly, {2}},
      {StatusChoice::MainNewer, {3}},
      {StatusChoice::SubNewer, {4}},
      {StatusChoice::SizeDiffers, {5, 6}},
      {StatusChoice::Same, {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Choice));
    ShownList shown;
    shown.Status = c.Choice;
    shown.Fill(&list, false);
    EXPECT_EQ(shown.AllRows(), 8);
    ASSERT_EQ(shown.Rows(), static_cast<std::int32_t>(c.Entries.size()));
    for (std::int32_t r = 0; r < shown.Rows(); ++r) {
      const std::int32_t index = c.Entries[static_cast<std::size_t>(r)];
      EXPECT_EQ(shown.EntryIndex(r), index);
      EXPECT_EQ(shown.EntryAt(r), &list[index]);
      EXPECT_EQ(shown.RowOfEntry(index), r);
      // The row number is the shown row's, as the grid numbers it.
      EXPECT_EQ(shown.CellText(r, ColumnRow), RowNumberText(r + 1));
    }
    EXPECT_EQ(shown.EntryIndex(shown.Rows()), -1);
    EXPECT_EQ(shown.EntryAt(-1), nullptr);
  }

  ShownList sizes;
  sizes.Status = StatusChoice::SizeDiffers;
  sizes.Fill(&list, false);
  EXPECT_EQ(sizes.RowOfEntry(0), -1);  // hidden
  EXPECT_EQ(sizes.RowOfEntry(8), -1);  // beyond the list

  // A stored choice out of range shows every row.
  EXPECT_EQ(StatusChoiceFromInt(-1), StatusChoice::All);
  EXPECT_EQ(StatusChoiceFromInt(8), StatusChoice::All);
  EXPECT_EQ(StatusChoiceFromInt(7), StatusChoice::Same);
}

}  // namespace
}  // namespace tarvex
