#include "core/scan/entry_path.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/scan/path_list.h"

namespace tarvex {
namespace {

// A list whose entries hold their paths in its arena, as after a scan; one path is long enough
// for the four-byte length.
PathList ArenaList(const std::vector<std::string>& paths) {
  PathList list;
  for (const std::string& path : paths) {
    PathEntry& e = list.Entries.emplace_back();
    const std::size_t slash = path.rfind('/');
    const std::size_t cut = slash == std::string::npos ? 0 : slash + 1;
    e.Path =
        list.Arena.Add(std::string_view(path).substr(0, cut), std::string_view(path).substr(cut));
  }
  list.PathCount = static_cast<std::int32_t>(list.Entries.size());
  return list;
}

// Every way a path leaves its list must keep reading the same bytes after the list is cleared and
// its arena freed (ASan catches a path that still points there).
TEST(EntryPath, CopiesOutliveTheirList) {
  const std::vector<std::string> paths = {"a", "d1/e2/file-123.dat", std::string(300, 'x') + "/y",
                                          "フォルダ/ファイル.txt", std::string(254, 'z')};
  struct Way {
    const char* name;
    std::function<EntryPath(const PathEntry&)> take;
  };
  const Way ways[] = {
      {"copy", [](const PathEntry& e) { return EntryPath(e.Path); }},
      {"copy assignment",
       [](const PathEntry& e) {
         EntryPath p("before");
         p = e.Path;
         return p;
       }},
      {"entry copy", [](const PathEntry& e) { return PathEntry(e).Path; }},
      {"from text", [](const PathEntry& e) { return EntryPath(e.Path.str()); }},
  };
  for (const Way& way : ways) {
    PathList list = ArenaList(paths);
    std::vector<EntryPath> taken;
    for (const PathEntry& e : list.Entries) {
      EXPECT_FALSE(e.Path.IsOwned());
      taken.push_back(way.take(e));
    }
    list.Clear();
    for (std::size_t i = 0; i < paths.size(); ++i) {
      EXPECT_EQ(taken[i], paths[i]) << way.name;
      EXPECT_EQ(taken[i].size(), paths[i].size()) << way.name;
      EXPECT_TRUE(taken[i].IsOwned()) << way.name;
    }
  }
}

TEST(EntryPath, MovingTheListKeepsItsPaths) {
  const std::vector<std::string> paths = {"a/b", std::string(1000, 'q'), "c"};
  PathList moved;
  {
    PathList list = ArenaList(paths);
    list.Entries.push_back(PathEntry{"owned/path", 0});
    moved = std::move(list);
  }
  ASSERT_EQ(moved.Entries.size(), 4u);
  for (std::size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(moved.Entries[i].Path, paths[i]);
  EXPECT_EQ(moved.Entries[3].Path, "owned/path");
  // A rescan in place of the old one frees the old arena, and the new entries read their own.
  moved = ArenaList({"new"});
  EXPECT_EQ(moved.Entries[0].Path, "new");
  // The moved-from arena starts afresh instead of writing into blocks it gave away (and that are
  // gone here).
  PathArena from;
  EXPECT_EQ(from.Add("a/", "b"), "a/b");
  { const PathArena to = std::move(from); }
  EXPECT_EQ(from.Add("c/", "d"), "c/d");  // NOLINT(bugprone-use-after-move)
}

TEST(EntryPath, AssignmentMovesAndEmptyPaths) {
  EntryPath p = "a/b";
  EXPECT_TRUE(p.IsOwned());
  p = p;  // self-assignment reads its own bytes before it frees them
  EXPECT_EQ(p, "a/b");
  p = std::string_view(p).substr(2);
  EXPECT_EQ(p, "b");
  EntryPath q = std::move(p);
  EXPECT_TRUE(p.empty());  // NOLINT(bugprone-use-after-move): moved from is empty
  EXPECT_EQ(q, "b");
  q = "";
  EXPECT_TRUE(q.empty());
  EXPECT_FALSE(q.IsOwned());
  EXPECT_EQ(q.view(), std::string_view());
  EXPECT_EQ(PathArena().Add("", ""), "");
  // Order and equality are those of the bytes.
  EXPECT_LT(EntryPath("a/b"), EntryPath("a/c"));
  EXPECT_LT(EntryPath("a"), "a/");
  EXPECT_EQ(std::string("x/y"), EntryPath("x/y"));
  EXPECT_NE(EntryPath("x/y"), "x/z");
  static_assert(sizeof(EntryPath) == 8);
}

}  // namespace
}  // namespace tarvex
