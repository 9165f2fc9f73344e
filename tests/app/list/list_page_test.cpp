#include "app/list/list_page.h"

#include <gtest/gtest.h>
#include <sys/time.h>

#include <cmath>
#include <functional>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QWheelEvent>
#include <memory>
#include <vector>

#include "app/folder/folder_page.h"
#include "app/folder/folder_tree_view.h"
#include "app/list/path_grid_view.h"
#include "app/list/path_list_model.h"
#include "app/log/qv_message_box.h"
#include "app/widgets/filter_names_model.h"
#include "app/widgets/grid_helpers.h"
#include "app/window/fm_main.h"
#include "app/window/program_start.h"
#include "core/scan/folder_scan.h"
#include "core/scan/path_entry.h"
#include "core/settings/settings.h"
#include "support/qt_printers.h"
#include "support/recording_message_boxes.h"
#include "support/screenshot.h"
#include "support/temp_tree.h"

namespace tarvex {
namespace {

// A local time in whole 2-second steps, so the list shows it unchanged.
qint64 LocalTime(int year, int month, int day, int hour, int minute, int second) {
  return QDateTime(QDate(year, month, day), QTime(hour, minute, second)).toSecsSinceEpoch();
}

const qint64 T = LocalTime(2024, 5, 6, 7, 8, 10);

// A file's content of the given size.
std::string Content(int size) { return std::string(static_cast<std::size_t>(size), 'x'); }

// What LBCompare showed each time it was painted, and the grid's cursor at that moment.
class CounterPaints : public QObject {
 public:
  struct Paint {
    QString Text;
    QColor Colour;
    Qt::CursorShape GridCursor;
  };

  CounterPaints(QLabel* label, QWidget* grid) : label_(label), grid_(grid) {
    label_->installEventFilter(this);
  }
  std::vector<Paint> Seen;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == label_ && event->type() == QEvent::Paint)
      Seen.push_back(
          {label_->text(), label_->palette().color(QPalette::WindowText), grid_->cursor().shape()});
    return false;
  }

 private:
  QLabel* label_;
  QWidget* grid_;
};

// The contrast ratio of two colours as readability guidelines define it (1 to 21).
double Contrast(const QColor& a, const QColor& b) {
  const auto luminance = [](const QColor& c) {
    const auto channel = [](double v) {
      return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

class ListPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = StartMainWindow(settings.filePath(QStringLiteral("tarvex.ini")), {.Boxes = &boxes});
    page = window->ListTab();
    ASSERT_NE(page, nullptr);
    grid = page->SGPath();
    model = page->PathModel();
    Tabs()->setCurrentWidget(window->TSList());
    QApplication::processEvents();
    mainRoot = QString::fromStdString(mainTree.Root());
    subRoot = QString::fromStdString(subTree.Root());
  }

  QTabWidget* Tabs() { return window->findChild<QTabWidget*>(QStringLiteral("PageControl1")); }

  // Seven paths that sort the same way in every collation; see the table in the first test.
  void MakeStandardTrees() {
    mainTree.File("a.txt", Content(10), T);
    subTree.File("a.txt", Content(10), T + 200);
    mainTree.File("b.txt", Content(30), T + 100);
    subTree.File("b.txt", Content(20), T);
    mainTree.File("c.txt", Content(1234), T);
    mainTree.File("d/e.txt", Content(7), T);
    subTree.File("d/e.txt", Content(7), T);
    mainTree.File("f.log", Content(3), T);
    subTree.File("f.log", Content(3), T);
    subTree.File("g.txt", Content(4), T);
    mainTree.SetTime("d", T + 500);
    subTree.SetTime("d", T);
  }

  QString Main(const char* relative) const { return mainRoot + QLatin1Char('/') + relative; }
  QString Sub(const char* relative) const { return subRoot + QLatin1Char('/') + relative; }

  static FilterSet AllFilesIgnoringLogs() {
    FilterSet filter;
    filter.Name = "すべて";
    filter.SelectPatterns = PatternList{"*"};
    filter.IgnorePatterns = PatternList{"*.log"};
    return filter;
  }

  void Scan(const FilterSet& filter = AllFilesIgnoringLogs()) {
    page->UpdatePathList(QFile::encodeName(mainRoot).toStdString(),
                         QFile::encodeName(subRoot).toStdString(), filter);
  }

  QString Cell(int row, int column) const { return model->index(row, column).data().toString(); }
  QStringList PathColumn() const {
    QStringList paths;
    for (int row = 0; row < model->rowCount(); ++row) paths << Cell(row, 1);
    return paths;
  }
  QStringList Headers() const {
    QStringList headers;
    for (int c = 0; c < model->columnCount(); ++c)
      headers << model->headerData(c, Qt::Horizontal).toString();
    return headers;
  }

  void ClickHeader(int column, Qt::MouseButton button = Qt::LeftButton) {
    QHeaderView* header = grid->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), button, {}, at);
  }

  QString TimeText(qint64 secs) const {
    const ListTextFormat& f = model->TextFormat();
    const QDateTime t = QDateTime::fromSecsSinceEpoch(secs);
    const QString date = QString::fromStdString(f.DateSeparator);
    const QString time = QString::fromStdString(f.TimeSeparator);
    return t.toString(QStringLiteral("yy'%1'MM'%1'dd HH'%2'mm'%2'ss").arg(date, time));
  }

  QTemporaryDir settings;
  testing::TempTree mainTree;
  testing::TempTree subTree;
  test::RecordingMessageBoxes boxes;
  QString mainRoot;
  QString subRoot;
  std::unique_ptr<TFMMain> window;
  ListPage* page = nullptr;
  PathGridView* grid = nullptr;
  PathListModel* model = nullptr;
};

constexpr QRgb NoColour = 0;

QRgb Background(const QModelIndex& index) {
  const QVariant v = index.data(Qt::BackgroundRole);
  return v.isValid() ? v.value<QBrush>().color().rgb() & 0xFFFFFF : NoColour;
}

QRgb Foreground(const QModelIndex& index) {
  const QVariant v = index.data(Qt::ForegroundRole);
  return v.isValid() ? v.value<QBrush>().color().rgb() & 0xFFFFFF : NoColour;
}

