#include "core/textcompare/file_bytes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "support/temp_tree.h"

namespace tarvex {
namespace {

TEST(ReadFileBytes, WholeFileOrWhyNot) {
  testing::TempTree tree;
  tree.File("five", "12345");
  tree.Folder("folder");
  EXPECT_EQ(ReadFileBytes(tree.PathOf("five")).Bytes, "12345");
  EXPECT_EQ(ReadFileBytes(tree.PathOf("five"), 5).Bytes, "12345");
  const FileBytes over = ReadFileBytes(tree.PathOf("five"), 4);
  EXPECT_EQ(over.Status, ReadStatus::TooLarge);
  EXPECT_TRUE(over.Bytes.empty());
  EXPECT_EQ(ReadFileBytes(tree.PathOf("folder")).Status, ReadStatus::CannotOpen);
  const FileBytes missing = ReadFileBytes(tree.PathOf("missing"));
  EXPECT_EQ(missing.Status, ReadStatus::CannotOpen);
  EXPECT_EQ(missing.Error, ENOENT);
}

// The size the file system reports is only where reading starts: a file may hold more (as the
// kernel's own files, which report none) or less by the time it is read.
TEST(ReadFileBytes, ReadsToTheEndWhateverTheReportedSize) {
  const std::string path = "/proc/self/maps";  // a regular file of size 0 with many lines
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  ASSERT_EQ(st.st_size, 0);
  const FileBytes whole = ReadFileBytes(path);
  ASSERT_EQ(whole.Status, ReadStatus::Ok);
  EXPECT_GT(whole.Bytes.size(), 1000u);
  EXPECT_EQ(whole.Bytes.back(), '\n');
  EXPECT_EQ(whole.Bytes.find('\0'), std::string::npos);  // no room left unfilled
  EXPECT_EQ(ReadFileBytes(path, 100).Status, ReadStatus::TooLarge);
  EXPECT_TRUE(ReadFileBytes(path, 100).Bytes.empty());
}

// A root with a file of its own and links that lead to a folder and a file outside it.
class FileBytesBelowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    outside.File("d/in.txt", "outside\n");
    outside.File("secret.txt", "outside\n");
    tree.File("file.txt", "inside\n");
    tree.File("d/in.txt", "inside\n");
    tree.Folder("folder");
    tree.Link("via", outside.PathOf("d"));
    tree.Link("to-file", "file.txt");
    tree.Link("to-outside", outside.PathOf("secret.txt"));
    tree.Link("dangling", "missing");
    ASSERT_EQ(::mkfifo(tree.PathOf("fifo").c_str(), 0644), 0);
    ASSERT_EQ(root.Open(tree.Root()), 0);
  }

  testing::TempTree outside;
  testing::TempTree tree;
  RootFolder root;
};

TEST_F(FileBytesBelowTest, OnlyRegularFilesReachedThroughRealFolders) {
  const struct {
    const char* Relative;
    bool Exists;
    int Error;  // 0: read whole
  } cases[] = {
      {"file.txt", true, 0},
      {"d/in.txt", true, 0},
      {"via/in.txt", false, -1},  // a link on the way: ELOOP, or ENOTDIR from the walk by names
      {"to-file", false, ELOOP},  // a link at the end, even to a file inside the root
      {"to-outside", false, ELOOP},
      {"dangling", false, ELOOP},
      {"fifo", false, EINVAL},  // opened without waiting for a writer, and refused
      {"folder", false, EISDIR},
      {"missing", false, ENOENT},
      {"../secret.txt", false, EINVAL},
      {"", false, EISDIR},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Relative);
    EXPECT_EQ(RegularFileExistsBelow(root, c.Relative), c.Exists);
    const FileBytes file = ReadFileBytesBelow(root, c.Relative);
    if (c.Error == 0) {
      EXPECT_TRUE(file);
      EXPECT_EQ(file.Bytes, "inside\n");
      continue;
    }
    EXPECT_EQ(file.Status, ReadStatus::CannotOpen);
    EXPECT_TRUE(file.Bytes.empty());
    if (c.Error > 0) {
      EXPECT_EQ(file.Error, c.Error);
    } else {
      EXPECT_TRUE(file.Error == ELOOP || file.Error == ENOTDIR) << file.Error;
    }
  }
  EXPECT_EQ(ReadFileBytesBelow(root, "file.txt", 6).Status, ReadStatus::TooLarge);
  EXPECT_EQ(ReadFileBytesBelow(RootFolder(), "file.txt").Status, ReadStatus::CannotOpen);
}

TEST_F(FileBytesBelowTest, ALinkSwappedInAfterTheCheckIsNotFollowed) {
  ASSERT_TRUE(RegularFileExistsBelow(root, "d/in.txt"));
  ASSERT_TRUE(RegularFileExistsBelow(root, "file.txt"));
  ASSERT_EQ(::rename(tree.PathOf("d").c_str(), tree.PathOf("d-old").c_str()), 0);
  tree.Link("d", outside.PathOf("d"));
  ASSERT_EQ(::unlink(tree.PathOf("file.txt").c_str()), 0);
  tree.Link("file.txt", outside.PathOf("secret.txt"));
  for (const char* relative : {"d/in.txt", "file.txt"}) {
    const FileBytes file = ReadFileBytesBelow(root, relative);
    EXPECT_EQ(file.Status, ReadStatus::CannotOpen) << relative;
    EXPECT_TRUE(file.Bytes.empty()) << relative;
  }
}

TEST_F(FileBytesBelowTest, ARootThatIsItselfALinkIsFollowed) {
  testing::TempTree links;
  links.Link("root", tree.Root());
  RootFolder linked;
  ASSERT_EQ(linked.Open(links.PathOf("root")), 0);
  EXPECT_TRUE(RegularFileExistsBelow(linked, "d/in.txt"));
  EXPECT_EQ(ReadFileBytesBelow(linked, "d/in.txt").Bytes, "inside\n");
  EXPECT_FALSE(RegularFileExistsBelow(linked, "via/in.txt"));
}

}  // namespace
}  // namespace tarvex
