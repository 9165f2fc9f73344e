#include "core/list/path_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "core/list/list_column.h"
#include "support/selection_sort_reference.h"

namespace tarvex {
namespace {

constexpr std::uint32_t File = AttrArchive;
constexpr std::uint32_t Folder = AttrDirectory;

PathEntry MakeEntry(std::int32_t id, std::string path, std::uint32_t attr = File) {
  PathEntry e;
  e.CreatedIndex = id;  // identifies the entry after reordering; nothing else reads it
  e.Path = std::move(path);
  e.Attr = attr;
  return e;
}

PathEntry WithMain(PathEntry e, double time, std::int64_t size) {
  e.MainExists = true;
  e.MainTime = time;
  e.MainSize = size;
  e.Status = ComputeStatus(e);
  return e;
}

PathList ListOf(std::vector<PathEntry> entries) {
  PathList list;
  list.Entries = std::move(entries);
  list.PathCount = static_cast<std::int32_t>(list.Entries.size());
  return list;
}

std::vector<std::int32_t> Ids(const PathList& list) {
  std::vector<std::int32_t> ids;
  for (const auto& e : list.Entries) ids.push_back(e.CreatedIndex);
  return ids;
}

std::vector<std::string> Paths(const PathList& list) {
  std::vector<std::string> paths;
  for (std::int32_t i = 0; i < list.PathCount; ++i) paths.push_back(list[i].Path);
  return paths;
}

enum class ListPosKind { AllZero, Shown, Repeated };

// Lists rich in ties: few distinct times and sizes, names that differ only in letter case, sides
// missing (some still holding stale values), folders, and a few entries parked behind PathCount.
PathList RandomList(std::mt19937& rng, int n, int distinct, ListPosKind kind) {
  const char* names[] = {"a", "A", "b", "B", "c.txt", "C.TXT", "d", "日本"};
  const std::int64_t sizes[] = {0, 1, -1, 4096, 5000000000LL, -5000000000LL, 7, 4096};
  auto pick = [&](int count) { return std::uniform_int_distribution<int>(0, count - 1)(rng); };
  const int parked = 3;
  std::vector<PathEntry> entries;
  for (int i = 0; i < n + parked; ++i) {
    std::string path = names[pick(8)];
    for (int depth = pick(3); depth > 0; --depth) path += std::string("/") + names[pick(8)];
    PathEntry e = MakeEntry(i, path, pick(5) == 0 ? Folder : File);
    const int sides = pick(20);
    e.MainExists = sides < 15;
    e.SubExists = sides < 10 || sides >= 17;
    const bool stale = pick(4) == 0;  // a cleared side that kept its old values
    if (e.MainExists || stale) {
      e.MainTime = 45000.0 + pick(distinct) * (2.0 / 86400);
      e.MainSize = sizes[pick(std::min(distinct, 8))];
    }
    if (e.SubExists || stale) {
      e.SubTime = 45000.0 + pick(distinct) * (2.0 / 86400);
      e.SubSize = sizes[pick(std::min(distinct, 8))];
    }
    e.Status = pick(6) == 0 ? static_cast<CompareStatus>(1 + pick(8)) : ComputeStatus(e);
    switch (kind) {
      case ListPosKind::AllZero:
        break;
      case ListPosKind::Shown:
        e.ListPos = i;
        break;
      case ListPosKind::Repeated:
        e.ListPos = pick(std::max(1, n / 4));
        break;
    }
    entries.push_back(std::move(e));
  }
  if (kind == ListPosKind::Shown) {
    // Shown in some earlier order: the positions are a permutation of the rows.
    std::vector<std::int32_t> pos(static_cast<std::size_t>(n));
    std::iota(pos.begin(), pos.end(), 0);
    std::shuffle(pos.begin(), pos.end(), rng);
    for (int i = 0; i < n; ++i) entries[i].ListPos = pos[i];
  }
  PathList list;
  list.Entries = std::move(entries);
  list.PathCount = n;
  return list;
}

// Only the first character counts: a coarse collation with large groups of equal paths.
int CompareFirstLetter(std::string_view a, std::string_view b) {
  return CompareAsciiNoCase(a.substr(0, 1), b.substr(0, 1));
}

TEST(SortPathList, GivesTheSelectionOrderOnRandomLists) {
  std::mt19937 rng(20240229);
  const PathCollation collations[] = {CompareAsciiNoCase, CompareFirstLetter};
  std::vector<int> sizes = {0, 1, 2, 3, 4, 5, 8, 13};
  for (int k = 0; k < 40; ++k) sizes.push_back(std::uniform_int_distribution<int>(10, 150)(rng));
  for (const int n : sizes) {
    for (const auto kind : {ListPosKind::AllZero, ListPosKind::Shown, ListPosKind::Repeated}) {
      const int distinct = std::uniform_int_distribution<int>(1, 12)(rng);
      const PathList original = RandomList(rng, n, distinct, kind);
      for (int sortcol = -1; sortcol <= 7; ++sortcol) {
        for (const bool sortup : {true, false}) {
          for (std::size_t c = 0; c < std::size(collations); ++c) {
            if (c > 0 && sortcol != ColumnPath) continue;
            PathList expected = original;
            testing::SelectionSortReference(expected, sortcol, sortup, collations[c]);
            PathList actual = original;
            SortPathList(actual, sortcol, sortup, collations[c]);
            ASSERT_EQ(Ids(actual), Ids(expected))
                << "n=" << n << " col=" << sortcol << " up=" << sortup << " collation=" << c
                << " listpos=" << static_cast<int>(kind) << " distinct=" << distinct;
            ASSERT_EQ(actual.PathCount, n);
          }
        }
      }
    }
  }
}

TEST(SortPathList, GivesTheSelectionOrderOnALargeListWithFewKeys) {
  // Large groups of equal keys go through many swaps before their turn.
  std::mt19937 rng(7);
  const PathList original = RandomList(rng, 1500, 3, ListPosKind::AllZero);
  for (int sortcol = 1; sortcol <= 6; ++sortcol) {
    for (const bool sortup : {true, false}) {
      PathList expected = original;
      testing::SelectionSortReference(expected, sortcol, sortup, CompareFirstLetter);
      PathList actual = original;
      SortPathList(actual, sortcol, sortup, CompareFirstLetter);
      ASSERT_EQ(Ids(actual), Ids(expected)) << "col=" << sortcol << " up=" << sortup;
    }
  }
}

TEST(SortPathList, KeysPreparedPerPositionGiveTheSameOrderAsTheTexts) {
  // The window prepares one key per entry before the sort; the order must not change by it.
  std::mt19937 rng(99);
  const PathCollation collations[] = {CompareAsciiNoCase, CompareFirstLetter};
  for (const int n : {0, 1, 2, 7, 60, 400}) {
    for (const auto kind : {ListPosKind::AllZero, ListPosKind::Shown}) {
      const PathList original = RandomList(rng, n, 4, kind);
      for (const PathCollation& collate : collations) {
        // Keys held apart from the list and indexed by the positions at the start, as the window
        // holds its collation keys.
        std::vector<std::string> keys;
        for (std::int32_t i = 0; i < original.PathCount; ++i) keys.push_back(original[i].Path);
        const PositionCollation byPosition = [&](std::int32_t a, std::int32_t b) {
          return collate(keys[static_cast<std::size_t>(a)], keys[static_cast<std::size_t>(b)]);
        };
        for (int sortcol = 0; sortcol <= 7; ++sortcol) {
          for (const bool sortup : {true, false}) {
            PathList expected = original;
            SortPathList(expected, sortcol, sortup, collate);
            PathList actual = original;
            std::vector<int> progress;
            SortPathList(actual, sortcol, sortup, byPosition,
                         [&](int percent) { progress.push_back(percent); });
            ASSERT_EQ(Ids(actual), Ids(expected))
                << "n=" << n << " col=" << sortcol << " up=" << sortup;
            EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
          }
        }
      }
    }
  }
}

TEST(SortPathList, PathUpRunsFromZToAIgnoringCase) {
  PathList list = ListOf({MakeEntry(0, "b.txt"), MakeEntry(1, "A.txt"), MakeEntry(2, "c/d.txt"),
                          MakeEntry(3, "C", Folder), MakeEntry(4, "a.txt")});
  SortPathList(list, ColumnPath, true);
  // "A.txt" and "a.txt" are equal to the collation; the selection's swaps decide between them.
  EXPECT_EQ(Paths(list), (std::vector<std::string>{"c/d.txt", "C", "b.txt", "A.txt", "a.txt"}));
  SortPathList(list, ColumnPath, false);
  EXPECT_EQ(Paths(list), (std::vector<std::string>{"A.txt", "a.txt", "b.txt", "C", "c/d.txt"}));
}

TEST(SortPathList, PathUsesTheGivenCollation) {
  PathList list = ListOf({MakeEntry(0, "ab"), MakeEntry(1, "b"), MakeEntry(2, "abc")});
  const PathCollation byLength = [](std::string_view a, std::string_view b) {
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
  };
  SortPathList(list, ColumnPath, false, byLength);
  EXPECT_EQ(Paths(list), (std::vector<std::string>{"b", "ab", "abc"}));
}

TEST(SortPathList, EqualKeysKeepTheOrderOfTheLastFill) {
  PathList list =
      ListOf({WithMain(MakeEntry(0, "d"), 45001, 10), WithMain(MakeEntry(1, "c"), 45000, 10),
              WithMain(MakeEntry(2, "b"), 45001, 20), WithMain(MakeEntry(3, "a"), 45000, 20)});
  SortPathList(list, ColumnPath, false);
  RecordListPositions(list);  // shown as a, b, c, d
  SortPathList(list, ColumnMainTime, true);
  EXPECT_EQ(Paths(list), (std::vector<std::string>{"a", "c", "b", "d"}));
  RecordListPositions(list);
  // Downwards the larger key comes first, but equal keys still keep the shown order.
  SortPathList(list, ColumnMainSize, false);
  EXPECT_EQ(Paths(list), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST(SortPathList, EntriesWithoutTheSideComeLastInTheSelectionsOrder) {
  // a, b, c and d exist in the sub folder only.
  PathList list =
      ListOf({MakeEntry(0, "a"), WithMain(MakeEntry(1, "x"), 45000, 1), MakeEntry(2, "b"),
              MakeEntry(3, "c"), WithMain(MakeEntry(4, "y"), 45002, 2), MakeEntry(5, "d")});
  for (const int sortcol : {ColumnMainTime, ColumnMainSize}) {
    PathList sorted = list;
    SortPathList(sorted, sortcol, true);
    // The last of the rest swaps to the front each time: d first, then the others as they stand.
    EXPECT_EQ(Paths(sorted), (std::vector<std::string>{"x", "y", "d", "b", "c", "a"}));
  }
  PathList bySub = list;
  SortPathList(bySub, ColumnSubTime, false);  // nobody has the sub side
  EXPECT_EQ(Paths(bySub), (std::vector<std::string>{"d", "a", "x", "b", "c", "y"}));
}

TEST(SortPathList, SizesBeyond32BitsSortByTheirValue) {
  PathList list = ListOf({WithMain(MakeEntry(0, "small"), 45000, 1000),
                          WithMain(MakeEntry(1, "five GB"), 45000, 5000000000LL),
                          WithMain(MakeEntry(2, "four GB + 1"), 45000, 4294967297LL)});
  SortPathList(list, ColumnMainSize, false);
  EXPECT_EQ(Paths(list), (std::vector<std::string>{"five GB", "four GB + 1", "small"}));
}

TEST(SortPathList, ReportsRisingProgressBelowAHundred) {
  std::mt19937 rng(3);
  PathList list = RandomList(rng, 500, 50, ListPosKind::Shown);
  std::vector<int> seen;
  SortPathList(list, ColumnMainTime, true, CompareAsciiNoCase, [&](int p) { seen.push_back(p); });
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), 0);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
  EXPECT_LT(seen.back(), 100);
}

TEST(RecordListPositions, NumbersTheShownRowsOnly) {
  PathList list = ListOf({MakeEntry(0, "a"), MakeEntry(1, "b"), MakeEntry(2, "parked", Folder)});
  list.PathCount = 2;
  list[2].ListPos = 77;
  RecordListPositions(list);
  EXPECT_EQ(list[0].ListPos, 0);
  EXPECT_EQ(list[1].ListPos, 1);
  EXPECT_EQ(list[2].ListPos, 77);
}

TEST(CompareAsciiNoCase, FoldsOnlyAsciiLetters) {
  EXPECT_EQ(CompareAsciiNoCase("ABC", "abc"), 0);
  EXPECT_LT(CompareAsciiNoCase("ab", "abc"), 0);
  EXPECT_GT(CompareAsciiNoCase("b", "A"), 0);
  EXPECT_GT(CompareAsciiNoCase("Z", "_"), 0);         // as 'z', which lies above '_'; 'Z' does not
  EXPECT_LT(CompareAsciiNoCase("z", "\xC3\xA9"), 0);  // bytes compare unsigned
  EXPECT_NE(CompareAsciiNoCase("\xC3\x89", "\xC3\xA9"), 0);
}

}  // namespace
}  // namespace tarvex