TEST_F(ListPageTest, ScanFillsTheGridWithStatusesMarksTextsAndColours) {
  MakeStandardTrees();
  page->CKSubFolder()->setChecked(true);
  CounterPaints paints(page->LBCompare(), grid);
  Scan();

  struct Row {
    const char* Path;
    CompareStatus Status;
    const char16_t* Marks;
    qint64 MainTime;  // -1: no main side
    const char* MainSize;
    qint64 SubTime;
    const char* SubSize;
  };
  // After a scan the list runs from Z to A (sortcol 1, sortup).
  const Row expected[] = {
      {"g.txt", SubOnly, u"　 　 在", -1, "", T, "         4"},
      {"f.log", Same, u"　 ＝ 　", T, "         3", T, "         3"},
      {"d/e.txt", Same, u"　 ＝ 　", T, "         7", T, "         7"},
      {"d/", MainNewer, u"新 ＝ 　", T + 500, "         0", T, "         0"},
      {"c.txt", MainOnly, u"在 　 　", T, "     1@234", -1, ""},
      {"b.txt", MainNewer, u"新 ＞ 　", T + 100, "        30", T, "        20"},
      {"a.txt", SubNewer, u"　 ＝ 新", T, "        10", T + 200, "        10"},
  };
  const QString thousands = QString::fromStdString(model->TextFormat().ThousandsSeparator);
  ASSERT_EQ(model->rowCount(), 7);
  ASSERT_EQ(page->PathCount(), 7);
  const PathList& list = *window->State().PathList;
  for (int row = 0; row < 7; ++row) {
    const Row& e = expected[row];
    SCOPED_TRACE(e.Path);
    EXPECT_EQ(Cell(row, 0), QStringLiteral("%1").arg(row + 1, 4));
    EXPECT_EQ(Cell(row, 1), QString::fromUtf8(e.Path));
    EXPECT_EQ(Cell(row, 2), e.MainTime < 0 ? QString() : TimeText(e.MainTime));
    EXPECT_EQ(Cell(row, 3), QString::fromUtf8(e.MainSize).replace(QLatin1Char('@'), thousands));
    EXPECT_EQ(Cell(row, 4), QString::fromUtf16(e.Marks));
    EXPECT_EQ(Cell(row, 5), QString::fromUtf8(e.SubSize));
    EXPECT_EQ(Cell(row, 6), e.SubTime < 0 ? QString() : TimeText(e.SubTime));
    EXPECT_EQ(list[row].Status, e.Status);
    EXPECT_EQ(list[row].ListPos, row);
  }

  // Colours: the side columns, folder rows in every column but 0, grey text on ignored rows.
  const QRgb mainBlue = 0xE8F8FF, subCream = 0xFFFBF0, folderGreen = 0xDEFFDE, grey = 0xB0B0B0;
  const QRgb fileColumns[] = {NoColour, NoColour, mainBlue, mainBlue, NoColour, subCream, subCream};
  for (int c = 0; c < 7; ++c) {
    SCOPED_TRACE(c);
    EXPECT_EQ(Background(model->index(6, c)), fileColumns[c]);
    EXPECT_EQ(Foreground(model->index(6, c)), NoColour);
    EXPECT_EQ(Background(model->index(3, c)), c == 0 ? NoColour : folderGreen);
    EXPECT_EQ(Background(model->index(1, c)), fileColumns[c]);
    EXPECT_EQ(Foreground(model->index(1, c)), c == 0 ? NoColour : grey);
  }

  EXPECT_EQ(Headers(),
            (QStringList{"", "ファイルパス△", "M更新日", "Mサイズ", "比較", "Sサイズ", "S更新日"}));
  EXPECT_EQ(page->LBCompare()->text(), QStringLiteral("全パス=7　ディレクトリ=1  同じパス=2    "));
  EXPECT_EQ(page->LBCompare()->palette().color(QPalette::WindowText),
            page->palette().color(QPalette::WindowText));
  EXPECT_EQ(page->LBListMain()->text(), QStringLiteral(" ") + mainRoot);
  EXPECT_EQ(page->LBListSub()->text(), QStringLiteral(" ") + subRoot);
  EXPECT_EQ(grid->currentIndex().row(), 0);
  EXPECT_EQ(grid->selectionModel()->selectedRows().size(), 1);
  EXPECT_FALSE(grid->testAttribute(Qt::WA_SetCursor));

  // While it scanned and sorted, the counter was painted dimmed over the busy grid.
  bool sawScanCounter = false, sawSortCounter = false;
  for (const auto& paint : paints.Seen) {
    if (paint.Text.contains(QStringLiteral("ソート中"))) {
      sawSortCounter = true;
      EXPECT_EQ(paint.Text, QStringLiteral("全パス=7　ディレクトリ=1  同じパス=2　ソート中=0%"));
    } else if (paint.Text.startsWith(QStringLiteral("全パス="))) {
      sawScanCounter = true;
    } else {
      continue;
    }
    EXPECT_NE(paint.Colour, page->palette().color(QPalette::WindowText));
    EXPECT_GE(Contrast(paint.Colour, page->palette().color(QPalette::Window)), 4.5)
        << paint.Text.toStdString();
    EXPECT_EQ(paint.GridCursor, Qt::WaitCursor);
  }
  EXPECT_TRUE(sawScanCounter);
  EXPECT_TRUE(sawSortCounter);
  EXPECT_TRUE(boxes.Calls.empty());
}

TEST_F(ListPageTest, NamesOfMixedEncodingsShowDecodedOneByOne) {
  // A UTF-8 folder holding a CP932 file, below a main root whose last name is CP932 too; decoded
  // as one text, the row read "蝣ｱ蜻頑嶌/あ.txt". A line break in a name must not break the row.
  const std::string cp932A = "\x82\xA0";
  const std::string root = mainTree.PathOf("報告書/" + cp932A);
  mainTree.File("報告書/" + cp932A + "/報告書/" + cp932A + ".txt", "x", T);
  mainTree.File("報告書/" + cp932A + "/a\nb.txt", "x", T);
  subTree.File("報告書/" + cp932A + ".txt", "x", T);
  FilterSet filter;
  filter.Name = "すべて";
  filter.SelectPatterns = PatternList{"*"};
  ScanOptions options;
  options.SubFolder = true;
  page->UpdatePathList(root, subTree.Root(), filter, options);

  // Z to A: the sort compares what the rows show.
  EXPECT_EQ(PathColumn(), (QStringList{QStringLiteral("報告書/あ.txt"), QStringLiteral("報告書/"),
                                       QStringLiteral("a␊b.txt")}));
  EXPECT_EQ(window->State().Shown.EntryAt(0)->Status, Same);
  EXPECT_EQ(page->LBListMain()->text(),
            QStringLiteral(" ") + mainRoot + QStringLiteral("/報告書/あ"));
}

