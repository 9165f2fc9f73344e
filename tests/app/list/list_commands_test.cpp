#include "app/list/list_commands.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <optional>

#include "app/filter/filter_page.h"
#include "app/folder/folder_page.h"
#include "app/folder/folder_tree_view.h"
#include "app/list/list_page.h"
#include "app/list/path_grid_view.h"
#include "app/list/path_list_model.h"
#include "app/log/qv_message_box.h"
#include "app/progress/fm_option.h"
#include "app/widgets/filter_names_model.h"
#include "app/window/fm_main.h"
#include "app/window/program_start.h"
#include "core/commands/command_text.h"
#include "support/command_test_support.h"
#include "support/recording_desktop_services.h"
#include "support/recording_message_boxes.h"
#include "support/screenshot.h"
#include "support/temp_tree.h"
#include "support/trash_sandbox.h"
#include "support/tree_snapshot.h"

namespace tarvex {
namespace {

using filetest::FindInTrash;
using filetest::ReadFile;
using filetest::SandboxFolder;

constexpr std::time_t T0 = 1700000000;

class ListCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Nothing of these tests may reach the real trash.
    ASSERT_TRUE(filetest::SandboxTrashIsPrivate());
    main.emplace(sandbox / "main");
    sub.emplace(sandbox / "sub");
    mainRoot = main->Root();
    subRoot = sub->Root();
    main->File("new.txt", "new version", T0 + 600);
    sub->File("new.txt", "old", T0);
    main->File("both.txt", "main", T0);
    sub->File("both.txt", "sub!", T0);
    sub->File("deep/er/only.txt", "only in sub");

    // The window's file operations are the real ones, with any single step replaceable.
    window = StartMainWindow(settings.filePath(QStringLiteral("tarvex.ini")),
                             {.Boxes = &boxes, .Desktop = &desktop, .Files = &files});
    window->State().Settings.copywait = 0;
    ASSERT_TRUE(window->Folders().STVMain()->SelectPath(mainRoot));
    ASSERT_TRUE(window->Folders().STVSub()->SelectPath(subRoot));
    page = window->ListTab();
    page->UpdatePathList(mainRoot, subRoot, FilterSet{"all", {}, {"*"}, {}},
                         ScanOptions{true, false, false, false, 49});
    window->MsgBox().clear();
    noLoss.emplace(sandbox.Path(), std::vector<std::string>{mainRoot, subRoot},
                   std::vector<std::string>{filetest::SandboxTrashFolder() + "files"});
    noLoss->Baseline();
  }
  // Every file's bytes are still somewhere, the trash included, and nothing else changed.
  void TearDown() override {
    if (noLoss) noLoss->Expect();
  }

