#include "core/fs/file_operations.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>

#include "core/scan/folder_scan.h"
#include "support/command_test_support.h"
#include "support/trash_sandbox.h"
#include "support/tree_snapshot.h"

namespace tarvex {
namespace {

using commandtest::OpenedRoot;
using commandtest::ScriptedFileOperations;
using filetest::CountNamesContaining;
using filetest::FindInTrash;
using filetest::PathExists;
using filetest::ReadFile;
using filetest::SandboxFolder;
using filetest::WriteFile;

constexpr const char* TemporaryMarker = ".tarvex-";

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

struct stat StatOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st;
}

void MakeFolder(const std::string& path) { ASSERT_EQ(::mkdir(path.c_str(), 0755), 0) << path; }

// Copies between two roots in the sandbox, main and sub, by the same relative path.
class CopyOneFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(filetest::SandboxTrashIsPrivate()) << "GLib does not name the test's own trash";
    MakeFolder(source_);
    MakeFolder(target_);
  }

  // Every copy is followed by the no-loss check: each file's bytes are still somewhere, the trash
  // included, and nothing else in the sandbox folder changed. A test that changes a file itself
  // while the copy runs leaves it out.
  FileResult Copy(const std::string& relative, FileOperations* ops = nullptr,
                  bool checkNothingLost = true) {
    PosixFileOperations posix;
    noLoss_.Baseline();
    const FileResult result =
        (ops != nullptr ? *ops : posix)
            .CopyOneFile(OpenedRoot(source_), OpenedRoot(target_), relative, CopyWhen::Always);
    if (checkNothingLost) noLoss_.Expect();
    return result;
  }

  // What every failed copy must leave: the old destination as it was, not trashed, no temporary.
  void ExpectOldDestinationUntouched(const std::string& destination, const std::string& content) {
    EXPECT_EQ(ReadFile(destination), content);
    EXPECT_FALSE(FindInTrash(destination).has_value());
    EXPECT_EQ(CountNamesContaining(destination.substr(0, destination.rfind('/')), TemporaryMarker),
              0);
  }

  SandboxFolder dir_;
  const std::string source_ = dir_ / "main";
  const std::string target_ = dir_ / "sub";
  testing::NoLossCheck noLoss_{
      dir_.Path(), {source_, target_}, {filetest::SandboxTrashFolder() + "files"}};
};

TEST_F(CopyOneFileTest, NewDestinationGetsContentTimeAndModeAndItsMissingFolders) {
  for (const char* folder : {"/a", "/a/b", "/a/b/c"}) MakeFolder(source_ + folder);
  const std::string relative = "a/b/c/data.bin";
  // More than one piece of the kernel copy, and an odd size.
  const std::string content = RandomBytes((9u << 20) + 12345, 1);
  WriteFile(source_ + "/" + relative, content, 0640);
  filetest::SetModificationTime(source_ + "/" + relative, 1600000000, 123456789);

  const FileResult result = Copy(relative);

  ASSERT_TRUE(result) << result.Reason;
  const std::string to = target_ + "/" + relative;
  EXPECT_EQ(ReadFile(to), content);
  const struct stat st = StatOf(to);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(st.st_mtim.tv_sec, 1600000000);
  EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
  EXPECT_EQ(CountNamesContaining(target_ + "/a/b/c", TemporaryMarker), 0);
  EXPECT_EQ(ReadFile(source_ + "/" + relative), content);
}

TEST_F(CopyOneFileTest, EmptySourceGivesAnEmptyCopy) {
  WriteFile(source_ + "/empty", "");
  ASSERT_TRUE(Copy("empty"));
  EXPECT_EQ(ReadFile(target_ + "/empty"), "");
}

// With an unnamed temporary, and with a named one where the file system has none.
TEST_F(CopyOneFileTest, ExistingDestinationGoesToTheTrashAndTheCopyTakesItsPlace) {
  for (const bool unnamed : {true, false}) {
    SCOPED_TRACE(unnamed ? "unnamed temporary" : "named temporary");
    const std::string name = unnamed ? "note.txt" : "named.txt";
    WriteFile(source_ + "/" + name, "new version");
    WriteFile(target_ + "/" + name, "old version");
    ScriptedFileOperations ops;
    ops.unnamedTemporaries = unnamed;

    ASSERT_TRUE(Copy(name, &ops));

    EXPECT_EQ(ReadFile(target_ + "/" + name), "new version");
    const auto trashed = FindInTrash(target_ + "/" + name);
    ASSERT_TRUE(trashed.has_value()) << "old destination has no .trashinfo";
    EXPECT_EQ(ReadFile(*trashed), "old version");
    EXPECT_EQ(CountNamesContaining(target_, TemporaryMarker), 0);
  }
}

