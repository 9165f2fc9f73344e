#include "core/commands/undo_command.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "core/commands/copy_command.h"
#include "core/commands/delete_command.h"
#include "support/command_test_support.h"

namespace tarvex {
namespace {

using commandtest::CommandTreeTest;
using commandtest::T0;
using filetest::SandboxFolder;
using filetest::SandboxTrashFolder;
using testing::SnapshotTree;
using testing::TreeSnapshot;

constexpr const CopyCommandInfo& MainToSub = CopyCommandTable[2];
constexpr const DeleteCommandInfo& DeleteBoth = DeleteCommandTable[2];

// A name that only survives the journal as bytes: a space, a percent sign, a newline and a byte
// that is no UTF-8.
const std::string OddName = "odd name%\n\xff.txt";

class UndoCommandTest : public CommandTreeTest {
 protected:
  struct World {
    TreeSnapshot Main, Sub, TrashFiles, TrashInfo;
    bool operator==(const World&) const = default;
  };
  World Now() const {
    return {SnapshotTree(main_.Root()), SnapshotTree(sub_.Root()),
            SnapshotTree(SandboxTrashFolder() + "files"),
            SnapshotTree(SandboxTrashFolder() + "info")};
  }

  CommandResult Copy(const CopyCommandInfo& command) {
    CommandJournal journal(state_.Path(), command.Caption);
    CopyCommand copy(files_, progress_, CommandSettings{0, DefaultScanAttrMask, &journal});
    return copy.Run(command, CommandScope{list_, main_.Root(), sub_.Root(), 1, list_.PathCount});
  }
  CommandResult Delete(const DeleteCommandInfo& command) {
    CommandJournal journal(state_.Path(), command.Caption);
    DeleteCommand remove(files_, progress_, CommandSettings{0, DefaultScanAttrMask, &journal});
    return remove.Run(command, CommandScope{list_, main_.Root(), sub_.Root(), 1, list_.PathCount});
  }
  // Undoes the newest journal that is left; false when none is.
  bool Undo(CommandResult* result = nullptr) {
    std::optional<JournalRecord> record = LastUndoableJournal(state_.Path());
    if (!record) return false;
    UndoCommand undo(files_, progress_, CommandSettings{0, DefaultScanAttrMask, nullptr});
    const CommandResult done = undo.Run(*record);
    if (result != nullptr) *result = done;
    return true;
  }
  std::vector<std::string> FailedLines() const {
    std::vector<std::string> lines;
    for (const std::string& line : progress_.Log) {
      if (line.starts_with("　") && line.ends_with("失敗")) lines.push_back(line);
    }
    return lines;
  }