TEST_F(ListPageTest, HeaderClicksSortByColumnAndFlipTheDirection) {
  MakeStandardTrees();
  page->CKSubFolder()->setChecked(true);
  Scan();
  ASSERT_EQ(PathColumn(),
            (QStringList{"g.txt", "f.log", "d/e.txt", "d/", "c.txt", "b.txt", "a.txt"}));

  ClickHeader(1);
  EXPECT_EQ(page->SortCol(), 1);
  EXPECT_FALSE(page->SortUp());
  EXPECT_EQ(PathColumn(),
            (QStringList{"a.txt", "b.txt", "c.txt", "d/", "d/e.txt", "f.log", "g.txt"}));
  EXPECT_EQ(Headers()[1], QStringLiteral("ファイルパス▽"));

  // Main time, direction kept (largest first); equal times keep the order just shown, and the
  // entry without a main side comes last.
  ClickHeader(2);
  EXPECT_EQ(page->SortCol(), 2);
  EXPECT_FALSE(page->SortUp());
  EXPECT_EQ(PathColumn(),
            (QStringList{"d/", "b.txt", "a.txt", "c.txt", "d/e.txt", "f.log", "g.txt"}));
  EXPECT_EQ(Headers()[1], QStringLiteral("ファイルパス"));
  EXPECT_EQ(Headers()[2], QStringLiteral("M更新日▽"));

  // Any button sorts: a right click on the same header flips the direction back and forth.
  ClickHeader(2, Qt::RightButton);
  EXPECT_TRUE(page->SortUp());
  ClickHeader(2, Qt::MiddleButton);
  EXPECT_FALSE(page->SortUp());

  // The row number column re-sorts with everything unchanged.
  ClickHeader(0);
  EXPECT_EQ(page->SortCol(), 2);
  EXPECT_EQ(PathColumn(),
            (QStringList{"d/", "b.txt", "a.txt", "c.txt", "d/e.txt", "f.log", "g.txt"}));

  ClickHeader(2);
  EXPECT_TRUE(page->SortUp());
  EXPECT_EQ(PathColumn(),
            (QStringList{"a.txt", "c.txt", "d/e.txt", "f.log", "b.txt", "d/", "g.txt"}));
  EXPECT_EQ(grid->currentIndex().row(), 0);
  EXPECT_TRUE(boxes.Calls.empty());
}

TEST_F(ListPageTest, FolderTimeOptionResortsAndRemarksWithoutAScan) {
  MakeStandardTrees();
  page->CKSubFolder()->setChecked(true);
  Scan();
  ASSERT_EQ(Cell(3, 4), QStringLiteral("新 ＝ 　"));
  // Disturb the order and the disk: the click must sort again but not scan again.
  PathList& list = *window->State().PathList;
  std::swap(list[0], list[6]);
  ASSERT_TRUE(QFile::remove(Main("c.txt")));
  QSignalSpy refresh(page, &ListPage::RefreshRequested);

  page->CKDirIgnore()->click();
  EXPECT_EQ(refresh.count(), 0);
  EXPECT_EQ(PathColumn(),
            (QStringList{"g.txt", "f.log", "d/e.txt", "d/", "c.txt", "b.txt", "a.txt"}));
  EXPECT_EQ(Cell(3, 4), QStringLiteral("　 ＝ 　"));
  EXPECT_EQ(list[3].Status, MainNewer) << "the status stays that of the last scan";
  EXPECT_EQ(window->focusWidget(), grid);

  page->CKDirIgnore()->click();
  EXPECT_EQ(Cell(3, 4), QStringLiteral("新 ＝ 　"));
}

TEST_F(ListPageTest, ScanOptionsAskForARefreshAndFolderHidingDropsFolderRows) {
  MakeStandardTrees();
  QSignalSpy refresh(page, &ListPage::RefreshRequested);
  for (QCheckBox* box : {page->CKSubFolder(), page->CKOneSideDir(), page->CKDirHide()}) {
    box->click();
    EXPECT_EQ(refresh.count(), 1) << box->objectName().toStdString();
    refresh.clear();
  }
  EXPECT_EQ(page->CheckedScanOptions().SubFolder, true);
  EXPECT_EQ(page->CheckedScanOptions().OneSideDir, true);
  EXPECT_EQ(page->CheckedScanOptions().DirIgnore, false);
  EXPECT_EQ(page->CheckedScanOptions().CaseInsensitivePairing, false);
  EXPECT_EQ(page->CheckedScanOptions().AttrMask, 49u);

  page->CKOneSideDir()->setChecked(false);
  Scan();  // what the refresh of the list tab runs
  EXPECT_EQ(PathColumn(), (QStringList{"g.txt", "f.log", "d/e.txt", "c.txt", "b.txt", "a.txt"}));
  EXPECT_EQ(page->LBCompare()->text(), QStringLiteral("全パス=6　ディレクトリ=1  同じパス=2    "));

  // In the window the request rescans the folder tab's pair; with rows shown, the grid takes the
  // focus after it.
  window->Folders().STVMain()->SelectPath(mainRoot.toStdString());
  window->Folders().STVSub()->SelectPath(subRoot.toStdString());
  QApplication::setActiveWindow(window.get());
  window->PageControl1()->setFocus();
  page->CKSubFolder()->click();
  EXPECT_EQ(refresh.count(), 1);
  EXPECT_GT(page->PathCount(), 0);
  EXPECT_EQ(window->focusWidget(), grid);
}