// The folder is writable, so a read-only file there is trashed like any other (the trash moves
// names, it does not write the file), and the copy takes the source's mode, not the old one's.
TEST_F(CopyOneFileTest, ReadOnlyDestinationIsTrashedLikeAnyOther) {
  WriteFile(source_ + "/locked.txt", "new", 0644);
  WriteFile(target_ + "/locked.txt", "old", 0444);

  ASSERT_TRUE(Copy("locked.txt"));

  EXPECT_EQ(ReadFile(target_ + "/locked.txt"), "new");
  EXPECT_EQ(StatOf(target_ + "/locked.txt").st_mode & 0777, 0644u);
  const auto trashed = FindInTrash(target_ + "/locked.txt");
  ASSERT_TRUE(trashed.has_value());
  EXPECT_EQ(ReadFile(*trashed), "old");
}

TEST_F(CopyOneFileTest, NoWriteRightInTheDestinationFolderLosesNothing) {
  WriteFile(source_ + "/f.txt", "new");
  WriteFile(target_ + "/f.txt", "old");
  ASSERT_EQ(::chmod(target_.c_str(), 0555), 0);

  // Root may write anywhere, so as root the copy runs in a child with the rights of "nobody".
  const auto step = commandtest::RunWithoutRootRights([&] {
    const FileResult result = PosixFileOperations().CopyOneFile(
        OpenedRoot(source_), OpenedRoot(target_), "f.txt", CopyWhen::Always);
    return std::to_string(result ? 0 : 10 + static_cast<int>(result.Step));
  });

  ::chmod(target_.c_str(), 0755);
  if (!step) GTEST_SKIP() << "cannot drop root rights here";
  EXPECT_EQ(*step, std::to_string(10 + static_cast<int>(FileStep::CreateTemporary)));
  ExpectOldDestinationUntouched(target_ + "/f.txt", "old");
}

TEST_F(CopyOneFileTest, SourceThatIsNotARegularFileIsRefusedBeforeAnythingIsMade) {
  MakeFolder(source_ + "/new");
  WriteFile(source_ + "/new/real.txt", "real");
  ASSERT_EQ(::symlink((source_ + "/new/real.txt").c_str(), (source_ + "/new/link").c_str()), 0);
  MakeFolder(source_ + "/new/folder");
  ASSERT_EQ(::mkfifo((source_ + "/new/fifo").c_str(), 0644), 0);  // an open must not hang on it

  for (const char* name : {"vanished", "link", "folder", "fifo"}) {
    const FileResult result = Copy(std::string("new/") + name);
    EXPECT_FALSE(result) << name;
    EXPECT_EQ(result.Step, FileStep::OpenSource) << name;
    EXPECT_FALSE(result.Reason.empty()) << name;
    EXPECT_FALSE(PathExists(target_ + "/new")) << name << ": folders made for nothing";
  }
}

TEST_F(CopyOneFileTest, VanishedSourceLeavesTheOldDestination) {
  WriteFile(target_ + "/gone.txt", "old");
  const FileResult result = Copy("gone.txt");
  EXPECT_FALSE(result);
  EXPECT_EQ(result.Error, ENOENT);
  ExpectOldDestinationUntouched(target_ + "/gone.txt", "old");
}

TEST_F(CopyOneFileTest, TrashRefusingTheOldDestinationKeepsItAndDropsTheCopy) {
  WriteFile(source_ + "/t.txt", "new");
  WriteFile(target_ + "/t.txt", "old");
  for (const bool unnamed : {true, false}) {
    ScriptedFileOperations ops;
    ops.unnamedTemporaries = unnamed;
    ops.recycle = [](const std::string&) {
      return FileResult::Failure(FileStep::Trash, ENOTSUP, "no trash on this volume");
    };

    const FileResult result = Copy("t.txt", &ops);

    EXPECT_FALSE(result);
    EXPECT_EQ(result.Step, FileStep::Trash);
    EXPECT_EQ(result.Reason, "no trash on this volume");
    ExpectOldDestinationUntouched(target_ + "/t.txt", "old");
  }
}

// Where names cannot be swapped, the old file goes to the trash before the copy is placed. A file
// written at the name by another program in between is never replaced, however the copy is placed;
// the old one then stays in the trash.
TEST_F(CopyOneFileTest, FileAppearingBetweenTrashAndPlacingIsNeverReplaced) {
  struct Case {
    const char* name;
    std::function<void(ScriptedFileOperations&)> fileSystem;
  };
  const Case cases[] = {
      {"unnamed temporary", [](ScriptedFileOperations& ops) { ops.WithoutExchange(); }},
      {"named temporary",
       [](ScriptedFileOperations& ops) {
         ops.unnamedTemporaries = false;
         ops.WithoutExchange();
       }},
      {"no RENAME_NOREPLACE, no hard links",
       [](ScriptedFileOperations& ops) { ops.WithoutNoReplaceOrLinks(); }},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = "race" + std::to_string(++n) + ".txt";
    const std::string to = target_ + "/" + name;
    WriteFile(source_ + "/" + name, "copy");
    WriteFile(to, std::string("old of ") + c.name);
    ScriptedFileOperations ops;
    c.fileSystem(ops);
    ops.afterTrash = [&](const std::string& path) { WriteFile(path, "somebody else's"); };

    const FileResult result = Copy(name, &ops);

    EXPECT_FALSE(result);
    EXPECT_EQ(result.Step, FileStep::Place);
    EXPECT_EQ(result.Error, EEXIST);
    EXPECT_EQ(ReadFile(to), "somebody else's");
    const auto trashed = FindInTrash(to);  // the old one went before the other file appeared
    ASSERT_TRUE(trashed.has_value());
    EXPECT_EQ(ReadFile(*trashed), std::string("old of ") + c.name);
    EXPECT_EQ(CountNamesContaining(target_, TemporaryMarker), 0);
  }
}

