// The batched lookups give what one statx per name gives, through the ring and the plain way, on
// batches smaller and larger than the ring, with links, vanished names and names that are not
// UTF-8; and a folder listed either way yields the same entries in the same order.

#include "core/fs/statx_batch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "core/fs/directory_entry.h"
#include "core/fs/unique_fd.h"
#include "support/temp_tree.h"

namespace tarvex {
namespace {

struct RestoreRing {
  ~RestoreRing() { AllowStatxRing(true); }
};

struct Looked {
  int Error;
  unsigned Mode;
  std::int64_t Seconds;
  std::uint64_t Size;
  bool operator==(const Looked&) const = default;
};

std::vector<Looked> LookUp(int folder, const std::vector<std::string>& names) {
  std::vector<const char*> pointers;
  for (const std::string& name : names) pointers.push_back(name.c_str());
  std::vector<struct statx> results(names.size());
  std::vector<int> errors(names.size(), -1);
  StatxNames(folder, pointers, results, errors);
  std::vector<Looked> looked;
  for (std::size_t i = 0; i < names.size(); ++i) {
    looked.push_back(errors[i] != 0 ? Looked{errors[i], 0, 0, 0}
                                    : Looked{0, results[i].stx_mode, results[i].stx_mtime.tv_sec,
                                             results[i].stx_size});
  }
  return looked;
}

std::vector<Looked> OneByOne(int folder, const std::vector<std::string>& names) {
  std::vector<Looked> looked;
  for (const std::string& name : names) {
    struct statx sx;
    if (::statx(folder, name.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                STATX_TYPE | STATX_MODE | STATX_MTIME | STATX_SIZE, &sx) != 0)
      looked.push_back({errno, 0, 0, 0});
    else
      looked.push_back({0, sx.stx_mode, sx.stx_mtime.tv_sec, sx.stx_size});
  }
  return looked;
}

TEST(StatxBatchTest, BothWaysGiveWhatOneStatxPerNameGives) {
  RestoreRing restore;
  testing::TempTree tree;
  std::vector<std::string> names;
  for (int i = 0; i < 300; ++i) {
    const std::string name = "f" + std::to_string(i);
    tree.File(name, std::string(static_cast<std::size_t>(i), 'x'), 1700000000 + i);
    names.push_back(name);
  }
  tree.Folder("folder");
  ASSERT_EQ(::symlink("f1", (tree.Root() + "/link").c_str()), 0);
  ASSERT_EQ(::symlink("/nowhere", (tree.Root() + "/dangling").c_str()), 0);
  tree.File(std::string("bad\xff\xfe"), "cp", 1700000000);
  names.insert(names.begin() + 5, {"folder", "link", "dangling", "gone", std::string("bad\xff\xfe"),
                                   "folder/missing", "f1/not-a-folder"});
  const UniqueFd folder(::open(tree.Root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  ASSERT_TRUE(folder);
  const std::vector<Looked> expected = OneByOne(folder.get(), names);
  ASSERT_EQ(expected[8].Error, ENOENT);    // "gone"
  ASSERT_TRUE(S_ISLNK(expected[6].Mode));  // the link itself, not what it names

  for (const bool ring : {true, false}) {
    SCOPED_TRACE(ring ? "ring" : "plain");
    AllowStatxRing(ring);
    // One, a few, exactly a batch, more than a batch.
    for (const std::size_t count : {std::size_t{1}, std::size_t{7}, StatxBatchSize, names.size()}) {
      SCOPED_TRACE(count);
      const std::vector<std::string> some(names.begin(), names.begin() + static_cast<long>(count));
      EXPECT_EQ(LookUp(folder.get(), some),
                std::vector<Looked>(expected.begin(), expected.begin() + static_cast<long>(count)));
    }
    if (!ring) {
      EXPECT_FALSE(StatxRingInUse());
    }
  }
}

TEST(StatxBatchTest, AFolderListsTheSameEitherWay) {
  RestoreRing restore;
  testing::TempTree tree;
  for (int i = 0; i < 1500; ++i)
    tree.File("name-with-some-length-" + std::to_string(i), std::to_string(i), 1700000000 + i);
  tree.Folder("sub");
  ASSERT_EQ(::symlink("sub", (tree.Root() + "/link").c_str()), 0);
  ASSERT_EQ(::mkfifo((tree.Root() + "/pipe").c_str(), 0600), 0);
  const auto list = [&](bool ring) {
    AllowStatxRing(ring);
    std::vector<std::string> seen;
    UniqueFd folder(::open(tree.Root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    const int error = ListDirectoryAt(std::move(folder), 0xFFFFFFFF, [&](const DirectoryEntry& d) {
      seen.push_back(d.Name + " " + std::to_string(d.Attr) + " " + std::to_string(d.Time) + " " +
                     std::to_string(d.Size));
    });
    EXPECT_EQ(error, 0);
    return seen;
  };
  const std::vector<std::string> plain = list(false);
  EXPECT_EQ(plain.size(), 1500u + 3u);  // the files, the folder, the pipe and the link as special
  EXPECT_EQ(list(true), plain);
}

TEST(StatxBatchTest, AChildMadeByForkLeavesTheParentsLookupsWhole) {
  RestoreRing restore;
  AllowStatxRing(true);
  testing::TempTree tree;
  std::vector<std::string> names;
  for (int i = 0; i < 40; ++i) {
    names.push_back("f" + std::to_string(i));
    tree.File(names.back(), std::string(static_cast<std::size_t>(i), 'x'));
  }
  const UniqueFd folder(::open(tree.Root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  const std::vector<Looked> expected = OneByOne(folder.get(), names);
  ASSERT_EQ(LookUp(folder.get(), names), expected);
  for (int round = 0; round < 3; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      bool same = true;
      for (int i = 0; i < 20; ++i) same = same && LookUp(folder.get(), names) == expected;
      ::_exit(same ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (int i = 0; i < 20; ++i) ASSERT_EQ(LookUp(folder.get(), names), expected);
  }
}

}  // namespace
}  // namespace tarvex