  SandboxFolder state_;  // outside the folder that the no-loss check watches
  PosixFileOperations files_;
};

TEST_F(UndoCommandTest, CopyAllOverOldFilesIntoNewFoldersIsTakenBackByteForByte) {
  main_.File("a.txt", "new a", T0 + 20);
  sub_.File("a.txt", "old a", T0);
  main_.File("deep/er/b.txt", "b", T0);
  main_.File(OddName, "odd", T0);
  sub_.File("sub-only.txt", "stays", T0);
  Scan({});
  const World before = Now();

  ASSERT_TRUE(Copy(MainToSub).LoopRan);
  ASSERT_EQ(sub_.Read("a.txt"), "new a");
  ASSERT_EQ(sub_.Read(OddName), "odd");
  std::optional<JournalRecord> record = LastUndoableJournal(state_.Path());
  ASSERT_TRUE(record);
  EXPECT_EQ(JournalFileCount(*record), 3);
  EXPECT_EQ(UndoConfirmationText(*record, record->Time.substr(0, 10)),
            "メインの全部 → サブへ コピー " + record->Time.substr(11, 5) +
                " の 3 ファイルを元に戻します");

  CommandResult undone;
  ASSERT_TRUE(Undo(&undone));
  EXPECT_EQ(undone.Files, 3);
  EXPECT_EQ(undone.Failed, 0);
  EXPECT_TRUE(FailedLines().empty()) << FailedLines().front();
  // The copies went to the trash and the old a.txt came back out of it: the trash holds the copies
  // now, and nothing else differs.
  World after = Now();
  EXPECT_EQ(after.Main, before.Main);
  EXPECT_EQ(after.Sub, before.Sub);
  EXPECT_EQ(after.TrashInfo.size(), before.TrashInfo.size() + 3);
  ExpectNothingLost();
  EXPECT_FALSE(Undo()) << "a command is taken back once";
}

TEST_F(UndoCommandTest, DeleteOnBothSidesIsTakenBackAndTheTrashIsAsBefore) {
  main_.File("x.txt", "main x", T0);
  sub_.File("x.txt", "sub x", T0 + 2);
  main_.File("dir/" + OddName, "odd", T0);
  Scan({});
  const World before = Now();

  ASSERT_TRUE(Delete(DeleteBoth).LoopRan);
  ASSERT_FALSE(main_.Exists("x.txt"));
  CommandResult undone;
  ASSERT_TRUE(Undo(&undone));
  EXPECT_EQ(undone.Files, 3);
  EXPECT_EQ(Now(), before);
}

TEST_F(UndoCommandTest, AChangedCopyAndATakenPlaceAreLeftAloneAndReported) {
  main_.File("changed.txt", "copy", T0);
  main_.File("taken.txt", "mine", T0);
  sub_.File("taken.txt", "old", T0);
  Scan({"changed.txt", "taken.txt"});
  ASSERT_TRUE(Copy(MainToSub).LoopRan);
  // After the copy: one new file edited, the other replaced by a stranger at its place.
  sub_.File("changed.txt", "edited by hand", T0 + 100);
  ASSERT_EQ(std::remove(sub_.PathOf("taken.txt").c_str()), 0);
  sub_.File("taken.txt", "a stranger", T0);
  Baseline();

  CommandResult undone;
  ASSERT_TRUE(Undo(&undone));
  EXPECT_EQ(undone.Failed, 3);  // the edited copy, the stranger, the old file with no free place
  EXPECT_EQ(sub_.Read("changed.txt"), "edited by hand");
  EXPECT_EQ(sub_.Read("taken.txt"), "a stranger");
  ASSERT_EQ(FailedLines().size(), 3u);
  const auto logged = [&](const std::string& text) {
    return std::find(progress_.Log.begin(), progress_.Log.end(), "　　" + text) !=
           progress_.Log.end();
  };
  EXPECT_TRUE(logged("後から変更されたファイルです"));
  EXPECT_TRUE(logged("戻す先に別のファイルがあります"));
  EXPECT_EQ(progress_.Last().Line2, "    3ファイル失敗しました。");
  // The old taken.txt is still in the trash, with its record.
  EXPECT_TRUE(filetest::FindInTrash(sub_.PathOf("taken.txt")));
}

TEST_F(UndoCommandTest, An中止StoppedUndoGoesOnWhereItStoppedNextTime) {
  for (const char* name : {"1.txt", "2.txt", "3.txt"}) main_.File(name, name, T0);
  Scan({"1.txt", "2.txt", "3.txt"});
  const World before = Now();
  ASSERT_TRUE(Copy(MainToSub).LoopRan);

  // 中止 at the start of the second entry: only 3.txt (the newest) is taken back.
  const int turnsBefore = progress_.EventTurns;
  progress_.OnEvents = [&](int turn) { progress_.Cancel = turn == turnsBefore + 2; };
  CommandResult stopped;
  ASSERT_TRUE(Undo(&stopped));
  EXPECT_TRUE(stopped.Cancelled);
  EXPECT_EQ(stopped.Files, 1);
  EXPECT_FALSE(sub_.Exists("3.txt"));
  EXPECT_TRUE(sub_.Exists("2.txt"));

  progress_.OnEvents = nullptr;
  progress_.Cancel = false;
  CommandResult rest;
  ASSERT_TRUE(Undo(&rest));
  EXPECT_EQ(rest.Files, 2);
  EXPECT_EQ(rest.Failed, 0) << "nothing is taken back twice";
  EXPECT_EQ(Now().Sub, before.Sub);
  EXPECT_FALSE(Undo());
}

// Stops the process for good at the pause after the given file, as a kill would.
class DyingProgress : public commandtest::RecordingProgress {
 public:
  explicit DyingProgress(int files) : left_(files) {}
  void Pause(int) override {
    if (--left_ == 0) ::kill(::getpid(), SIGKILL);
  }