// FAT and exFAT (through FUSE or not) have neither RENAME_NOREPLACE (EINVAL) nor hard links
// (EPERM) nor O_TMPFILE: the copy is still placed, after checking that the name is free.
TEST_F(CopyOneFileTest, FileSystemWithoutNoReplaceOrHardLinksStillGetsTheCopy) {
  WriteFile(source_ + "/fat.txt", "new");
  WriteFile(target_ + "/fat.txt", "old");
  ScriptedFileOperations ops;
  ops.WithoutNoReplaceOrLinks();
  std::vector<std::string> tried;
  ops.renameOverAbsent = [&](const std::string& path) -> std::optional<FileResult> {
    tried.push_back(path);
    return std::nullopt;
  };

  const FileResult result = Copy("fat.txt", &ops);

  ASSERT_TRUE(result) << result.Reason;
  EXPECT_EQ(tried, std::vector<std::string>{target_ + "/fat.txt"});
  EXPECT_EQ(ReadFile(target_ + "/fat.txt"), "new");
  const auto trashed = FindInTrash(target_ + "/fat.txt");
  ASSERT_TRUE(trashed.has_value());
  EXPECT_EQ(ReadFile(*trashed), "old");
  EXPECT_EQ(CountNamesContaining(target_, TemporaryMarker), 0);
}

// Where names cannot be swapped: when placing fails after the old destination went to the trash,
// the old file comes back, and its record leaves the trash: the destination's name never ends up
// empty.
TEST_F(CopyOneFileTest, PlacingThatFailsBringsTheOldFileBackFromTheTrash) {
  struct Case {
    const char* name;
    std::function<void(ScriptedFileOperations&)> fail;
  };
  // The first call of the step fails (placing the copy); bringing the old one back then works.
  const auto firstFails = [] {
    return [calls = 0](const std::string&) mutable -> std::optional<FileResult> {
      if (++calls == 1) return FileResult::Failure(FileStep::Place, EIO, "the stick said no");
      return std::nullopt;
    };
  };
  const Case cases[] = {
      // The unnamed copy got a temporary name for the swap, and is moved from there.
      {"unnamed temporary",
       [&](ScriptedFileOperations& ops) {
         ops.WithoutExchange();
         ops.renameNoReplace = firstFails();
       }},
      {"named temporary",
       [&](ScriptedFileOperations& ops) {
         ops.unnamedTemporaries = false;
         ops.WithoutExchange();
         ops.renameNoReplace = firstFails();
       }},
      {"FAT: every way of placing fails",
       [&](ScriptedFileOperations& ops) {
         ops.WithoutNoReplaceOrLinks();
         ops.renameOverAbsent = firstFails();
       }},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = "p" + std::to_string(++n) + ".txt";
    WriteFile(source_ + "/" + name, "new");
    WriteFile(target_ + "/" + name, std::string("old of ") + c.name);
    ScriptedFileOperations ops;
    c.fail(ops);

    const FileResult result = Copy(name, &ops);

    EXPECT_FALSE(result);
    EXPECT_EQ(result.Step, FileStep::Place);
    EXPECT_NE(result.Reason.find("元のファイルを戻しました"), std::string::npos) << result.Reason;
    ExpectOldDestinationUntouched(target_ + "/" + name, std::string("old of ") + c.name);
  }
}

// The bytes of every file in folder whose name holds the temporary marker.
std::vector<std::string> TemporaryContents(const std::string& folder) {
  std::vector<std::string> contents;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return contents;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name.find(TemporaryMarker) != std::string::npos)
      contents.push_back(ReadFile(folder + "/" + name));
  }
  ::closedir(dir);
  return contents;
}

// Over an existing file the copy and the old file swap names in one step; the old one then goes to
// the trash recorded, and named there, under its own path, not the temporary name it had last.
TEST_F(CopyOneFileTest, OverAnExistingFileTheNamesAreSwappedAndTheOldOneTrashedUnderItsPath) {
  for (const bool unnamed : {true, false}) {
    SCOPED_TRACE(unnamed ? "unnamed temporary" : "named temporary");
    const std::string name = unnamed ? "swap1.txt" : "swap2.txt";
    const std::string to = target_ + "/" + name;
    WriteFile(source_ + "/" + name, "new");
    WriteFile(to, "old");
    ScriptedFileOperations ops;
    ops.unnamedTemporaries = unnamed;
    int swaps = 0;
    ops.exchangeNames = [&](const std::string&) -> std::optional<FileResult> {
      ++swaps;
      return std::nullopt;
    };
    ops.renameNoReplace = [](const std::string&) -> std::optional<FileResult> {
      ADD_FAILURE() << "placed by a move although the names could be swapped";
      return std::nullopt;
    };

    ASSERT_TRUE(Copy(name, &ops));

    EXPECT_EQ(swaps, 1);
    EXPECT_EQ(ReadFile(to), "new");
    const auto trashed = FindInTrash(to);
    ASSERT_TRUE(trashed.has_value()) << "the record does not name the destination";
    EXPECT_EQ(ReadFile(*trashed), "old");
    EXPECT_EQ(trashed->find(TemporaryMarker), std::string::npos) << *trashed;
    EXPECT_EQ(CountNamesContaining(target_, TemporaryMarker), 0);
  }
}