TEST_F(ListPageTest, AnEmptyListTakesWheelAndHeaderClicksQuietly) {
  QWheelEvent wheel(QPointF(20, 20), grid->viewport()->mapToGlobal(QPointF(20, 20)), QPoint(),
                    QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(grid->viewport(), &wheel);
  ClickHeader(3);
  EXPECT_EQ(page->SortCol(), 3);
  page->CKDirIgnore()->click();
  EXPECT_EQ(model->rowCount(), 0);
  EXPECT_FALSE(grid->currentIndex().isValid());

  // Two empty folders: no rows, every count 0.
  Scan();
  EXPECT_EQ(model->rowCount(), 0);
  EXPECT_EQ(page->LBCompare()->text(), QStringLiteral("全パス=0　ディレクトリ=0  同じパス=0    "));
  QApplication::sendEvent(grid->viewport(), &wheel);
  ClickHeader(1);
  EXPECT_FALSE(grid->currentIndex().isValid());
  EXPECT_TRUE(boxes.Calls.empty());
}

TEST_F(ListPageTest, AnInvalidPatternIsShownAndLeavesAnEmptyGrid) {
  MakeStandardTrees();
  Scan();
  ASSERT_GT(model->rowCount(), 0);

  FilterSet broken = AllFilesIgnoringLogs();
  broken.HidePatterns = PatternList{"[c-a]"};
  Scan(broken);
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Kind, QStringLiteral("Error"));
  EXPECT_EQ(boxes.Calls[0].Text,
            QStringLiteral("5 番目の文字（'[c-a]'）は正しくないマスク文字です"));
  EXPECT_EQ(model->rowCount(), 0);
  EXPECT_EQ(page->PathCount(), 0);
  EXPECT_FALSE(grid->currentIndex().isValid());
  EXPECT_FALSE(grid->testAttribute(Qt::WA_SetCursor));
  EXPECT_EQ(grid->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(page->LBCompare()->text(), QStringLiteral("全パス=0　ディレクトリ=0  同じパス=0    "));
  EXPECT_EQ(page->LBCompare()->palette().color(QPalette::WindowText),
            page->palette().color(QPalette::WindowText));
}

// A root whose stick is gone, or a folder that cannot be listed, would make every file of the other
// side look one-sided: each is logged with its reason and one message box gives their count.
TEST_F(ListPageTest, FoldersTheScanCouldNotReadAreLoggedAndCountedInOneMessage) {
  MakeStandardTrees();
  window->MsgBox().clear();
  const std::string unplugged = QFile::encodeName(subRoot).toStdString() + "/unplugged";
  page->UpdatePathList(QFile::encodeName(mainRoot).toStdString(), unplugged,
                       AllFilesIgnoringLogs());

  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Kind, QStringLiteral("Error"));
  EXPECT_EQ(boxes.Calls[0].Text, QString::fromStdString(UnreadableFoldersMessage(1)));
  EXPECT_TRUE(boxes.Calls[0].Text.startsWith(QStringLiteral("1個のフォルダを読めませんでした。")));
  const QStringList log =
      window->MsgBox().toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  ASSERT_EQ(log.size(), 1);
  EXPECT_EQ(log[0], QString::fromStdString(unplugged) +
                        QStringLiteral(": フォルダを開けません (No such file or directory)"));
  EXPECT_GT(model->rowCount(), 0) << "the other side is still listed";
}

// During the scan and the sort the window gets its paint and system events at the counter's pace,
// so the desktop does not mark it as not responding; meanwhile nothing reads the half-built list:
// the grid is detached from it, a rescan or a re-sort are ignored, and closing the
// window waits for the end of the scan. (Commands ask the same guard; see the list commands.)
TEST_F(ListPageTest, ScanServesTheWindowButNothingTouchesTheHalfBuiltList) {
  MakeStandardTrees();
  page->CKSubFolder()->setChecked(true);
  bool ranDuringTheScan = false;
  int rowsSeen = -1;
  QTimer::singleShot(0, [&] {
    ranDuringTheScan = window->State().ListGuard.IsHeld();
    rowsSeen = model->rowCount();
    page->UpdatePathList("", "", AllFilesIgnoringLogs());  // would empty the list
    ClickHeader(2);
    window->close();
    EXPECT_TRUE(window->isVisible()) << "closed in the middle of the scan";
  });
  Scan();
  EXPECT_TRUE(ranDuringTheScan);
  EXPECT_EQ(rowsSeen, 0) << "the grid showed the half-built list";
  EXPECT_EQ(model->rowCount(), 7) << "the rescan ran inside the scan";
  EXPECT_EQ(page->SortCol(), 1) << "the header click sorted inside the scan";
  EXPECT_FALSE(window->isVisible()) << "the close asked for meanwhile was not done";
  EXPECT_FALSE(window->State().SharedListsAlive());
}

// A list of `count` files, filled into the grid without a scan.
void FillWithFiles(TFMMain& window, int count) {
  PathList& list = window.State().EnsurePathList();
  list.Clear();
  for (int i = 0; i < count; ++i) {
    PathEntry e;
    e.Path = "file" + std::to_string(100000 + i);
    e.Attr = AttrArchive;
    e.MainExists = true;
    e.MainTime = 45000;
    e.MainSize = i;
    e.Status = MainOnly;
    list.Entries.push_back(e);
  }
  list.PathCount = count;
  window.ListTab()->FillPathGrid();
}