 private:
  int left_;
};

TEST_F(UndoCommandTest, ACommandKilledHalfWayIsTakenBackAsFarAsItWent) {
  for (const char* name : {"d/1.txt", "d/2.txt", "d/3.txt", "d/4.txt"}) main_.File(name, name, T0);
  sub_.File("d/2.txt", "old 2", T0);
  Scan({"d", "d/1.txt", "d/2.txt", "d/3.txt", "d/4.txt"});
  const World before = Now();

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    DyingProgress dying(2);
    CommandJournal journal(state_.Path(), MainToSub.Caption);
    CopyCommand copy(files_, dying, CommandSettings{0, DefaultScanAttrMask, &journal});
    copy.Run(MainToSub, CommandScope{list_, main_.Root(), sub_.Root(), 1, list_.PathCount});
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_TRUE(sub_.Exists("d/1.txt"));
  ASSERT_FALSE(sub_.Exists("d/3.txt"));

  CommandResult undone;
  ASSERT_TRUE(Undo(&undone));
  EXPECT_EQ(undone.Files, 2);
  EXPECT_EQ(undone.Failed, 0);
  const World after = Now();
  EXPECT_EQ(after.Main, before.Main);
  EXPECT_EQ(after.Sub, before.Sub);
}

TEST_F(UndoCommandTest, TwoUndosTakeBackTheTwoLastCommandsNewestFirst) {
  main_.File("a.txt", "a", T0);
  sub_.File("b.txt", "b", T0);
  Scan({"a.txt", "b.txt"});
  const World before = Now();
  ASSERT_TRUE(Copy(MainToSub).LoopRan);
  const World afterCopy = Now();
  Scan({"a.txt", "b.txt"});
  ASSERT_TRUE(Delete(DeleteBoth).LoopRan);
  ASSERT_FALSE(sub_.Exists("b.txt"));

  ASSERT_TRUE(Undo());
  EXPECT_EQ(Now().Sub, afterCopy.Sub);
  ASSERT_TRUE(Undo());
  EXPECT_EQ(Now().Main, before.Main);
  EXPECT_EQ(Now().Sub, before.Sub);
  EXPECT_FALSE(Undo());
}

TEST_F(UndoCommandTest, ARootThatIsAnotherFolderNowStopsTheUndoBeforeAnything) {
  main_.File("a.txt", "a", T0);
  Scan({});
  ASSERT_TRUE(Copy(MainToSub).LoopRan);
  ASSERT_EQ(std::rename(sub_.Root().c_str(), (dir_ / "moved").c_str()), 0);
  ASSERT_EQ(::mkdir(sub_.Root().c_str(), 0755), 0);
  Baseline();
  CommandResult undone;
  ASSERT_TRUE(Undo(&undone));
  EXPECT_TRUE(undone.RootChanged);
  EXPECT_FALSE(undone.LoopRan);
}

TEST(CommandJournal, KeepsTheLastTwentyAndRoundTripsAnyBytes) {
  SandboxFolder state;
  SandboxFolder tree;
  RootFolder root;
  ASSERT_EQ(root.Open(tree.Path()), 0);
  PerSide<RootFolder> roots;
  roots.Main = std::move(root);
  std::string bytes;
  for (int b = 1; b < 256; ++b) {
    if (b != '/') bytes += static_cast<char>(b);
  }
  for (int i = 0; i < KeptJournals + 5; ++i) {
    CommandJournal journal(state.Path(), "caption " + std::to_string(i));
    journal.SetRoots(roots);
    journal.FolderCreated(roots.Main, "a/" + bytes);
  }
  int files = 0;
  for (int i = 1; i <= KeptJournals + 5; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%08d.journal", i);
    files += filetest::PathExists(state / name);
  }
  EXPECT_EQ(files, KeptJournals);
  const std::optional<JournalRecord> last = LastUndoableJournal(state.Path());
  ASSERT_TRUE(last);
  EXPECT_EQ(last->Caption, "caption 24");
  ASSERT_EQ(last->Entries.size(), 1u);
  EXPECT_EQ(last->Entries[0].Relative, "a/" + bytes);
  EXPECT_EQ(last->Roots.Main.Identity, roots.Main.Identity());
  EXPECT_FALSE(last->Roots.Sub.Identity.Known);
}

// A journal is read back only as far as it names places below a root and items of a trash: an
// edited or damaged line is dropped, never acted on.
TEST(CommandJournal, LinesThatLeaveTheRootOrTheTrashAreDropped) {
  SandboxFolder state;
  const std::string id = " 1 2 3 4 5";
  filetest::WriteFile(state / "00000001.journal",
                      "tarvex-journal 1\ncaption x\ntime 2026-01-02T03:04:05\n"
                      "root sub 1 2 /r\n"
                      "trashed sub a.txt /t/Trash/files /t/Trash/info a.txt" +
                          id +
                          "\n"
                          "trashed sub ../b.txt /t/Trash/files /t/Trash/info b.txt" +
                          id +
                          "\n"
                          "trashed sub c.txt /home/me /t/Trash/info c.txt" +
                          id +
                          "\n"
                          "trashed sub d.txt /t/Trash/files /t/Trash/info ../d.txt" +
                          id +
                          "\n"
                          "created sub e.txt" +
                          id +
                          "\n"
                          "created sub %ZZ" +
                          id +
                          "\n"
                          "created sub f.txt 1 2\n"
                          "undone 0\n");
  JournalRecord record;
  ASSERT_TRUE(ReadJournal(state / "00000001.journal", record));
  ASSERT_EQ(record.Entries.size(), 2u);
  EXPECT_EQ(record.Entries[0].Relative, "a.txt");
  EXPECT_EQ(record.Entries[1].Relative, "e.txt");
  EXPECT_EQ(record.Undone, (std::vector<bool>{true, false}));
  EXPECT_EQ(record.Roots.Sub.Path, "/r");
  EXPECT_EQ(JournalFileCount(record), 2);
}

}  // namespace
}  // namespace tarvex