// A file system that cannot swap names says so with EINVAL, ENOSYS or EOPNOTSUPP: the copy is
// placed the other way. Any other failure of the swap fails the copy and leaves the old file.
TEST_F(CopyOneFileTest, SwapThatTheFileSystemLacksFallsBackAndOneThatFailsKeepsTheOldFile) {
  struct Case {
    int error;
    bool fallsBack;
  };
  int n = 0;
  for (const Case c : {Case{EINVAL, true}, Case{ENOSYS, true}, Case{EOPNOTSUPP, true},
                       Case{EIO, false}, Case{EXDEV, false}}) {
    for (const bool unnamed : {true, false}) {
      SCOPED_TRACE(std::to_string(c.error) + (unnamed ? ", unnamed" : ", named"));
      const std::string name = "x" + std::to_string(++n) + ".txt";
      const std::string to = target_ + "/" + name;
      WriteFile(source_ + "/" + name, "new");
      WriteFile(to, "old");
      ScriptedFileOperations ops;
      ops.unnamedTemporaries = unnamed;
      ops.exchangeNames = [&](const std::string&) -> std::optional<FileResult> {
        return FileResult::Failure(FileStep::Place, c.error, "cannot swap");
      };

      const FileResult result = Copy(name, &ops);

      if (c.fallsBack) {
        ASSERT_TRUE(result) << result.Reason;
        EXPECT_EQ(ReadFile(to), "new");
        const auto trashed = FindInTrash(to);
        ASSERT_TRUE(trashed.has_value());
        EXPECT_EQ(ReadFile(*trashed), "old");
        EXPECT_EQ(CountNamesContaining(target_, TemporaryMarker), 0);
      } else {
        EXPECT_FALSE(result);
        EXPECT_EQ(result.Step, FileStep::Place);
        EXPECT_EQ(result.Error, c.error);
        ExpectOldDestinationUntouched(to, "old");
      }
    }
  }
}

// A trash that refuses the old file after the swap gets it swapped back, and the copy is removed.
// Should even that swap fail, the copy keeps the name and the old file stays, named in the reason,
// under the temporary name: never deleted.
TEST_F(CopyOneFileTest, TrashRefusingAfterTheSwapSwapsBack) {
  enum class Then { SwapBackWorks, SwapBackFails, CopyReplacedMeanwhile };
  int n = 0;
  for (const Then then : {Then::SwapBackWorks, Then::SwapBackFails, Then::CopyReplacedMeanwhile}) {
    SCOPED_TRACE(++n);
    const std::string name = "back" + std::to_string(n) + ".txt";
    const std::string to = target_ + "/" + name;
    WriteFile(source_ + "/" + name, "new");
    WriteFile(to, "old");
    ScriptedFileOperations ops;
    ops.recycle = [&](const std::string&) {
      if (then == Then::CopyReplacedMeanwhile) {
        // Another program puts a file of its own at the name, in place of the copy.
        WriteFile(to + ".theirs", "theirs");
        EXPECT_EQ(::rename((to + ".theirs").c_str(), to.c_str()), 0);
      }
      return FileResult::Failure(FileStep::Trash, EACCES, "the trash said no");
    };
    int swaps = 0;
    ops.exchangeNames = [&](const std::string&) -> std::optional<FileResult> {
      if (++swaps == 2 && then == Then::SwapBackFails) {
        return FileResult::Failure(FileStep::Place, EIO, "no");
      }
      return std::nullopt;
    };

    const FileResult result =
        Copy(name, &ops, /*checkNothingLost=*/then != Then::CopyReplacedMeanwhile);

    EXPECT_FALSE(result);
    EXPECT_EQ(result.Step, FileStep::Trash);
    EXPECT_EQ(result.Error, EACCES);
    EXPECT_EQ(swaps, 2);
    EXPECT_FALSE(FindInTrash(to).has_value());
    if (then == Then::SwapBackWorks) {
      EXPECT_EQ(result.Reason, "the trash said no");
      ExpectOldDestinationUntouched(to, "old");
    } else if (then == Then::SwapBackFails) {
      EXPECT_EQ(ReadFile(to), "new");
      const std::size_t at = result.Reason.find(target_ + "/." + name + TemporaryMarker);
      ASSERT_NE(at, std::string::npos) << result.Reason;
      const std::string aside = result.Reason.substr(at, result.Reason.find(' ', at) - at);
      EXPECT_EQ(ReadFile(aside), "old");
      ASSERT_EQ(::unlink(aside.c_str()), 0);  // so that the next case starts clean
    } else {
      // Their file came back under the temporary name by the swap: it is not the copy, so it stays.
      EXPECT_EQ(ReadFile(to), "old");
      const std::vector<std::string> aside = TemporaryContents(target_);
      EXPECT_EQ(aside, std::vector<std::string>{"theirs"});
    }
  }
}

