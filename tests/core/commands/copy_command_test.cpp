#include "core/commands/copy_command.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "core/commands/delete_command.h"
#include "core/content/content_check.h"
#include "support/command_test_support.h"
#include "support/fuse_fat.h"

namespace tarvex {
namespace {

using commandtest::CommandTreeTest;
using commandtest::RecordingProgress;
using commandtest::ScriptedFileOperations;
using commandtest::T0;
using filetest::FindInTrash;
using filetest::ReadFile;

constexpr const CopyCommandInfo& NewMainToSub = CopyCommandTable[0];
constexpr const CopyCommandInfo& NewSubToMain = CopyCommandTable[1];
constexpr const CopyCommandInfo& MainToSub = CopyCommandTable[2];
constexpr const CopyCommandInfo& SubToMain = CopyCommandTable[3];

TEST(CopyCommandTable, MenuItemsPickTheirCommandAndAnyOtherIsTheLast) {
  struct Row {
    const char* item;
    const char* caption;
    CopyDirection direction;
    bool newestOnly;
    const char* prefix;
    const char* arrow;
  };
  const Row rows[] = {
      {"PMMNewMainToSub", "メインの最新 → サブへ コピー", CopyDirection::MainToSub, true,
       "メインの最新からサブへ", "↓"},
      {"PMMNewSubToMain", "メインへ ← サブの最新 コピー", CopyDirection::SubToMain, true,
       "サブの最新からメインへ", "↑"},
      {"PMMMainToSub", "メインの全部 → サブへ コピー", CopyDirection::MainToSub, false,
       "メインからサブへ", "↓"},
      {"PMMSubToMain", "メイン へ ← サブの全部 コピー", CopyDirection::SubToMain, false,
       "サブからメインへ", "↑"},
  };
  for (const Row& row : rows) {
    const CopyCommandInfo& command = CopyCommandFor(row.item);
    EXPECT_STREQ(command.MenuItem, row.item);
    EXPECT_STREQ(command.Caption, row.caption) << row.item;
    EXPECT_EQ(command.Direction, row.direction) << row.item;
    EXPECT_EQ(command.NewestOnly, row.newestOnly) << row.item;
    EXPECT_STREQ(command.LogPrefix, row.prefix) << row.item;
    EXPECT_STREQ(command.Arrow, row.arrow) << row.item;
  }
  EXPECT_EQ(&CopyCommandFor("PMMDelFileMain"), &SubToMain);
  EXPECT_EQ(&CopyCommandFor(""), &SubToMain);
}

TEST(IsSelectedForCopy, SourceSideNewestOnlyAndIgnoredRules) {
  struct Case {
    CompareStatus status;
    double mainTime;
    double subTime;
    bool ignored;
    // NewMainToSub, NewSubToMain, MainToSub, SubToMain
    bool selected[4];
  };
  const Case cases[] = {
      {MainOnly, 5, 0, false, {true, false, true, false}},
      {SubOnly, 0, 5, false, {false, true, false, true}},
      {MainNewer, 6, 5, false, {true, false, true, true}},
      {SubNewer, 5, 6, false, {false, true, true, true}},
      // Equal times are never newer, whatever the sizes.
      {MainLarger, 5, 5, false, {false, false, true, true}},
      {SubLarger, 5, 5, false, {false, false, true, true}},
      {Same, 5, 5, false, {false, false, true, true}},
      // Attempted by the copy-all commands; the copy then fails.
      {Neither, 0, 0, false, {false, false, true, true}},
      {MainNewer, 6, 5, true, {false, false, false, false}},
      {MainOnly, 5, 0, true, {false, false, false, false}},
  };
  for (const Case& c : cases) {
    PathEntry entry;
    entry.Path = "f.txt";
    entry.Attr = AttrArchive;
    entry.Status = c.status;
    entry.MainExists = c.status != SubOnly && c.status != Neither;
    entry.SubExists = c.status != MainOnly && c.status != Neither;
    entry.MainTime = c.mainTime;
    entry.SubTime = c.subTime;
    entry.Ignored = c.ignored;
    for (std::size_t k = 0; k < CopyCommandTable.size(); ++k) {
      EXPECT_EQ(IsSelectedForCopy(entry, CopyCommandTable[k]), c.selected[k])
          << CopyCommandTable[k].MenuItem << " status " << c.status << " ignored " << c.ignored;
    }
  }
}

class CopyCommandTest : public CommandTreeTest {
 protected:
  PosixFileOperations files_;
  CommandResult Copy(const CopyCommandInfo& command, std::int32_t first, std::int32_t last,
                     FileOperations* files = nullptr) {
    PosixFileOperations posix;
    CopyCommand copy(files != nullptr ? *files : posix, progress_);
    return copy.Run(command, CommandScope{list_, main_.Root(), sub_.Root(), first, last});
  }
  std::string CopiedLine(std::int32_t row, const std::string& from, const std::string& to) {
    return "　" + std::to_string(row) + ":" + from + " → " + to;
  }
};

TEST_F(CopyCommandTest, SubOnlyRowsUnderNewestMainToSubCopyNothingAndFillTheBarAtTheEnd) {
  sub_.File("a.txt", "a", T0);
  sub_.File("b.txt", "b", T0);
  Scan({"a.txt", "b.txt"});

  const CommandResult result = Copy(NewMainToSub, 1, 2);

  EXPECT_EQ(progress_.Log, (std::vector<std::string>{"", "メインの最新からサブへコピー (1～2)",
                                                     "メインの最新からサブへ0ファイルコピー"}));
  ProgressDialogState running;
  running.Header = "メインの最新からサブへコピーしています。(2)";
  running.HeaderGrey = true;
  running.Line1 = "Source File";
  running.Line2Bold = true;
  running.Line3 = "Destinetion File";
  running.OkEnabled = false;
  running.BarMaximum = 2;
  ASSERT_EQ(progress_.Dialog.front().Kind, RecordingProgress::Call::Show);
  EXPECT_EQ(progress_.Dialog.front().State, running);

  ProgressDialogState finished = running;
  finished.Header = "メインの最新からサブへ0ファイルコピーしました。";
  finished.HeaderGrey = false;
  finished.OkEnabled = true;
  finished.CancelEnabled = false;
  finished.BarPosition = 2;
  EXPECT_EQ(progress_.Last(), finished);
  EXPECT_EQ(progress_.BarPositions(), std::vector<std::int32_t>{2}) << "the bar moved in the loop";

  EXPECT_TRUE(result.LoopRan);
  EXPECT_EQ(result.CurrentRow, 1);
  EXPECT_EQ(result.Files, 0);
  EXPECT_EQ(progress_.Beeps, 1);
  EXPECT_TRUE(progress_.Pauses.empty());
  EXPECT_FALSE(main_.Exists("a.txt"));
}

TEST_F(CopyCommandTest, NewestOnlyLeavesEqualTimesAloneWhateverTheSizes) {
  main_.File("larger.txt", "xxxx", T0);
  sub_.File("larger.txt", "x", T0);
  main_.File("smaller.txt", "x", T0);
  sub_.File("smaller.txt", "xxxx", T0);
  main_.File("same.txt", "s", T0);
  sub_.File("same.txt", "t", T0);
  main_.File("newer.txt", "new", T0 + 10);
  sub_.File("newer.txt", "old", T0);
  Scan({"larger.txt", "smaller.txt", "same.txt", "newer.txt"});
  ASSERT_EQ(Entry("larger.txt").Status, MainLarger);
  ASSERT_EQ(Entry("smaller.txt").Status, SubLarger);

  const CommandResult result = Copy(NewMainToSub, 1, 4);

  EXPECT_EQ(result.Files, 1);
  EXPECT_EQ(sub_.Read("larger.txt"), "x");
  EXPECT_EQ(sub_.Read("smaller.txt"), "xxxx");
  EXPECT_EQ(sub_.Read("same.txt"), "t");
  EXPECT_FALSE(FindInTrash(sub_.PathOf("same.txt")));
  EXPECT_EQ(sub_.Read("newer.txt"), "new");
  const auto trashed = FindInTrash(sub_.PathOf("newer.txt"));
  ASSERT_TRUE(trashed) << "the old destination is not in the trash";
  EXPECT_EQ(ReadFile(*trashed), "old");
  EXPECT_EQ(progress_.Log[2], CopiedLine(4, main_.PathOf("newer.txt"), sub_.PathOf("newer.txt")));
  EXPECT_EQ(progress_.Log.size(), 4u);
  // The copy keeps the source's time, so the row is now Same, and counted once.
  EXPECT_EQ(Entry("newer.txt").Status, Same);
  EXPECT_EQ(Entry("newer.txt").SubSize, 3);
  EXPECT_EQ(list_.SameCount, 2);
  EXPECT_EQ(list_.SameCount, CountSame());
  EXPECT_EQ(progress_.Pauses, std::vector<int>{DefaultCopyWait});
  EXPECT_EQ(progress_.BarPositions(), (std::vector<std::int32_t>{0, 4}))
      << "only the copied row moves the bar";

  // Nothing is newer on the sub side now.
  EXPECT_EQ(Copy(NewSubToMain, 1, 4).Files, 0);
  EXPECT_EQ(main_.Read("smaller.txt"), "x");
}

TEST_F(CopyCommandTest, CopyAllOverSameEntriesTrashesTheOldDestinationsReadOnlyIncluded) {
  main_.File("same.txt", "abc", T0);
  sub_.File("same.txt", "xyz", T0);
  main_.File("locked.txt", "new", T0);
  sub_.File("locked.txt", "old", T0, 0444);
  main_.File("other.txt", "o", T0);
  sub_.File("other.txt", "o", T0);
  Scan({"same.txt", "locked.txt", "other.txt"});
  ASSERT_EQ(Entry("same.txt").Status, Same);
  ASSERT_EQ(list_.SameCount, 3);

  const CommandResult result = Copy(MainToSub, 1, 2);

  EXPECT_EQ(result.Files, 2);
  for (const auto& [name, now, before] :
       {std::tuple{"same.txt", "abc", "xyz"}, std::tuple{"locked.txt", "new", "old"}}) {
    EXPECT_EQ(sub_.Read(name), now) << name;
    const auto trashed = FindInTrash(sub_.PathOf(name));
    ASSERT_TRUE(trashed) << name << ": old destination has no .trashinfo";
    EXPECT_EQ(ReadFile(*trashed), before) << name;
  }
  struct stat st {};
  ASSERT_EQ(::stat(sub_.PathOf("locked.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u) << "the copy takes the source's mode";
  EXPECT_EQ(Entry("same.txt").Status, Same);
  EXPECT_EQ(Entry("locked.txt").Status, Same);
  EXPECT_EQ(list_.SameCount, 3) << "each of the three Same rows once";
  EXPECT_EQ(list_.SameCount, CountSame());
  EXPECT_EQ(progress_.Log[2], CopiedLine(1, main_.PathOf("same.txt"), sub_.PathOf("same.txt")));
  EXPECT_EQ(progress_.Log[3], CopiedLine(2, main_.PathOf("locked.txt"), sub_.PathOf("locked.txt")));
  EXPECT_EQ(progress_.Log[4], "メインからサブへ2ファイルコピー");
  EXPECT_EQ(TemporaryFiles(), 0);
}

TEST_F(CopyCommandTest, MissingFoldersAreMadeAndFolderRowsAdvanceTheBar) {
  main_.File("a/b/c/deep.txt", "deep", T0 + 4);
  main_.SetTime("a", T0 + 100);
  sub_.Folder("a", T0);
  Scan({"a", "a/b", "a/b/c", "a/b/c/deep.txt"}, /*dirIgnore=*/true);
  ASSERT_EQ(Entry("a").Status, Same) << "the folder option makes a folder on both sides Same";
  ASSERT_EQ(Entry("a/b").Status, MainOnly);

  const CommandResult result = Copy(NewMainToSub, 1, 4);

  EXPECT_EQ(result.Files, 1);
  EXPECT_EQ(sub_.Read("a/b/c/deep.txt"), "deep");
  EXPECT_EQ(progress_.BarPositions(), (std::vector<std::int32_t>{1, 2, 3, 4}));
  EXPECT_EQ(progress_.Log, (std::vector<std::string>{"", "メインの最新からサブへコピー (1～4)",
                                                     CopiedLine(4, main_.PathOf("a/b/c/deep.txt"),
                                                                sub_.PathOf("a/b/c/deep.txt")),
                                                     "メインの最新からサブへ1ファイルコピー"}));
  EXPECT_EQ(Entry("a/b/c/deep.txt").Status, Same);
  // Folder rows copy nothing, and every other row keeps its status.
  EXPECT_EQ(Entry("a").Status, Same);
  EXPECT_EQ(Entry("a/b").Status, MainOnly);
  EXPECT_FALSE(Entry("a/b").SubExists);
  EXPECT_EQ(list_.SameCount, 2);
  EXPECT_EQ(progress_.Pauses.size(), 1u);
}

// The copies are flushed to the disk once, on the destination's volume, after the last row and
// before the closing line; a command that copied nothing flushes nothing. A flush that fails is
// not a silent success: the log says so.
TEST_F(CopyCommandTest, TheDestinationVolumeIsFlushedOnceAtTheEndAndAFailureIsLogged) {
  main_.File("a.txt", "a", T0 + 10);
  main_.File("b.txt", "b", T0 + 10);
  sub_.File("c.txt", "c", T0 + 10);
  Scan({"a.txt", "b.txt", "c.txt"});
  struct Case {
    const CopyCommandInfo* command;
    std::int32_t first, last;
    bool fails;
    std::vector<std::string> flushed;
  };
  const Case cases[] = {
      {&MainToSub, 1, 2, false, {sub_.Root()}},
      {&SubToMain, 3, 3, true, {main_.Root()}},
      {&NewMainToSub, 1, 2, false, {}},  // both are the same by now
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command->MenuItem);
    progress_.Log.clear();
    ScriptedFileOperations files;
    std::vector<std::string> flushed;
    files.flushVolume = [&](const std::string& root) -> std::optional<FileResult> {
      flushed.push_back(root);
      // The last copy was placed before the flush.
      EXPECT_EQ(progress_.Log.size(), static_cast<std::size_t>(c.last - c.first + 3));
      if (c.fails) return FileResult::Failure(FileStep::CopyData, EIO, "書き込めません: " + root);
      return std::nullopt;
    };
    Copy(*c.command, c.first, c.last, &files);
    EXPECT_EQ(flushed, c.flushed);
    ASSERT_FALSE(progress_.Log.empty());
    if (c.fails) {
      ASSERT_GE(progress_.Log.size(), 2u);
      EXPECT_EQ(progress_.Log[progress_.Log.size() - 2], "　書き込めません: " + main_.Root());
    }
  }
  EXPECT_EQ(sub_.Read("a.txt"), "a");
  EXPECT_EQ(main_.Read("c.txt"), "c");
}

// A newest-only copy decides on what is on the disk when it copies, not on the row of the last
// scan: a destination that appeared or became newer since, before the copy or while it ran, is left
// alone with a log line that says why, and the row shows it. The copy-all commands replace it.
TEST_F(CopyCommandTest, NewestOnlyDecidesOnTheDiskNotOnTheRow) {
  main_.File("appeared.txt", "main a", T0 + 10);
  main_.File("rewritten.txt", "main r", T0 + 10);
  sub_.File("rewritten.txt", "sub r", T0);
  main_.File("meanwhile.txt", "main m", T0 + 10);
  sub_.File("meanwhile.txt", "sub m", T0);
  main_.File("still.txt", "main s", T0 + 10);
  sub_.File("still.txt", "sub s", T0);
  const std::vector<std::string> rows = {"appeared.txt", "rewritten.txt", "meanwhile.txt",
                                         "still.txt"};
  Scan(rows);
  ASSERT_EQ(Entry("appeared.txt").Status, MainOnly);
  // Another program since the scan: a new file, and one rewritten at the main side's time.
  sub_.File("appeared.txt", "sub a, written since", T0 + 20);
  sub_.File("rewritten.txt", "sub r, written since", T0 + 10);
  Baseline();
  ScriptedFileOperations files;
  files.copyData = [&](int from, int to) {
    // ...and one more while its copy runs.
    if (!sub_.Read("meanwhile.txt").starts_with("sub m,")) {
      sub_.File("meanwhile.txt", "sub m, written while copying", T0 + 30);
      Baseline();  // that rewrite is the other program's doing, not the copy's
    }
    return files.PosixFileOperations::CopyFileData(from, to);
  };

  const CommandResult result = Copy(NewMainToSub, 1, 4, &files);

  EXPECT_EQ(result.Files, 1);
  EXPECT_EQ(result.Failed, 0);
  const auto leftAlone = [&](std::int32_t row, const std::string& name) {
    return std::vector<std::string>{
        CopiedLine(row, main_.PathOf(name), sub_.PathOf(name)) + " コピーしません",
        "　　コピー先がコピー元と同じ時刻か、より新しくなっています"};
  };
  std::vector<std::string> log = {"", "メインの最新からサブへコピー (1～4)"};
  for (std::int32_t row = 1; row <= 3; ++row) {
    for (const std::string& line : leftAlone(row, rows[static_cast<std::size_t>(row - 1)]))
      log.push_back(line);
  }
  log.push_back(CopiedLine(4, main_.PathOf("still.txt"), sub_.PathOf("still.txt")));
  log.push_back("メインの最新からサブへ1ファイルコピー");
  EXPECT_EQ(progress_.Log, log);
  EXPECT_EQ(sub_.Read("appeared.txt"), "sub a, written since");
  EXPECT_EQ(sub_.Read("rewritten.txt"), "sub r, written since");
  EXPECT_EQ(sub_.Read("meanwhile.txt"), "sub m, written while copying");
  EXPECT_EQ(sub_.Read("still.txt"), "main s");
  EXPECT_EQ(Entry("appeared.txt").Status, SubNewer);
  EXPECT_EQ(Entry("rewritten.txt").Status, SubLarger);
  EXPECT_EQ(Entry("meanwhile.txt").Status, SubNewer);
  EXPECT_EQ(list_.SameCount, CountSame());
  ExpectNothingLost();

  // A copy-all command is asked to replace whatever is there.
  EXPECT_EQ(Copy(MainToSub, 1, 1).Files, 1);
  EXPECT_EQ(sub_.Read("appeared.txt"), "main a");
}

TEST_F(CopyCommandTest, SubToMainShowsMainAboveSubAndDecodesNamesForTheLogAndLabels) {
  const std::string name = "データ/\x83\x5c.txt";  // a Shift_JIS file name in a UTF-8 folder
  main_.File(name, "old", T0);
  sub_.File(name, "newer", T0 + 2);
  Scan({name});
  progress_.WidthLimit = 19;

  const CommandResult result = Copy(NewSubToMain, 1, 1);

  EXPECT_EQ(result.Files, 1);
  EXPECT_EQ(main_.Read(name), "newer");
  EXPECT_EQ(Entry(name).Status, Same);
  const std::string shown = "データ/ソ.txt";
  EXPECT_EQ(progress_.Log[2], CopiedLine(1, sub_.PathOf(shown), main_.PathOf(shown)));
  const ProgressDialogState& row = progress_.Dialog[1].State;
  EXPECT_EQ(row.Line1, "/.../main/データ/ソ.txt");
  EXPECT_EQ(row.Line2, "    ↑　1");
  EXPECT_EQ(row.Line3, "/.../sub/データ/ソ.txt");
}

TEST_F(CopyCommandTest, CancelStopsBeforeTheNextRowAndReportsWhatWasCopied) {
  main_.File("a.txt", "a", T0);
  main_.File("b.txt", "b", T0);
  main_.File("c.txt", "c", T0);
  Scan({"a.txt", "b.txt", "c.txt"});
  progress_.Cancel = true;  // left over from an earlier command: cleared when the loop starts
  progress_.OnEvents = [this](int turn) {
    if (turn == 2) progress_.Cancel = true;  // 中止 clicked while row 1 was copied
  };

  const CommandResult result = Copy(MainToSub, 1, 3);

  EXPECT_TRUE(result.Cancelled);
  EXPECT_EQ(result.Files, 1);
  EXPECT_EQ(progress_.CancelClears, 1);
  EXPECT_EQ(progress_.EventTurns, 2);
  EXPECT_TRUE(sub_.Exists("a.txt"));
  EXPECT_FALSE(sub_.Exists("b.txt"));
  EXPECT_FALSE(sub_.Exists("c.txt"));
  // The count of copies does not hide that 中止 stopped the loop.
  EXPECT_EQ(progress_.Log.back(), "メインからサブへ1ファイルコピー、中止");
  EXPECT_EQ(progress_.Last().Header, "メインからサブへ1ファイルコピーしました。");
  EXPECT_EQ(progress_.Last().Line2, "    中止しました。");
  EXPECT_EQ(progress_.Last().BarPosition, 2) << "the row where the cancel was seen";
  EXPECT_EQ(Entry("b.txt").Status, MainOnly);
}

// As root every folder is writable, so the command runs in a child with the rights of "nobody".
TEST_F(CopyCommandTest, NoWriteRightInTheDestinationFolderFailsAndKeepsTheOldFile) {
  main_.File("f.txt", "new", T0 + 10);
  sub_.File("f.txt", "old", T0);
  Scan({"f.txt"});
  ASSERT_EQ(::chmod(sub_.Root().c_str(), 0555), 0);

  const auto out = commandtest::RunWithoutRootRights([this] {
    PosixFileOperations files;
    RecordingProgress progress;
    const CommandResult result =
        CopyCommand(files, progress)
            .Run(NewMainToSub, CommandScope{list_, main_.Root(), sub_.Root(), 1, 1});
    std::ostringstream text;
    text << result.Files << ' ' << result.Failed << ' ' << list_[0].Status << ' '
         << list_[0].SubSize << '\n';
    for (const std::string& line : progress.Log) text << line << '\n';
    return text.str();
  });
  ::chmod(sub_.Root().c_str(), 0755);
  if (!out) GTEST_SKIP() << "cannot drop root rights here";

  std::istringstream lines(*out);
  int files = -1, failed = -1, status = -1, subSize = -1;
  lines >> files >> failed >> status >> subSize;
  EXPECT_EQ(files, 0);
  EXPECT_EQ(failed, 1);
  EXPECT_EQ(status, MainNewer);
  EXPECT_EQ(subSize, 3);
  std::vector<std::string> log;
  lines.ignore(1);
  for (std::string line; std::getline(lines, line);) log.push_back(line);
  ASSERT_EQ(log.size(), 5u);
  EXPECT_EQ(log[2], CopiedLine(1, main_.PathOf("f.txt"), sub_.PathOf("f.txt")) + " 失敗");
  EXPECT_EQ(log[3].rfind("　　", 0), 0u) << "the reason follows, indented";
  EXPECT_GT(log[3].size(), std::string("　　").size());
  EXPECT_EQ(log[4], "メインの最新からサブへ0ファイルコピー、1ファイル失敗");
  EXPECT_EQ(sub_.Read("f.txt"), "old");
  EXPECT_FALSE(FindInTrash(sub_.PathOf("f.txt")));
  EXPECT_EQ(TemporaryFiles(), 0);
}

TEST_F(CopyCommandTest, VanishedSourceFailsTheRowShowsItGoneAndTheLoopGoesOn) {
  main_.File("gone.txt", "new", T0 + 10);
  sub_.File("gone.txt", "old", T0);
  main_.File("ok.txt", "ok", T0);
  Scan({"gone.txt", "ok.txt"});
  ASSERT_EQ(::unlink(main_.PathOf("gone.txt").c_str()), 0);
  Baseline();

  const CommandResult result = Copy(NewMainToSub, 1, 2);

  EXPECT_EQ(result.Files, 1);
  EXPECT_EQ(result.Failed, 1);
  ASSERT_EQ(progress_.Log.size(), 6u);
  EXPECT_EQ(progress_.Log[2],
            CopiedLine(1, main_.PathOf("gone.txt"), sub_.PathOf("gone.txt")) + " 失敗");
  EXPECT_EQ(progress_.Log[4], CopiedLine(2, main_.PathOf("ok.txt"), sub_.PathOf("ok.txt")));
  EXPECT_EQ(progress_.Log[5], "メインの最新からサブへ1ファイルコピー、1ファイル失敗");
  EXPECT_EQ(progress_.Last().Header, "メインの最新からサブへ1ファイルコピーしました。");
  EXPECT_EQ(progress_.Last().Line2, "    1ファイル失敗しました。")
      << "a count alone hides failures";
  EXPECT_EQ(sub_.Read("gone.txt"), "old");
  EXPECT_FALSE(FindInTrash(sub_.PathOf("gone.txt")));
  EXPECT_FALSE(Entry("gone.txt").MainExists);
  EXPECT_EQ(Entry("gone.txt").Status, SubOnly);
  EXPECT_EQ(Entry("ok.txt").Status, Same);
  EXPECT_EQ(list_.SameCount, CountSame());
  EXPECT_EQ(TemporaryFiles(), 0);
}

// Failures injected into one step of the copy: the old destination stays where it was, out of the
// trash, no temporary is left, and the row keeps what it showed.
TEST_F(CopyCommandTest, FailedStepsLoseNothingAndTheRowKeepsItsData) {
  struct Case {
    const char* name;
    std::function<void(ScriptedFileOperations&)> inject;
  };
  const Case cases[] = {
      {"full disk",
       [](ScriptedFileOperations& files) {
         files.copyData = [](int, int to) {
           EXPECT_EQ(::write(to, "ne", 2), 2);
           return FileResult::Failure(FileStep::CopyData, ENOSPC, "コピーを書き込めません");
         };
       }},
      {"trash refuses",
       [](ScriptedFileOperations& files) {
         files.recycle = [](const std::string&) {
           return FileResult::Failure(FileStep::Trash, EACCES, "ごみ箱へ移せません: no rights");
         };
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    main_.File("f.txt", "new content", T0 + 10);
    sub_.File("f.txt", "old", T0);
    main_.File("g.txt", "g", T0);
    sub_.File("g.txt", "g", T0);
    Scan({"f.txt", "g.txt"});
    const PathEntry before = Entry("f.txt");
    progress_ = RecordingProgress();
    ScriptedFileOperations files;
    c.inject(files);

    const CommandResult result = Copy(MainToSub, 1, 1, &files);

    EXPECT_EQ(result.Files, 0);
    EXPECT_EQ(result.Failed, 1);
    EXPECT_EQ(progress_.Log[2],
              CopiedLine(1, main_.PathOf("f.txt"), sub_.PathOf("f.txt")) + " 失敗");
    EXPECT_EQ(progress_.Log.back(), "メインからサブへ0ファイルコピー、1ファイル失敗");
    EXPECT_EQ(sub_.Read("f.txt"), "old");
    EXPECT_FALSE(FindInTrash(sub_.PathOf("f.txt")));
    EXPECT_EQ(TemporaryFiles(), 0);
    const PathEntry& after = Entry("f.txt");
    EXPECT_EQ(after.Status, before.Status);
    EXPECT_EQ(after.SubSize, before.SubSize);
    EXPECT_EQ(after.SubTime, before.SubTime);
    EXPECT_EQ(list_.SameCount, 1);
    ExpectNothingLost();
  }
}

// The row is read back through the FileOperations too. A destination that cannot be looked at
// after a good copy keeps what its side showed; one that cannot be read and is reported absent is
// shown absent. Either way the copy is counted once and SameCount stays true.
TEST_F(CopyCommandTest, FailedReadBackOfTheDestinationKeepsOrClearsItsSide) {
  struct Case {
    const char* name;
    bool absent;  // what the absence test says of the destination
    bool subExists;
    CompareStatus status;
  };
  const Case cases[] = {
      {"cannot be told", false, true, MainNewer},
      {"reported absent", true, false, MainOnly},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    main_.File("f.txt", "new content", T0 + 10);
    sub_.File("f.txt", "old", T0);
    Scan({"f.txt"});
    const PathEntry before = Entry("f.txt");
    progress_ = RecordingProgress();
    ScriptedFileOperations files;
    std::vector<std::string> read;
    files.readEntry = [&](const std::string& path, DirectoryEntry&) {
      read.push_back(path);
      return false;
    };
    files.absent = [&](const std::string&) { return c.absent; };

    const CommandResult result = Copy(MainToSub, 1, 1, &files);

    EXPECT_EQ(result.Files, 1);
    EXPECT_EQ(result.Failed, 0);
    EXPECT_EQ(progress_.Log[2], CopiedLine(1, main_.PathOf("f.txt"), sub_.PathOf("f.txt")));
    EXPECT_EQ(sub_.Read("f.txt"), "new content");
    EXPECT_EQ(read, std::vector<std::string>{sub_.PathOf("f.txt")})
        << "only the destination is read";
    const PathEntry& after = Entry("f.txt");
    EXPECT_EQ(after.SubExists, c.subExists);
    EXPECT_EQ(after.Status, c.status);
    EXPECT_EQ(after.SubSize, c.subExists ? before.SubSize : 0);
    EXPECT_EQ(after.SubTime, c.subExists ? before.SubTime : 0);
    EXPECT_EQ(after.MainSize, before.MainSize);
    EXPECT_EQ(list_.SameCount, CountSame());
    ExpectNothingLost();
  }
}

// A link below a root never leads a copy out of the trees: not as the destination's folder that
// the scan saw as nothing, and not when one is swapped in after the scan on either side. The decoy
// that the links point to stays as it was, and nothing of it reaches the trees or the trash.
TEST_F(CopyCommandTest, LinksBelowTheRootsNeverLeadTheCopyOutOfTheTrees) {
  const std::string decoy = dir_ / "decoy";  // left to the sandbox, so the end check sees it
  ASSERT_EQ(::mkdir(decoy.c_str(), 0755), 0);
  for (const char* name : {"/f.txt", "/g.txt", "/h.txt"})
    filetest::WriteFile(decoy + name, "decoy");
  main_.File("linked/f.txt", "new f", T0 + 10);
  sub_.Link("linked", decoy);
  main_.File("swapped/g.txt", "new g", T0 + 10);
  sub_.File("swapped/g.txt", "old g", T0);
  main_.File("source/h.txt", "new h", T0 + 10);
  sub_.File("source/h.txt", "old h", T0);
  Scan({"linked/f.txt", "swapped/g.txt", "source/h.txt"});
  ASSERT_EQ(Entry("linked/f.txt").Status, MainOnly) << "the link is nothing to the scan";
  // After the scan the sub side's "swapped" and the main side's "source" become links to the
  // decoy; their real folders leave the trees.
  for (const auto& [tree, folder] : {std::pair{&sub_, "swapped"}, std::pair{&main_, "source"}}) {
    ASSERT_EQ(::rename(tree->PathOf(folder).c_str(), (dir_ / "moved-").append(folder).c_str()), 0);
    tree->Link(folder, decoy);
  }
  Baseline();

  const CommandResult result = Copy(MainToSub, 1, 3);

  EXPECT_EQ(result.Files, 0);
  EXPECT_EQ(result.Failed, 3);
  for (const char* name : {"/f.txt", "/g.txt", "/h.txt"}) {
    EXPECT_EQ(ReadFile(decoy + name), "decoy") << name;
    EXPECT_FALSE(FindInTrash(decoy + name)) << name;
  }
  EXPECT_EQ(ReadFile(dir_ / "moved-swapped/g.txt"), "old g");
  EXPECT_EQ(ReadFile(dir_ / "moved-source/h.txt"), "new h");
  EXPECT_EQ(TemporaryFiles(), 0);
}

// Only where names cannot be swapped is there a moment between the trash and the placing.
TEST_F(CopyCommandTest, FileAppearingBetweenTrashAndPlacementIsKeptAndShown) {
  main_.File("race.txt", "copy", T0 + 10);
  sub_.File("race.txt", "old", T0);
  Scan({"race.txt"});
  ScriptedFileOperations files;
  files.WithoutExchange();
  files.afterTrash = [this](const std::string&) {
    sub_.File("race.txt", "somebody else's");  // another program, just now
  };

  const CommandResult result = Copy(NewMainToSub, 1, 1, &files);

  EXPECT_EQ(result.Failed, 1);
  EXPECT_EQ(progress_.Log[2],
            CopiedLine(1, main_.PathOf("race.txt"), sub_.PathOf("race.txt")) + " 失敗");
  EXPECT_EQ(sub_.Read("race.txt"), "somebody else's");
  const auto trashed = FindInTrash(sub_.PathOf("race.txt"));
  ASSERT_TRUE(trashed) << "the old destination went to the trash before the other file appeared";
  EXPECT_EQ(ReadFile(*trashed), "old");
  EXPECT_EQ(TemporaryFiles(), 0);
  // The row shows the file that is there now, not the one in the trash.
  EXPECT_EQ(Entry("race.txt").SubSize, 15);
  EXPECT_EQ(Entry("race.txt").Status, SubNewer);
}

// Both folder edits naming one folder, through different spellings or a link: every file is its
// own destination, and a copy must never send that only copy to the trash.
TEST_F(CopyCommandTest, OneFolderUnderTwoSpellingsKeepsItsOnlyCopies) {
  main_.File("d/f.txt", "only copy", T0 + 2);
  ASSERT_EQ(::symlink(main_.Root().c_str(), (dir_ / "link").c_str()), 0);
  for (const std::string& sub : {main_.Root() + "/", main_.Root() + "/.", main_.Root() + "/../main",
                                 dir_ / "link", dir_ / "link/"}) {
    SCOPED_TRACE(sub);
    ScanOptions options;
    options.SubFolder = true;
    ScanFolders(list_, main_.Root(), sub, options, FilterSet{"every", {}, {"*"}, {}});
    Baseline();
    const std::int32_t row = RowOf("d/f.txt");
    ASSERT_EQ(Entry("d/f.txt").Status, Same);
    for (const CopyCommandInfo* command : {&MainToSub, &SubToMain}) {
      progress_ = RecordingProgress();
      const CommandResult result =
          CopyCommand(files_, progress_)
              .Run(*command, CommandScope{list_, main_.Root(), sub, 1, row});
      EXPECT_EQ(result.Files, 0) << command->MenuItem;
      EXPECT_EQ(result.Failed, 1) << command->MenuItem;
      EXPECT_EQ(main_.Read("d/f.txt"), "only copy") << command->MenuItem;
      EXPECT_FALSE(FindInTrash(main_.PathOf("d/f.txt"))) << command->MenuItem;
      EXPECT_EQ(TemporaryFiles(), 0);
      EXPECT_EQ(Entry("d/f.txt").Status, Same);
      ExpectNothingLost();
    }
  }
}

// A command acts only on the folders that the scan listed. An emptied folder edit, an unplugged
// stick (whose mount point may be gone or left behind as an empty folder on the system disk) or
// another folder in the root's place stop it before anything is touched: no log, no dialog, no
// root made.
TEST_F(CopyCommandTest, RootThatIsNoLongerTheScannedFolderStopsTheCommandUntouched) {
  main_.File("etc/a.txt", "new", T0 + 10);
  sub_.File("etc/a.txt", "old", T0);
  main_.File("b.txt", "b", T0);
  Scan({"etc", "etc/a.txt", "b.txt"});
  const PathList before = list_;
  for (const commandtest::RootChange& change : SubRootChanges()) {
    SCOPED_TRACE(change.Name);
    const std::string root = change.Apply();
    const bool rootWasThere = filetest::PathExists(sub_.Root());
    Baseline();
    for (const CopyCommandInfo* command : {&MainToSub, &SubToMain}) {
      progress_ = RecordingProgress();
      const CommandResult result =
          CopyCommand(files_, progress_)
              .Run(*command, CommandScope{list_, main_.Root(), root, 1, 3});
      EXPECT_TRUE(result.RootChanged) << command->MenuItem;
      EXPECT_FALSE(result.LoopRan);
      EXPECT_TRUE(progress_.Log.empty());
      EXPECT_TRUE(progress_.Dialog.empty());
      EXPECT_EQ(filetest::PathExists(sub_.Root()), rootWasThere) << "a copy never makes a root";
      ExpectNothingLost();
    }
    EXPECT_EQ(list_[1].Status, before[1].Status);
    change.Undo();
    Baseline();
  }
  // With the folder back, the same command runs.
  EXPECT_EQ(Copy(MainToSub, 1, 3).Files, 2);
  EXPECT_EQ(sub_.Read("etc/a.txt"), "new");
}

// A real FAT volume through FUSE, as a USB stick: no RENAME_NOREPLACE (EINVAL), no hard links
// (EPERM), no O_TMPFILE. A copy over an existing file places the new one and puts the old one in
// the volume's own trash; a delete trashes there too; and where placing still fails, the old file
// comes back out of that trash.
TEST_F(CopyCommandTest, CopyOverAnExistingFileAndDeleteOnAFatVolumeThroughFuse) {
  filetest::SandboxFolder volumeFolder;
  const testing::FuseFatVolume fat(volumeFolder.Path());
  if (!fat.Mounted()) {
    std::fprintf(stderr, "*** FAT through FUSE skipped: %s\n", fat.WhyNot().c_str());
    GTEST_SKIP() << "FAT through FUSE skipped: " << fat.WhyNot();
  }
  main_.File("f.txt", "new on the system disk", T0 + 10);
  filetest::WriteFile(fat.Root() + "/f.txt", "old on the stick");
  filetest::SetModificationTime(fat.Root() + "/f.txt", T0, 0);
  filetest::WriteFile(fat.Root() + "/g.txt", "delete me");
  main_.File("h.txt", "new h", T0 + 10);
  filetest::WriteFile(fat.Root() + "/h.txt", "old h on the stick");
  filetest::SetModificationTime(fat.Root() + "/h.txt", T0, 0);
  ScanOptions options;
  options.SubFolder = true;
  ScanFolders(list_, main_.Root(), fat.Root(), options, FilterSet{"every", {}, {"*"}, {}});
  testing::NoLossCheck noLoss(dir_.Path(), {main_.Root(), fat.Root()},
                              {filetest::SandboxTrashFolder() + "files"});
  noLoss.Baseline();

  const CommandResult copied = CopyCommand(files_, progress_)
                                   .Run(NewMainToSub, CommandScope{list_, main_.Root(), fat.Root(),
                                                                   RowOf("f.txt"), RowOf("f.txt")});
  progress_ = RecordingProgress();
  const CommandResult deleted =
      DeleteCommand(files_, progress_)
          .Run(DeleteCommandTable[1],
               CommandScope{list_, main_.Root(), fat.Root(), RowOf("g.txt"), RowOf("g.txt")});

  EXPECT_EQ(copied.Files, 1);
  EXPECT_EQ(copied.Failed, 0);
  EXPECT_EQ(ReadFile(fat.Root() + "/f.txt"), "new on the system disk");
  EXPECT_EQ(deleted.Files, 1);
  EXPECT_FALSE(filetest::PathExists(fat.Root() + "/g.txt"));
  // Both went to the stick's own trash, each with its record.
  const std::string trash = fat.Root() + "/.Trash-" + std::to_string(::geteuid());
  EXPECT_EQ(ReadFile(trash + "/files/f.txt"), "old on the stick");
  EXPECT_EQ(ReadFile(trash + "/files/g.txt"), "delete me");
  EXPECT_NE(ReadFile(trash + "/info/f.txt.trashinfo").find("Path=f.txt\n"), std::string::npos);
  EXPECT_EQ(filetest::CountNamesContaining(fat.Root(), ".tarvex-"), 0);
  noLoss.Expect();

  ScriptedFileOperations failing;
  bool placing = true;  // the first checked rename places the copy; the next brings the old back
  failing.renameOverAbsent = [&](const std::string&) -> std::optional<FileResult> {
    if (!std::exchange(placing, false)) return std::nullopt;
    return FileResult::Failure(FileStep::Place, EIO, "the stick said no");
  };
  progress_ = RecordingProgress();
  const CommandResult refused =
      CopyCommand(failing, progress_)
          .Run(NewMainToSub,
               CommandScope{list_, main_.Root(), fat.Root(), RowOf("h.txt"), RowOf("h.txt")});
  EXPECT_EQ(refused.Failed, 1);
  EXPECT_EQ(ReadFile(fat.Root() + "/h.txt"), "old h on the stick");
  EXPECT_FALSE(filetest::PathExists(trash + "/files/h.txt"));
  EXPECT_FALSE(filetest::PathExists(trash + "/info/h.txt.trashinfo"));
  EXPECT_EQ(filetest::CountNamesContaining(fat.Root(), ".tarvex-"), 0);
  noLoss.Expect();
}

TEST_F(CopyCommandTest, RowsOutsideTheListAreLeftOut) {
  main_.File("a.txt", "a", T0);
  Scan({"a.txt"});
  EXPECT_FALSE(Copy(MainToSub, 2, 5).LoopRan);
  EXPECT_TRUE(progress_.Log.empty());
  const CommandResult result = Copy(MainToSub, 1, 3);
  EXPECT_EQ(result.Files, 1);
  EXPECT_EQ(progress_.Log[1], "メインからサブへコピー (1～1)");
}

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

// With the content check on, the newest-only copies leave a file alone whose bytes are the same
// on both sides however its times differ; the copy-all commands still copy it, and a file that
// is copied has the same bytes afterwards, so it never shows as a hidden difference.
class ContentAwareCopyTest : public CopyCommandTest {
 protected:
  CommandResult CopyWithContent(const CopyCommandInfo& command) {
    CommandSettings settings;
    settings.CopyWait = 0;
    settings.Content = &content_;
    PosixFileOperations posix;
    CopyCommand copy(posix, progress_, settings);
    return copy.Run(command, CommandScope{list_, main_.Root(), sub_.Root(), 1, list_.PathCount});
  }
  void CheckContent() {
    HashCache cache;
    CheckContents(list_, main_.Root(), sub_.Root(), cache, content_);
  }
  ContentResults content_;
};

TEST_F(ContentAwareCopyTest, NewestOnlyCopiesSkipFilesWhoseBytesAreTheSame) {
  main_.File("shifted.txt", "same bytes", T0 + 3600);
  sub_.File("shifted.txt", "same bytes", T0);
  main_.File("changed.txt", "new bytes!", T0 + 60);
  sub_.File("changed.txt", "old bytes!", T0);
  Scan({"shifted.txt", "changed.txt"});
  CheckContent();
  Baseline();

  const CommandResult result = CopyWithContent(NewMainToSub);
  EXPECT_EQ(result.Files, 1);
  EXPECT_EQ(sub_.Read("changed.txt"), "new bytes!");
  EXPECT_EQ(ReadFile(sub_.PathOf("shifted.txt")), "same bytes");
  const std::string skipped = "　" + std::to_string(RowOf("shifted.txt")) + ":" +
                              main_.PathOf("shifted.txt") + " 内容が同じためコピーしません";
  EXPECT_NE(std::find(progress_.Log.begin(), progress_.Log.end(), skipped), progress_.Log.end());
  // The copied row now has equal times and bytes: no alarm.
  const PathEntry& changed = Entry("changed.txt");
  EXPECT_EQ(changed.Status, Same);
  EXPECT_FALSE(IsHiddenDifference(changed, content_.Of(changed)));
  EXPECT_EQ(ContentCellText(changed, content_.Of(changed)), "同一");

  // Copy-all is the user's explicit wish: it copies whatever the bytes.
  EXPECT_EQ(CopyWithContent(MainToSub).Files, 2);
}

TEST_F(ContentAwareCopyTest, HourShiftIgnoredIsNotNewer) {
  main_.File("shifted.txt", "bytes", T0 + 3600);
  sub_.File("shifted.txt", "bytes", T0);
  Scan({"shifted.txt"});
  list_.IgnoreHourShift = true;
  list_.CompareAllEntries();
  EXPECT_EQ(Entry("shifted.txt").Status, Same);
  CommandSettings settings;
  settings.CopyWait = 0;
  PosixFileOperations posix;
  const CommandResult result =
      CopyCommand(posix, progress_, settings)
          .Run(NewMainToSub, CommandScope{list_, main_.Root(), sub_.Root(), 1, 1});
  EXPECT_EQ(result.Files, 0);
}

}  // namespace
}  // namespace tarvex
