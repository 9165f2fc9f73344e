#include "core/list/shown_list.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tarvex
