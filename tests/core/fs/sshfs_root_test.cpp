// A network folder (sshfs from a private sshd on this machine) as a root: the scan lists it, a copy
// lands on it and comes from it, and the trash takes its files or leaves them, never losing one.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/fs/file_operations.h"
#include "core/scan/folder_scan.h"
#include "support/command_test_support.h"
#include "support/sshfs_volume.h"
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
using filetest::WriteFile;

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
  return bytes;
}

// A local folder and a remote one below tree/, the remote one mounted at net/mnt. The no-loss
// check sees the remote folder itself, so that it never waits on the network, and the mount's
// trash through it.
class SshfsRootTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(filetest::SandboxTrashIsPrivate()) << "GLib does not name the test's own trash";
    for (const std::string& folder : {tree_, local_, remote_, net_}) {
      ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0) << folder;
    }
    volume_ = std::make_unique<testing::SshfsVolume>(net_, remote_);
    if (!volume_->Mounted()) {
      std::fprintf(stderr, "*** sshfs skipped: %s\n", volume_->WhyNot().c_str());
      GTEST_SKIP() << "sshfs skipped: " << volume_->WhyNot();
    }
    mnt_ = volume_->Root();
  }
  // Also after a failure: the mount goes before the folders under it, and the sshd with it.
  void TearDown() override { volume_.reset(); }

  std::string VolumeTrash() const { return remote_ + "/.Trash-" + std::to_string(::geteuid()); }
  testing::NoLossCheck NoLoss() const {
    return testing::NoLossCheck(
        tree_, {local_, remote_},
        {filetest::SandboxTrashFolder() + "files", VolumeTrash() + "/files"});
  }

  filetest::SandboxFolder dir_;
  const std::string tree_ = dir_ / "tree";
  const std::string local_ = tree_ + "/local";
  const std::string remote_ = tree_ + "/remote";
  const std::string net_ = dir_ / "net";
  std::unique_ptr<testing::SshfsVolume> volume_;
  std::string mnt_;
};

TEST_F(SshfsRootTest, ScanListsTheRemoteFilesAgainstALocalFolder) {
  WriteFile(local_ + "/both.txt", "same");
  WriteFile(remote_ + "/both.txt", "same");
  WriteFile(remote_ + "/only remote.txt", "r");
  ASSERT_EQ(::mkdir((remote_ + "/サブ").c_str(), 0755), 0);
  WriteFile(remote_ + "/サブ/深い.txt", "deep");

  PathList list;
  ScanOptions options;
  options.SubFolder = true;
  const ScanReport report =
      ScanFolders(list, local_, mnt_, options, FilterSet{"every", {}, {"*"}, {}});

  EXPECT_TRUE(report.UnreadableFolders.empty());
  std::map<std::string, CompareStatus> rows;
  for (std::int32_t i = 0; i < list.PathCount; ++i) rows[list[i].Path] = list[i].Status;
  const std::map<std::string, CompareStatus> expected{{"both.txt", Same},
                                                      {"only remote.txt", SubOnly},
                                                      {"サブ", SubOnly},
                                                      {"サブ/深い.txt", SubOnly}};
  // The times of the two copies of both.txt may differ; the pairing is what matters here.
  ASSERT_EQ(rows.size(), expected.size());
  for (const auto& [path, status] : expected) {
    ASSERT_EQ(rows.count(path), 1u) << path;
    if (path != "both.txt") {
      EXPECT_EQ(rows[path], status) << path;
    }
  }
  const PathEntry* both = nullptr;
  for (std::int32_t i = 0; i < list.PathCount; ++i) {
    if (list[i].Path == "both.txt") both = &list[i];
  }
  ASSERT_NE(both, nullptr);
  EXPECT_TRUE(both->MainExists && both->SubExists);
  EXPECT_EQ(both->SubSize, 4);
}

