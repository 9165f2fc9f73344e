#include "core/commands/delete_command.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <random>
#include <string>
#include <vector>

#include "support/command_test_support.h"

namespace tarvex {
namespace {

using commandtest::CommandTreeTest;
using commandtest::RecordingProgress;
using commandtest::ScriptedFileOperations;
using commandtest::T0;
using filetest::FindInTrash;
using filetest::PathExists;
using filetest::ReadFile;

constexpr const DeleteCommandInfo& DeleteMain = DeleteCommandTable[0];
constexpr const DeleteCommandInfo& DeleteSub = DeleteCommandTable[1];
constexpr const DeleteCommandInfo& DeleteBoth = DeleteCommandTable[2];

TEST(DeleteCommandTable, MenuItemsPickTheirCommandAndAnyOtherIsBoth) {
  struct Row {
    const char* item;
    const char* caption;
    bool mainSide;
    bool subSide;
    const char* prefix;
  };
  const Row rows[] = {
      {"PMMDelFileMain", "メインのファイルを削除する", true, false, "メインのファイルを"},
      {"PMMDelFileSub", "サブのファイルを削除する", false, true, "サブのファイルを"},
      {"PMMDelFileAll", "両方のファイルを削除する", true, true, "両方のファイルを"},
  };
  for (const Row& row : rows) {
    const DeleteCommandInfo& command = DeleteCommandFor(row.item);
    EXPECT_STREQ(command.MenuItem, row.item);
    EXPECT_STREQ(command.Caption, row.caption) << row.item;
    EXPECT_EQ(command.MainSide, row.mainSide) << row.item;
    EXPECT_EQ(command.SubSide, row.subSide) << row.item;
    EXPECT_STREQ(command.Prefix, row.prefix) << row.item;
  }
  EXPECT_EQ(&DeleteCommandFor("PMMCopyClick"), &DeleteBoth);
}

class DeleteCommandTest : public CommandTreeTest {
 protected:
  PosixFileOperations files_;
  CommandResult Delete(const DeleteCommandInfo& command, std::int32_t first, std::int32_t last,
                       FileOperations* files = nullptr, CommandSettings settings = {}) {
    PosixFileOperations posix;
    DeleteCommand del(files != nullptr ? *files : posix, progress_, settings);
    return del.Run(command, CommandScope{list_, main_.Root(), sub_.Root(), first, last});
  }
  static std::string TrashedLine(std::int32_t row, const std::string& path) {
    return "　" + std::to_string(row) + ":" + path + " → ごみ箱";
  }
  // Trashed with its .trashinfo record and its content intact.
  static void ExpectInTrash(const std::string& path, const std::string& content) {
    const auto trashed = FindInTrash(path);
    ASSERT_TRUE(trashed) << path << " is not in the trash";
    EXPECT_EQ(ReadFile(*trashed), content) << path;
    EXPECT_FALSE(PathExists(path)) << path;
  }
};

TEST_F(DeleteCommandTest, NothingToRemoveLogsTheHeaderAndShowsNoDialog) {
  main_.Folder("dir");
  sub_.Folder("dir");
  sub_.File("subonly.txt", "s", T0);
  Scan({"dir", "subonly.txt"});

  for (const DeleteCommandInfo* command : {&DeleteMain, &DeleteBoth}) {
    progress_ = RecordingProgress();
    const std::int32_t last = command == &DeleteMain ? 2 : 1;
    const CommandResult result = Delete(*command, 1, last);

    EXPECT_EQ(progress_.Log,
              (std::vector<std::string>{
                  "", std::string(command->Prefix) + "削除 (1～" + std::to_string(last) + ")"}));
    EXPECT_TRUE(progress_.Dialog.empty());
    EXPECT_FALSE(result.LoopRan);
    EXPECT_EQ(progress_.Beeps, 0);
    EXPECT_TRUE(progress_.Pauses.empty());
  }
  EXPECT_TRUE(sub_.Exists("subonly.txt"));
  EXPECT_TRUE(main_.Exists("dir"));
}

TEST_F(DeleteCommandTest, BothSidesOfARowGoToTheTrashAndTheRowBecomesNeither) {
  main_.Folder("d");
  sub_.Folder("d");
  main_.Folder("e");
  main_.File("both.txt", "main side", T0 + 2);
  sub_.File("both.txt", "sub side", T0);
  Scan({"d", "e", "both.txt"});
  CommandSettings settings;
  settings.CopyWait = 50;

  const CommandResult result = Delete(DeleteBoth, 1, 3, nullptr, settings);

  ExpectInTrash(main_.PathOf("both.txt"), "main side");
  ExpectInTrash(sub_.PathOf("both.txt"), "sub side");
  EXPECT_EQ(progress_.Log,
            (std::vector<std::string>{
                "", "両方のファイルを削除 (1～3)", TrashedLine(3, main_.PathOf("both.txt")),
                TrashedLine(3, sub_.PathOf("both.txt")), "両方のファイルを2ファイル削除"}));
  EXPECT_EQ(result.Files, 2);
  EXPECT_EQ(result.CurrentRow, 1);
  EXPECT_TRUE(result.LoopRan);
  const PathEntry& entry = Entry("both.txt");
  EXPECT_EQ(entry.Status, Neither);
  EXPECT_FALSE(entry.MainExists || entry.SubExists);
  EXPECT_EQ(entry.MainTime + entry.SubTime, 0);
  EXPECT_EQ(entry.MainSize + entry.SubSize, 0);

  // The confirmation counts files (sides), the running header counts the selected rows.
  ProgressDialogState confirm;
  confirm.Header = "両方のファイルを削除してよろしいですか？(2)";
  confirm.Line1 = main_.Root() + "/～";
  confirm.Line2 = sub_.Root() + "/～";
  confirm.Line3Bold = true;
  confirm.BarVisible = false;
  confirm.Names = "both.txt";  // one path although two files go
  ASSERT_EQ(progress_.Dialog[0].Kind, RecordingProgress::Call::Confirm);
  EXPECT_EQ(progress_.Dialog[0].State, confirm);
  ProgressDialogState running = confirm;
  running.Names.clear();
  running.Header = "両方のファイルを削除しています。(3)";
  running.HeaderGrey = true;
  running.BarVisible = true;
  running.BarMaximum = 3;
  ASSERT_EQ(progress_.Dialog[1].Kind, RecordingProgress::Call::Show);
  EXPECT_EQ(progress_.Dialog[1].State, running);
  EXPECT_EQ(progress_.Dialog[2].State.Line1, main_.PathOf("both.txt"));
  EXPECT_EQ(progress_.Dialog[2].State.Line2, sub_.PathOf("both.txt"));
  EXPECT_EQ(progress_.Dialog[3].State.Line3, "  2ファイル削除");
  EXPECT_EQ(progress_.BarPositions(), (std::vector<std::int32_t>{0, 3}))
      << "folder rows do not move the bar";
  const ProgressDialogState& finished = progress_.Last();
  EXPECT_EQ(finished.Header, "両方のファイルを2ファイル削除しました。");
  EXPECT_FALSE(finished.HeaderGrey);
  EXPECT_TRUE(finished.OkEnabled);
  EXPECT_FALSE(finished.CancelEnabled);
  EXPECT_EQ(progress_.Pauses, std::vector<int>{50});
  EXPECT_EQ(progress_.Beeps, 1);
  EXPECT_EQ(progress_.CancelClears, 1);
}

TEST_F(DeleteCommandTest, ConfirmationNamesTheFirstFivePathsThatGoAndCountsTheRest) {
  main_.Folder("d");
  std::vector<std::string> order = {"d"};
  for (int i = 1; i <= 6; ++i) {
    const std::string name = "m" + std::to_string(i) + ".txt";
    main_.File(name, "m", T0);
    order.push_back(name);
  }
  sub_.File("s.txt", "s", T0);
  order.push_back("s.txt");
  Scan(order);

  struct Case {
    const DeleteCommandInfo* command;
    std::int32_t first, last;
    const char* names;
  };
  const Case cases[] = {
      {&DeleteMain, 1, 8, "m1.txt\nm2.txt\nm3.txt\nm4.txt\nm5.txt\nほか 1 件"},
      {&DeleteBoth, 1, 8, "m1.txt\nm2.txt\nm3.txt\nm4.txt\nm5.txt\nほか 2 件"},
      {&DeleteSub, 1, 8, "s.txt"},  // rows without a sub file are not named
      {&DeleteMain, 2, 6, "m1.txt\nm2.txt\nm3.txt\nm4.txt\nm5.txt"},  // exactly five
      {&DeleteMain, 8, 8, ""},                                        // nothing of that side
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DeleteConfirmationNames(list_, *c.command, c.first, c.last), c.names)
        << c.command->MenuItem << " " << c.first << ".." << c.last;
  }
  progress_.ConfirmAnswer = false;
  Delete(DeleteMain, 3, 3);
  ASSERT_EQ(progress_.Dialog.size(), 1u);
  EXPECT_EQ(progress_.Dialog[0].State.Names, "m2.txt");
}

TEST_F(DeleteCommandTest, MainDeleteLeavesSubOnlyAndTakesIgnoredFilesToo) {
  main_.File("newer.txt", "new", T0 + 10);
  sub_.File("newer.txt", "old", T0);
  sub_.File("subonly.txt", "s", T0);
  main_.File("keep.bak", "bak", T0);
  Scan({"newer.txt", "subonly.txt", "keep.bak"}, false, {"*.bak"});
  ASSERT_EQ(Entry("newer.txt").Status, MainNewer);
  ASSERT_TRUE(Entry("keep.bak").Ignored);

  const CommandResult result = Delete(DeleteMain, 1, 3);

  EXPECT_EQ(progress_.Dialog[0].State.Header, "メインのファイルを削除してよろしいですか？(2)");
  EXPECT_EQ(progress_.Dialog[0].State.Line2, "") << "the sub side is not chosen";
  EXPECT_EQ(result.Files, 2);
  ExpectInTrash(main_.PathOf("newer.txt"), "new");
  ExpectInTrash(main_.PathOf("keep.bak"), "bak");
  EXPECT_EQ(sub_.Read("newer.txt"), "old");
  EXPECT_EQ(Entry("newer.txt").Status, SubOnly);
  EXPECT_EQ(Entry("subonly.txt").Status, SubOnly);
  EXPECT_EQ(Entry("keep.bak").Status, Neither);
  EXPECT_EQ(progress_.Log,
            (std::vector<std::string>{
                "", "メインのファイルを削除 (1～3)", TrashedLine(1, main_.PathOf("newer.txt")),
                TrashedLine(3, main_.PathOf("keep.bak")), "メインのファイルを2ファイル削除"}));
  // The row without a main file removes nothing but still pauses.
  EXPECT_EQ(progress_.Pauses.size(), 3u);
}

TEST_F(DeleteCommandTest, DeclinedConfirmationTouchesNothing) {
  main_.File("a.txt", "a", T0 + 2);
  sub_.File("a.txt", "a", T0);
  Scan({"a.txt"});
  const PathEntry before = Entry("a.txt");
  progress_.ConfirmAnswer = false;

  const CommandResult result = Delete(DeleteBoth, 1, 1);

  EXPECT_FALSE(result.LoopRan);
  EXPECT_EQ(progress_.Log.size(), 2u);
  EXPECT_EQ(progress_.Count(RecordingProgress::Call::Confirm), 1);
  EXPECT_EQ(progress_.Dialog.size(), 1u);
  EXPECT_EQ(progress_.Beeps, 0);
  EXPECT_EQ(main_.Read("a.txt"), "a");
  EXPECT_EQ(sub_.Read("a.txt"), "a");
  EXPECT_EQ(Entry("a.txt").Status, before.Status);
  EXPECT_TRUE(Entry("a.txt").MainExists && Entry("a.txt").SubExists);
}

TEST_F(DeleteCommandTest, CancelStopsBeforeTheNextRow) {
  main_.File("a.txt", "a", T0);
  main_.File("b.txt", "b", T0);
  main_.File("c.txt", "c", T0);
  Scan({"a.txt", "b.txt", "c.txt"});
  progress_.OnEvents = [this](int turn) { progress_.Cancel = turn == 2; };

  const CommandResult result = Delete(DeleteMain, 1, 3);

  EXPECT_TRUE(result.Cancelled);
  EXPECT_EQ(result.Files, 1);
  EXPECT_FALSE(main_.Exists("a.txt"));
  EXPECT_TRUE(main_.Exists("b.txt"));
  EXPECT_TRUE(Entry("b.txt").MainExists);
  EXPECT_EQ(progress_.Last().Header, "メインのファイルを1ファイル削除しました。");
  EXPECT_EQ(progress_.Last().Line3, "  1ファイル削除　中止しました。");
  EXPECT_EQ(progress_.Log.back(), "メインのファイルを1ファイル削除、中止");
}

// A side is cleared only when its file is gone: trashed, or removed by somebody else already. A
// file the trash refuses stays, is logged as failed with the reason, and keeps its side.
TEST_F(DeleteCommandTest, RefusedFilesKeepTheirSideAndAbsentOnesAreCleared) {
  main_.File("refused.txt", "keep me", T0);
  main_.File("vanished.txt", "v", T0);
  main_.File("ok.txt", "ok", T0);
  main_.File("x", "a file on the main side", T0);
  sub_.Folder("x");
  sub_.File("x/inner.txt", "inside", T0);
  Scan({"refused.txt", "vanished.txt", "ok.txt", "x"});
  ASSERT_FALSE(IsFolder(Entry("x").Attr)) << "the main side decides the row's kind";
  ASSERT_TRUE(Entry("x").SubExists);
  ASSERT_EQ(::unlink(main_.PathOf("vanished.txt").c_str()), 0);
  Baseline();
  ScriptedFileOperations files;
  files.recycle = [](const std::string& path) -> std::optional<FileResult> {
    if (path.ends_with("/refused.txt")) {
      return FileResult::Failure(FileStep::Trash, EBUSY, "ごみ箱へ移せません: busy");
    }
    return std::nullopt;
  };

  const CommandResult mainResult = Delete(DeleteMain, 1, 3, &files);

  EXPECT_EQ(mainResult.Files, 1);
  EXPECT_EQ(mainResult.Failed, 1);
  EXPECT_EQ(progress_.Log,
            (std::vector<std::string>{"", "メインのファイルを削除 (1～3)",
                                      TrashedLine(1, main_.PathOf("refused.txt")) + " 失敗",
                                      "　　ごみ箱へ移せません: busy",
                                      TrashedLine(3, main_.PathOf("ok.txt")),
                                      "メインのファイルを1ファイル削除、1ファイル失敗"}));
  EXPECT_EQ(progress_.Last().Line3, "  1ファイル削除　1ファイル失敗しました。");
  EXPECT_EQ(main_.Read("refused.txt"), "keep me");
  EXPECT_TRUE(Entry("refused.txt").MainExists);
  EXPECT_EQ(Entry("refused.txt").Status, MainOnly);
  EXPECT_FALSE(Entry("vanished.txt").MainExists);
  EXPECT_EQ(Entry("vanished.txt").Status, Neither);
  ExpectInTrash(main_.PathOf("ok.txt"), "ok");

  // A folder on the sub side of a file row is not the file the count promised: it stays.
  progress_ = RecordingProgress();
  const CommandResult subResult = Delete(DeleteSub, 4, 4, &files);
  EXPECT_EQ(subResult.Files, 0);
  EXPECT_EQ(subResult.Failed, 1);
  EXPECT_EQ(progress_.Log[2], TrashedLine(4, sub_.PathOf("x")) + " 失敗");
  EXPECT_EQ(progress_.Log[3], "　　ファイルではなくフォルダです");
  EXPECT_EQ(sub_.Read("x/inner.txt"), "inside");
  EXPECT_FALSE(FindInTrash(sub_.PathOf("x")));
  EXPECT_TRUE(Entry("x").SubExists);
}

// Whether a file is gone is asked of the FileOperations. Only a file really trashed counts and
// gets its "→ ごみ箱" line; a side is cleared only when the file is gone, and an absence test
// that cannot tell keeps the side and logs the failure.
TEST_F(DeleteCommandTest, AbsenceTestThatCannotTellNeverPassesForADeletion) {
  struct Case {
    const char* name;
    bool entryReadable;
    bool trashRefuses;
    bool removedMeanwhile;  // somebody else removes the file while the trash refuses
    std::int32_t files;
    std::int32_t failed;
    bool sideKept;
  };
  const Case cases[] = {
      {"trash refuses", true, true, false, 0, 1, true},
      {"entry unreadable, trash refuses", false, true, false, 0, 1, true},
      {"entry unreadable, trash takes it", false, false, false, 1, 0, false},
      {"removed by somebody else meanwhile", true, true, true, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    main_.File("f.txt", "keep me", T0);
    Scan({"f.txt"});
    progress_ = RecordingProgress();
    ScriptedFileOperations files;
    std::vector<std::string> asked;
    files.absent = [&](const std::string& path) {
      asked.push_back(path);
      return c.removedMeanwhile && !PathExists(path);
    };
    if (!c.entryReadable)
      files.readEntry = [](const std::string&, DirectoryEntry&) { return false; };
    if (c.trashRefuses) {
      files.recycle = [&](const std::string& path) {
        if (c.removedMeanwhile) ::unlink(path.c_str());
        return FileResult::Failure(FileStep::Trash, EBUSY, "ごみ箱へ移せません: busy");
      };
    }

    const CommandResult result = Delete(DeleteMain, 1, 1, &files);

    EXPECT_EQ(result.Files, c.files);
    EXPECT_EQ(result.Failed, c.failed);
    EXPECT_EQ(Entry("f.txt").MainExists, c.sideKept);
    EXPECT_EQ(Entry("f.txt").Status, c.sideKept ? MainOnly : Neither);
    EXPECT_FALSE(asked.empty()) << "the absence test was not asked";
    std::vector<std::string> lines = {"", "メインのファイルを削除 (1～1)"};
    if (c.files == 1) lines.push_back(TrashedLine(1, main_.PathOf("f.txt")));
    if (c.failed == 1) {
      lines.push_back(TrashedLine(1, main_.PathOf("f.txt")) + " 失敗");
      lines.push_back("　　ごみ箱へ移せません: busy");
    }
    lines.push_back("メインのファイルを" + std::to_string(c.files) + "ファイル削除" +
                    (c.failed == 1 ? "、1ファイル失敗" : ""));
    EXPECT_EQ(progress_.Log, lines);
    if (c.sideKept) {
      EXPECT_EQ(main_.Read("f.txt"), "keep me");
      EXPECT_FALSE(FindInTrash(main_.PathOf("f.txt")));
    } else if (c.files == 1) {
      ExpectInTrash(main_.PathOf("f.txt"), "keep me");
    }
    if (c.removedMeanwhile) Baseline();  // the test itself took that file away
    ExpectNothingLost();
  }
}

// A name may hold a line break; the log must still get one line per file, or a name could pass
// for lines of its own ("　2:... → ごみ箱").
TEST_F(DeleteCommandTest, NameWithLineBreaksStaysOnOneLogLine) {
  const std::string name = "a\n\u30002:x \u2192 \u3054\u307f\u7bb1\r.txt";
  main_.File(name, "n", T0);
  Scan({name});

  const CommandResult result = Delete(DeleteMain, 1, 1);

  EXPECT_EQ(result.Files, 1);
  ExpectInTrash(main_.PathOf(name), "n");
  ASSERT_EQ(progress_.Log.size(), 4u);
  EXPECT_EQ(progress_.Log[2],
            TrashedLine(1, main_.PathOf("a\u240a\u30002:x \u2192 \u3054\u307f\u7bb1\u240d.txt")));
  EXPECT_EQ(progress_.Dialog[2].State.Line1.find_first_of("\r\n"), std::string::npos);
}

// A link swapped in for a folder after the scan never leads the trash out of the tree: the files
// that the link points to stay, and so do the real ones that left the tree with their folder.
TEST_F(DeleteCommandTest, LinkSwappedInAfterTheScanNeverLeadsTheTrashOutOfTheTree) {
  const std::string decoy = dir_ / "decoy";  // left to the sandbox, so the end check sees it
  ASSERT_EQ(::mkdir(decoy.c_str(), 0755), 0);
  filetest::WriteFile(decoy + "/f.txt", "decoy");
  main_.File("d/f.txt", "main f", T0);
  sub_.File("d/f.txt", "sub f", T0);
  Scan({"d", "d/f.txt"});
  for (testing::TempTree* tree : {&main_, &sub_}) {
    const std::string moved = dir_ / (tree == &main_ ? "moved-main" : "moved-sub");
    ASSERT_EQ(::rename(tree->PathOf("d").c_str(), moved.c_str()), 0);
    tree->Link("d", decoy);
  }
  Baseline();

  const CommandResult result = Delete(DeleteBoth, 1, 2);

  EXPECT_EQ(result.Files, 0);
  EXPECT_EQ(ReadFile(decoy + "/f.txt"), "decoy");
  EXPECT_FALSE(FindInTrash(decoy + "/f.txt"));
  EXPECT_FALSE(FindInTrash(sub_.PathOf("d/f.txt")));
  EXPECT_EQ(ReadFile(dir_ / "moved-sub/f.txt"), "sub f");
  EXPECT_EQ(ReadFile(dir_ / "moved-main/f.txt"), "main f");
}

// The chosen side's root must still be the folder that the scan listed; the other side's does not
// matter to a delete that leaves it alone.
TEST_F(DeleteCommandTest, RootThatIsNoLongerTheScannedFolderStopsTheCommandUntouched) {
  main_.File("etc/a.txt", "main", T0);
  sub_.File("etc/a.txt", "keep", T0);
  Scan({"etc", "etc/a.txt"});
  for (const commandtest::RootChange& change : SubRootChanges()) {
    SCOPED_TRACE(change.Name);
    const std::string root = change.Apply();
    Baseline();
    for (const DeleteCommandInfo* command : {&DeleteSub, &DeleteBoth}) {
      progress_ = RecordingProgress();
      const CommandResult result =
          DeleteCommand(files_, progress_)
              .Run(*command, CommandScope{list_, main_.Root(), root, 1, 2});
      EXPECT_TRUE(result.RootChanged) << command->MenuItem;
      EXPECT_FALSE(result.LoopRan);
      EXPECT_TRUE(progress_.Log.empty());
      EXPECT_TRUE(progress_.Dialog.empty());
      EXPECT_TRUE(Entry("etc/a.txt").SubExists);
      ExpectNothingLost();
    }
    progress_ = RecordingProgress();
    const CommandResult mainOnly =
        DeleteCommand(files_, progress_)
            .Run(DeleteMain, CommandScope{list_, main_.Root(), root, 1, 2});
    EXPECT_FALSE(mainOnly.RootChanged);
    EXPECT_EQ(mainOnly.Files, 1);
    EXPECT_FALSE(main_.Exists("etc/a.txt"));
    change.Undo();
    main_.File("etc/a.txt", "main", T0);
    Scan({"etc", "etc/a.txt"});
  }
  EXPECT_EQ(sub_.Read("etc/a.txt"), "keep");
}

// The statuses after every row must be those that recomputing every entry gives, including a
// folder that the scan made Same under the folder option: the first deleted row recomputes it
// from its times.
TEST_F(DeleteCommandTest, StatusesMatchRecomputingEveryEntryAfterEachRow) {
  std::mt19937 random(7);
  const std::vector<std::string> folders = {"f0", "f1", "f2"};
  for (int i = 0; i < 45; ++i) {
    const std::string name =
        folders[static_cast<std::size_t>(i) % 3] + "/file" + std::to_string(i) + ".txt";
    const auto sides = random() % 3;  // 0 main only, 1 sub only, 2 both
    const auto time = [&] { return T0 + 2 * static_cast<std::time_t>(random() % 3); };
    const auto content = [&] { return std::string(random() % 3, 'x'); };
    if (sides != 1) main_.File(name, content(), time());
    if (sides != 0) sub_.File(name, content(), time());
  }
  for (const std::string& folder : folders) {
    main_.Folder(folder, T0 + 100);
    sub_.Folder(folder, T0);
  }
  Scan({}, /*dirIgnore=*/true);
  ASSERT_EQ(Entry("f1").Status, Same);
  ASSERT_GE(list_.SameCount, 3);

  // Between rows (at each turn for pending events) and at the end, the list must be what
  // CompareAllEntries makes of it, from the first file row on; before it nothing has changed.
  std::int32_t first = 0;
  std::int32_t checks = 0;
  PathList untouched;
  const auto expectRecomputed = [&](std::int32_t rowsDone) {
    bool fileRowDone = false;
    for (std::int32_t r = first; r < first + rowsDone; ++r) {
      fileRowDone |= !IsFolder(list_[r - 1].Attr);
    }
    PathList reference = fileRowDone ? list_ : untouched;
    if (fileRowDone) reference.CompareAllEntries();
    for (std::int32_t i = 0; i < list_.PathCount; ++i) {
      ASSERT_EQ(list_[i].Status, reference[i].Status) << list_[i].Path << " after " << rowsDone;
    }
    ASSERT_EQ(list_.SameCount, reference.SameCount) << "after " << rowsDone;
    ++checks;
  };
  progress_.OnEvents = [&](int turn) { expectRecomputed(turn - 1); };

  struct Step {
    const DeleteCommandInfo* command;
    std::int32_t first;
    std::int32_t last;
  };
  for (const Step& step : {Step{&DeleteSub, 1, 12}, Step{&DeleteMain, 8, 30},
                           Step{&DeleteBoth, 25, list_.PathCount}}) {
    progress_.EventTurns = 0;
    first = step.first;
    untouched = list_;
    const CommandResult result = Delete(*step.command, step.first, step.last);
    ASSERT_TRUE(result.LoopRan);
    expectRecomputed(step.last - step.first + 1);
  }
  EXPECT_GT(checks, list_.PathCount);
  EXPECT_NE(Entry("f1").Status, Same) << "the folder's time-based status after the first row";
  EXPECT_EQ(Entry("f1").Status, MainNewer);
  for (std::int32_t r = 25; r <= list_.PathCount; ++r) {
    if (!IsFolder(list_[r - 1].Attr)) {
      EXPECT_EQ(list_[r - 1].Status, Neither) << r;
    }
  }
}

}  // namespace
}  // namespace tarvex