  int RowOf(const std::string& path) const {
    const PathList& list = *window->State().PathList;
    for (int i = 0; i < list.PathCount; ++i)
      if (list[i].Path == path) return i;
    return -1;
  }
  void SelectRows(int first, int last) {
    PathGridView& grid = *page->SGPath();
    grid.clearSelection();
    grid.selectionModel()->select(
        QItemSelection(page->PathModel()->index(first, 0), page->PathModel()->index(last, 6)),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  QStringList Log() const {
    return window->MsgBox().toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }

  SandboxFolder sandbox;
  // Inside the sandbox, so that trashed files go to its private trash.
  std::optional<testing::TempTree> main, sub;
  std::string mainRoot, subRoot;
  std::optional<testing::NoLossCheck> noLoss;
  QTemporaryDir settings;
  test::RecordingMessageBoxes boxes;
  test::RecordingDesktopServices desktop;
  commandtest::ScriptedFileOperations files;
  std::unique_ptr<TFMMain> window;
  ListPage* page = nullptr;
};

TEST_F(ListCommandsTest, NewestCopyReplacesTheOlderFileAndUpdatesTheRowInPlace) {
  ASSERT_EQ(window->State().PathList->PathCount, 5);
  SelectRows(0, 4);
  TFMOption& dialog = *window->FMOption();
  // While the loop runs: a picture of the dialog, and a rescan and a re-sort that must wait.
  bool sawRunning = false;
  QTimer::singleShot(0, [&] {
    sawRunning = window->State().ListGuard.IsHeld();
    EXPECT_FALSE(dialog.BTOK()->isEnabled());
    EXPECT_TRUE(dialog.BTCancel()->isEnabled());
    test::SaveScreenshot(dialog, QStringLiteral("progress_dialog_running"));
    page->UpdatePathList("", "", FilterSet{});
    EXPECT_EQ(window->State().PathList->PathCount, 5);
  });
  page->MenuAction("PMMNewMainToSub")->trigger();
  EXPECT_TRUE(sawRunning);
  EXPECT_FALSE(window->State().ListGuard.IsHeld());

  EXPECT_EQ(ReadFile(subRoot + "/new.txt"), "new version");
  const auto trashed = FindInTrash(subRoot + "/new.txt");
  ASSERT_TRUE(trashed.has_value());
  EXPECT_EQ(ReadFile(*trashed), "old");
  EXPECT_EQ(ReadFile(subRoot + "/both.txt"), "sub!");  // equal times: not the newest

  const PathList& list = *window->State().PathList;
  EXPECT_EQ(list[RowOf("new.txt")].Status, Same);
  EXPECT_EQ(window->State().PathList->PathCount, 5);  // no rescan
  EXPECT_EQ(dialog.LBCopying()->text(),
            QStringLiteral("メインの最新からサブへ1ファイルコピーしました。"));
  EXPECT_TRUE(dialog.BTOK()->isEnabled());
  EXPECT_FALSE(dialog.BTCancel()->isEnabled());
  EXPECT_EQ(dialog.PBCopying()->value(), 5);
  EXPECT_TRUE(dialog.isVisible());
  test::SaveScreenshot(dialog, QStringLiteral("progress_dialog_finished"));
  const QStringList log = Log();
  ASSERT_EQ(log.size(), 3);
  EXPECT_EQ(log[0], QStringLiteral("メインの最新からサブへコピー (1～5)"));
  EXPECT_EQ(log[1], QStringLiteral("　%1:%2/new.txt → %3/new.txt")
                        .arg(RowOf("new.txt") + 1)
                        .arg(QString::fromStdString(mainRoot), QString::fromStdString(subRoot)));
  EXPECT_EQ(log[2], QStringLiteral("メインの最新からサブへ1ファイルコピー"));
  // The refilled grid shows the new state and row 1 is current.
  EXPECT_EQ(page->PathModel()->index(RowOf("new.txt"), 4).data().toString(),
            QStringLiteral("　 ＝ 　"));
  EXPECT_EQ(page->SGPath()->currentIndex().row(), 0);
  dialog.BTOK()->click();
  EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ListCommandsTest, DeleteAsksInTheDialogThenTrashesBothSides) {
  const int row = RowOf("both.txt");
  SelectRows(row, row);
  TFMOption& dialog = *window->FMOption();

  // Declined: nothing changes.
  QTimer::singleShot(0, [&] {
    EXPECT_EQ(dialog.LBCopying()->text(),
              QStringLiteral("両方のファイルを削除してよろしいですか？(2)"));
    EXPECT_FALSE(dialog.PBCopying()->isVisible());
    test::SaveScreenshot(dialog, QStringLiteral("progress_dialog_confirm"));
    dialog.BTCancel()->click();
  });
  page->MenuAction("PMMDelFileAll")->trigger();
  EXPECT_TRUE(filetest::PathExists(mainRoot + "/both.txt"));
  EXPECT_EQ((*window->State().PathList)[row].Status, Same);
  EXPECT_EQ(Log().size(), 1);  // only the header

  // Accepted: both files go to the trash.
  QTimer::singleShot(0, [&] { dialog.BTOK()->click(); });
  page->MenuAction("PMMDelFileAll")->trigger();
  EXPECT_FALSE(filetest::PathExists(mainRoot + "/both.txt"));
  EXPECT_FALSE(filetest::PathExists(subRoot + "/both.txt"));
  EXPECT_EQ(ReadFile(*FindInTrash(mainRoot + "/both.txt")), "main");
  EXPECT_EQ(ReadFile(*FindInTrash(subRoot + "/both.txt")), "sub!");
  EXPECT_EQ((*window->State().PathList)[row].Status, Neither);
  EXPECT_EQ(dialog.LBCopying()->text(), QStringLiteral("両方のファイルを2ファイル削除しました。"));
  EXPECT_EQ(Log().back(), QStringLiteral("両方のファイルを2ファイル削除"));
  EXPECT_EQ(page->PathModel()->index(row, 2).data().toString(), QString());  // empty cells
  EXPECT_EQ(page->SGPath()->currentIndex().row(), row);
}

TEST_F(ListCommandsTest, RightClickOutsideTheSelectionDeletesTheClickedRowOnly) {
  for (int i = 0; i < 20; ++i)
    main->File(QStringLiteral("f%1.txt").arg(i, 2, 10, QLatin1Char('0')).toStdString(), "f", T0);
  page->UpdatePathList(mainRoot, subRoot, FilterSet{"all", {}, {"*"}, {}},
                       ScanOptions{true, false, false, false, 49});
  window->MsgBox().clear();
  noLoss->Baseline();
  window->PageControl1()->setCurrentWidget(window->TSList());
  window->move(0, 0);  // room for the menu on the screen
  QApplication::processEvents();
  const int selectedRow = RowOf("f11.txt");
  const int clickedRow = RowOf("f00.txt");
  ASSERT_GE(clickedRow, 0);
  PathGridView& grid = *page->SGPath();
  page->SelectRow(selectedRow);

  // Inside the selection the right click keeps it.
  const auto rightClick = [&](int row) {
    grid.scrollTo(page->PathModel()->index(row, 1));
    const QPoint at = grid.visualRect(page->PathModel()->index(row, 1)).center();
    QTest::mousePress(grid.viewport(), Qt::RightButton, {}, at);
    QTest::mouseRelease(grid.viewport(), Qt::RightButton, {}, at);
    EXPECT_TRUE(page->PMSGPath()->isVisible());
    page->PMSGPath()->hide();
  };
  rightClick(selectedRow);
  EXPECT_EQ(grid.selectionModel()->selectedRows().size(), 1);
  EXPECT_TRUE(grid.selectionModel()->isRowSelected(selectedRow));

  // Outside it the clicked row becomes the selection and the current row first.
  rightClick(clickedRow);
  ASSERT_EQ(grid.selectionModel()->selectedRows().size(), 1);
  EXPECT_TRUE(grid.selectionModel()->isRowSelected(clickedRow));
  EXPECT_EQ(grid.currentIndex().row(), clickedRow);

  TFMOption& dialog = *window->FMOption();
  QString names;
  QTimer::singleShot(0, [&] {
    EXPECT_EQ(dialog.LBCopying()->text(),
              QStringLiteral("メインのファイルを削除してよろしいですか？(1)"));
    names = dialog.LBNames()->text();
    EXPECT_TRUE(dialog.LBNames()->isVisible());
    test::SaveScreenshot(dialog, QStringLiteral("delete_confirmation_names"));
    dialog.BTOK()->click();
  });
  page->MenuAction("PMMDelFileMain")->trigger();
  EXPECT_EQ(names, QStringLiteral("f00.txt"));
  EXPECT_EQ(ReadFile(*FindInTrash(mainRoot + "/f00.txt")), "f");
  EXPECT_FALSE(filetest::PathExists(mainRoot + "/f00.txt"));
  EXPECT_TRUE(filetest::PathExists(mainRoot + "/f11.txt"));
  EXPECT_FALSE(FindInTrash(mainRoot + "/f11.txt").has_value());
  dialog.BTOK()->click();
}

TEST_F(ListCommandsTest, DeleteConfirmationOfManyRowsNamesFiveAndCountsTheRest) {
  for (int i = 0; i < 8; ++i) main->File(QStringLiteral("f%1.txt").arg(i).toStdString(), "f", T0);
  page->UpdatePathList(mainRoot, subRoot, FilterSet{"all", {}, {"*"}, {}},
                       ScanOptions{true, false, false, false, 49});
  noLoss->Baseline();
  const int first = std::min(RowOf("f0.txt"), RowOf("f7.txt"));
  SelectRows(first, first + 7);
  // In the grid's order, whichever way it is sorted.
  QStringList expected;
  for (int r = first; r < first + 5; ++r)
    expected << QString::fromStdString((*window->State().PathList)[r].Path);
  expected << QStringLiteral("ほか 3 件");
  TFMOption& dialog = *window->FMOption();
  QTimer::singleShot(0, [&] {
    EXPECT_EQ(dialog.LBNames()->text(), expected.join(QLatin1Char('\n')));
    // The list pushes the buttons down instead of covering them.
    EXPECT_GE(dialog.BTOK()->y(), dialog.LBNames()->geometry().bottom());
    EXPECT_LE(dialog.BTOK()->geometry().bottom(), dialog.height());
    test::SaveScreenshot(dialog, QStringLiteral("delete_confirmation_many"));
    dialog.BTCancel()->click();
  });
  page->MenuAction("PMMDelFileMain")->trigger();
  EXPECT_TRUE(filetest::PathExists(mainRoot + "/f0.txt"));
  // Once asked, the dialog shows no list in its other states.
  QTimer::singleShot(0, [&] { dialog.BTOK()->click(); });
  SelectRows(RowOf("f0.txt"), RowOf("f0.txt"));
  page->MenuAction("PMMDelFileMain")->trigger();
  EXPECT_FALSE(dialog.LBNames()->isVisible());
  EXPECT_EQ(dialog.height(), 151);
  dialog.BTOK()->click();
}

// A row that the 表示 choice hides lies between two selected rows: the commands act on the two
// shown rows only, never on the hidden one, for a copy and for a delete.
TEST_F(ListCommandsTest, CommandsUnderAStatusChoiceNeverTouchAHiddenRowBetweenSelectedOnes) {
  main->File("a1.txt", "one", T0);
  main->File("a2.txt", "main newer", T0 + 600);
  sub->File("a2.txt", "sub older", T0);
  main->File("a3.txt", "three", T0);
  page->UpdatePathList(mainRoot, subRoot, FilterSet{"all", {}, {"*"}, {}},
                       ScanOptions{true, false, false, false, 49});
  noLoss->Baseline();
  const auto choose = [&](StatusChoice choice) {
    page->CBShowStatus()->setCurrentIndex(static_cast<int>(choice));
    Q_EMIT page->CBShowStatus()->activated(static_cast<int>(choice));
  };
  const auto shownRowOf = [&](const std::string& path) {
    const ShownList& shown = page->PathModel()->Shown();
    for (int r = 0; r < shown.Rows(); ++r)
      if (shown.EntryAt(r)->Path == path) return r;
    return -1;
  };
  // Every dialog of the commands is accepted, however many there are.
  QTimer accept;
  accept.setInterval(0);
  QObject::connect(&accept, &QTimer::timeout, [&] {
    TFMOption& dialog = *window->FMOption();
    if (dialog.isVisible() && dialog.BTOK()->isEnabled()) dialog.BTOK()->click();
  });

  choose(StatusChoice::MainOnly);
  ASSERT_EQ(page->PathModel()->rowCount(), 2);
  ASSERT_GE(shownRowOf("a1.txt"), 0);
  ASSERT_GE(shownRowOf("a3.txt"), 0);
  // In the list, whichever way it is sorted, a2.txt lies between them.
  ASSERT_EQ(std::abs(RowOf("a1.txt") - RowOf("a3.txt")), 2);
  ASSERT_EQ(RowOf("a2.txt"), (RowOf("a1.txt") + RowOf("a3.txt")) / 2);
  EXPECT_EQ(page->LBShownCount()->text(),
            QStringLiteral("表示 2 / 全 %1").arg(window->State().PathList->PathCount));
  SelectRows(0, 1);
  accept.start();
  page->MenuAction("PMMMainToSub")->trigger();
  EXPECT_EQ(ReadFile(subRoot + "/a1.txt"), "one");
  EXPECT_EQ(ReadFile(subRoot + "/a3.txt"), "three");
  EXPECT_EQ(ReadFile(subRoot + "/a2.txt"), "sub older");
  EXPECT_FALSE(FindInTrash(subRoot + "/a2.txt").has_value());

  // Copied, the two rows are the same on both sides now; a2.txt still differs.
  choose(StatusChoice::Same);
  const int a1 = shownRowOf("a1.txt");
  const int a3 = shownRowOf("a3.txt");
  ASSERT_EQ(std::abs(a3 - a1), 1);
  ASSERT_EQ(shownRowOf("a2.txt"), -1);
  SelectRows(std::min(a1, a3), std::max(a1, a3));
  page->MenuAction("PMMDelFileAll")->trigger();
  accept.stop();
  for (const std::string& root : {mainRoot, subRoot}) {
    EXPECT_FALSE(filetest::PathExists(root + "/a1.txt"));
    EXPECT_FALSE(filetest::PathExists(root + "/a3.txt"));
  }
  EXPECT_EQ(ReadFile(mainRoot + "/a2.txt"), "main newer");
  EXPECT_EQ(ReadFile(subRoot + "/a2.txt"), "sub older");
}

// Ctrl+F reaches the search field; a Japanese text and a wildcard narrow the rows, the status
// choice narrows further, and Esc brings every row back.
TEST_F(ListCommandsTest, SearchFieldNarrowsTheRowsWithTheStatusChoice) {
  main->File("会議/資料.txt", "a", T0);
  sub->File("会議/資料.txt", "a", T0);
  main->File("会議/議事録.md", "b", T0);
  page->UpdatePathList(mainRoot, subRoot, FilterSet{"all", {}, {"*"}, {}},
                       ScanOptions{true, false, false, false, 49});
  noLoss->Baseline();
  page->CKSubFolder()->setChecked(true);  // the rescan of the shown tab goes into 会議
  window->PageControl1()->setCurrentWidget(window->TSList());
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  const int all = window->State().PathList->PathCount;
  const auto shownPaths = [&] {
    QStringList paths;
    for (int r = 0; r < page->PathModel()->rowCount(); ++r)
      paths << page->PathModel()->index(r, 1).data().toString();
    return paths;
  };

  page->SGPath()->setFocus();
  QTest::keyClick(page->SGPath(), Qt::Key_F, Qt::ControlModifier);
  EXPECT_TRUE(page->EDSearch()->hasFocus());
  EXPECT_EQ(page->EDSearch()->placeholderText(), QStringLiteral("検索 (Ctrl+F)"));

  page->EDSearch()->setText(QStringLiteral("資料"));
  EXPECT_EQ(shownPaths(), QStringList{QStringLiteral("会議/資料.txt")});
  EXPECT_EQ(page->LBShownCount()->text(), QStringLiteral("表示 1 / 全 %1").arg(all));

  page->EDSearch()->setText(QStringLiteral("会議/*.MD"));
  EXPECT_EQ(shownPaths(), QStringList{QStringLiteral("会議/議事録.md")});

  page->EDSearch()->setText(QStringLiteral("会議"));
  EXPECT_EQ(shownPaths().size(), 3);  // the folder and its two files
  page->CBShowStatus()->setCurrentIndex(static_cast<int>(StatusChoice::MainOnly));
  Q_EMIT page->CBShowStatus()->activated(static_cast<int>(StatusChoice::MainOnly));
  EXPECT_EQ(shownPaths(), QStringList{QStringLiteral("会議/議事録.md")});
  test::SaveScreenshot(*window, QStringLiteral("list_narrowed"));

  page->CBShowStatus()->setCurrentIndex(0);
  Q_EMIT page->CBShowStatus()->activated(0);
  page->EDSearch()->setFocus();
  QTest::keyClick(page->EDSearch(), Qt::Key_Escape);
  EXPECT_TRUE(page->EDSearch()->text().isEmpty());
  EXPECT_EQ(page->PathModel()->rowCount(), all);
  EXPECT_EQ(page->LBShownCount()->text(), QStringLiteral("表示 %1 / 全 %1").arg(all));
}

// The open items after 元に戻す act on the current row through the desktop; a side without the
// file only beeps.
TEST_F(ListCommandsTest, OpenItemsHandTheCurrentRowToTheDesktop) {
  page->SelectRow(RowOf("new.txt"));
  desktop.Calls.clear();
  page->MenuAction("PMMOpenMain")->trigger();
  page->MenuAction("PMMOpenSub")->trigger();
  page->MenuAction("PMMOpenFolder")->trigger();
  page->SelectRow(RowOf("deep/er/only.txt"));
  page->MenuAction("PMMOpenFolder")->trigger();
  const std::size_t before = desktop.Calls.size();
  page->MenuAction("PMMOpenMain")->trigger();  // only in sub
  EXPECT_EQ(desktop.Calls, (std::vector<std::string>{
                               "open " + mainRoot + "/new.txt", "open " + subRoot + "/new.txt",
                               "show " + mainRoot, "show " + subRoot + "/deep/er", "beep"}));
  EXPECT_EQ(before, 4U);

  // Return on a file row asks for the compare tab, as a double-click does.
  QSignalSpy compare(page, &ListPage::CompareRequested);
  page->SelectRow(RowOf("new.txt"));
  QTest::keyClick(page->SGPath(), Qt::Key_Return);
  EXPECT_EQ(compare.size(), 1);
}

// The bar under the grid follows the selection, a copy and a delete.
TEST_F(ListCommandsTest, SummaryCountsTheShownRowsAndTheSelectedBytesAfterACopyAndADelete) {
  const QLabel& summary = *page->LBSummary();
  const int row = RowOf("new.txt");
  SelectRows(row, row);
  EXPECT_TRUE(summary.text().contains(QStringLiteral("メインが新しい 1  ")));
  EXPECT_TRUE(summary.text().contains(QStringLiteral("同じ 1  ")));
  EXPECT_TRUE(summary.text().endsWith(QStringLiteral("選択 1 行  メイン 11 バイト  サブ 3 バイト")))
      << summary.text().toStdString();

  page->MenuAction("PMMNewMainToSub")->trigger();
  EXPECT_TRUE(summary.text().contains(QStringLiteral("メインが新しい 0  ")));
  EXPECT_TRUE(summary.text().contains(QStringLiteral("同じ 2  ")));
  EXPECT_TRUE(
      summary.text().endsWith(QStringLiteral("選択 1 行  メイン 11 バイト  サブ 11 バイト")))
      << summary.text().toStdString();

  SelectRows(row, row);
  QTimer::singleShot(0, [&] { window->FMOption()->BTOK()->click(); });
  page->MenuAction("PMMDelFileSub")->trigger();
  EXPECT_TRUE(summary.text().contains(QStringLiteral("メインのみ 1  ")));
  EXPECT_TRUE(summary.text().endsWith(QStringLiteral("選択 1 行  メイン 11 バイト  サブ 0 バイト")))
      << summary.text().toStdString();
}

// After a rescan the row of the same path is current again at the same height in the view, even
// where rows came in above it; coming back from the compare tab keeps it too. Where the path is
// gone the first row is current, as after any scan.
TEST_F(ListCommandsTest, RescanKeepsTheCurrentPathAtItsHeightInTheView) {
  for (int i = 0; i < 150; ++i)
    main->File(QStringLiteral("f%1.txt").arg(i, 3, 10, QLatin1Char('0')).toStdString(), "x", T0);
  window->PageControl1()->setCurrentWidget(window->TSList());
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  page->MenuAction("PMMUpdateList")->trigger();
  PathGridView& grid = *page->SGPath();
  const auto currentPath = [&] {
    const PathEntry* entry = page->PathModel()->Shown().EntryAt(grid.currentIndex().row());
    return entry == nullptr ? std::string() : entry->Path.str();
  };
  const auto heightOfCurrent = [&] { return grid.currentIndex().row() - grid.rowAt(0); };
  const auto place = [&](const std::string& path, int rowsFromTop) {
    page->SelectRow(RowOf(path));
    grid.verticalScrollBar()->setValue(RowOf(path) - rowsFromTop);
    ASSERT_EQ(currentPath(), path);
    ASSERT_EQ(heightOfCurrent(), rowsFromTop);
  };
  ASSERT_GT(grid.rowAt(grid.viewport()->height() - 1), 6);  // room for the heights below

  place("f100.txt", 4);
  // New rows at both ends of the sort: whichever way it runs, the row's index changes.
  main->File("a.txt", "x", T0);
  main->File("z.txt", "x", T0);
  const int before = RowOf("f100.txt");
  page->MenuAction("PMMUpdateList")->trigger();
  EXPECT_NE(RowOf("f100.txt"), before);
  EXPECT_EQ(currentPath(), "f100.txt");
  EXPECT_EQ(heightOfCurrent(), 4);

  place("f060.txt", 2);
  window->PageControl1()->setCurrentWidget(window->TSCompare());
  window->PageControl1()->setCurrentWidget(window->TSList());
  EXPECT_EQ(currentPath(), "f060.txt");
  EXPECT_EQ(heightOfCurrent(), 2);

  // Gone: the described reset to the first row.
  ASSERT_EQ(::unlink((mainRoot + "/f060.txt").c_str()), 0);
  page->MenuAction("PMMUpdateList")->trigger();
  EXPECT_EQ(grid.currentIndex().row(), 0);
  EXPECT_EQ(grid.rowAt(0), 0);
}

TEST_F(ListCommandsTest, ListTabShownWithAPairTakesTheArrowKeysInTheGrid) {
  // The middle set: an Up key in the filter choice would switch to the first.
  window->State().Settings.FilterNames = ComboItems{{"すべて", "汎用", "画像"}, 1};
  window->FilterNames().Sync();
  QTabWidget& tabs = *window->PageControl1();
  tabs.setCurrentWidget(window->TSFolder());
  window->activateWindow();
  QApplication::processEvents();
  tabs.setCurrentWidget(window->TSList());
  QApplication::processEvents();
  EXPECT_EQ(window->focusWidget(), page->SGPath());

  QSignalSpy scans(page, &ListPage::ListWorkFinished);
  QSignalSpy choices(page, &ListPage::FilterChoiceChanged);
  page->SelectRow(2);
  QTest::keyClick(window->focusWidget(), Qt::Key_Up);
  EXPECT_EQ(page->SGPath()->currentIndex().row(), 1);
  EXPECT_EQ(page->CBFilterChoice()->currentIndex(), 1);
  EXPECT_EQ(window->State().Settings.FilterNames.ItemIndex, 1);
  EXPECT_EQ(choices.count(), 0);
  EXPECT_EQ(scans.count(), 0);

  // After any rescan the grid has the keys, wherever the focus was.
  page->CBFilterChoice()->setFocus();
  page->UpdatePathList(mainRoot, subRoot, FilterSet{"all", {}, {"*"}, {}});
  EXPECT_EQ(window->focusWidget(), page->SGPath());
}

TEST_F(ListCommandsTest, CopyAllCreatesMissingFoldersOnTheOtherSide) {
  const int row = RowOf("deep/er/only.txt");
  ASSERT_GE(row, 0);
  SelectRows(row, row);
  page->MenuAction("PMMSubToMain")->trigger();
  EXPECT_EQ(ReadFile(mainRoot + "/deep/er/only.txt"), "only in sub");
  EXPECT_EQ((*window->State().PathList)[row].Status, Same);
  EXPECT_EQ(Log()[0], QStringLiteral("サブからメインへコピー (%1～%1)").arg(row + 1));
}

TEST_F(ListCommandsTest, CopyAndDeleteKeepTheTopRowAndMakeTheFirstSelectedRowCurrent) {
  for (int i = 0; i < 80; ++i) {
    const std::string name = "many" + std::to_string(100 + i) + ".txt";
    main->File(name, "m", T0 + 600);
    sub->File(name, "s", T0);
  }
  page->UpdatePathList(mainRoot, subRoot, FilterSet{"all", {}, {"*"}, {}},
                       ScanOptions{true, false, false, false, 49});
  PathGridView& grid = *page->SGPath();
  QApplication::processEvents();
  ASSERT_GT(page->PathModel()->rowCount(), 60);
  for (QAction* command :
       {page->MenuAction("PMMNewMainToSub"), page->MenuAction("PMMDelFileSub")}) {
    SCOPED_TRACE(command->objectName().toStdString());
    grid.scrollTo(page->PathModel()->index(20, 0), QAbstractItemView::PositionAtTop);
    ASSERT_EQ(grid.rowAt(0), 20);
    SelectRows(30, 32);
    if (command == page->MenuAction("PMMDelFileSub"))  // the delete asks first
      QTimer::singleShot(0, [&] { window->FMOption()->BTOK()->click(); });
    command->trigger();
    EXPECT_EQ(grid.rowAt(0), 20);
    EXPECT_EQ(grid.currentIndex().row(), 30);
    EXPECT_EQ(grid.selectionModel()->selectedRows().size(), 1);
  }
}

TEST_F(ListCommandsTest, OptionsAndFilterChoiceClickedWhileALoopRunsStayAsTheListWasMade) {
  SelectRows(0, 4);
  QComboBox* choice = page->CBFilterChoice();
  ASSERT_EQ(choice->count(), 2);
  ASSERT_EQ(choice->currentIndex(), 0);
  QCheckBox* const options[] = {page->CKSubFolder(), page->CKOneSideDir(), page->CKDirHide(),
                                page->CKDirIgnore()};
  std::vector<bool> before;
  for (QCheckBox* box : options) before.push_back(box->isChecked());
  QTimer::singleShot(0, [&] {
    ASSERT_TRUE(window->State().ListGuard.IsHeld());
    for (QCheckBox* box : options) box->click();
    choice->setFocus();
    QTest::keyClick(choice, Qt::Key_Down);
  });
  page->MenuAction("PMMNewMainToSub")->trigger();
  for (std::size_t i = 0; i < before.size(); ++i)
    EXPECT_EQ(options[i]->isChecked(), before[i]) << options[i]->objectName().toStdString();
  EXPECT_EQ(choice->currentIndex(), 0);
  EXPECT_EQ(window->Filters().CBFilter()->currentIndex(), 0);
  EXPECT_EQ(window->State().PathList->PathCount, 5);
}

// The finished dialog and the closing log line say how many files failed and that 中止 stopped
// the loop; the count of copies alone would read as success.
TEST_F(ListCommandsTest, FinishedDialogAndLogSayHowManyFailedAndThat中止Stopped) {
  ASSERT_EQ(::unlink((mainRoot + "/new.txt").c_str()), 0);  // gone since the scan
  ASSERT_EQ(::unlink((mainRoot + "/both.txt").c_str()), 0);
  noLoss->Baseline();
  TFMOption& dialog = *window->FMOption();
  SelectRows(0, 4);
  page->MenuAction("PMMMainToSub")->trigger();
  EXPECT_EQ(dialog.LBCopying()->text(),
            QStringLiteral("メインからサブへ0ファイルコピーしました。"));
  EXPECT_EQ(dialog.LBCopying2()->text(), QStringLiteral("    2ファイル失敗しました。"));
  EXPECT_EQ(Log().back(), QStringLiteral("メインからサブへ0ファイルコピー、2ファイル失敗"));
  test::SaveScreenshot(dialog, QStringLiteral("progress_dialog_failed"));

  const int row = RowOf("deep/er/only.txt");
  SelectRows(row, row);
  QTimer::singleShot(0, [&] { dialog.BTCancel()->click(); });  // before the first row is done
  page->MenuAction("PMMSubToMain")->trigger();
  EXPECT_EQ(dialog.LBCopying2()->text(), QStringLiteral("    中止しました。"));
  EXPECT_EQ(Log().back(), QStringLiteral("サブからメインへ0ファイルコピー、中止"));
  test::SaveScreenshot(dialog, QStringLiteral("progress_dialog_cancelled"));
}

// A key goes where the user's keyboard would send it: the dialog's focused control.
void PressKey(TFMOption& dialog, Qt::Key key) {
  QWidget* target = dialog.focusWidget() != nullptr ? dialog.focusWidget() : &dialog;
  QTest::keyClick(target, key);
}

// Esc and the close box while a copy runs act as 中止: the loop stops, and the finished dialog
// says so instead of the copy going on unseen. Once finished, they hide the dialog.
TEST_F(ListCommandsTest, EscAndTheCloseBoxDuringACopyActAs中止) {
  TFMOption& dialog = *window->FMOption();
  const int row = RowOf("deep/er/only.txt");
  struct Case {
    const char* Name;
    std::function<void()> Act;
  };
  const Case cases[] = {
      {"Esc", [&] { PressKey(dialog, Qt::Key_Escape); }},
      {"close box", [&] { dialog.close(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    SelectRows(row, row);
    bool visibleWhileRunning = false;
    QTimer::singleShot(0, [&] {
      c.Act();
      visibleWhileRunning = dialog.isVisible();
    });
    page->MenuAction("PMMSubToMain")->trigger();
    EXPECT_TRUE(visibleWhileRunning);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.LBCopying2()->text(), QStringLiteral("    中止しました。"));
    EXPECT_EQ(Log().back(), QStringLiteral("サブからメインへ0ファイルコピー、中止"));
    EXPECT_FALSE(filetest::PathExists(mainRoot + "/deep/er/only.txt"));

    // Finished: the same key or close hides the dialog.
    c.Act();
    EXPECT_FALSE(dialog.isVisible());
  }
}

// Return presses the default button: ＯＫ of the delete confirmation, then ＯＫ of the finished
// dialog. A focused 中止 takes Return itself and declines.
TEST_F(ListCommandsTest, ReturnPressesTheDefaultButtonOfTheDialog) {
  TFMOption& dialog = *window->FMOption();
  const int row = RowOf("both.txt");
  SelectRows(row, row);
  QTimer::singleShot(0, [&] {
    dialog.BTCancel()->setFocus();
    PressKey(dialog, Qt::Key_Return);
  });
  page->MenuAction("PMMDelFileMain")->trigger();
  EXPECT_TRUE(filetest::PathExists(mainRoot + "/both.txt"));

  QTimer::singleShot(0, [&] {
    PressKey(dialog, Qt::Key_Return);
    if (dialog.isVisible()) dialog.BTCancel()->click();  // not taken: decline, never hang
  });
  page->MenuAction("PMMDelFileMain")->trigger();
  EXPECT_FALSE(filetest::PathExists(mainRoot + "/both.txt"));
  EXPECT_EQ(ReadFile(*FindInTrash(mainRoot + "/both.txt")), "main");
  ASSERT_TRUE(dialog.isVisible());
  ASSERT_TRUE(dialog.BTOK()->isEnabled());
  PressKey(dialog, Qt::Key_Return);
  EXPECT_FALSE(dialog.isVisible());
}

// The pause after each file may be ten seconds: the dialog stays live meanwhile, so 中止 and
// closing the window end it at once.
TEST_F(ListCommandsTest, ALongCopywaitKeepsTheDialogLiveFor中止AndClosing) {
  window->State().Settings.copywait = 3600000;  // held to 10000 ms
  const int row = RowOf("deep/er/only.txt");
  for (const bool closing : {false, true}) {
    SCOPED_TRACE(closing ? "closing the window" : "中止");
    SelectRows(row, row);
    QElapsedTimer clock;
    clock.start();
    QTimer::singleShot(300, [&] {
      if (closing) {
        window->close();
      } else {
        window->FMOption()->BTCancel()->click();
      }
    });
    page->MenuAction("PMMSubToMain")->trigger();
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_GE(clock.elapsed(), 250) << "the pause was not kept";
    EXPECT_EQ(window->isVisible(), !closing);
  }
  EXPECT_EQ(ReadFile(mainRoot + "/deep/er/only.txt"), "only in sub");
}

// The stick went away after the scan and left its mount point as an empty folder: the command
// says so and touches nothing, neither there nor on the stick.
TEST_F(ListCommandsTest, UnpluggedStickStopsTheCommandWithAMessage) {
  const std::string stick = sandbox / "stick";
  ASSERT_EQ(::rename(subRoot.c_str(), stick.c_str()), 0);
  ASSERT_EQ(::mkdir(subRoot.c_str(), 0755), 0);
  noLoss->Baseline();
  SelectRows(0, 4);
  for (QAction* command :
       {page->MenuAction("PMMNewMainToSub"), page->MenuAction("PMMDelFileSub")}) {
    SCOPED_TRACE(command->objectName().toStdString());
    boxes.Calls.clear();
    command->trigger();
    ASSERT_EQ(boxes.Calls.size(), 1u);
    EXPECT_EQ(boxes.Calls[0].Kind, QStringLiteral("Error"));
    EXPECT_EQ(boxes.Calls[0].Text, QString::fromUtf8(RootChangedText));
    EXPECT_TRUE(Log().isEmpty());
    EXPECT_FALSE(window->FMOption()->isVisible());
    EXPECT_FALSE(window->State().ListGuard.IsHeld());
  }
  EXPECT_EQ(ReadFile(stick + "/new.txt"), "old");
}

TEST_F(ListCommandsTest, ClosingTheWindowDuringALoopStopsItFirstAndThenCloses) {
  ASSERT_TRUE(window->isVisible());
  SelectRows(0, 4);
  bool visibleAfterClose = false;
  QTimer::singleShot(0, [&] {
    window->close();
    visibleAfterClose = window->isVisible();
  });
  page->MenuAction("PMMNewMainToSub")->trigger();
  EXPECT_TRUE(visibleAfterClose);  // the loop had to stop first
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->State().SharedListsAlive());  // the settings were saved on the way out
  EXPECT_EQ(ReadFile(subRoot + "/new.txt"), "old");  // stopped before the first file
}

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

// The file operations handed to the window reach the copy loop: one failing step of one file is
// logged with its reason, counted, and leaves the old file in place.
TEST_F(ListCommandsTest, AFileStepThatFailsInTheWindowsFileOperationsFailsThatFileOnly) {
  files.copyData = [](int, int) {
    return FileResult::Failure(FileStep::CopyData, ENOSPC,
                               "書き込めません: ディスクがいっぱいです");
  };
  SelectRows(0, window->State().PathList->PathCount - 1);
  page->MenuAction("PMMNewMainToSub")->trigger();

  EXPECT_EQ(ReadFile(subRoot + "/new.txt"), "old");
  EXPECT_FALSE(FindInTrash(subRoot + "/new.txt").has_value());
  const QStringList log = Log();
  const auto failed = std::find_if(log.begin(), log.end(), [](const QString& line) {
    return line.endsWith(QStringLiteral("/new.txt 失敗"));
  });
  ASSERT_NE(failed, log.end()) << log.join(QLatin1Char('\n')).toStdString();
  ASSERT_NE(std::next(failed), log.end());
  EXPECT_EQ(*std::next(failed), QStringLiteral("　　書き込めません: ディスクがいっぱいです"));
  EXPECT_EQ(log.back(), QStringLiteral("メインの最新からサブへ0ファイルコピー、1ファイル失敗"));
}

}  // namespace
}  // namespace tarvex

namespace tarvex {
namespace {

// The journal of this test only, so that no other test's command is taken back.
class StateHome {
 public:
  StateHome() : old_(qgetenv("XDG_STATE_HOME")) {
    qputenv("XDG_STATE_HOME", folder_.path().toUtf8());
  }
  ~StateHome() { qputenv("XDG_STATE_HOME", old_); }