// sshfs has no O_TMPFILE, and RENAME_EXCHANGE, RENAME_NOREPLACE and hard links only as far as it
// and the server offer them: whichever way of placing it ends with, the copy arrives with its
// bytes, an old file goes to a trash and no temporary stays behind, in both directions. The second
// mount has no hard links, which leaves the rename after checking that the name is free.
TEST_F(SshfsRootTest, CopiesOntoAndFromTheRemoteRootPlaceTheFileAndTrashTheOldOne) {
  struct Case {
    const char* name;
    const char* options;
  };
  const Case cases[] = {{"as the server offers", ""}, {"without hard links", "disable_hardlink"}};
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string p = "c" + std::to_string(++n) + "-";
    if (c.options[0] != '\0') {
      const std::string net = dir_ / ("net" + p);
      ASSERT_EQ(::mkdir(net.c_str(), 0755), 0);
      volume_.reset();
      volume_ = std::make_unique<testing::SshfsVolume>(net, remote_, c.options);
      if (!volume_->Mounted()) {
        std::fprintf(stderr, "*** sshfs skipped: %s with %s\n", volume_->WhyNot().c_str(),
                     c.options);
        GTEST_SKIP() << "sshfs skipped: " << volume_->WhyNot();
      }
      mnt_ = volume_->Root();
    }
    const std::string big = RandomBytes(300 * 1024, static_cast<unsigned>(n));
    WriteFile(local_ + "/" + p + "over.txt", "new from local");
    WriteFile(remote_ + "/" + p + "over.txt", "old on the remote");
    ASSERT_EQ(::mkdir((local_ + "/" + p + "sub").c_str(), 0755), 0);
    WriteFile(local_ + "/" + p + "sub/big.bin", big);
    WriteFile(remote_ + "/" + p + "back.txt", "new from the remote");
    WriteFile(local_ + "/" + p + "back.txt", "old local");
    testing::NoLossCheck noLoss = NoLoss();
    noLoss.Baseline();

    // Every way of placing is tried through the real call; the hooks only note the order.
    ScriptedFileOperations ops;
    std::vector<std::string> tried;
    const auto note = [&tried](const char* step) {
      return [&tried, step](const std::string&) -> std::optional<FileResult> {
        tried.push_back(step);
        return std::nullopt;
      };
    };
    ops.exchangeNames = note("exchange");
    ops.linkUnnamed = note("link unnamed");
    ops.renameNoReplace = note("rename noreplace");
    ops.linkNoReplace = note("hard link");
    ops.renameOverAbsent = note("rename after check");
    const auto copy = [&](const std::string& from, const std::string& to,
                          const std::string& relative) {
      tried.clear();
      const FileResult result =
          ops.CopyOneFile(OpenedRoot(from), OpenedRoot(to), relative, CopyWhen::Always);
      std::string steps;
      for (const std::string& step : tried) steps += (steps.empty() ? "" : " > ") + step;
      std::fprintf(stderr, "*** sshfs %s, copy %s: %s\n", c.name, relative.c_str(), steps.c_str());
      return result;
    };

    const FileResult over = copy(local_, mnt_, p + "over.txt");
    const FileResult fresh = copy(local_, mnt_, p + "sub/big.bin");
    const FileResult back = copy(mnt_, local_, p + "back.txt");

    ASSERT_TRUE(over) << over.Reason;
    ASSERT_TRUE(fresh) << fresh.Reason;
    ASSERT_TRUE(back) << back.Reason;
    EXPECT_EQ(ReadFile(remote_ + "/" + p + "over.txt"), "new from local");
    EXPECT_EQ(ReadFile(remote_ + "/" + p + "sub/big.bin"), big);
    EXPECT_EQ(ReadFile(local_ + "/" + p + "back.txt"), "new from the remote");
    // The old remote file is on another device than the home trash: the mount's own trash, with
    // its record relative to the mount's top.
    EXPECT_EQ(ReadFile(VolumeTrash() + "/files/" + p + "over.txt"), "old on the remote");
    EXPECT_NE(ReadFile(VolumeTrash() + "/info/" + p + "over.txt.trashinfo")
                  .find("Path=" + p + "over.txt\n"),
              std::string::npos);
    const std::optional<std::string> oldLocal = FindInTrash(local_ + "/" + p + "back.txt");
    ASSERT_TRUE(oldLocal.has_value());
    EXPECT_EQ(ReadFile(*oldLocal), "old local");
    EXPECT_EQ(CountNamesContaining(remote_, ".tarvex-"), 0);
    EXPECT_EQ(CountNamesContaining(remote_ + "/" + p + "sub", ".tarvex-"), 0);
    EXPECT_EQ(CountNamesContaining(local_, ".tarvex-"), 0);
    noLoss.Expect();
  }
}

// The trash of a file on the mount is the mount's .Trash-$uid (the home trash is on another
// device). Where the server does not let one be made, the file stays and the reason is given:
// exactly one of the two, and no byte lost.
TEST_F(SshfsRootTest, RecycleFileMovesToTheMountsTrashOrLeavesTheFile) {
  WriteFile(remote_ + "/trash me.txt", "trash me");
  testing::NoLossCheck noLoss = NoLoss();
  noLoss.Baseline();

  PosixFileOperations ops;
  const FileResult result = ops.RecycleFile(OpenedRoot(mnt_), "trash me.txt");

  const std::string trashed = VolumeTrash() + "/files/trash me.txt";
  const bool moved = !PathExists(remote_ + "/trash me.txt") && PathExists(trashed) &&
                     ReadFile(trashed) == "trash me";
  const bool stayed = PathExists(remote_ + "/trash me.txt") &&
                      ReadFile(remote_ + "/trash me.txt") == "trash me" && !PathExists(trashed);
  std::fprintf(stderr, "*** sshfs trash: %s\n",
               moved ? "moved to the mount's trash" : ("stayed: " + result.Reason).c_str());
  EXPECT_NE(moved, stayed);
  EXPECT_EQ(static_cast<bool>(result), moved) << result.Reason;
  if (moved) {
    EXPECT_NE(
        ReadFile(VolumeTrash() + "/info/trash me.txt.trashinfo").find("Path=trash%20me.txt\n"),
        std::string::npos);
  } else {
    EXPECT_EQ(result.Step, FileStep::Trash);
    EXPECT_FALSE(result.Reason.empty());
  }
  EXPECT_FALSE(FindInTrash(mnt_ + "/trash me.txt").has_value()) << "not in the home trash";
  noLoss.Expect();
}

}  // namespace
}  // namespace tarvex
