#include "core/settings/compare_pair.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

TEST(ComparePair, MakeAndSplit) {
  const std::string pair = MakeComparePair("/home/me/Data", "/media/me/STICK/Backup");
  EXPECT_EQ(pair, "/home/me/Data 〓 /media/me/STICK/Backup");
  std::string mainFolder, subFolder;
  SplitComparePair(pair, mainFolder, subFolder);
  EXPECT_EQ(mainFolder, "/home/me/Data");
  EXPECT_EQ(subFolder, "/media/me/STICK/Backup");
  SplitComparePair(MakeComparePair("/a 〓 b", "/c"), mainFolder, subFolder);  // first separator
  EXPECT_EQ(mainFolder, "/a");
  EXPECT_EQ(subFolder, "b 〓 /c");
  SplitComparePair("", mainFolder, subFolder);
  EXPECT_EQ(mainFolder, "");
  EXPECT_EQ(subFolder, "");
}

TEST(ComparePair, HistoryMovesTheChosenEntryToTheTop) {
  ComboItems history{{"p0", "p1", "p2", "p3", "p4"}, 0};
  BringToTop(history, "p3");
  EXPECT_EQ(history.Items, (std::vector<std::string>{"p3", "p0", "p1", "p2", "p4"}));
  EXPECT_EQ(history.ItemIndex, 0);
  BringToTop(history, "p1");
  EXPECT_EQ(history.Items, (std::vector<std::string>{"p1", "p3", "p0", "p2", "p4"}));
  BringToTop(history, "new");
  EXPECT_EQ(history.Items.front(), "new");
  EXPECT_EQ(history.Items.size(), 6u);
  ComboItems empty;
  BringToTop(empty, "");  // a first start appends the empty pair
  EXPECT_EQ(empty.Items, (std::vector<std::string>{""}));
}

TEST(ComparePair, PairsThatDifferInLetterCaseAreTwoEntries) {
  // Folder names are case-sensitive here: reusing the other entry would send the trees to a
  // different folder than the one just compared.
  ComboItems history{{"/data/Photos 〓 /backup", "/x 〓 /y"}, 0};
  BringToTop(history, "/x 〓 /y");
  BringToTop(history, "/data/photos 〓 /backup");
  EXPECT_EQ(history.Items, (std::vector<std::string>{"/data/photos 〓 /backup", "/x 〓 /y",
                                                     "/data/Photos 〓 /backup"}));
  EXPECT_EQ(FindHistoryEntry(history, "/DATA/PHOTOS 〓 /BACKUP"), -1);
  EXPECT_EQ(FindHistoryEntry(history, "/data/Photos 〓 /backup"), 2);
}

TEST(ComparePair, DeletingAnEntryLeavesNoneSelected) {
  ComboItems history{{"p0", "p1", "p2"}, 1};
  DeleteHistoryEntry(history, 1);
  EXPECT_EQ(history.Items, (std::vector<std::string>{"p0", "p2"}));
  EXPECT_EQ(history.ItemIndex, -1);
  for (int outside : {-1, 2}) {
    history.ItemIndex = 0;
    DeleteHistoryEntry(history, outside);
    EXPECT_EQ(history.Items.size(), 2u);
    EXPECT_EQ(history.ItemIndex, -1);
  }
}

TEST(ComparePair, PairFilterSetIndexFindsTheSetIgnoringLetterCase) {
  Settings settings;
  settings.FilterNames.Items = {"すべて", "Docs", "汎用"};
  settings.PairFilterMap.SetValue("/a 〓 /b", "docs");
  settings.PairFilterMap.SetValue("/c 〓 /d", "gone");
  EXPECT_EQ(PairFilterSetIndex(settings, "/a 〓 /b"), 1);
  EXPECT_EQ(PairFilterSetIndex(settings, "/A 〓 /B"), 1);  // the map's names ignore case too
  EXPECT_EQ(PairFilterSetIndex(settings, "/c 〓 /d"), -1);
  EXPECT_EQ(PairFilterSetIndex(settings, "/e 〓 /f"), std::nullopt);
}

}  // namespace
}  // namespace tarvex