void Wheel(QWidget* viewport, int delta) {
  QWheelEvent wheel(QPointF(30, 30), viewport->mapToGlobal(QPointF(30, 30)), QPoint(),
                    QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(viewport, &wheel);
}

TEST_F(ListPageTest, OneWheelNotchMovesElevenRowsOnAListOf500With30Visible) {
  FillWithFiles(*window, 500);
  // Make room for exactly 30 whole rows.
  for (int attempt = 0; attempt < 3 && FullyVisibleRows(*grid) != 30; ++attempt) {
    window->resize(window->width(), window->height() + 30 * 17 + 8 - grid->viewport()->height());
    QApplication::processEvents();
  }
  ASSERT_EQ(FullyVisibleRows(*grid), 30);
  ASSERT_EQ(grid->currentIndex().row(), 0);

  Wheel(grid->viewport(), -120);
  EXPECT_EQ(grid->currentIndex().row() + 1, 12) << "10 by the step, 1 by the grid";
  EXPECT_EQ(grid->selectionModel()->selectedRows().size(), 1);
  EXPECT_TRUE(grid->selectionModel()->isRowSelected(11));

  Wheel(grid->viewport(), 120);
  EXPECT_EQ(grid->currentIndex().row() + 1, 1);

  // Two notches at once, then far past the end: the last row, no further.
  Wheel(grid->viewport(), -240);
  EXPECT_EQ(grid->currentIndex().row() + 1, 23);
  for (int i = 0; i < 60; ++i) Wheel(grid->viewport(), -120);
  EXPECT_EQ(grid->currentIndex().row(), 499);
  const QRect last = grid->visualRect(model->index(499, 1));
  EXPECT_TRUE(grid->viewport()->rect().contains(last)) << "the current row is scrolled into view";
}

TEST_F(ListPageTest, RowMenuHoldsTheCommandsInOrderAndOpensBelowRightOfThePointer) {
  const std::pair<const char*, const char16_t*> items[] = {
      {"PMMNewMainToSub", u"メインの最新 → サブへ コピー"},
      {"PMMNewSubToMain", u"メインへ ← サブの最新 コピー"},
      {"N1", nullptr},
      {"PMMMainToSub", u"メインの全部 → サブへ コピー"},
      {"PMMSubToMain", u"メイン へ ← サブの全部 コピー"},
      {"N2", nullptr},
      {"PMMDelFileMain", u"メインのファイルを削除する"},
      {"PMMDelFileSub", u"サブのファイルを削除する"},
      {"PMMDelFileAll", u"両方のファイルを削除する"},
      {"N3", nullptr},
      {"PMMUpdateList", u"最新の状態に更新する"},
      {"N4", nullptr},
      {"PMMUndo", u"元に戻す"},
      {"N5", nullptr},
      {"PMMOpenMain", u"既定のアプリで開く（メイン）"},
      {"PMMOpenSub", u"既定のアプリで開く（サブ）"},
      {"PMMOpenFolder", u"フォルダを開く"},
  };
  QMenu* menu = page->PMSGPath();
  ASSERT_EQ(menu->objectName(), QStringLiteral("PMSGPath"));
  const QList<QAction*> actions = menu->actions();
  ASSERT_EQ(actions.size(), static_cast<qsizetype>(std::size(items)));
  for (qsizetype i = 0; i < actions.size(); ++i) {
    EXPECT_EQ(actions[i]->objectName(), QLatin1String(items[i].first));
    EXPECT_EQ(actions[i]->isSeparator(), items[i].second == nullptr);
    if (items[i].second) {
      EXPECT_EQ(actions[i]->text(), QString::fromUtf16(items[i].second));
    }
  }
  EXPECT_EQ(page->MenuAction("PMMNewMainToSub"), actions[0]);
  EXPECT_EQ(page->MenuAction("PMMSubToMain"), actions[4]);
  EXPECT_EQ(page->MenuAction("PMMDelFileAll"), actions[8]);
  EXPECT_EQ(page->MenuAction("PMMUpdateList"), actions[10]);

  // Room for the menu on the screen, which would otherwise move it.
  window->move(0, 0);
  QApplication::processEvents();
  FillWithFiles(*window, 20);
  grid->selectionModel()->select(QItemSelection(model->index(1, 0), model->index(2, 6)),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);

  // Below the last row: no menu.
  const QPoint empty(50, 20 * 17 + 20);
  ASSERT_LT(empty.y(), grid->viewport()->height());
  QTest::mousePress(grid->viewport(), Qt::RightButton, {}, empty);
  QTest::mouseRelease(grid->viewport(), Qt::RightButton, {}, empty);
  EXPECT_FALSE(menu->isVisible());

  const QPoint onRow = grid->visualRect(model->index(2, 0)).center();
  QTest::mousePress(grid->viewport(), Qt::RightButton, {}, onRow);
  QTest::mouseRelease(grid->viewport(), Qt::RightButton, {}, onRow);
  EXPECT_TRUE(menu->isVisible());
  EXPECT_EQ(menu->pos(), grid->viewport()->mapToGlobal(onRow) + QPoint(8, 16));
  // The commands act on the rows selected before; a right click inside them leaves them alone.
  const QModelIndexList selected = grid->selectionModel()->selectedRows();
  ASSERT_EQ(selected.size(), 2);
  EXPECT_TRUE(grid->selectionModel()->isRowSelected(1));
  EXPECT_TRUE(grid->selectionModel()->isRowSelected(2));
  menu->hide();

  QSignalSpy refresh(page, &ListPage::RefreshRequested);
  window->PageControl1()->setFocus();
  page->MenuAction("PMMUpdateList")->trigger();
  EXPECT_EQ(refresh.count(), 1);
  EXPECT_EQ(window->focusWidget(), grid);
  EXPECT_TRUE(boxes.Calls.empty());
}

TEST_F(ListPageTest, ModelPassesTheItemModelTesterWhilePopulatedAndRefilled) {
  MakeStandardTrees();
  page->CKSubFolder()->setChecked(true);
  Scan();
  ASSERT_EQ(model->rowCount(), 7);
  QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  ClickHeader(2);
  page->CKDirHide()->setChecked(true);
  Scan();
  FillWithFiles(*window, 50);
  EXPECT_EQ(model->rowCount(), 50);
}

TEST_F(ListPageTest, GridHasTheDesignedRowsColumnsAndSelection) {
  EXPECT_EQ(grid->objectName(), QStringLiteral("SGPath"));
  EXPECT_EQ(grid->verticalHeader()->defaultSectionSize(), 17);
  EXPECT_EQ(grid->font().pixelSize(), 12);
  EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);
  EXPECT_EQ(grid->selectionMode(), QAbstractItemView::ContiguousSelection);
  EXPECT_EQ(grid->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(model->columnCount(), 7);

  // The size columns (3 and 5) grow with the font to show the largest sizes whole.
  const int shown[] = {38, -1, 106, 66, 52, 66, 106};
  int others = 0;
  for (int c = 0; c < 7; ++c)
    if (shown[c] >= 0) {
      if (c == 3 || c == 5) {
        EXPECT_GE(grid->columnWidth(c), shown[c]) << c;
      } else {
        EXPECT_EQ(grid->columnWidth(c), shown[c]) << c;
      }
      others += grid->columnWidth(c);
    }
  EXPECT_EQ(grid->columnWidth(1), grid->viewport()->width() - others);

  FillWithFiles(*window, 200);  // the scroll bar appears and narrows the viewport
  QApplication::processEvents();
  EXPECT_EQ(grid->columnWidth(1), grid->viewport()->width() - others);
  window->resize(900, window->height());
  QApplication::processEvents();
  EXPECT_EQ(grid->columnWidth(1), grid->viewport()->width() - others);
  EXPECT_GT(grid->columnWidth(1), 300);
  EXPECT_EQ(grid->rowHeight(0), 17);
  grid->scrollToBottom();
  QApplication::processEvents();
  EXPECT_FALSE(test::SaveScreenshot(*window, QStringLiteral("list_page_scrolled")).isEmpty());
}

TEST_F(ListPageTest, SizesOfTerabytesFitAtTheFirstStartAndDraggedWidthsComeBack) {
  FillWithFiles(*window, 3);
  PathList& list = *window->State().PathList;
  list[0].MainSize = 5'000'000'000;
  list[0].SubExists = true;
  list[0].SubSize = 9'999'999'999'999;
  page->FillPathGrid();
  const QFontMetrics metrics(grid->font());
  for (const int column : {3, 5}) {
    const QString text = Cell(0, column);
    ASSERT_TRUE(text.contains(column == 3 ? u"5,000,000,000"_qs : u"9,999,999,999,999"_qs))
        << text.toStdString();
    // The cell draws 2 pixels in and clips at its edge.
    EXPECT_LE(metrics.horizontalAdvance(text.trimmed()) + 2, grid->columnWidth(column)) << column;
  }
  EXPECT_EQ(grid->horizontalHeader()->sectionResizeMode(1), QHeaderView::Fixed);
  for (const int column : {0, 2, 3, 4, 5, 6})
    EXPECT_EQ(grid->horizontalHeader()->sectionResizeMode(column), QHeaderView::Interactive);

  // Dragged: the path column gives the room, and the widths outlive a restart.
  const int dragged[] = {50, 0, 120, 140, 60, 130, 90};
  for (const int column : {0, 2, 3, 4, 5, 6}) grid->setColumnWidth(column, dragged[column]);
  QApplication::processEvents();
  EXPECT_EQ(grid->columnWidth(1), grid->viewport()->width() - 590);
  ASSERT_TRUE(window->close());
  window.reset();
  QFile file(settings.filePath(QStringLiteral("tarvex.ini")));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  // The path column's width is stored too but gives way to the rest at the next start.
  EXPECT_TRUE(QString::fromUtf8(file.readAll())
                  .contains(QRegularExpression(u"listcolwidths=50,\\d+,120,140,60,130,90\n"_qs)));

  window = StartMainWindow(settings.filePath(QStringLiteral("tarvex.ini")), {.Boxes = &boxes});
  page = window->ListTab();
  grid = page->SGPath();
  model = page->PathModel();
  Tabs()->setCurrentWidget(window->TSList());
  QApplication::processEvents();
  for (const int column : {0, 2, 3, 4, 5, 6})
    EXPECT_EQ(grid->columnWidth(column), dragged[column]) << column;
  EXPECT_EQ(grid->columnWidth(1), grid->viewport()->width() - 590);
}

TEST(ListColumnWidthsSetting, AnythingButAListOfPositiveWidthsIsIgnored) {
  struct Case {
    const char* stored;
    std::vector<int> widths;
  };
  const Case cases[] = {
      {"50,0,120,140,60,130,90", {}},  // 0 is no width: the whole list is void
      {"50,1,120,140,60,130,90", {50, 1, 120, 140, 60, 130, 90}},
      {"50,x,120", {}},
      {"50,,120", {}},
      {"", {}},
  };
  for (const Case& c : cases) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("tarvex.ini"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("[option]\nlistcolwidths=") + c.stored + "\n");
    file.close();
    test::RecordingMessageBoxes boxes;
    auto window = StartMainWindow(path, {.Boxes = &boxes});
    EXPECT_EQ(window->State().Settings.listcolwidths, c.widths) << c.stored;
  }
}