 private:
  QTemporaryDir folder_;
  QByteArray old_;
};

TEST_F(ListCommandsTest, UndoFromTheMenuOrCtrlZAsksNamingTheCommandThenRescans) {
  const StateHome state;
  page->MenuAction("PMMUndo")->trigger();
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls.back().Text, QStringLiteral("元に戻せるコマンドがありません。"));

  SelectRows(0, window->State().PathList->PathCount - 1);
  page->MenuAction("PMMMainToSub")->trigger();
  ASSERT_EQ(ReadFile(subRoot + "/new.txt"), "new version");
  ASSERT_EQ(ReadFile(subRoot + "/both.txt"), "main");

  // Declined: the confirmation names the command, its time and its files; nothing changes.
  boxes.ConfirmAnswer = false;
  page->MenuAction("PMMUndo")->trigger();
  ASSERT_EQ(boxes.Calls.back().Kind, QStringLiteral("Confirm"));
  const QRegularExpression asked(
      QStringLiteral("^メインの全部 → サブへ コピー \\d\\d:\\d\\d の 2 ファイルを元に戻します$"));
  EXPECT_TRUE(asked.match(boxes.Calls.back().Text).hasMatch())
      << boxes.Calls.back().Text.toStdString();
  EXPECT_EQ(ReadFile(subRoot + "/new.txt"), "new version");

