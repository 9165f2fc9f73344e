// The list tab with the content check and the one-hour option: the 内容 column, the red rows,
// the mark cell's tooltip, the summary, and the newest-only copy leaving 時刻のみ files alone.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QBrush>
#include <QCheckBox>
#include <QHelpEvent>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolTip>
#include <algorithm>
#include <memory>
#include <optional>

#include "app/folder/folder_page.h"
#include "app/folder/folder_tree_view.h"
#include "app/list/list_page.h"
#include "app/list/path_grid_view.h"
#include "app/list/path_list_model.h"
#include "app/log/qv_message_box.h"
#include "app/widgets/readable_colour.h"
#include "app/window/fm_main.h"
#include "app/window/program_start.h"
#include "core/list/list_column.h"
#include "core/settings/settings.h"
#include "support/command_test_support.h"
#include "support/dark_theme.h"
#include "support/fuse_fat.h"
#include "support/recording_desktop_services.h"
#include "support/recording_message_boxes.h"
#include "support/screenshot.h"
#include "support/temp_tree.h"
#include "support/trash_sandbox.h"
#include "support/tree_snapshot.h"

namespace tarvex {
namespace {

using filetest::SandboxFolder;

constexpr std::time_t T0 = 1700000000;
constexpr QRgb Red = 0xD00000;

class ContentColumnTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(filetest::SandboxTrashIsPrivate());
    main.emplace(sandbox / "main");
    sub.emplace(sandbox / "sub");
    window = StartMainWindow(settings.filePath(QStringLiteral("tarvex.ini")),
                             {.Boxes = &boxes, .Desktop = &desktop, .Files = &files});
    window->State().Settings.copywait = 0;
    page = window->ListTab();
    model = page->PathModel();
  }
  void TearDown() override {
    if (noLoss) noLoss->Expect();
  }
  void Scan() {
    ASSERT_TRUE(window->Folders().STVMain()->SelectPath(main->Root()));
    ASSERT_TRUE(window->Folders().STVSub()->SelectPath(sub->Root()));
    page->UpdatePathList(main->Root(), sub->Root(), FilterSet{"all", {}, {"*"}, {}});
  }
  int RowOf(const QString& path) const {
    for (int row = 0; row < model->rowCount(); ++row)
      if (model->index(row, ColumnPath).data().toString() == path) return row;
    return -1;
  }
  QString Cell(const char* path, int column) const {
    return model->index(RowOf(QString::fromUtf8(path)), column).data().toString();
  }
  // What the grid shows when the pointer rests on the row's mark cell.
  QString Tip(const char* path) const {
    PathGridView& grid = *page->SGPath();
    const QRect cell = grid.visualRect(model->index(RowOf(QString::fromUtf8(path)), ColumnMarks));
    QHelpEvent help(QEvent::ToolTip, cell.center(), grid.viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(grid.viewport(), &help);
    const QString text = help.isAccepted() && QToolTip::isVisible() ? QToolTip::text() : QString();
    QToolTip::hideText();
    return text;
  }
  bool RedRow(const char* path) const {
    const int row = RowOf(QString::fromUtf8(path));
    for (int column = ColumnPath; column < model->columnCount(); ++column) {
      const QVariant v = model->index(row, column).data(Qt::ForegroundRole);
      if (!v.isValid() || (v.value<QBrush>().color().rgb() & 0xFFFFFF) != Red) return false;
    }
    return true;
  }
  QStringList Log() const {
    return window->MsgBox().toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }
  void SelectAll() {
    page->SGPath()->selectAll();
    QApplication::processEvents();
  }

  SandboxFolder sandbox;
  std::optional<testing::TempTree> main, sub;
  std::optional<testing::NoLossCheck> noLoss;
  QTemporaryDir settings;
  test::RecordingMessageBoxes boxes;
  test::RecordingDesktopServices desktop;
  commandtest::ScriptedFileOperations files;
  std::unique_ptr<TFMMain> window;
  ListPage* page = nullptr;
  PathListModel* model = nullptr;
};

TEST_F(ContentColumnTest, VerdictsColoursTooltipsAndSummary) {
  // Same time and size, other bytes: a time-and-size compare calls it ＝.
  main->File("hidden.txt", "abcde", T0);
  sub->File("hidden.txt", "abcdX", T0);
  main->File("timeonly.txt", "same bytes", T0 + 192);
  sub->File("timeonly.txt", "same bytes", T0);
  main->File("same.txt", "12345", T0);
  sub->File("same.txt", "12345", T0);
  main->File("newer.txt", "new!!", T0 + 60);
  sub->File("newer.txt", "old!!", T0);
  main->File("sizes.txt", "1234", T0);
  sub->File("sizes.txt", "1234567", T0);
  main->File("only.txt", "x", T0);

  // Off by default: the seven columns, no tooltip, no red, the summary as it was.
  Scan();
  EXPECT_FALSE(page->CKContentCheck()->isChecked());
  EXPECT_FALSE(page->CKHourShift()->isChecked());
  EXPECT_EQ(model->columnCount(), ListColumnCount);
  EXPECT_FALSE(model->index(RowOf("hidden.txt"), ColumnMarks).data(Qt::ToolTipRole).isValid());
  EXPECT_FALSE(RedRow("hidden.txt"));
  EXPECT_FALSE(page->LBSummary()->text().contains(QStringLiteral("内容")));

  page->CKContentCheck()->click();
  Scan();
  ASSERT_EQ(model->columnCount(), ListColumnCount + 1);
  EXPECT_EQ(model->headerData(ColumnContent, Qt::Horizontal).toString(), QStringLiteral("内容"));
  const struct {
    const char* path;
    const char* content;
    bool red;
  } rows[] = {
      {"hidden.txt", "相違", true}, {"timeonly.txt", "時刻のみ", false},
      {"same.txt", "同一", false},  {"newer.txt", "相違", false},
      {"sizes.txt", "", false},     {"only.txt", "", false},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(Cell(r.path, ColumnContent), QString::fromUtf8(r.content)) << r.path;
    EXPECT_EQ(RedRow(r.path), r.red) << r.path;
  }
  EXPECT_EQ(
      Tip("timeonly.txt"),
      QStringLiteral("メインが 3 分 12 秒新しい\nサイズは同じ\n内容は同一（違うのは時刻だけ）"));
  EXPECT_EQ(Tip("sizes.txt"), QStringLiteral("時刻は同じ\nサイズの差 3 バイト（サブが大きい）"));
  EXPECT_EQ(Tip("hidden.txt"), QStringLiteral("時刻は同じ\nサイズは同じ\n内容は相違"));
  EXPECT_TRUE(
      page->LBSummary()->text().startsWith(QStringLiteral("＝でも内容が違う 1  メインのみ 1")))
      << page->LBSummary()->text().toStdString();
  window->findChild<QTabWidget*>(QStringLiteral("PageControl1"))
      ->setCurrentWidget(window->TSList());
  page->SGPath()->selectRow(RowOf("same.txt"));
  window->show();
  QApplication::processEvents();
  test::SaveScreenshot(*window, QStringLiteral("list_content_column"));

  Settings stored;
  page->StoreSettings(stored);
  EXPECT_TRUE(stored.contentcheck);
  EXPECT_FALSE(stored.hourshift);
}

TEST_F(ContentColumnTest, TheRedOfAHiddenDifferenceStaysReadableInADarkTheme) {
  const test::KeepApplicationPalette keep;
  QApplication::setPalette(test::DarkPalette());

  main->File("hidden.txt", "abcde", T0);
  sub->File("hidden.txt", "abcdX", T0);
  main->File("only.txt", "x", T0);
  page->CKContentCheck()->click();
  page->CKHourShift()->click();
  Scan();
  const int row = RowOf(QStringLiteral("hidden.txt"));
  ASSERT_GE(row, 0);
  int onTheme = 0;
  for (int column = ColumnPath; column < model->columnCount(); ++column) {
    SCOPED_TRACE(column);
    const QModelIndex cell = model->index(row, column);
    const QVariant background = cell.data(Qt::BackgroundRole);
    const QColor back = background.isValid() ? background.value<QBrush>().color()
                                             : test::DarkPalette().color(QPalette::Base);
    const QColor fore = cell.data(Qt::ForegroundRole).value<QBrush>().color();
    EXPECT_GE(ContrastRatio(fore, back), ReadableContrast);
    // Still a red: the alarm keeps its meaning.
    EXPECT_GT(fore.red(), 2 * std::max(fore.green(), fore.blue()));
    if (!background.isValid()) ++onTheme;
  }
  EXPECT_GT(onTheme, 0);
  window->findChild<QTabWidget*>(QStringLiteral("PageControl1"))
      ->setCurrentWidget(window->TSList());
  window->show();
  QApplication::processEvents();
  test::SaveScreenshot(*window, QStringLiteral("dark_list_content_column"));
}

TEST_F(ContentColumnTest, NewestCopyLeavesFilesWithTheSameBytesAlone) {
  main->File("timeonly.txt", "same bytes", T0 + 600);
  sub->File("timeonly.txt", "same bytes", T0);
  main->File("changed.txt", "new version", T0 + 600);
  sub->File("changed.txt", "old version", T0);
  page->CKContentCheck()->click();
  Scan();
  noLoss.emplace(sandbox.Path(), std::vector<std::string>{main->Root(), sub->Root()},
                 std::vector<std::string>{filetest::SandboxTrashFolder() + "files"});
  noLoss->Baseline();
  window->MsgBox().clear();
  SelectAll();
  page->MenuAction("PMMNewMainToSub")->trigger();

  EXPECT_EQ(filetest::ReadFile(sub->PathOf("changed.txt")), "new version");
  struct stat st {};
  ASSERT_EQ(::stat(sub->PathOf("timeonly.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, T0);  // not copied again
  const QString skipped = QStringLiteral("　%1:%2 内容が同じためコピーしません")
                              .arg(RowOf(QStringLiteral("timeonly.txt")) + 1)
                              .arg(QString::fromStdString(main->PathOf("timeonly.txt")));
  EXPECT_TRUE(Log().contains(skipped)) << Log().join(QLatin1Char('\n')).toStdString();
  // The copied row has the same bytes and time now: 同一, not red.
  EXPECT_EQ(Cell("changed.txt", ColumnContent), QStringLiteral("同一"));
  EXPECT_FALSE(RedRow("changed.txt"));
  EXPECT_EQ(Cell("timeonly.txt", ColumnContent), QStringLiteral("時刻のみ"));
}

TEST_F(ContentColumnTest, HourShiftOptionOnATreeShiftedByOneHour) {
  // A stick whose every time moved by an hour; one file really changed two seconds later.
  main->File("a.txt", "aaa", T0 + 3600);
  sub->File("a.txt", "aaa", T0);
  main->File("d/b.txt", "bbbb", T0);
  sub->File("d/b.txt", "bbbb", T0 + 3600);
  main->File("c.txt", "ccc", T0 + 3602);
  sub->File("c.txt", "ccc", T0);
  page->CKSubFolder()->setChecked(true);
  Scan();
  EXPECT_EQ(Cell("a.txt", ColumnMarks), QStringLiteral("新 ＝ 　"));

  page->CKHourShift()->click();
  Scan();
  const PathList& list = *window->State().PathList;
  for (int i = 0; i < list.PathCount; ++i) {
    if (list[i].Path == "c.txt") {
      EXPECT_EQ(list[i].Status, MainNewer);
    } else if (list[i].Path != "d") {
      EXPECT_EQ(list[i].Status, Same) << list[i].Path;
    }
  }
  EXPECT_EQ(Cell("a.txt", ColumnMarks), QStringLiteral("　 ＝ 　"));
  EXPECT_EQ(Cell("d/b.txt", ColumnMarks), QStringLiteral("　 ＝ 　"));
  EXPECT_EQ(Cell("c.txt", ColumnMarks), QStringLiteral("新 ＝ 　"));
  EXPECT_TRUE(Tip("a.txt").startsWith(QStringLiteral("ちょうど 1 時間の差（メインが新しい）")));
  EXPECT_TRUE(Tip("d/b.txt").startsWith(QStringLiteral("ちょうど 1 時間の差（サブが新しい）")));
  // No FAT volume here: the log names none.
  EXPECT_FALSE(Log().join(QLatin1Char('\n')).contains(QStringLiteral("FAT")));
  Settings stored;
  page->StoreSettings(stored);
  EXPECT_TRUE(stored.hourshift);
}

// Clicks 中止 the first time the counter shows the content check's progress.
class StopAtContentCounter : public QObject {
 public:
  StopAtContentCounter(QLabel* counter, QPushButton* cancel) : counter_(counter), cancel_(cancel) {
    counter_->installEventFilter(this);
  }
  bool Clicked = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // "内容を比較しています 4096 / 5000": once some rows have their verdict.
    const QStringList words = counter_->text().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (watched == counter_ && event->type() == QEvent::Paint && !Clicked && words.size() >= 2 &&
        words[0] == QStringLiteral("内容を比較しています") && words[1].toInt() > 0) {
      Clicked = true;
      cancel_->click();
    }
    return false;
  }

 private:
  QLabel* counter_;
  QPushButton* cancel_;
};

TEST_F(ContentColumnTest, StopDuringTheCheckKeepsTheNewListAndSaysWhatIsUnchecked) {
  // More files than one batch of the check, so that the stop lands between two batches.
  for (int i = 0; i < 5000; ++i) {
    const std::string name = "f" + std::to_string(i) + ".txt";
    main->File(name, "x", T0);
    sub->File(name, "x", T0);
  }
  page->CKContentCheck()->setChecked(true);
  window->findChild<QTabWidget*>(QStringLiteral("PageControl1"))
      ->setCurrentWidget(window->TSList());
  window->show();
  QApplication::processEvents();
  StopAtContentCounter stopper(page->LBCompare(), page->BTScanCancel());
  window->MsgBox().clear();
  Scan();
  ASSERT_TRUE(stopper.Clicked);
  EXPECT_EQ(window->State().PathList->PathCount, 5000);  // the scan's list stays
  int unchecked = 0, same = 0;
  for (int row = 0; row < model->rowCount(); ++row) {
    const QString cell = model->index(row, ColumnContent).data().toString();
    if (cell == QStringLiteral("未確認")) ++unchecked;
    if (cell == QStringLiteral("同一")) ++same;
  }
  EXPECT_GT(unchecked, 0);
  EXPECT_GT(same, 0);
  EXPECT_EQ(unchecked + same, 5000);
  EXPECT_TRUE(Log().contains(QStringLiteral("内容の比較を中止しました。未確認の行があります。")));
  EXPECT_FALSE(page->BTScanCancel()->isVisible());
}

TEST_F(ContentColumnTest, TheLogNamesARootOnAFatVolume) {
  SandboxFolder volumeFolder;
  const testing::FuseFatVolume fat(volumeFolder.Path());
  if (!fat.Mounted()) GTEST_SKIP() << "FAT through FUSE skipped: " << fat.WhyNot();
  main->File("a.txt", "a", T0);
  const QString line =
      QStringLiteral("サブのフォルダは FAT/exFAT のボリュームにあります（時刻は 2 秒単位）。");
  // Off by default: the log stays as it was.
  page->UpdatePathList(main->Root(), fat.Root(), FilterSet{"all", {}, {"*"}, {}});
  EXPECT_FALSE(Log().contains(line));
  page->CKHourShift()->setChecked(true);
  page->UpdatePathList(main->Root(), fat.Root(), FilterSet{"all", {}, {"*"}, {}});
  EXPECT_TRUE(Log().contains(line)) << Log().join(QLatin1Char('\n')).toStdString();
  EXPECT_FALSE(Log().contains(
      QStringLiteral("メインのフォルダは FAT/exFAT のボリュームにあります（時刻は 2 秒単位）。")));
}

}  // namespace
}  // namespace tarvex