// A copy killed at any step of placing over an existing file leaves the destination's name with
// the whole old file or the whole new one, never empty. The old bytes are at the name, in the
// trash, or (killed between the swap and the trash) under the temporary name beside it.
TEST_F(CopyOneFileTest, CopyKilledWhilePlacingNeverLeavesTheNameEmpty) {
  const auto kill = [](const std::string&) -> std::optional<FileResult> {
    ::raise(SIGKILL);
    return std::nullopt;
  };
  struct Case {
    const char* name;
    bool unnamed;
    std::function<void(ScriptedFileOperations&)> killAt;
    bool oldAtName;  // else the new file is there
  };
  const Case cases[] = {
      {"copy complete, not yet named", true,
       [&](ScriptedFileOperations& ops) { ops.linkUnnamed = kill; }, true},
      {"named, not yet swapped", true,
       [&](ScriptedFileOperations& ops) { ops.exchangeNames = kill; }, true},
      {"named temporary, not yet swapped", false,
       [&](ScriptedFileOperations& ops) { ops.exchangeNames = kill; }, true},
      {"swapped, old not yet trashed", true,
       [&](ScriptedFileOperations& ops) { ops.recycle = kill; }, false},
      {"named temporary swapped, old not yet trashed", false,
       [&](ScriptedFileOperations& ops) { ops.recycle = kill; }, false},
      {"old trashed", true,
       [&](ScriptedFileOperations& ops) {
         ops.afterTrash = [](const std::string&) { ::raise(SIGKILL); };
       },
       false},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = "k" + std::to_string(++n) + ".bin";
    const std::string to = target_ + "/" + name;
    // Each case its own bytes: a killed copy leaves its temporary behind for the next case.
    const std::string oldContent = RandomBytes(300000, 10u + static_cast<unsigned>(n));
    const std::string newContent = RandomBytes(200000, 20u + static_cast<unsigned>(n));
    WriteFile(source_ + "/" + name, newContent);
    WriteFile(to, oldContent);
    noLoss_.Baseline();
    const pid_t child = ::fork();
    if (child == 0) {
      ScriptedFileOperations ops;
      ops.unnamedTemporaries = c.unnamed;
      c.killAt(ops);
      ops.CopyOneFile(OpenedRoot(source_), OpenedRoot(target_), name, CopyWhen::Always);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the step was never reached";

    ASSERT_TRUE(PathExists(to)) << "the name is empty";
    const std::string now = ReadFile(to);
    EXPECT_EQ(now, c.oldAtName ? oldContent : newContent);
    const auto trashed = FindInTrash(to);
    const std::vector<std::string> aside = TemporaryContents(target_);
    const bool oldKept = now == oldContent ||
                         (trashed && PathExists(*trashed) && ReadFile(*trashed) == oldContent) ||
                         std::count(aside.begin(), aside.end(), oldContent) == 1;
    EXPECT_TRUE(oldKept) << "the old bytes are nowhere";
    noLoss_.Expect();
  }
}

// A copy to a free name is not flushed on its own (the command flushes the volume at its end):
// killed just before or just after it is placed, the name is absent or holds the whole copy with
// the source's time, as the written pages outlive the process.
TEST_F(CopyOneFileTest, NewCopyKilledAroundItsPlacingIsAbsentOrWhole) {
  class KillOnCreate : public FileRecorder {
   public:
    void FileTrashed(const RootFolder&, std::string_view, const TrashedItem&) override {}
    void FileCreated(const RootFolder&, std::string_view, const FileIdentity&) override {
      ::raise(SIGKILL);
    }
    void FolderCreated(const RootFolder&, std::string_view) override {}
  };
  for (const bool placed : {false, true}) {
    for (const bool unnamed : {true, false}) {
      SCOPED_TRACE(std::string(placed ? "killed once placed" : "killed before placing") +
                   (unnamed ? ", unnamed temporary" : ", named temporary"));
      const std::string name =
          std::string(placed ? "placed" : "before") + (unnamed ? "-u" : "-n") + ".bin";
      const std::string content = RandomBytes(700000, placed ? 31u : 37u);
      WriteFile(source_ + "/" + name, content);
      const struct timespec times[2] = {{1600000000, 0}, {1600000000, 0}};
      ASSERT_EQ(::utimensat(AT_FDCWD, (source_ + "/" + name).c_str(), times, 0), 0);
      const pid_t child = ::fork();
      if (child == 0) {
        ScriptedFileOperations ops;
        ops.unnamedTemporaries = unnamed;
        KillOnCreate recorder;
        if (placed) ops.SetRecorder(&recorder);
        const auto kill = [](const std::string&) -> std::optional<FileResult> {
          ::raise(SIGKILL);
          return std::nullopt;
        };
        if (!placed) (unnamed ? ops.linkUnnamed : ops.renameNoReplace) = kill;
        ops.CopyOneFile(OpenedRoot(source_), OpenedRoot(target_), name, CopyWhen::Always);
        ::_exit(0);
      }
      int status = 0;
      ASSERT_EQ(::waitpid(child, &status, 0), child);
      ASSERT_TRUE(WIFSIGNALED(status)) << "the step was never reached";
      const std::string to = target_ + "/" + name;
      ASSERT_EQ(PathExists(to), placed);
      if (placed) {
        EXPECT_EQ(ReadFile(to), content);
        struct stat st {};
        ASSERT_EQ(::stat(to.c_str(), &st), 0);
        EXPECT_EQ(st.st_mtim.tv_sec, 1600000000);
      }
    }
  }
}

// A copy killed half way leaves no file that a scan would list as the user's: an unnamed
// temporary vanishes with the process, a named one has a name that the scan leaves out.
TEST_F(CopyOneFileTest, KilledCopyLeavesNothingThatTheScanLists) {
  const std::string content = RandomBytes(1u << 20, 4);
  WriteFile(source_ + "/big.bin", content);
  WriteFile(target_ + "/big.bin", "old");
  for (const bool unnamed : {true, false}) {
    SCOPED_TRACE(unnamed ? "unnamed temporary" : "named temporary");
    const pid_t child = ::fork();
    if (child == 0) {
      ScriptedFileOperations ops;
      ops.unnamedTemporaries = unnamed;
      ops.copyData = [&](int, int to) {
        if (::write(to, content.data(), content.size() / 2) > 0) ::raise(SIGKILL);
        return FileResult::Success();
      };
      ops.CopyOneFile(OpenedRoot(source_), OpenedRoot(target_), "big.bin", CopyWhen::Always);
      ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(CountNamesContaining(target_, TemporaryMarker), unnamed ? 0 : 1);

    PathList list;
    ScanOptions options;
    options.SubFolder = true;
    ScanFolders(list, source_, target_, options, FilterSet{"every", {}, {"*"}, {}});
    ASSERT_EQ(list.PathCount, 1);
    EXPECT_EQ(list[0].Path, "big.bin");
    EXPECT_EQ(ReadFile(target_ + "/big.bin"), "old");
  }
}

TEST_F(CopyOneFileTest, FullDiskOrShortCopyLeavesNoPartialFileAndTheOldDestination) {
  struct Case {
    const char* name;
    bool reportsFailure;
  };
  const std::string content = RandomBytes(200000, 2);
  WriteFile(source_ + "/big.bin", content);
  for (const Case c : {Case{"ENOSPC half way", true}, Case{"short copy reported as done", false}}) {
    for (const bool unnamed : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (unnamed ? ", unnamed" : ", named"));
      WriteFile(target_ + "/big.bin", "old");
      ScriptedFileOperations ops;
      ops.unnamedTemporaries = unnamed;
      ops.copyData = [&](int, int to) {
        const std::size_t half = content.size() / 2;
        EXPECT_EQ(::write(to, content.data(), half), static_cast<ssize_t>(half));
        return c.reportsFailure ? FileResult::Failure(FileStep::CopyData, ENOSPC, "disk full")
                                : FileResult::Success();
      };

      const FileResult result = Copy("big.bin", &ops);

      EXPECT_FALSE(result);
      EXPECT_EQ(result.Step, FileStep::CopyData);
      if (c.reportsFailure) {
        EXPECT_EQ(result.Error, ENOSPC);
      }
      ExpectOldDestinationUntouched(target_ + "/big.bin", "old");
    }
  }
}

// A source rewritten while it is copied would give a copy with the new time and partly old bytes,
// which would then show as equal for ever. Its size, modification time or change time moving
// fails the copy; the old destination stays.
TEST_F(CopyOneFileTest, SourceChangedDuringTheCopyFailsIt) {
  struct Case {
    const char* name;
    std::function<void(const std::string& path)> change;
  };
  const Case cases[] = {
      {"grown", [](const std::string& path) { WriteFile(path, "original bytes and more"); }},
      {"rewritten, same size", [](const std::string& path) { WriteFile(path, "ORIGINAL BYTES"); }},
      {"rewritten, time put back",
       [](const std::string& path) {
         const struct stat before = StatOf(path);
         WriteFile(path, "ORIGINAL BYTES");
         const struct timespec times[2] = {before.st_atim, before.st_mtim};
         ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(source_ + "/live.txt", "original bytes");
    WriteFile(target_ + "/live.txt", "old");
    ScriptedFileOperations ops;
    ops.copyData = [&](int from, int to) {
      const FileResult copied = ops.PosixFileOperations::CopyFileData(from, to);
      c.change(source_ + "/live.txt");
      return copied;
    };

    const FileResult result = Copy("live.txt", &ops, /*checkNothingLost=*/false);

    EXPECT_FALSE(result);
    EXPECT_EQ(result.Step, FileStep::CopyData);
    EXPECT_NE(result.Reason.find("コピー元が変わりました"), std::string::npos) << result.Reason;
    ExpectOldDestinationUntouched(target_ + "/live.txt", "old");
  }
}

TEST_F(CopyOneFileTest, NamesThatAreNotUtf8AreCopiedAndTheOldOneTrashed) {
  // A Shift_JIS folder name whose second byte is the code of "\" and a Latin-1 file name.
  const std::string relative = "\x83\x5c/caf\xe9.txt";
  MakeFolder(source_ + "/\x83\x5c");
  MakeFolder(target_ + "/\x83\x5c");
  WriteFile(source_ + "/" + relative, "new");
  WriteFile(target_ + "/" + relative, "old");

  ASSERT_TRUE(Copy(relative));

  EXPECT_EQ(ReadFile(target_ + "/" + relative), "new");
  const auto trashed = FindInTrash(target_ + "/" + relative);  // found through its Path line
  ASSERT_TRUE(trashed.has_value());
  EXPECT_EQ(ReadFile(*trashed), "old");
}

TEST_F(CopyOneFileTest, LongestNameStillGetsATemporaryBesideItAndGoesToTheTrash) {
  // 255 bytes, the most a name may have: a named temporary must be shortened, and not in the
  // middle of a character.
  std::string name;
  while (name.size() + 3 <= 251) name += "\xe5\x90\x8d";  // "名"
  name += ".txt";
  ASSERT_LE(name.size(), 255u);
  WriteFile(source_ + "/" + name, "long");
  ScriptedFileOperations named;
  named.unnamedTemporaries = false;

  const FileResult result = Copy(name, &named);

  ASSERT_TRUE(result) << result.Reason;
  EXPECT_EQ(ReadFile(target_ + "/" + name), "long");
  EXPECT_EQ(CountNamesContaining(target_, TemporaryMarker), 0);

  // The trash files such a name under a shorter one (its record, "<name>.trashinfo", must fit
  // too) and keeps the whole name in the record, so a second copy over it works like any other.
  WriteFile(source_ + "/" + name, "longer");
  const FileResult again = Copy(name, &named);
  ASSERT_TRUE(again) << again.Reason;
  EXPECT_EQ(ReadFile(target_ + "/" + name), "longer");
  const auto trashed = FindInTrash(target_ + "/" + name);
  ASSERT_TRUE(trashed.has_value());
  EXPECT_EQ(ReadFile(*trashed), "long");
}

TEST_F(CopyOneFileTest, DestinationThatIsTheSourceOrAFolderIsRefused) {
  WriteFile(source_ + "/self.txt", "only copy");
  WriteFile(source_ + "/dir.txt", "a file here");
  MakeFolder(target_ + "/dir.txt");
  WriteFile(target_ + "/dir.txt/inside", "inside");

  const FileResult self = PosixFileOperations().CopyOneFile(
      OpenedRoot(source_), OpenedRoot(source_), "self.txt", CopyWhen::Always);
  const FileResult folder = Copy("dir.txt");

  EXPECT_FALSE(self);
  ExpectOldDestinationUntouched(source_ + "/self.txt", "only copy");
  EXPECT_FALSE(folder);
  EXPECT_EQ(folder.Error, EISDIR);
  EXPECT_EQ(ReadFile(target_ + "/dir.txt/inside"), "inside");
  EXPECT_FALSE(FindInTrash(target_ + "/dir.txt").has_value());
}

// Paths below a root are names joined by single "/", never "." or ".." (which would lead out of
// it), and a root is an absolute path that was opened; anything else is refused untouched.
TEST_F(CopyOneFileTest, BadPathsAndRootsAreRefused) {
  WriteFile(source_ + "/x", "x");
  WriteFile(dir_ / "outside", "outside");
  const std::string nul = "x" + std::string(1, '\0') + "y";
  for (const std::string& relative :
       {std::string(), std::string("x/"), std::string("/x"), std::string("./x"),
        std::string("../outside"), std::string("a//x"), nul}) {
    EXPECT_FALSE(Copy(relative)) << relative;
  }
  RootFolder relativeRoot;
  EXPECT_EQ(relativeRoot.Open("main"), EINVAL);
  EXPECT_FALSE(
      PosixFileOperations().CopyOneFile(OpenedRoot(source_), relativeRoot, "x", CopyWhen::Always));
  EXPECT_FALSE(
      PosixFileOperations().CopyOneFile(relativeRoot, OpenedRoot(target_), "x", CopyWhen::Always));
  EXPECT_FALSE(PathExists(target_ + "/x"));
  EXPECT_EQ(ReadFile(dir_ / "outside"), "outside");
}

// From a different file system the kernel's copy gives way to the read/write loop.
TEST_F(CopyOneFileTest, SourceOnAnotherFileSystemIsCopiedByHand) {
  struct stat shm {};
  if (::stat("/dev/shm", &shm) != 0 || ::access("/dev/shm", W_OK) != 0 ||
      shm.st_dev == StatOf(dir_.Path()).st_dev) {
    GTEST_SKIP() << "no second writable file system";
  }
  const std::string folder = "/dev/shm/tarvex-copy-test-" + std::to_string(::getpid());
  MakeFolder(folder);
  const std::string content = RandomBytes((1u << 20) * 2 + 7, 3);
  WriteFile(folder + "/from-shm", content, 0600);
  filetest::SetModificationTime(folder + "/from-shm", 1500000000, 5);

  const FileResult result = PosixFileOperations().CopyOneFile(
      OpenedRoot(folder), OpenedRoot(target_), "from-shm", CopyWhen::Always);
  ::unlink((folder + "/from-shm").c_str());
  ::rmdir(folder.c_str());

  ASSERT_TRUE(result) << result.Reason;
  EXPECT_EQ(ReadFile(target_ + "/from-shm"), content);
  EXPECT_EQ(StatOf(target_ + "/from-shm").st_mtim.tv_nsec, 5);
}

TEST_F(CopyOneFileTest, NoWayOfPlacingEverReplacesAnExistingFile) {
  for (const char* name : {"a", "b", "c"}) WriteFile(target_ + "/" + name, name);
  const RootFolder root = OpenedRoot(target_);
  PosixFileOperations ops;
  const int folder = root.Fd();

  EXPECT_EQ(ops.RenameNoReplace(folder, "a", folder, "b", "b").Error, EEXIST);
  EXPECT_EQ(ops.LinkNoReplace(folder, "a", folder, "b", "b").Error, EEXIST);
  EXPECT_EQ(ops.RenameOverAbsent(folder, "a", folder, "b", "b").Error, EEXIST);
  EXPECT_EQ(ops.MoveNoReplace(folder, "a", folder, "b", "b").Error, EEXIST);
  EXPECT_EQ(ReadFile(target_ + "/a"), "a");
  EXPECT_EQ(ReadFile(target_ + "/b"), "b");

  ASSERT_TRUE(ops.LinkNoReplace(folder, "c", folder, "d", "d"));
  EXPECT_FALSE(PathExists(target_ + "/c"));
  EXPECT_EQ(ReadFile(target_ + "/d"), "c");
  ASSERT_TRUE(ops.RenameOverAbsent(folder, "d", folder, "e", "e"));
  EXPECT_EQ(ReadFile(target_ + "/e"), "c");
}

class ForceFolderPathTest : public ::testing::Test {
 protected:
  SandboxFolder dir_;
  PosixFileOperations ops_;
};

TEST_F(ForceFolderPathTest, CreatesEveryMissingLevelWithTheUmaskApplied) {
  const RootFolder root = OpenedRoot(dir_.Path());
  const mode_t mask = ::umask(027);
  const FileResult result = ops_.ForceFolderPath(root, "one/two/three");
  ::umask(mask);

  ASSERT_TRUE(result) << result.Reason;
  for (const char* level : {"one", "one/two", "one/two/three"}) {
    const struct stat st = StatOf(dir_ / level);
    EXPECT_TRUE(S_ISDIR(st.st_mode)) << level;
    EXPECT_EQ(st.st_mode & 0777, 0750u) << level;
  }
  EXPECT_TRUE(ops_.ForceFolderPath(root, "one/two/three")) << "an existing path is fine";
  EXPECT_TRUE(ops_.ForceFolderPath(root, "")) << "the root itself is there";
}

// Below a root a link is never a way through, not even to a real folder: the folders are made in
// the tree or not at all.
TEST_F(ForceFolderPathTest, ALevelThatIsAFileOrALinkStopsIt) {
  WriteFile(dir_ / "file", "in the way");
  ASSERT_EQ(::symlink((dir_ / "nowhere").c_str(), (dir_ / "dangling").c_str()), 0);
  ASSERT_EQ(::mkdir((dir_ / "real").c_str(), 0755), 0);
  ASSERT_EQ(::symlink((dir_ / "real").c_str(), (dir_ / "via").c_str()), 0);
  const RootFolder root = OpenedRoot(dir_.Path());

  for (const char* relative : {"file/below", "dangling/x", "via/deeper"}) {
    const FileResult blocked = ops_.ForceFolderPath(root, relative);
    EXPECT_FALSE(blocked) << relative;
    EXPECT_EQ(blocked.Step, FileStep::CreateFolder) << relative;
    EXPECT_EQ(blocked.Error, ENOTDIR) << relative;
  }
  EXPECT_EQ(ReadFile(dir_ / "file"), "in the way");
  EXPECT_FALSE(PathExists(dir_ / "nowhere"));
  EXPECT_FALSE(PathExists(dir_ / "real/deeper"));
  EXPECT_FALSE(ops_.ForceFolderPath(root, "../escape"));
  EXPECT_FALSE(PathExists(dir_ / "../escape"));
}

}  // namespace
}  // namespace tarvex
