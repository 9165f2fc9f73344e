#include "core/list/folder_hiding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvex {
namespace {

PathEntry Entry(std::string path, std::uint32_t attr) {
  PathEntry e;
  e.Path = std::move(path);
  e.Attr = attr;
  return e;
}

std::vector<std::string> AllPaths(const PathList& list) {
  std::vector<std::string> paths;
  for (const auto& e : list.Entries) paths.push_back(e.Path);
  return paths;
}

TEST(HideFolders, ParksFoldersBehindTheFilesInTheirOrder) {
  PathList list;
  list.Entries = {Entry("f1", AttrDirectory),
                  Entry("a", AttrArchive),
                  Entry("f2", AttrDirectory | AttrReadOnly),
                  Entry("b", AttrArchive | AttrReadOnly),
                  Entry("f3", AttrDirectory),
                  Entry("parked before", AttrDirectory)};
  list.PathCount = 5;
  list.FolderCount = 4;
  HideFolders(list);
  EXPECT_EQ(list.PathCount, 2);
  EXPECT_EQ(list.FolderCount, 4);  // the counter still counts the hidden folders
  // Each folder goes just behind the shrinking list, so the last one found lies first; what lay
  // beyond PathCount stays where it was.
  EXPECT_EQ(AllPaths(list),
            (std::vector<std::string>{"a", "b", "f3", "f2", "f1", "parked before"}));
}

TEST(HideFolders, HandlesListsWithoutFilesOrFolders) {
  PathList empty;
  HideFolders(empty);
  EXPECT_EQ(empty.PathCount, 0);

  PathList folders;
  folders.Entries = {Entry("x", AttrDirectory), Entry("y", AttrDirectory)};
  folders.PathCount = 2;
  HideFolders(folders);
  EXPECT_EQ(folders.PathCount, 0);
  EXPECT_EQ(AllPaths(folders), (std::vector<std::string>{"y", "x"}));

  PathList files;
  files.Entries = {Entry("b", AttrArchive), Entry("a", AttrArchive)};
  files.PathCount = 2;
  HideFolders(files);
  EXPECT_EQ(files.PathCount, 2);
  EXPECT_EQ(AllPaths(files), (std::vector<std::string>{"b", "a"}));
}

}  // namespace
}  // namespace tarvex