TEST_F(ListPageTest, TheScanCounterIsReadableOnADarkPaletteToo) {
  MakeStandardTrees();
  QPalette dark;
  dark.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
  dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
  window->setPalette(dark);
  CounterPaints paints(page->LBCompare(), grid);
  Scan();
  int busy = 0;
  for (const auto& paint : paints.Seen) {
    if (paint.GridCursor != Qt::WaitCursor || paint.Text == u"List Up Counter"_qs) continue;
    ++busy;
    EXPECT_GE(Contrast(paint.Colour, dark.color(QPalette::Window)), 4.5)
        << paint.Text.toStdString();
  }
  EXPECT_GT(busy, 0);
}

// 中止 beside the counter and Esc stop a scan; the list, the grid and the folder labels stay as
// they were, and the log says it.
TEST_F(ListPageTest, AStoppedScanKeepsTheOldListShown) {
  MakeStandardTrees();
  Scan();
  const int rows = model->rowCount();
  ASSERT_GT(rows, 0);
  const QString firstPath = Cell(0, 1);
  const QString counter = page->LBCompare()->text();
  EXPECT_FALSE(page->BTScanCancel()->isVisible());
  for (int i = 0; i < 20; ++i) subTree.File("more" + std::to_string(i) + ".txt", "m", T);

  const std::pair<const char*, std::function<void()>> stoppers[] = {
      {"中止", [&] { QTest::mouseClick(page->BTScanCancel(), Qt::LeftButton); }},
      {"Esc", [&] { QTest::keyClick(grid, Qt::Key_Escape); }},
  };
  for (const auto& [name, stop] : stoppers) {
    SCOPED_TRACE(name);
    window->MsgBox().clear();
    QSignalSpy refresh(page, &ListPage::RefreshRequested);
    bool buttonShown = false;
    QTimer::singleShot(0, [&, &stop = stop] {
      buttonShown = page->BTScanCancel()->isVisible();
      // Other input meanwhile is dropped: it would act on a list being replaced.
      QTest::mouseClick(page->CKSubFolder(), Qt::LeftButton);
      EXPECT_EQ(model->rowCount(), rows) << "the old list is shown during the scan";
      test::SaveScreenshot(*window, QStringLiteral("list_scan_running"));
      stop();
    });
    Scan();
    EXPECT_TRUE(buttonShown);
    EXPECT_FALSE(page->BTScanCancel()->isVisible());
    EXPECT_FALSE(page->CKSubFolder()->isChecked());
    EXPECT_EQ(refresh.count(), 0);
    EXPECT_EQ(model->rowCount(), rows);
    EXPECT_EQ(window->State().PathList->PathCount, rows);
    EXPECT_EQ(Cell(0, 1), firstPath);
    EXPECT_EQ(page->LBCompare()->text(), counter);
    EXPECT_EQ(page->LBCompare()->palette().color(QPalette::WindowText),
              page->palette().color(QPalette::WindowText));
    EXPECT_TRUE(window->MsgBox().toPlainText().contains(u"スキャンを中止しました。"_qs));
    EXPECT_FALSE(window->State().ListGuard.IsHeld());
  }
  test::SaveScreenshot(*window, QStringLiteral("list_scan_stopped"));

  // Not stopped, the next scan shows the new files.
  Scan();
  EXPECT_EQ(model->rowCount(), rows + 20);
}

