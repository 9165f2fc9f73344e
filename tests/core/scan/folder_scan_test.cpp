#include "core/scan/folder_scan.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "support/command_test_support.h"
#include "support/temp_tree.h"
#include "support/trash_sandbox.h"

namespace tarvex {
namespace {

using commandtest::ScriptedFileOperations;
using testing::TempTree;

constexpr long long T0 = 1700000000;  // an even second

FilterSet All() { return FilterSet{"すべて", {}, {"*.*"}, {}}; }
FilterSet Everything() { return FilterSet{"every", {}, {"*"}, {}}; }

const PathEntry* Find(const PathList& list, const std::string& path) {
  for (std::int32_t i = 0; i < list.PathCount; ++i)
    if (list[i].Path == path) return &list[i];
  return nullptr;
}

std::map<std::string, CompareStatus> Statuses(const PathList& list) {
  std::map<std::string, CompareStatus> out;
  for (std::int32_t i = 0; i < list.PathCount; ++i) out[list[i].Path] = list[i].Status;
  return out;
}

class FolderScanTest : public ::testing::Test {
 protected:
  PathList Scan(const ScanOptions& options, const FilterSet& filter = Everything()) {
    PathList list;
    ScanFolders(list, main_.Root(), sub_.Root(), options, filter);
    return list;
  }
  TempTree main_, sub_;
};

TEST_F(FolderScanTest, PairsBothSidesAndDecidesEveryStatus) {
  main_.File("same.txt", "12345", T0);
  sub_.File("same.txt", "12345", T0 + 1);  // same 2-second step
  main_.File("newer.txt", "x", T0 + 10);
  sub_.File("newer.txt", "xxxx", T0);
  main_.File("older.txt", "xxxx", T0);
  sub_.File("older.txt", "x", T0 + 10);
  main_.File("larger.txt", "xxxxxxxxxx", T0);
  sub_.File("larger.txt", "x", T0);
  main_.File("smaller.txt", std::string(10, 'x'), T0);
  sub_.File("smaller.txt", std::string(20, 'x'), T0);
  main_.File("mainonly.txt");
  sub_.File("subonly.txt");
  main_.File("dir/inner.txt", "a", T0);
  sub_.File("dir/inner.txt", "a", T0);

  ScanOptions options;
  options.SubFolder = true;
  const PathList list = Scan(options);
  const std::map<std::string, CompareStatus> expected = {
      {"same.txt", Same},         {"newer.txt", MainNewer},           {"older.txt", SubNewer},
      {"larger.txt", MainLarger}, {"smaller.txt", SubLarger},         {"mainonly.txt", MainOnly},
      {"subonly.txt", SubOnly},   {"dir", Find(list, "dir")->Status}, {"dir/inner.txt", Same},
  };
  EXPECT_EQ(Statuses(list), expected);
  EXPECT_EQ(list.PathCount, 9);
  EXPECT_EQ(list.FolderCount, 1);
  std::int32_t same = 0;
  for (std::int32_t i = 0; i < list.PathCount; ++i) same += list[i].Status == Same;
  EXPECT_EQ(list.SameCount, same);
  EXPECT_EQ(Find(list, "larger.txt")->MainSize, 10);
  EXPECT_EQ(Find(list, "larger.txt")->SubSize, 1);
}

TEST_F(FolderScanTest, AStoppedScanLeavesTheListAsItWas) {
  for (int i = 0; i < 300; ++i) main_.File("d/f" + std::to_string(i) + ".txt", "x", T0);
  sub_.File("s.txt", "s", T0);
  ScanOptions options;
  options.SubFolder = true;
  PathList list;
  ScanFolders(list, main_.Root(), "", options, Everything());
  ASSERT_EQ(list.PathCount, 301);
  const auto statuses = Statuses(list);

  // Stopped in the main pass, in the sub pass, and at the very end of it.
  for (const int stopAt : {1, 5, 6}) {
    int asked = 0;
    PosixFileOperations files;
    const ScanReport report = ScanFolders(list, main_.Root(), sub_.Root(), options, Everything(),
                                          files, {}, [&] { return ++asked >= stopAt; });
    EXPECT_TRUE(report.Stopped) << stopAt;
    EXPECT_EQ(list.PathCount, 301) << stopAt;
    EXPECT_EQ(Statuses(list), statuses) << stopAt;
    EXPECT_FALSE(list.SubRootIdentity.Known) << stopAt;
  }
  // Not stopped: the new scan takes the list's place.
  PosixFileOperations files;
  const ScanReport report = ScanFolders(list, main_.Root(), sub_.Root(), options, Everything(),
                                        files, {}, [] { return false; });
  EXPECT_FALSE(report.Stopped);
  EXPECT_EQ(list.PathCount, 302);
}

TEST_F(FolderScanTest, BreadthFirstWithCreationPositions) {
  main_.File("a/b/deep.txt");
  main_.File("top.txt");
  sub_.File("a/b/c/deeper.txt");
  ScanOptions options;
  options.SubFolder = true;
  const PathList list = Scan(options);
  ASSERT_EQ(list.PathCount, 6);
  // Depth never decreases along the main entries, then along the sub-only entries.
  auto depth = [](const std::string& p) { return std::count(p.begin(), p.end(), '/'); };
  for (std::int32_t i = 1; i < 4; ++i) EXPECT_LE(depth(list[i - 1].Path), depth(list[i].Path));
  EXPECT_EQ(list[4].Path, "a/b/c");
  EXPECT_EQ(list[5].Path, "a/b/c/deeper.txt");
  for (std::int32_t i = 0; i < list.PathCount; ++i) {
    EXPECT_EQ(list[i].CreatedIndex, i + 1) << list[i].Path;
    if (list[i].Path.find('/') == std::string::npos) {
      EXPECT_EQ(list[i].ParentIndex, 0);
    }
  }
  EXPECT_EQ(list[5].ParentIndex, 5);  // found by listing a/b/c, created at position 5
}

TEST_F(FolderScanTest, WithoutSubFoldersOnlyTheRootsAreListed) {
  main_.File("dir/inner.txt");
  main_.File("top.txt");
  sub_.File("other/inner.txt");
  const PathList list = Scan(ScanOptions{});
  EXPECT_EQ(Statuses(list), (std::map<std::string, CompareStatus>{
                                {"dir", MainOnly}, {"top.txt", MainOnly}, {"other", SubOnly}}));
}

TEST_F(FolderScanTest, OneSideDirStopsAtFoldersTheOtherSideLacks) {
  main_.File("only/a.txt");
  main_.File("only/deeper/b.txt");
  main_.File("both/c.txt");
  sub_.Folder("both");
  ScanOptions options;
  options.SubFolder = true;
  options.OneSideDir = true;
  EXPECT_EQ(Statuses(Scan(options)),
            (std::map<std::string, CompareStatus>{{"only", MainOnly},
                                                  {"both", Find(Scan(options), "both")->Status},
                                                  {"both/c.txt", MainOnly}}));
  options.OneSideDir = false;
  const PathList all = Scan(options);
  EXPECT_EQ(all.PathCount, 6);
  EXPECT_EQ(Find(all, "only/deeper/b.txt")->Status, MainOnly);
}

TEST_F(FolderScanTest, FolderOnBothSidesUnderDirIgnore) {
  main_.Folder("dir", T0 + 100);
  sub_.Folder("dir", T0);
  ScanOptions options;
  EXPECT_EQ(Find(Scan(options), "dir")->Status, MainNewer);
  options.DirIgnore = true;
  PathList list = Scan(options);
  EXPECT_EQ(Find(list, "dir")->Status, Same);
  EXPECT_EQ(list.SameCount, 1);
  list.CompareAllEntries();  // computed again from the times
  EXPECT_EQ(Find(list, "dir")->Status, MainNewer);
  EXPECT_EQ(list.SameCount, 0);
}

TEST_F(FolderScanTest, LetterCaseOfPairing) {
  main_.File("Readme.TXT", "x", T0);
  sub_.File("README.txt", "x", T0);
  EXPECT_EQ(Scan(ScanOptions{}).PathCount, 2);  // two files on a case-sensitive file system
  ScanOptions options;
  options.CaseInsensitivePairing = true;
  const PathList list = Scan(options);
  ASSERT_EQ(list.PathCount, 1);
  EXPECT_EQ(list[0].Path, "Readme.TXT");
  EXPECT_EQ(list[0].Status, Same);
}

TEST_F(FolderScanTest, OnlyFoldersAndRegularFilesAreListed) {
  main_.File("plain.txt");
  main_.File("readonly.txt", "", std::nullopt, 0444);
  main_.Folder("realdir");
  main_.Link("link.txt", "plain.txt");
  main_.Link("linkdir", "realdir");
  ASSERT_EQ(mkfifo(main_.PathOf("pipe").c_str(), 0644), 0);
  ScanOptions options;
  options.SubFolder = true;
  const PathList list = Scan(options);
  EXPECT_EQ(Statuses(list).size(), 3u);
  EXPECT_EQ(Find(list, "plain.txt")->Attr, AttrArchive);
  EXPECT_EQ(Find(list, "readonly.txt")->Attr, AttrArchive | AttrReadOnly);
  EXPECT_EQ(Find(list, "realdir")->Attr, AttrDirectory);
  // A mask without the read-only bit leaves read-only files out.
  options.AttrMask = AttrDirectory | AttrArchive;
  EXPECT_EQ(Find(Scan(options), "readonly.txt"), nullptr);
}

// A link below a root is never a way into a folder: where the other side has a real folder of
// that name, the scan must not list through the link (one to "/" would list the whole machine, and
// a later delete would trash files outside the root). The root itself may be a link.
TEST_F(FolderScanTest, LinksBelowARootAreNeverListedInto) {
  TempTree outside;
  outside.File("secret.txt", "not in either tree", T0);
  outside.File("deeper/also.txt", "nor this", T0);
  main_.File("x/mine.txt", "m", T0);
  main_.File("y/z/deep.txt", "d", T0);
  sub_.Link("x", outside.Root());
  sub_.Folder("y");
  sub_.Link("y/z", outside.Root() + "/deeper");
  TempTree links;
  links.Link("main", main_.Root());
  for (const bool oneSideDir : {false, true}) {
    SCOPED_TRACE(oneSideDir ? "one side dir" : "all folders");
    ScanOptions options;
    options.SubFolder = true;
    options.OneSideDir = oneSideDir;
    options.DirIgnore = true;  // "y" is Same whatever its times
    PathList list;
    ScanFolders(list, links.PathOf("main"), sub_.Root(), options, Everything());
    std::map<std::string, CompareStatus> expected = {
        {"x", MainOnly}, {"y", Same}, {"y/z", MainOnly}};
    if (!oneSideDir) {
      expected["x/mine.txt"] = MainOnly;
      expected["y/z/deep.txt"] = MainOnly;
    }
    EXPECT_EQ(Statuses(list), expected);
    EXPECT_TRUE(list.MainRootIdentity.Known) << "the root through a link is listed";
    EXPECT_TRUE(list.SubRootIdentity.Known);
  }
}

// Names joined beyond PATH_MAX are still reached, name by name from the root.
TEST_F(FolderScanTest, FoldersDeeperThanPathMaxAreListed) {
  const std::string level(200, 'd');
  std::string relative;
  for (const TempTree* tree : {&main_, &sub_}) {
    int folder = ::open(tree->Root().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder, 0);
    relative.clear();
    for (int depth = 0; depth < 24; ++depth) {
      ASSERT_EQ(::mkdirat(folder, level.c_str(), 0755), 0);
      const int next = ::openat(folder, level.c_str(), O_RDONLY | O_DIRECTORY);
      ::close(folder);
      ASSERT_GE(next, 0);
      folder = next;
      relative += level + "/";
    }
    const int file = ::openat(folder, "bottom.txt", O_WRONLY | O_CREAT, 0644);
    ASSERT_GE(file, 0);
    ASSERT_EQ(::write(file, "x", 1), 1);
    const struct timespec times[2] = {{T0, 0}, {T0 + (tree == &main_ ? 10 : 0), 0}};
    ASSERT_EQ(::futimens(file, times), 0);
    ::close(file);
    ::close(folder);
  }
  relative += "bottom.txt";
  ASSERT_GT(main_.Root().size() + 1 + relative.size(), static_cast<std::size_t>(PATH_MAX));
  ScanOptions options;
  options.SubFolder = true;
  const PathList list = Scan(options);
  ASSERT_NE(Find(list, relative), nullptr);
  EXPECT_EQ(Find(list, relative)->Status, MainNewer);
  EXPECT_EQ(list.PathCount, 25);
}

TEST_F(FolderScanTest, FileOnOneSideFolderOnTheOther) {
  main_.File("x", "abc", T0);
  sub_.File("x/inside.txt");
  ScanOptions options;
  options.SubFolder = true;
  const PathList list = Scan(options);
  ASSERT_EQ(list.PathCount, 1);  // only a folder Attr lets the walk go inside
  EXPECT_EQ(list[0].Attr, AttrArchive);
  EXPECT_TRUE(list[0].MainExists && list[0].SubExists);
  EXPECT_EQ(list[0].SubSize, 0);
}

TEST_F(FolderScanTest, FilterSetDecidesWhatIsListedAndIgnored) {
  main_.File("README");
  main_.File("a.txt");
  main_.File(".profile");
  main_.File("~lock.txt");
  main_.File("sub/~lock.txt");
  main_.File("both.log");
  main_.File("x.bak");
  main_.File("sub/x.bak");
  main_.File("sub/y.bak");
  FilterSet filter{"f", {"~*", "both.*"}, {"*.*"}, {"x.bak", "*y.bak"}};
  ScanOptions options;
  options.SubFolder = true;
  const PathList list = Scan(options, filter);
  EXPECT_EQ(Statuses(list).size(), 6u);  // a.txt .profile x.bak sub sub/x.bak sub/y.bak
  EXPECT_EQ(Find(list, "README"), nullptr);
  EXPECT_EQ(Find(list, "~lock.txt"), nullptr);
  EXPECT_EQ(Find(list, "sub/~lock.txt"), nullptr);
  EXPECT_EQ(Find(list, "both.log"), nullptr);  // hide wins over select
  EXPECT_TRUE(Find(list, "x.bak")->Ignored);
  EXPECT_FALSE(Find(list, "sub/x.bak")->Ignored);  // no leading "*": root only
  EXPECT_TRUE(Find(list, "sub/y.bak")->Ignored);
  EXPECT_FALSE(Find(list, "sub")->Ignored);
}

// The scan reads the disk only through the FileOperations it is given. A folder whose listing
// fails contributes nothing on that side, and a folder test that fails keeps OneSideDir out.
TEST_F(FolderScanTest, FailedReadsOfOneFolderLeaveOnlyItsContentsOut) {
  main_.File("bad/inner.txt", "i", T0);
  main_.File("bad/deeper/x.txt", "x", T0);
  main_.File("good/a.txt", "a", T0);
  sub_.File("bad/sub.txt", "s", T0);
  sub_.File("good/a.txt", "a", T0);
  const std::string mainBad = main_.PathOf("bad");
  const std::string subBad = sub_.PathOf("bad");
  struct Case {
    const char* name;
    std::vector<std::string> unlistable;
    bool oneSideDir;
    bool subBadExists;  // what the folder test says of the sub side's "bad/"
    std::vector<std::string> paths;
  };
  const Case cases[] = {
      {"main listing fails", {mainBad}, false, true, {"bad", "bad/sub.txt", "good", "good/a.txt"}},
      {"both listings fail", {mainBad, subBad}, false, true, {"bad", "good", "good/a.txt"}},
      // The main side's "bad" is not listed into; the sub side's is, as the main one exists.
      {"folder test fails", {}, true, false, {"bad", "bad/sub.txt", "good", "good/a.txt"}},
      {"nothing fails",
       {},
       false,
       true,
       {"bad", "bad/deeper", "bad/deeper/x.txt", "bad/inner.txt", "bad/sub.txt", "good",
        "good/a.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedFileOperations files;
    files.list = [&](const RootFolder& root, const std::string& relative, std::uint32_t mask,
                     const std::function<void(const DirectoryEntry&)>& onEntry) {
      const std::string folder = root.PathOf(relative);
      if (std::find(c.unlistable.begin(), c.unlistable.end(), folder) != c.unlistable.end())
        return FileResult::Failure(FileStep::OpenFolder, EIO, "フォルダを読めません");
      return files.PosixFileOperations::ListDirectory(root, relative, mask, onEntry);
    };
    files.folderExists = [&](const std::string& path) -> std::optional<bool> {
      if (path == subBad) return c.subBadExists;
      return std::nullopt;
    };
    ScanOptions options;
    options.SubFolder = true;
    options.OneSideDir = c.oneSideDir;
    PathList list;
    ScanFolders(list, main_.Root(), sub_.Root(), options, Everything(), files);
    std::vector<std::string> paths;
    for (std::int32_t i = 0; i < list.PathCount; ++i) paths.push_back(list[i].Path);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, c.paths);
    EXPECT_EQ(Find(list, "good/a.txt")->Status, Same);
    EXPECT_EQ(list.FolderCount, c.paths.size() == 7 ? 3 : 2);
  }
}

// A folder that cannot be listed (no rights here) is not silently empty: the report names it with
// the reason, since its files now look one-sided. A root that cannot be listed is reported the
// same way; a folder that exists on the other side only is nothing to read on this one. As root
// every folder is readable, so the scan runs in a child with the rights of "nobody".
TEST(FolderScanReport, UnreadableFoldersAreNamedWithTheirReason) {
  filetest::SandboxFolder dir;
  TempTree main(dir / "main");
  TempTree sub(dir / "sub");
  main.File("locked/inner.txt", "i", T0);
  sub.File("locked/inner.txt", "i", T0);
  main.File("mainonly/x.txt", "x", T0);
  TempTree lockedRoot(dir / "lockedroot");
  lockedRoot.File("y.txt", "y", T0);
  ASSERT_EQ(::chmod(main.PathOf("locked").c_str(), 0), 0);
  ASSERT_EQ(::chmod(lockedRoot.Root().c_str(), 0311), 0);  // enterable, not listable

  const auto out = commandtest::RunWithoutRootRights([&] {
    std::string text;
    ScanOptions options;
    options.SubFolder = true;
    for (const std::string& subRoot : {sub.Root(), lockedRoot.Root()}) {
      PathList list;
      const ScanReport report = ScanFolders(list, main.Root(), subRoot, options, Everything());
      for (const UnreadableFolder& folder : report.UnreadableFolders)
        text += folder.Path + "|" + folder.Reason + "\n";
      text += "--\n";
    }
    return text;
  });
  ::chmod(main.PathOf("locked").c_str(), 0755);
  ::chmod(lockedRoot.Root().c_str(), 0755);
  if (!out) GTEST_SKIP() << "cannot drop root rights here";

  const std::string reason = "フォルダを読めません (Permission denied)";
  EXPECT_EQ(*out, main.PathOf("locked") + "|" + reason + "\n--\n" +  //
                      main.PathOf("locked") + "|" + reason + "\n" +  //
                      lockedRoot.Root() + "|" + reason + "\n--\n");
}

TEST_F(FolderScanTest, InvalidPatternStopsTheScanAndLeavesNoRows) {
  main_.File("a.txt");
  FilterSet filter{"bad", {"[a"}, {"*.*"}, {}};
  PathList list;
  list.Entries.resize(3);
  list.PathCount = 3;
  try {
    ScanFolders(list, main_.Root(), sub_.Root(), ScanOptions{}, filter);
    FAIL() << "no mask error";
  } catch (const MaskError& e) {
    EXPECT_EQ(e.Position(), 3);
    EXPECT_EQ(e.Pattern(), "[a");
  }
  EXPECT_EQ(list.PathCount, 0);
  EXPECT_TRUE(list.Entries.empty());
  // Folders are never filtered by name, so a tree of folders alone never reaches the pattern.
  TempTree folders;
  folders.Folder("d");
  ScanFolders(list, folders.Root(), "", ScanOptions{}, filter);
  EXPECT_EQ(list.PathCount, 1);
}

// A root that names no folder contributes nothing; a missing one is reported, since all the other
// side's files then look one-sided, while an empty or non-path text names no folder at all.
TEST_F(FolderScanTest, MissingAndEmptyRoots) {
  main_.File("a.txt");
  PathList list;
  const ScanReport missing =
      ScanFolders(list, main_.Root(), sub_.Root() + "/missing", ScanOptions{}, Everything());
  EXPECT_EQ(Statuses(list), (std::map<std::string, CompareStatus>{{"a.txt", MainOnly}}));
  ASSERT_EQ(missing.UnreadableFolders.size(), 1u);
  EXPECT_EQ(missing.UnreadableFolders[0].Path, sub_.Root() + "/missing");
  EXPECT_FALSE(list.SubRootIdentity.Known);
  EXPECT_TRUE(list.MainRootIdentity.Known);
  EXPECT_TRUE(
      ScanFolders(list, "", main_.Root(), ScanOptions{}, Everything()).UnreadableFolders.empty());
  EXPECT_EQ(Statuses(list), (std::map<std::string, CompareStatus>{{"a.txt", SubOnly}}));
  ScanFolders(list, "コンピュータ", main_.Root(), ScanOptions{}, Everything());  // not a path
  EXPECT_EQ(Statuses(list), (std::map<std::string, CompareStatus>{{"a.txt", SubOnly}}));
  ScanOptions oneSide;
  oneSide.SubFolder = oneSide.OneSideDir = true;
  main_.File("d/inner.txt");
  ScanFolders(list, main_.Root(), "", oneSide, Everything());
  EXPECT_EQ(list.PathCount, 2);  // an empty other root is not "/"
}

TEST_F(FolderScanTest, EmptySidesGiveAnEmptyListAndZeroCounters) {
  std::vector<std::string> texts;
  PathList list;
  ScanFolders(list, main_.Root(), sub_.Root(), ScanOptions{}, All(),
              [&](const std::string& t) { texts.push_back(t); });
  EXPECT_EQ(list.PathCount, 0);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(texts.back(), "全パス=0　ディレクトリ=0  同じパス=0    ");
  EXPECT_EQ(ScanCounterText(false, 1, 2, 3), "全パス=1　ディレクトリ=2  同じパス=3            ");
}

TEST_F(FolderScanTest, NamesThatAreNotUtf8AreKeptByteForByte) {
  const std::string name = "caf\xe9-\xff.txt";
  main_.File(name, "abc", T0);
  sub_.File(name, "abcd", T0);
  const PathList list = Scan(ScanOptions{});
  ASSERT_EQ(list.PathCount, 1);
  EXPECT_EQ(list[0].Path, name);
  EXPECT_EQ(list[0].Status, SubLarger);
}

TEST_F(FolderScanTest, SizesAreSixtyFourBit) {
  main_.File("big.bin");
  ASSERT_EQ(truncate(main_.PathOf("big.bin").c_str(), 4294967297LL), 0);  // sparse
  sub_.File("big.bin", "x");
  main_.SetTime("big.bin", T0);
  sub_.SetTime("big.bin", T0);
  const PathList list = Scan(ScanOptions{});
  EXPECT_EQ(list[0].MainSize, 4294967297LL);
  EXPECT_EQ(list[0].Status, MainLarger);
}

TEST(PackedLocalTime, TwoSecondStepsInLocalTime) {
  EXPECT_EQ(PackedLocalTime(T0), PackedLocalTime(T0 + 1));
  EXPECT_LT(PackedLocalTime(T0 + 1), PackedLocalTime(T0 + 2));
  setenv("TZ", "UTC", 1);
  tzset();
  EXPECT_DOUBLE_EQ(PackedLocalTime(0), 25569.0);  // 1970-01-01 00:00
  EXPECT_DOUBLE_EQ(PackedLocalTime(86400 + 43201), 25570.5);
  setenv("TZ", "Asia/Tokyo", 1);
  tzset();
  EXPECT_DOUBLE_EQ(PackedLocalTime(0), 25569.0 + 9.0 / 24);
  unsetenv("TZ");
  tzset();
}

// The scan as first described: the merge searches the list in order for the first equal path.
void ReferenceScan(PathList& list, const std::string& mainRoot, const std::string& subRoot,
                   const ScanOptions& options, const FilterSet& filter) {
  list.Clear();
  list.Entries.push_back(PathEntry{mainRoot, AttrDirectory});
  list.PathCount = 1;
  auto lower = [](std::string s) {
    for (char& c : s)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return s;
  };
  PosixFileOperations files;
  for (int pass = 0; pass < 2; ++pass) {
    const bool sub = pass == 1;
    if (sub) list[0].Path = subRoot;
    RootFolder root;
    root.Open(sub ? subRoot : mainRoot);
    for (std::int32_t c = 0; c < list.PathCount; ++c) {
      if (IsFolder(list[c].Attr)) {
        const std::string prefix = c == 0 ? "" : list[c].Path + "/";
        files.ListDirectory(
            root, c == 0 ? "" : list[c].Path, options.AttrMask, [&](const DirectoryEntry& d) {
              if (!IsFolder(d.Attr) && CheckFileName(filter, d.Name) != NameShown) return;
              const std::string rel = prefix + d.Name;
              std::int32_t found = -1;
              for (std::int32_t i = 0; sub && i < list.PathCount && found < 0; ++i) {
                if (options.CaseInsensitivePairing ? lower(list[i].Path) == lower(rel)
                                                   : list[i].Path == rel)
                  found = i;
              }
              if (found >= 0) {
                list.SetSubSide(found, d);
                list.CompareEntry(found);
                return;
              }
              PathEntry e{rel, d.Attr, list.PathCount, c};
              e.Ignored = IsCopyIgnored(filter, rel, d.Attr);
              list.Entries.push_back(e);
              const std::int32_t i = list.PathCount++;
              sub ? list.SetSubSide(i, d) : list.SetMainSide(i, d);
              list.CompareEntry(i);
              if (IsFolder(d.Attr)) ++list.FolderCount;
            });
      }
      if (!options.SubFolder) break;
    }
  }
  list.Entries.erase(list.Entries.begin());
  --list.PathCount;
}

void ExpectScanAsReference(const std::string& mainRoot, const std::string& subRoot) {
  for (bool caseless : {false, true}) {
    ScanOptions options;
    options.SubFolder = true;
    options.CaseInsensitivePairing = caseless;
    PathList fast, slow;
    ScanFolders(fast, mainRoot, subRoot, options, Everything());
    ReferenceScan(slow, mainRoot, subRoot, options, Everything());
    ASSERT_EQ(fast.PathCount, slow.PathCount);
    EXPECT_EQ(fast.FolderCount, slow.FolderCount);
    EXPECT_EQ(fast.SameCount, slow.SameCount);
    for (std::int32_t i = 0; i < fast.PathCount; ++i) {
      EXPECT_EQ(fast[i].Path, slow[i].Path);
      EXPECT_EQ(fast[i].Status, slow[i].Status) << fast[i].Path;
      EXPECT_EQ(fast[i].CreatedIndex, slow[i].CreatedIndex);
      EXPECT_EQ(fast[i].ParentIndex, slow[i].ParentIndex);
    }
  }
}

TEST(FolderScanReference, MergeAgreesWithInOrderSearchOnRandomTrees) {
  std::minstd_rand rng(7);
  for (int round = 0; round < 4; ++round) {
    TempTree mainTree, subTree;
    const char* names[] = {"a", "A", "b", "B.txt", "b.txt", "c.TXT", "C.txt", "d"};
    for (int k = 0; k < 120; ++k) {
      std::string rel;
      for (auto depth = rng() % 3; depth > 0; --depth) rel += std::string(names[rng() % 8]) + "d/";
      rel += names[rng() % 8];
      TempTree& tree = rng() % 2 ? mainTree : subTree;
      if (!tree.Exists(rel)) tree.File(rel, std::string(rng() % 3, 'x'), T0 + 2 * (rng() % 3));
      if (rng() % 3 == 0 && !(&tree == &mainTree ? subTree : mainTree).Exists(rel))
        (&tree == &mainTree ? subTree : mainTree).File(rel, "x", T0);
    }
    ExpectScanAsReference(mainTree.Root(), subTree.Root());
  }
}

// Enough paths that the index grows several times while the sub pass looks up every one of them,
// names differing in letter case among them.
TEST(FolderScanReference, MergeAgreesWithInOrderSearchWhileTheIndexGrows) {
  TempTree mainTree, subTree;
  for (int k = 0; k < 3000; ++k) {
    const std::string folder = "f" + std::to_string(k / 2 % 7) + "/";
    const std::string name = (k % 5 == 0 ? "Name" : "name") + std::to_string(k / 2);
    if (!mainTree.Exists(folder + name)) mainTree.File(folder + name, "x", T0);
    if (k % 3 != 0 && !subTree.Exists(folder + name)) subTree.File(folder + name, "xy", T0);
  }
  ExpectScanAsReference(mainTree.Root(), subTree.Root());
}

}  // namespace
}  // namespace tarvex
