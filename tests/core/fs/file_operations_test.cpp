#include "core/fs/file_operations.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>

#include "support/trash_sandbox.h"

namespace tarvex {
namespace {

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

// A PosixFileOperations with one step replaced by a test's own.
class ScriptedFileOperations : public PosixFileOperations {
 public:
  std::function<FileResult(const std::string&)> recycle;
  std::function<FileResult(int, int)> copyData;
  std::function<FileResult(const std::string&, const std::string&)> rename;

  FileResult RecycleFile(const std::string& path) override {
    return recycle ? recycle(path) : PosixFileOperations::RecycleFile(path);
  }
  FileResult CopyFileData(int from, int to) override {
    return copyData ? copyData(from, to) : PosixFileOperations::CopyFileData(from, to);
  }
  FileResult RenameNoReplace(const std::string& from, const std::string& to) override {
    return rename ? rename(from, to) : PosixFileOperations::RenameNoReplace(from, to);
  }
};

class CopyOneFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(filetest::SandboxTrashIsPrivate()) << "GLib does not name the test's own trash";
    ASSERT_EQ(::mkdir(source_.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(target_.c_str(), 0755), 0);
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
  PosixFileOperations ops_;
};

TEST_F(CopyOneFileTest, NewDestinationGetsContentTimeAndModeAndItsMissingFolders) {
  const std::string from = source_ + "/data.bin";
  const std::string to = target_ + "/a/b/c/data.bin";
  // More than one piece of the kernel copy, and an odd size.
  const std::string content = RandomBytes((9u << 20) + 12345, 1);
  WriteFile(from, content, 0640);
  filetest::SetModificationTime(from, 1600000000, 123456789);

  const FileResult result = ops_.CopyOneFile(from, to);

  ASSERT_TRUE(result) << result.Reason;
  EXPECT_EQ(ReadFile(to), content);
  const struct stat st = StatOf(to);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(st.st_mtim.tv_sec, 1600000000);
  EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
  EXPECT_EQ(CountNamesContaining(target_ + "/a/b/c", TemporaryMarker), 0);
  EXPECT_EQ(ReadFile(from), content);
}

TEST_F(CopyOneFileTest, EmptySourceGivesAnEmptyCopy) {
  WriteFile(source_ + "/empty", "");
  ASSERT_TRUE(ops_.CopyOneFile(source_ + "/empty", target_ + "/empty"));
  EXPECT_EQ(ReadFile(target_ + "/empty"), "");
}

TEST_F(CopyOneFileTest, ExistingDestinationGoesToTheTrashAndTheCopyTakesItsPlace) {
  const std::string from = source_ + "/note.txt";
  const std::string to = target_ + "/note.txt";
  WriteFile(from, "new version");
  WriteFile(to, "old version");

  ASSERT_TRUE(ops_.CopyOneFile(from, to));

  EXPECT_EQ(ReadFile(to), "new version");
  const auto trashed = FindInTrash(to);
  ASSERT_TRUE(trashed.has_value()) << "old destination has no .trashinfo";
  EXPECT_EQ(ReadFile(*trashed), "old version");
  EXPECT_EQ(CountNamesContaining(target_, TemporaryMarker), 0);
}

// The folder is writable, so a read-only file there is trashed like any other (the trash moves
// names, it does not write the file), and the copy takes the source's mode, not the old one's.
TEST_F(CopyOneFileTest, ReadOnlyDestinationIsTrashedLikeAnyOther) {
  const std::string from = source_ + "/locked.txt";
  const std::string to = target_ + "/locked.txt";
  WriteFile(from, "new", 0644);
  WriteFile(to, "old", 0444);

  ASSERT_TRUE(ops_.CopyOneFile(from, to));

  EXPECT_EQ(ReadFile(to), "new");
  EXPECT_EQ(StatOf(to).st_mode & 0777, 0644u);
  const auto trashed = FindInTrash(to);
  ASSERT_TRUE(trashed.has_value());
  EXPECT_EQ(ReadFile(*trashed), "old");
}

// Root may write anywhere, so as root the copy runs in a child with the rights of "nobody".
std::optional<int> RunWithoutWriteRights(const std::function<int()>& action) {
  if (::geteuid() != 0) return action();
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(100);
    ::_exit(action());
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
      WEXITSTATUS(status) == 100) {
    return std::nullopt;
  }
  return WEXITSTATUS(status);
}

TEST_F(CopyOneFileTest, NoWriteRightInTheDestinationFolderLosesNothing) {
  const std::string from = source_ + "/f.txt";
  const std::string to = target_ + "/f.txt";
  WriteFile(from, "new");
  WriteFile(to, "old");
  ASSERT_EQ(::chmod(target_.c_str(), 0555), 0);

  const auto step = RunWithoutWriteRights([&] {
    const FileResult result = PosixFileOperations().CopyOneFile(from, to);
    return result ? 0 : 10 + static_cast<int>(result.Step);
  });

  ::chmod(target_.c_str(), 0755);
  if (!step) GTEST_SKIP() << "cannot drop root rights here";
  EXPECT_EQ(*step, 10 + static_cast<int>(FileStep::CreateTemporary));
  ExpectOldDestinationUntouched(to, "old");
}

TEST_F(CopyOneFileTest, SourceThatIsNotARegularFileIsRefusedBeforeAnythingIsMade) {
  WriteFile(source_ + "/real.txt", "real");
  ASSERT_EQ(::symlink((source_ + "/real.txt").c_str(), (source_ + "/link").c_str()), 0);
  ASSERT_EQ(::mkdir((source_ + "/folder").c_str(), 0755), 0);
  ASSERT_EQ(::mkfifo((source_ + "/fifo").c_str(), 0644), 0);  // an open must not hang on it

  for (const char* name : {"vanished", "link", "folder", "fifo"}) {
    const std::string to = target_ + "/new/" + name;
    const FileResult result = ops_.CopyOneFile(source_ + "/" + name, to);
    EXPECT_FALSE(result) << name;
    EXPECT_EQ(result.Step, FileStep::OpenSource) << name;
    EXPECT_FALSE(result.Reason.empty()) << name;
    EXPECT_FALSE(PathExists(target_ + "/new")) << name << ": folders made for nothing";
  }
}

TEST_F(CopyOneFileTest, VanishedSourceLeavesTheOldDestination) {
  WriteFile(target_ + "/gone.txt", "old");
  const FileResult result = ops_.CopyOneFile(source_ + "/gone.txt", target_ + "/gone.txt");
  EXPECT_FALSE(result);
  EXPECT_EQ(result.Error, ENOENT);
  ExpectOldDestinationUntouched(target_ + "/gone.txt", "old");
}

TEST_F(CopyOneFileTest, TrashRefusingTheOldDestinationKeepsItAndDropsTheCopy) {
  WriteFile(source_ + "/t.txt", "new");
  WriteFile(target_ + "/t.txt", "old");
  ScriptedFileOperations ops;
  ops.recycle = [](const std::string&) {
    return FileResult::Failure(FileStep::Trash, ENOTSUP, "no trash on this volume");
  };

  const FileResult result = ops.CopyOneFile(source_ + "/t.txt", target_ + "/t.txt");

  EXPECT_FALSE(result);
  EXPECT_EQ(result.Step, FileStep::Trash);
  EXPECT_EQ(result.Reason, "no trash on this volume");
  ExpectOldDestinationUntouched(target_ + "/t.txt", "old");
}

TEST_F(CopyOneFileTest, FileAppearingBetweenTrashAndRenameIsNeverReplaced) {
  const std::string to = target_ + "/race.txt";
  WriteFile(source_ + "/race.txt", "copy");
  WriteFile(to, "old");
  ScriptedFileOperations ops;
  ops.rename = [&ops](const std::string& from, const std::string& dest) {
    WriteFile(dest, "somebody else's");  // written by another program just now
    return ops.PosixFileOperations::RenameNoReplace(from, dest);
  };

  const FileResult result = ops.CopyOneFile(source_ + "/race.txt", to);

  EXPECT_FALSE(result);
  EXPECT_EQ(result.Step, FileStep::Place);
  EXPECT_EQ(result.Error, EEXIST);
  EXPECT_EQ(ReadFile(to), "somebody else's");
  const auto trashed = FindInTrash(to);  // the old one went before the other file appeared
  ASSERT_TRUE(trashed.has_value());
  EXPECT_EQ(ReadFile(*trashed), "old");
  EXPECT_EQ(CountNamesContaining(target_, TemporaryMarker), 0);
}

// A full disk shows up as a write that fails part way; a copy that silently comes out short must
// be caught just the same.
TEST_F(CopyOneFileTest, FullDiskOrShortCopyLeavesNoPartialFileAndTheOldDestination) {
  struct Case {
    const char* name;
    bool reportsFailure;
  };
  const std::string content = RandomBytes(200000, 2);
  WriteFile(source_ + "/big.bin", content);
  for (const Case c : {Case{"ENOSPC half way", true}, Case{"short copy reported as done", false}}) {
    WriteFile(target_ + "/big.bin", "old");
    ScriptedFileOperations ops;
    ops.copyData = [&](int, int to) {
      const std::size_t half = content.size() / 2;
      EXPECT_EQ(::write(to, content.data(), half), static_cast<ssize_t>(half));
      return c.reportsFailure ? FileResult::Failure(FileStep::CopyData, ENOSPC, "disk full")
                              : FileResult::Success();
    };

    const FileResult result = ops.CopyOneFile(source_ + "/big.bin", target_ + "/big.bin");

    EXPECT_FALSE(result) << c.name;
    EXPECT_EQ(result.Step, FileStep::CopyData) << c.name;
    if (c.reportsFailure) {
      EXPECT_EQ(result.Error, ENOSPC);
    }
    ExpectOldDestinationUntouched(target_ + "/big.bin", "old");
  }
}

TEST_F(CopyOneFileTest, NamesThatAreNotUtf8AreCopiedAndTheOldOneTrashed) {
  // A Shift_JIS folder name whose second byte is the code of "\" and a Latin-1 file name.
  const std::string name = "caf\xe9.txt";
  const std::string from = source_ + "/" + name;
  const std::string to = target_ + "/\x83\x5c/" + name;
  WriteFile(from, "new");
  ASSERT_EQ(::mkdir((target_ + "/\x83\x5c").c_str(), 0755), 0);
  WriteFile(to, "old");

  ASSERT_TRUE(ops_.CopyOneFile(from, to));

  EXPECT_EQ(ReadFile(to), "new");
  const auto trashed = FindInTrash(to);  // found through its percent-encoded Path line
  ASSERT_TRUE(trashed.has_value());
  EXPECT_EQ(ReadFile(*trashed), "old");
}

TEST_F(CopyOneFileTest, LongestNameStillGetsATemporaryBesideItAndGoesToTheTrash) {
  // 255 bytes, the most a name may have: the temporary name must be shortened, and not in the
  // middle of a character.
  std::string name;
  while (name.size() + 3 <= 251) name += "\xe5\x90\x8d";  // "名"
  name += ".txt";
  ASSERT_LE(name.size(), 255u);
  WriteFile(source_ + "/" + name, "long");

  const FileResult result = ops_.CopyOneFile(source_ + "/" + name, target_ + "/" + name);

  ASSERT_TRUE(result) << result.Reason;
  EXPECT_EQ(ReadFile(target_ + "/" + name), "long");
  EXPECT_EQ(CountNamesContaining(target_, TemporaryMarker), 0);

  // The trash files such a name under a shorter one (its record, "<name>.trashinfo", must fit
  // too) and keeps the whole name in the record, so a second copy over it works like any other.
  WriteFile(source_ + "/" + name, "longer");
  const FileResult again = ops_.CopyOneFile(source_ + "/" + name, target_ + "/" + name);
  ASSERT_TRUE(again) << again.Reason;
  EXPECT_EQ(ReadFile(target_ + "/" + name), "longer");
  const auto trashed = FindInTrash(target_ + "/" + name);
  ASSERT_TRUE(trashed.has_value());
  EXPECT_EQ(ReadFile(*trashed), "long");
}

TEST_F(CopyOneFileTest, DestinationThatIsTheSourceOrAFolderIsRefused) {
  WriteFile(source_ + "/self.txt", "only copy");
  ASSERT_EQ(::mkdir((target_ + "/dir.txt").c_str(), 0755), 0);
  WriteFile(target_ + "/dir.txt/inside", "inside");

  const FileResult self = ops_.CopyOneFile(source_ + "/self.txt", source_ + "/self.txt");
  const FileResult folder = ops_.CopyOneFile(source_ + "/self.txt", target_ + "/dir.txt");

  EXPECT_FALSE(self);
  ExpectOldDestinationUntouched(source_ + "/self.txt", "only copy");
  EXPECT_FALSE(folder);
  EXPECT_EQ(folder.Error, EISDIR);
  EXPECT_EQ(ReadFile(target_ + "/dir.txt/inside"), "inside");
  EXPECT_FALSE(FindInTrash(target_ + "/dir.txt").has_value());
}

TEST_F(CopyOneFileTest, BadDestinationPathsAreRefused) {
  WriteFile(source_ + "/x", "x");
  const std::string nul = target_ + "/x" + std::string(1, '\0') + "y";
  for (const std::string& to : {std::string("relative/x"), target_ + "/", target_ + "/..", nul}) {
    EXPECT_FALSE(ops_.CopyOneFile(source_ + "/x", to)) << to;
  }
  EXPECT_FALSE(PathExists(target_ + "/x"));
}

// A relative source would be read from whatever the current folder happens to be.
TEST_F(CopyOneFileTest, RelativeSourceIsRefusedWhateverTheCurrentFolder) {
  WriteFile(source_ + "/x", "from the current folder");
  char* saved = ::getcwd(nullptr, 0);
  ASSERT_EQ(::chdir(source_.c_str()), 0);
  const FileResult result = ops_.CopyOneFile("x", target_ + "/x");
  ASSERT_EQ(::chdir(saved), 0);
  std::free(saved);
  EXPECT_FALSE(result);
  EXPECT_EQ(result.Step, FileStep::OpenSource);
  EXPECT_FALSE(PathExists(target_ + "/x"));
}

// From a different file system the kernel's copy gives way to the read/write loop.
TEST_F(CopyOneFileTest, SourceOnAnotherFileSystemIsCopiedByHand) {
  struct stat shm {};
  if (::stat("/dev/shm", &shm) != 0 || ::access("/dev/shm", W_OK) != 0 ||
      shm.st_dev == StatOf(dir_.Path()).st_dev) {
    GTEST_SKIP() << "no second writable file system";
  }
  const std::string from = "/dev/shm/tarvex-copy-test-" + std::to_string(::getpid());
  const std::string content = RandomBytes((1u << 20) * 2 + 7, 3);
  WriteFile(from, content, 0600);
  filetest::SetModificationTime(from, 1500000000, 5);

  const FileResult result = ops_.CopyOneFile(from, target_ + "/from-shm");
  ::unlink(from.c_str());

  ASSERT_TRUE(result) << result.Reason;
  EXPECT_EQ(ReadFile(target_ + "/from-shm"), content);
  EXPECT_EQ(StatOf(target_ + "/from-shm").st_mtim.tv_nsec, 5);
}

TEST_F(CopyOneFileTest, PlacingNeverReplacesAnExistingFile) {
  WriteFile(target_ + "/a", "a");
  WriteFile(target_ + "/b", "b");
  WriteFile(target_ + "/c", "c");

  const FileResult renamed = ops_.RenameNoReplace(target_ + "/a", target_ + "/b");
  const FileResult linked = PosixFileOperations::LinkNoReplace(target_ + "/a", target_ + "/b");
  EXPECT_EQ(renamed.Error, EEXIST);
  EXPECT_EQ(linked.Error, EEXIST);
  EXPECT_EQ(ReadFile(target_ + "/a"), "a");
  EXPECT_EQ(ReadFile(target_ + "/b"), "b");

  ASSERT_TRUE(PosixFileOperations::LinkNoReplace(target_ + "/c", target_ + "/d"));
  EXPECT_FALSE(PathExists(target_ + "/c"));
  EXPECT_EQ(ReadFile(target_ + "/d"), "c");
}

class ForceFolderPathTest : public ::testing::Test {
 protected:
  SandboxFolder dir_;
};

TEST_F(ForceFolderPathTest, CreatesEveryMissingLevelWithTheUmaskApplied) {
  const mode_t mask = ::umask(027);
  const FileResult result = ForceFolderPath(dir_ / "one/two//three/");
  ::umask(mask);

  ASSERT_TRUE(result) << result.Reason;
  for (const char* level : {"one", "one/two", "one/two/three"}) {
    const struct stat st = StatOf(dir_ / level);
    EXPECT_TRUE(S_ISDIR(st.st_mode)) << level;
    EXPECT_EQ(st.st_mode & 0777, 0750u) << level;
  }
  EXPECT_TRUE(ForceFolderPath(dir_ / "one/two/three")) << "an existing path is fine";
}

TEST_F(ForceFolderPathTest, ALevelThatIsNotAFolderStopsIt) {
  WriteFile(dir_ / "file", "in the way");
  ASSERT_EQ(::symlink((dir_ / "nowhere").c_str(), (dir_ / "dangling").c_str()), 0);
  ASSERT_EQ(::mkdir((dir_ / "real").c_str(), 0755), 0);
  ASSERT_EQ(::symlink((dir_ / "real").c_str(), (dir_ / "via").c_str()), 0);

  const FileResult blocked = ForceFolderPath(dir_ / "file/below/");
  EXPECT_FALSE(blocked);
  EXPECT_EQ(blocked.Step, FileStep::CreateFolder);
  EXPECT_EQ(blocked.Error, ENOTDIR);
  EXPECT_EQ(ReadFile(dir_ / "file"), "in the way");

  EXPECT_FALSE(ForceFolderPath(dir_ / "dangling/x/"));
  EXPECT_FALSE(PathExists(dir_ / "nowhere"));
  EXPECT_FALSE(ForceFolderPath("relative/path/"));

  // A link to a folder is a way through, as the path is for every later open.
  EXPECT_TRUE(ForceFolderPath(dir_ / "via/deeper/"));
  EXPECT_TRUE(PathExists(dir_ / "real/deeper"));
}

}  // namespace
}  // namespace tarvex