  // Ctrl+Z on the list, agreed: the old files are back, the copies in the trash, and the list
  // rescanned (the rows show the old sub files again).
  window->FMOption()->BTOK()->click();  // the copy's finished dialog would keep the focus
  window->show();
  window->activateWindow();  // a shortcut reaches only the active window
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  window->PageControl1()->setCurrentWidget(window->TSList());
  page->SGPath()->setFocus();
  boxes.ConfirmAnswer = true;
  const std::size_t before = boxes.Calls.size();
  QTest::keyClick(page->SGPath(), Qt::Key_Z, Qt::ControlModifier);
  ASSERT_EQ(boxes.Calls.size(), before + 1);
  EXPECT_EQ(boxes.Calls.back().Kind, QStringLiteral("Confirm"));
  EXPECT_EQ(ReadFile(subRoot + "/new.txt"), "old");
  EXPECT_EQ(ReadFile(subRoot + "/both.txt"), "sub!");
  EXPECT_EQ(ReadFile(*FindInTrash(subRoot + "/new.txt")), "new version");
  EXPECT_EQ(window->FMOption()->LBCopying()->text(), QStringLiteral("2ファイル元に戻しました。"));
  EXPECT_EQ(Log().back(), QStringLiteral("2ファイル元に戻す"));
  const PathList& list = *window->State().PathList;
  EXPECT_EQ(list[RowOf("new.txt")].Status, MainNewer);
  EXPECT_EQ(list[RowOf("both.txt")].SubSize, 4);
  test::SaveScreenshot(*window, QStringLiteral("list_after_undo"));

  // Taken back once: the next undo finds nothing left.
  page->MenuAction("PMMUndo")->trigger();
  EXPECT_EQ(boxes.Calls.back().Text, QStringLiteral("元に戻せるコマンドがありません。"));
}

}  // namespace
}  // namespace tarvex
