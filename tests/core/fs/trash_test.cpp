#include "core/fs/trash.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "support/trash_sandbox.h"

namespace tarvex {
namespace {

using filetest::FindInTrash;
using filetest::PathExists;
using filetest::ReadFile;
using filetest::SandboxFolder;
using filetest::WriteFile;

class RecycleFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(filetest::SandboxTrashIsPrivate()) << "GLib does not use the test's own trash";
  }
  SandboxFolder dir_;
};

TEST_F(RecycleFileTest, MovesTheFileToTheHomeTrashWithItsRecord) {
  const std::string path = dir_ / "report.txt";
  WriteFile(path, "keep me");

  const FileResult result = RecycleFile(path);

  ASSERT_TRUE(result) << result.Reason;
  EXPECT_TRUE(result.Reason.empty());
  EXPECT_FALSE(PathExists(path));
  const auto trashed = FindInTrash(path);
  ASSERT_TRUE(trashed.has_value()) << "no .trashinfo names " << path;
  EXPECT_EQ(ReadFile(*trashed), "keep me");
  EXPECT_EQ(trashed->rfind(filetest::SandboxTrashFolder(), 0), 0u);
}

TEST_F(RecycleFileTest, NameThatIsNotUtf8IsTrashedAndRecordedPercentEncoded) {
  // Latin-1 "é" and a Shift_JIS character whose second byte is the code of "\".
  const std::string path = dir_ / "caf\xe9 \x83\x5c.txt";
  WriteFile(path, "bytes");

  ASSERT_TRUE(RecycleFile(path));

  EXPECT_FALSE(PathExists(path));
  const auto trashed = FindInTrash(path);
  ASSERT_TRUE(trashed.has_value());
  EXPECT_EQ(ReadFile(*trashed), "bytes");
  const std::string info = filetest::SandboxTrashFolder() + "info/" +
                           trashed->substr(trashed->rfind('/') + 1) + ".trashinfo";
  const std::string record = ReadFile(info);
  EXPECT_NE(record.find("caf%E9%20%83%5C.txt"), std::string::npos) << record;
  EXPECT_EQ(record.find('\xe9'), std::string::npos);
}

TEST_F(RecycleFileTest, MissingFileIsAFailureWithAReason) {
  const FileResult result = RecycleFile(dir_ / "never-there.txt");
  EXPECT_FALSE(result);
  EXPECT_EQ(result.Step, FileStep::Trash);
  EXPECT_EQ(result.Error, ENOENT);
  EXPECT_FALSE(result.Reason.empty());
}

TEST_F(RecycleFileTest, LinkIsTrashedItselfAndItsTargetStays) {
  const std::string target = dir_ / "target.txt";
  const std::string link = dir_ / "link.txt";
  WriteFile(target, "target");
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);

  ASSERT_TRUE(RecycleFile(link));

  EXPECT_FALSE(PathExists(link));
  EXPECT_EQ(ReadFile(target), "target");
  EXPECT_TRUE(FindInTrash(link).has_value());
}

TEST_F(RecycleFileTest, PathWithANulInsideTouchesNothing) {
  // Passed on as a C string the path would name "victim", a different file.
  const std::string victim = dir_ / "victim";
  WriteFile(victim, "safe");
  const FileResult result = RecycleFile(victim + std::string(1, '\0') + "/other");
  EXPECT_FALSE(result);
  EXPECT_EQ(result.Error, EINVAL);
  EXPECT_EQ(ReadFile(victim), "safe");
}

// A relative path would be taken from the current folder and trash a file from there.
TEST_F(RecycleFileTest, RelativePathTouchesNothing) {
  WriteFile(dir_ / "here.txt", "safe");
  char* saved = ::getcwd(nullptr, 0);
  ASSERT_EQ(::chdir(dir_.Path().c_str()), 0);
  const FileResult result = RecycleFile("here.txt");
  ASSERT_EQ(::chdir(saved), 0);
  std::free(saved);
  EXPECT_FALSE(result);
  EXPECT_EQ(result.Error, EINVAL);
  EXPECT_EQ(ReadFile(dir_ / "here.txt"), "safe");
}

// On another volume the trash is that volume's .Trash-$uid; where none can be made, the file must
// stay.
// Either way nothing is ever deleted for good.
TEST_F(RecycleFileTest, FileOnAnotherVolumeGoesToThatVolumesTrashOrStays) {
  const std::string volume = "/dev/shm";
  struct stat volumeStat {};
  struct stat sandboxStat {};
  if (::stat(volume.c_str(), &volumeStat) != 0 || ::access(volume.c_str(), W_OK) != 0 ||
      ::stat(dir_.Path().c_str(), &sandboxStat) != 0 || volumeStat.st_dev == sandboxStat.st_dev) {
    GTEST_SKIP() << "no second writable volume";
  }
  const std::string volumeTrash = volume + "/.Trash-" + std::to_string(::geteuid());
  if (PathExists(volumeTrash)) GTEST_SKIP() << volumeTrash << " exists already; not touching it";
  const std::string path = volume + "/tarvex-trash-test-" + std::to_string(::getpid());
  WriteFile(path, "elsewhere");

  const FileResult result = RecycleFile(path);

  const std::string trashed = volumeTrash + "/files/" + path.substr(volume.size() + 1);
  if (result) {
    EXPECT_FALSE(PathExists(path));
    EXPECT_EQ(ReadFile(trashed), "elsewhere");
    // The record of a volume trash holds the path relative to the volume's top.
    const std::string record =
        ReadFile(volumeTrash + "/info/" + path.substr(volume.size() + 1) + ".trashinfo");
    EXPECT_NE(record.find("Path=" + path.substr(volume.size() + 1)), std::string::npos) << record;
  } else {
    // No trash of ours can be made there (no rights at its top): the file stays.
    EXPECT_EQ(ReadFile(path), "elsewhere") << result.Reason;
    EXPECT_EQ(result.Step, FileStep::Trash);
    EXPECT_FALSE(result.Reason.empty());
  }
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  std::filesystem::remove_all(volumeTrash, ignored);
}

}  // namespace
}  // namespace tarvex