TEST_F(ListPageTest, OnlyTheUsersFilterChoiceIsPassedOn) {
  QComboBox* choice = page->CBFilterChoice();
  QSignalSpy changed(page, &ListPage::FilterChoiceChanged);
  QSignalSpy refresh(page, &ListPage::RefreshRequested);
  // The window copies the filter names in and selects one: no signal.
  window->State().Settings.FilterNames = ComboItems{{"すべて", "汎用", "画像"}, 1};
  window->FilterNames().Sync();
  ASSERT_EQ(choice->currentIndex(), 1);
  EXPECT_EQ(changed.count(), 0);

  choice->setFocus();
  QTest::keyClick(choice, Qt::Key_Down);
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed[0][0].toInt(), 2);
  EXPECT_EQ(refresh.count(), 0) << "the window's handler decides about the refresh";
}

TEST(ListPageBeforeShow, GridHasTheDesignWidths) {
  QTemporaryDir folder;
  test::RecordingMessageBoxes boxes;
  TFMMain window(folder.filePath(QStringLiteral("tarvex.ini")), {.Boxes = &boxes});
  const int design[] = {36, 163, 100, 67, 36, 68, 90};
  for (int c = 0; c < 7; ++c) EXPECT_EQ(window.ListTab()->SGPath()->columnWidth(c), design[c]);
  EXPECT_EQ(window.ListTab()->LBCompare()->text(), QStringLiteral("List Up Counter"));
}

// Every control of the top panel at its full size, inside the panel and clear of the others.
void ExpectTopPanelFits(ListPage* page, PathGridView* grid) {
  QWidget* panel = page->findChild<QWidget*>(QStringLiteral("PNListTop"));
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->height(), 109);
  EXPECT_EQ(grid->geometry().top(), 109);

  const std::pair<const char*, const char16_t*> captions[] = {
      {"LBListMainCaption", u"Main Folder"},
      {"LBListSubCaption", u"Sub Folder"},
      {"LBFilterChoice", u"フィルタ名"},
      {"BTExcelOut", u"一覧をExcel に出力"},
      {"CKDirHide", u"フォルダを表示しない"},
      {"CKSubFolder", u"サブフォルダを展開する"},
      {"CKOneSideDir", u"片方しかないフォルダ内のパスは表示しない"},
      {"CKDirIgnore", u"フォルダの時差を無視する"},
  };
  std::vector<QWidget*> widgets;
  for (const auto& [name, caption] : captions) {
    QWidget* w = panel->findChild<QWidget*>(QLatin1String(name));
    ASSERT_NE(w, nullptr) << name;
    const QString text = w->property("text").toString();
    EXPECT_EQ(text, QString::fromUtf16(caption)) << name;
    EXPECT_GE(w->width(), w->sizeHint().width()) << name;
    EXPECT_GE(w->height(), w->minimumSizeHint().height()) << name;
    widgets.push_back(w);
  }
  for (const char* name : {"LBListMain", "LBListSub", "LBCompare", "CBFilterChoice"}) {
    QWidget* w = panel->findChild<QWidget*>(QLatin1String(name));
    ASSERT_NE(w, nullptr) << name;
    EXPECT_GE(w->height(), w->minimumSizeHint().height()) << name;
    EXPECT_GT(w->width(), 100) << name;
    widgets.push_back(w);
  }
  for (std::size_t i = 0; i < widgets.size(); ++i) {
    EXPECT_TRUE(panel->rect().contains(widgets[i]->geometry()))
        << widgets[i]->objectName().toStdString();
    for (std::size_t j = i + 1; j < widgets.size(); ++j)
      EXPECT_FALSE(widgets[i]->geometry().intersects(widgets[j]->geometry()))
          << widgets[i]->objectName().toStdString() << " / "
          << widgets[j]->objectName().toStdString();
  }
  const QColor mainBlue = page->LBListMain()->palette().color(QPalette::Window);
  EXPECT_EQ(mainBlue, QColor(0xE8, 0xF8, 0xFF));
  EXPECT_EQ(page->LBListSub()->palette().color(QPalette::Window), QColor(0xFF, 0xFB, 0xF0));
}

TEST_F(ListPageTest, TopPanelFitsAt720PixelsWithNothingClippedOrOverlapping) {
  ASSERT_EQ(window->width(), 720);
  ExpectTopPanelFits(page, grid);
}

TEST_F(ListPageTest, TopPanelFitsAtTheMinimumWindowSize) {
  window->resize(300, 200);
  QApplication::processEvents();
  ASSERT_EQ(window->size(), QSize(600, 400));
  ExpectTopPanelFits(page, grid);
}

TEST_F(ListPageTest, OptionsAndSortStateComeFromTheSettingsAndGoBack) {
  window.reset();
  {
    QFile file(settings.filePath(QStringLiteral("tarvex.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "[option]\nsortcol=3\nsortup=0\nsubfolder=1\nonesidedir=1\ndirignore=0\ndirhide=1\n");
  }
  window = StartMainWindow(settings.filePath(QStringLiteral("tarvex.ini")), {.Boxes = &boxes});
  page = window->ListTab();
  EXPECT_EQ(page->SortCol(), 3);
  EXPECT_FALSE(page->SortUp());
  EXPECT_TRUE(page->CKSubFolder()->isChecked());
  EXPECT_TRUE(page->CKOneSideDir()->isChecked());
  EXPECT_FALSE(page->CKDirIgnore()->isChecked());
  EXPECT_TRUE(page->CKDirHide()->isChecked());
  EXPECT_EQ(page->PathModel()->headerData(3, Qt::Horizontal).toString(),
            QStringLiteral("Mサイズ▽"));

  page->CKSubFolder()->setChecked(false);
  page->CKDirIgnore()->setChecked(true);
  grid = page->SGPath();
  model = page->PathModel();
  Tabs()->setCurrentWidget(window->TSList());
  ClickHeader(6);
  ASSERT_TRUE(window->close());
  const Settings& stored = window->State().Settings;
  EXPECT_EQ(stored.sortcol, 6);
  EXPECT_FALSE(stored.sortup);
  EXPECT_FALSE(stored.subfolder);
  EXPECT_TRUE(stored.onesidedir);
  EXPECT_TRUE(stored.dirignore);
  EXPECT_TRUE(stored.dirhide);

  QFile file(settings.filePath(QStringLiteral("tarvex.ini")));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(file.readAll());
  for (const char* line : {"sortcol=6", "sortup=0", "subfolder=0", "dirignore=1", "dirhide=1"})
    EXPECT_TRUE(text.contains(QLatin1String(line))) << line << "\n" << text.toStdString();
}

TEST_F(ListPageTest, ScreenshotsWithJapaneseNames) {
  mainTree.File("報告書.txt", Content(12345), T);
  subTree.File("報告書.txt", Content(12000), T - 3600);
  mainTree.File("写真/夏休み_海辺の風景.jpg", Content(2456789), T);
  subTree.File("写真/夏休み_海辺の風景.jpg", Content(2456789), T);
  mainTree.File("資料/会議メモ（第三回）.docx", Content(5300), T + 86400);
  subTree.File("資料/古い議事録.txt", Content(880), T - 86400 * 40);
  mainTree.File("とても長いファイル名の例です_列の幅を超える長さを確かめるためのもの.txt",
                Content(1), T);
  mainTree.File("ログ/動作記録.log", Content(77), T);
  subTree.File("ログ/動作記録.log", Content(70), T);
  mainTree.SetTime("写真", T);
  subTree.SetTime("写真", T);
  page->CKSubFolder()->setChecked(true);
  page->CBFilterChoice()->addItems({QStringLiteral("すべて"), QStringLiteral("汎用")});
  Scan();
  ASSERT_GT(model->rowCount(), 8);
  grid->selectRow(2);
  QApplication::processEvents();
  EXPECT_FALSE(test::SaveScreenshot(*window, QStringLiteral("list_page_japanese")).isEmpty());

  ClickHeader(4);
  page->CKDirHide()->setChecked(true);
  Scan();
  QApplication::processEvents();
  EXPECT_FALSE(test::SaveScreenshot(*window, QStringLiteral("list_page_folders_hidden")).isEmpty());

  page->PMSGPath()->popup(grid->viewport()->mapToGlobal(QPoint(100, 40)) + QPoint(8, 16));
  QApplication::processEvents();
  EXPECT_FALSE(test::SaveScreenshot(*page->PMSGPath(), QStringLiteral("list_page_menu")).isEmpty());
  page->PMSGPath()->hide();
  EXPECT_TRUE(boxes.Calls.empty());
}

TEST_F(ListPageTest, MenuKeyAndShiftF10OpenTheRowMenuAtTheCurrentRow) {
  window->move(0, 0);
  QApplication::processEvents();
  FillWithFiles(*window, 20);
  QMenu* menu = page->PMSGPath();
  grid->selectionModel()->setCurrentIndex(
      model->index(3, 1), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  const QPoint rowTop =
      grid->viewport()->mapToGlobal(grid->visualRect(model->index(3, 1)).topLeft());
  const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {{Qt::Key_Menu, Qt::NoModifier},
                                                            {Qt::Key_F10, Qt::ShiftModifier}};
  for (const auto& [key, modifiers] : keys) {
    SCOPED_TRACE(key);
    QTest::keyClick(grid, key, modifiers);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->pos(), rowTop + QPoint(8, 16));
    EXPECT_EQ(menu->actions().front(), page->MenuAction("PMMNewMainToSub"));
    menu->hide();
  }
  QTest::keyClick(grid, Qt::Key_F10);  // F10 alone is not the menu
  EXPECT_FALSE(menu->isVisible());
  EXPECT_TRUE(grid->selectionModel()->isRowSelected(3));
}

TEST_F(ListPageTest, ACutCellShowsItsWholeTextAsATooltipAndColumnsCanBeWidened) {
  window->move(0, 0);
  FillWithFiles(*window, 3);
  PathList& list = *window->State().PathList;
  list[0].MainSize = 419430400;  // 419,430,400 needs more than 66 pixels
  list[1].Path = std::string(200, 'n');
  grid->setColumnWidth(3, 66);  // as narrow as a user may drag it
  page->FillPathGrid();
  QApplication::processEvents();
  // The tooltip's text, or nothing when the view declined to show one.
  const auto tipAt = [&](int row, int column) {
    const QRect cell = grid->visualRect(model->index(row, column));
    QHelpEvent help(QEvent::ToolTip, cell.center(), grid->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(grid->viewport(), &help);
    return help.isAccepted() && QToolTip::isVisible() ? QToolTip::text() : QString();
  };
  EXPECT_EQ(tipAt(0, 3), model->index(0, 3).data().toString());
  EXPECT_TRUE(tipAt(0, 3).contains(u"419,430,400"_qs));
  EXPECT_EQ(tipAt(1, 1), QString::fromStdString(std::string(200, 'n')));
  EXPECT_EQ(tipAt(2, 3), QString());  // a text that fits needs none
  EXPECT_EQ(tipAt(2, 1), QString());

  // Dragging a column wider takes the room from the path column, which still fills the rest.
  QHeaderView* header = grid->horizontalHeader();
  EXPECT_EQ(header->sectionResizeMode(1), QHeaderView::Fixed);
  EXPECT_EQ(header->sectionResizeMode(3), QHeaderView::Interactive);
  const int pathWidth = header->sectionSize(1);
  const int x = header->sectionViewportPosition(3) + header->sectionSize(3) - 1;
  QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
  QTest::mouseMove(header->viewport(), QPoint(x + 30, 5));
  QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(x + 30, 5));
  EXPECT_EQ(header->sectionSize(3), 66 + 30);
  EXPECT_EQ(header->sectionSize(1), pathWidth - 30);
  EXPECT_EQ(tipAt(0, 3), QString());  // now it fits
  QToolTip::hideText();
}

}  // namespace
}  // namespace tarvex
