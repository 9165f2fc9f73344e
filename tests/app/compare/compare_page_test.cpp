#include "app/compare/compare_page.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <unistd.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/compare/compare_grid_view.h"
#include "app/compare/compare_rows_model.h"
#include "app/compare/grid_sync.h"
#include "app/list/list_page.h"
#include "app/list/path_grid_view.h"
#include "app/log/qv_message_box.h"
#include "app/widgets/fixed_colours.h"
#include "app/widgets/grid_helpers.h"
#include "app/window/fm_main.h"
#include "app/window/program_start.h"
#include "core/textcompare/compare_navigation.h"
#include "support/dark_theme.h"
#include "support/qt_printers.h"
#include "support/recording_message_boxes.h"
#include "support/screenshot.h"
#include "support/temp_tree.h"

namespace tarvex {
namespace {

constexpr QRgb GapColour = 0xE0E0E0;
constexpr QRgb DifferingColour = 0xFFE0F0;
constexpr QRgb MainEqualColour = 0xF0FAFF;
constexpr QRgb SubEqualColour = 0xFFFBF0;
constexpr QRgb LineNoColour = 0xA0A0C0;

// Lines "prefix0\n" ... for count lines; a line listed in changed gets "changed " in front.
std::string NumberedLines(int count, const std::vector<int>& changed = {},
                          const std::string& prefix = "line ") {
  std::string text;
  for (int i = 0; i < count; ++i) {
    if (std::find(changed.begin(), changed.end(), i) != changed.end()) text += "changed ";
    text += prefix + std::to_string(i) + "\n";
  }
  return text;
}

std::string ToCp932(std::string_view utf8) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  std::string out(utf8.size() * 2, '\0');
  char* in = const_cast<char*>(utf8.data());
  std::size_t inLeft = utf8.size();
  char* dest = out.data();
  std::size_t outLeft = out.size();
  const std::size_t result = iconv(cd, &in, &inLeft, &dest, &outLeft);
  iconv_close(cd);
  EXPECT_NE(result, static_cast<std::size_t>(-1));
  out.resize(out.size() - outLeft);
  return out;
}

class ComparePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = StartMainWindow(settings.filePath(QStringLiteral("tarvex.ini")), {.Boxes = &boxes});
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    page = window->CompareTab();
    ASSERT_NE(page, nullptr);
    m = page->SGCompareM();
    s = page->SGCompareS();
    // The list tab's own refresh runs here, before the tests scan their trees.
    ShowTab(window->TSList());
  }

  void ShowTab(QWidget* tab) {
    window->PageControl1()->setCurrentWidget(tab);
    QApplication::processEvents();
  }

  // Both files at once: the same relative path on both sides.
  void Pair(const std::string& path, const std::string& mainText, const std::string& subText) {
    mainTree.File(path, mainText);
    subTree.File(path, subText);
  }

  void Scan() {
    FilterSet filter;
    filter.Name = "すべて";
    filter.SelectPatterns = PatternList{"*"};
    window->ListTab()->UpdatePathList(mainTree.Root(), subTree.Root(), filter);
  }

  int ListRowOf(const std::string& path) const {
    const ShownList& shown = window->State().Shown;
    for (int row = 0; row < shown.Rows(); ++row)
      if (shown.EntryAt(row)->Path == path) return row;
    ADD_FAILURE() << "no row " << path;
    return -1;
  }

  // The same as the user choosing the compare tab with the row of path current.
  void CompareRow(const std::string& path) {
    if (window->PageControl1()->currentWidget() == window->TSCompare())
      ShowTab(window->TSMessage());
    window->ListTab()->SelectRow(ListRowOf(path));
    ShowTab(window->TSCompare());
  }

  // Scans, then compares the one pair.
  void ComparePair(const std::string& mainText, const std::string& subText) {
    Pair("pair.txt", mainText, subText);
    Scan();
    CompareRow("pair.txt");
    ASSERT_TRUE(boxes.Calls.empty()) << boxes.Calls.front().Text.toStdString();
  }

  QStringList LogLines() const {
    QStringList lines = window->MsgBox().toPlainText().split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.pop_back();
    return lines;
  }

  static QString Cell(const QTableView* grid, int row, int column) {
    return grid->model()->index(row, column).data().toString();
  }
  static QRgb Background(const QTableView* grid, int row) {
    return grid->model()->index(row, 1).data(Qt::BackgroundRole).value<QBrush>().color().rgb() &
           0xFFFFFF;
  }
  // The colour the grid shows at the right end of the row, where no text reaches.
  static QRgb Painted(QTableView* grid, int row) {
    const QImage image = grid->viewport()->grab().toImage();
    const int y = (row - TopRow(*grid)) * CompareGridView::RowHeight + 8;
    return image.pixel(grid->viewport()->width() - 3, y) & 0xFFFFFF;
  }
  static bool IsHighlight(QTableView* grid, QRgb colour) {
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
      if ((grid->palette().color(group, QPalette::Highlight).rgb() & 0xFFFFFF) == colour)
        return true;
    return false;
  }

  void ClickButton(QPushButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    QApplication::processEvents();
  }
  void ClickRow(QTableView* grid, int row) {
    const QRect rect = grid->visualRect(grid->model()->index(row, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
    QApplication::processEvents();
  }

  QTemporaryDir settings;
  testing::TempTree mainTree;
  testing::TempTree subTree;
  test::RecordingMessageBoxes boxes;
  std::unique_ptr<TFMMain> window;
  ComparePage* page = nullptr;
  CompareGridView* m = nullptr;
  CompareGridView* s = nullptr;
};

TEST_F(ComparePageTest, ChecksInTheirOrderEachWithItsMessage) {
  Pair("base.txt", "a\nb\n", "a\nc\nd\n");
  Pair("ten.txt", "123456789\n", "12345678\n\n");
  Pair("eleven.txt", "1234567890\n", "12\n");
  Pair("sub-eleven.txt", "12\n", "1234567890\n");
  mainTree.File("main-only-eleven.txt", "1234567890\n");
  mainTree.File("main-only.txt", "x\n");
  subTree.File("sub-only.txt", "x\n");
  Pair("gone.txt", "x\n", "x\n");
  Pair("both-gone.txt", "x\n", "x\n");
  mainTree.Folder("dir");
  subTree.Folder("dir");
  Scan();
  ASSERT_EQ(::unlink(mainTree.PathOf("gone.txt").c_str()), 0);
  ASSERT_EQ(::unlink(mainTree.PathOf("both-gone.txt").c_str()), 0);
  ASSERT_EQ(::unlink(subTree.PathOf("both-gone.txt").c_str()), 0);
  window->State().Settings.compfmax = 10;

  CompareRow("base.txt");
  ASSERT_TRUE(boxes.Calls.empty());
  const QStringList shownBefore = {page->LBMainFileInf()->text(), page->LBSubFileInf()->text(),
                                   page->LBDiffCnt()->text()};
  // Text files also show their encoding and line ending.
  EXPECT_EQ(shownBefore,
            (QStringList{QStringLiteral("Main File 全 2行  UTF-8 LF"),
                         QStringLiteral("Sub File  全 3行  UTF-8 LF"), QStringLiteral("2行")}));

  // The limit and where to change it, as the setting holds it.
  const char* TooLarge =
      "ファイルサイズが大きすぎます。（上限 10 バイト: 設定ファイル option の compfmax）";
  const struct {
    std::string Path;
    const char* Message;  // null: compared
    bool Logged;          // the three log lines and the name labels
  } cases[] = {
      {"dir", "フォルダが選択されています。", false},
      {"eleven.txt", TooLarge, false},
      {"sub-eleven.txt", TooLarge, false},
      // The size check comes before the one for missing files.
      {"main-only-eleven.txt", TooLarge, false},
      {"main-only.txt", "サブファイルが在りません。", true},
      {"sub-only.txt", "メインファイルが在りません。", true},
      {"gone.txt", "メインファイルが在りません。", true},
      {"both-gone.txt", "メインファイルが在りません。", true},
      {"ten.txt", nullptr, true},  // exactly the limit
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Path);
    boxes.Calls.clear();
    const QStringList logBefore = LogLines();
    const QString nameBefore = page->LBMainDiffFileName()->text();
    CompareRow(c.Path);
    if (c.Message != nullptr) {
      ASSERT_EQ(boxes.Calls.size(), 1u);
      EXPECT_EQ(boxes.Calls[0].Kind, QStringLiteral("Information"));
      EXPECT_EQ(boxes.Calls[0].Text, QString::fromUtf8(c.Message));
      // The grids and the count labels keep the previous comparison.
      EXPECT_EQ(m->model()->rowCount(), 2);
      EXPECT_EQ(s->model()->rowCount(), 3);
      EXPECT_EQ((QStringList{page->LBMainFileInf()->text(), page->LBSubFileInf()->text(),
                             page->LBDiffCnt()->text()}),
                shownBefore);
    } else {
      EXPECT_TRUE(boxes.Calls.empty());
      EXPECT_EQ(page->LBDiffCnt()->text(), QStringLiteral("2行"));
      EXPECT_EQ(m->model()->rowCount(), 1);
    }
    const QStringList log = LogLines();
    if (!c.Logged) {
      EXPECT_EQ(log, logBefore);
      EXPECT_EQ(page->LBMainDiffFileName()->text(), nameBefore);
      continue;
    }
    const std::string mainPath = mainTree.PathOf(c.Path);
    const std::string subPath = subTree.PathOf(c.Path);
    ASSERT_EQ(log.size(), logBefore.size() + 3);
    EXPECT_EQ(log.mid(logBefore.size()),
              (QStringList{QString(),
                           QStringLiteral("テキストファイル比較：メイン　") +
                               QString::fromStdString(mainPath),
                           QStringLiteral("　　　　　　　　　　　　 ：サ ブ　") +
                               QString::fromStdString(subPath)}));
    EXPECT_EQ(page->MainComparePath(), mainPath);
    EXPECT_EQ(page->SubComparePath(), subPath);
    EXPECT_EQ(page->LBMainDiffFileName()->text(),
              QStringLiteral(" ") + QString::fromStdString(mainPath));
    EXPECT_EQ(page->LBSubDiffFileName()->text(),
              QStringLiteral(" ") + QString::fromStdString(subPath));
    EXPECT_EQ(page->LBMainDiffFileName()->width(), window->width() - 24);
  }
}

TEST_F(ComparePageTest, NoCurrentRowOrAnEmptyList) {
  Pair("a.txt", "a\n", "a\n");
  Scan();
  window->ListTab()->SGPath()->selectionModel()->clearCurrentIndex();
  const int logLines = static_cast<int>(LogLines().size());
  ShowTab(window->TSCompare());
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text, QStringLiteral("ファイルが選択されていません。"));

  // Nothing on either side: the list holds no entry.
  ShowTab(window->TSMessage());
  ASSERT_EQ(::unlink(mainTree.PathOf("a.txt").c_str()), 0);
  ASSERT_EQ(::unlink(subTree.PathOf("a.txt").c_str()), 0);
  Scan();
  ShowTab(window->TSCompare());
  ASSERT_EQ(boxes.Calls.size(), 2u);
  EXPECT_EQ(boxes.Calls[1].Text, QStringLiteral("ファイルが選択されていません。"));
  EXPECT_EQ(LogLines().size(), logLines);
  EXPECT_EQ(m->model()->rowCount(), 0);
}

TEST_F(ComparePageTest, ARootThatNamesNoFolderHasNoFiles) {
  // A scan with an empty main folder lists the sub side only; its main paths stay relative and
  // must not reach a file of that name in the current folder.
  subTree.File("here.txt", "sub\n");
  testing::TempTree current;
  current.File("here.txt", "current folder\n");
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(current.Root())));
  FilterSet filter;
  filter.Name = "すべて";
  filter.SelectPatterns = PatternList{"*"};
  window->ListTab()->UpdatePathList("", subTree.Root(), filter);
  CompareRow("here.txt");
  QDir::setCurrent(previous);
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text, QStringLiteral("メインファイルが在りません。"));
  EXPECT_EQ(page->MainComparePath(), "here.txt");
}

TEST_F(ComparePageTest, AFileBehindALinkIsMissingAndNeverShown) {
  // sub/d leads out of the sub root: the scan lists d/x.txt on the main side only, and the
  // compare tab must not read the outside file in its place, nor one swapped in after the scan.
  testing::TempTree outside;
  outside.File("d/x.txt", "outside\n");
  outside.File("e/y.txt", "outside\n");
  mainTree.File("d/x.txt", "main\n");
  subTree.Link("d", outside.PathOf("d"));
  Pair("e/y.txt", "main\n", "sub\n");
  FilterSet filter;
  filter.Name = "すべて";
  filter.SelectPatterns = PatternList{"*"};
  ScanOptions options;
  options.SubFolder = true;
  window->ListTab()->UpdatePathList(mainTree.Root(), subTree.Root(), filter, options);
  const PathEntry* linked = window->State().Shown.EntryAt(ListRowOf("d/x.txt"));
  ASSERT_NE(linked, nullptr);
  ASSERT_EQ(linked->Status, MainOnly);
  ASSERT_EQ(::rename(subTree.PathOf("e").c_str(), subTree.PathOf("e-old").c_str()), 0);
  subTree.Link("e", outside.PathOf("e"));

  for (const std::string path : {"d/x.txt", "e/y.txt"}) {
    SCOPED_TRACE(path);
    boxes.Calls.clear();
    CompareRow(path);
    ASSERT_EQ(boxes.Calls.size(), 1u);
    EXPECT_EQ(boxes.Calls[0].Text, QStringLiteral("サブファイルが在りません。"));
    EXPECT_EQ(page->SubComparePath(), subTree.PathOf(path));
    for (const QTableView* grid : {m, s})
      for (int row = 0; row < grid->model()->rowCount(); ++row)
        EXPECT_NE(Cell(grid, row, 1), QStringLiteral("outside"));
  }
}

TEST_F(ComparePageTest, TextRowsWithLineNumbersGapsAndColours) {
  ComparePair("A\nB\nC\n", "A\nX\nB\nC\n");
  EXPECT_EQ(page->LBMainFileInf()->text(), QStringLiteral("Main File 全 3行  UTF-8 LF"));
  EXPECT_EQ(page->LBSubFileInf()->text(), QStringLiteral("Sub File  全 4行  UTF-8 LF"));
  EXPECT_EQ(page->LBDiffCnt()->text(), QStringLiteral("1行"));
  QAbstractItemModelTester tester(m->model(),
                                  QAbstractItemModelTester::FailureReportingMode::Fatal);

  const struct {
    const QTableView* Grid;
    QStringList LineNos;
    QStringList Texts;
    std::vector<QRgb> Colours;
  } sides[] = {
      {m,
       {QStringLiteral("      1:"), QString(), QStringLiteral("      2:"),
        QStringLiteral("      3:")},
       {QStringLiteral("A"), QString(), QStringLiteral("B"), QStringLiteral("C")},
       {MainEqualColour, GapColour, MainEqualColour, MainEqualColour}},
      {s,
       {QStringLiteral("      1:"), QStringLiteral("      2:"), QStringLiteral("      3:"),
        QStringLiteral("      4:")},
       {QStringLiteral("A"), QStringLiteral("X"), QStringLiteral("B"), QStringLiteral("C")},
       {SubEqualColour, DifferingColour, SubEqualColour, SubEqualColour}},
  };
  for (const auto& side : sides) {
    ASSERT_EQ(side.Grid->model()->rowCount(), 4);
    for (int row = 0; row < 4; ++row) {
      SCOPED_TRACE(row);
      EXPECT_EQ(Cell(side.Grid, row, 0), side.LineNos[row]);
      EXPECT_EQ(Cell(side.Grid, row, 1), side.Texts[row]);
      EXPECT_EQ(Background(side.Grid, row), side.Colours[row]);
      EXPECT_EQ(side.Grid->model()->index(row, 0).data(Qt::ForegroundRole).value<QBrush>().color(),
                QColor::fromRgb(LineNoColour));
    }
  }
  // Drawn so: the current row (row 0) as the selected row, the others on their colours.
  for (CompareGridView* grid : {m, s}) {
    EXPECT_TRUE(IsHighlight(grid, Painted(grid, 0)));
    for (int row = 1; row < 4; ++row) EXPECT_EQ(Painted(grid, row), Background(grid, row));
  }
  EXPECT_EQ(m->columnWidth(0), 64);
  EXPECT_EQ(m->columnWidth(1), m->viewport()->width() - 64);
  EXPECT_EQ(m->verticalHeader()->defaultSectionSize(), 16);
}

TEST_F(ComparePageTest, CountsAndColoursOfChangedAndExtraRows) {
  const struct {
    std::string Main, Sub;
    QString Count;
    std::vector<int> DifferingSubRows;
  } cases[] = {
      {NumberedLines(10), NumberedLines(12), QStringLiteral("2行"), {10, 11}},
      {NumberedLines(10), NumberedLines(10), QStringLiteral("無し"), {}},
      // "acf" and "afa" have one line code: still a change.
      {"x\nacf\ny\n", "x\nafa\ny\n", QStringLiteral("1行"), {1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Sub);
    ComparePair(c.Main, c.Sub);
    EXPECT_EQ(page->LBDiffCnt()->text(), c.Count);
    for (int row = 1; row < s->model()->rowCount(); ++row) {
      const bool differing = std::find(c.DifferingSubRows.begin(), c.DifferingSubRows.end(), row) !=
                             c.DifferingSubRows.end();
      EXPECT_EQ(Background(s, row), differing ? DifferingColour : SubEqualColour) << row;
      if (row < m->model()->rowCount()) {
        EXPECT_EQ(Background(m, row), differing ? DifferingColour : MainEqualColour) << row;
      }
    }
  }
}

TEST_F(ComparePageTest, HexRowsShowByteOffsets) {
  std::string binary(40 * 16 + 1, 'a');
  binary[5] = '\0';
  ComparePair(binary, "one\ntwo\n");
  EXPECT_EQ(page->LBMainFileInf()->text(), QStringLiteral("Main File 全 41行"));
  EXPECT_EQ(page->LBSubFileInf()->text(), QStringLiteral("Sub File  全 1行"));
  ASSERT_EQ(m->model()->rowCount(), 41);
  const std::pair<int, const char*> offsets[] = {
      {0, "      0:"}, {1, "     10:"}, {2, "     20:"}, {26, "    1A0:"}, {40, "    280:"}};
  for (const auto& [row, text] : offsets) EXPECT_EQ(Cell(m, row, 0), QLatin1String(text));
  EXPECT_TRUE(Cell(m, 0, 1).startsWith(QStringLiteral("61 61 61 61 61 00 61 61  61")));
  EXPECT_EQ(Cell(s, 0, 0), QStringLiteral("      0:"));
  EXPECT_EQ(page->LBDiffCnt()->text(), QStringLiteral("41行"));
}

// A byte that does not decode in the text column (here an unassigned Shift_JIS pair) is drawn by
// a fallback font; its row still stands on the same baseline as the others.
TEST_F(ComparePageTest, HexRowsWithAnUndecodableByteStayOnTheBaseline) {
  std::string binary(3 * 16, '\x01');
  binary[16 + 4] = '\x85';  // no character in CP932
  binary[16 + 5] = '\x40';
  binary[33] = '\x93';  // 日, so the text column is read as Shift_JIS
  binary[34] = '\xFA';
  ComparePair(binary, binary);
  ASSERT_EQ(m->model()->rowCount(), 3);
  ASSERT_TRUE(Cell(m, 1, 1).contains(QChar(0xFFFD)));
  m->clearSelection();
  m->setCurrentIndex(QModelIndex());
  const QImage image = m->viewport()->grab().toImage();
  test::SaveScreenshot(*m, QStringLiteral("compare_hex_undecodable"));
  // The lowest dark pixel of the row's first hexadecimal digits ("01"): the baseline.
  const auto baseline = [&](int row) {
    const QRect cell = m->visualRect(m->model()->index(row, 1));
    const int digitsWidth = m->fontMetrics().horizontalAdvance(QStringLiteral("01"));
    for (int y = cell.bottom(); y >= cell.top(); --y)
      for (int x = cell.left(); x < cell.left() + digitsWidth + 2; ++x)
        if (QColor(image.pixel(x, y)).lightness() < 128) return y - cell.top();
    return -1;
  };
  const int first = baseline(0);
  ASSERT_GT(first, 0);
  EXPECT_EQ(baseline(1), first);
  EXPECT_EQ(baseline(2), first);
}

TEST_F(ComparePageTest, NextAndPreviousGoToTheDifferingBlocks) {
  ComparePair(NumberedLines(200), NumberedLines(200, {50, 51, 150}));
  const int v = FullyVisibleRows(*m);
  ASSERT_GT(v, 4);
  const struct {
    QPushButton* Button;
    int Current;
    int Top;
  } steps[] = {
      {page->BTNextDiffLine(), 50, 50 - v / 2},   {page->BTNextDiffLine(), 150, 150 - v / 2},
      {page->BTNextDiffLine(), 199, 200 - v},  // no block below: the last common row
      {page->BTNextDiffLine(), 199, 200 - v},     {page->BTBeforeDiffLine(), 150, 150 - v / 2},
      {page->BTBeforeDiffLine(), 51, 51 - v / 2},  // the last row of the block above
      {page->BTBeforeDiffLine(), 0, 0},            // none above
      {page->BTBeforeDiffLine(), 0, 0},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.Current);
    s->setFocus();
    ClickButton(step.Button);
    EXPECT_TRUE(m->hasFocus());
    EXPECT_EQ(CurrentRow(*m), step.Current);
    EXPECT_EQ(TopRow(*m), step.Top);
    EXPECT_EQ(CurrentRow(*s), step.Current);
    EXPECT_EQ(TopRow(*s), step.Top);
  }
}

TEST_F(ComparePageTest, KeysGoToTheDifferingBlocksAsTheButtonsDo) {
  ComparePair(NumberedLines(200), NumberedLines(200, {50, 51, 150}));
  const struct {
    QWidget* Target;
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
    int Current;
  } steps[] = {
      {s, Qt::Key_F7, Qt::NoModifier, 50},
      {m, Qt::Key_F7, Qt::NoModifier, 150},
      {s, Qt::Key_F7, Qt::ShiftModifier, 51},
      {m, Qt::Key_Down, Qt::AltModifier, 150},
      {page->BTNextDiffLine(), Qt::Key_Up, Qt::AltModifier, 51},
      {s, Qt::Key_Up, Qt::AltModifier, 0},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.Current);
    step.Target->setFocus();
    QTest::keyClick(step.Target, step.Key, step.Modifiers);
    QApplication::processEvents();
    EXPECT_TRUE(m->hasFocus());
    EXPECT_EQ(CurrentRow(*m), step.Current);
    EXPECT_EQ(CurrentRow(*s), step.Current);
  }
}

TEST_F(ComparePageTest, CtrlCCopiesTheSelectedRowsOfTheGridWithTheFocus) {
  ComparePair("A\n日本\tx\nC\n", "A\nX\n日本\tx\nC\n");
  QClipboard* clipboard = QGuiApplication::clipboard();
  const struct {
    CompareGridView* Grid;
    int Row;
    QString Copied;
  } cases[] = {
      {s, 1, QStringLiteral("X")},
      // The text as shown, tabs expanded.
      {m, 2, QStringLiteral("日本    x")},
      // A gap row holds no line: the clipboard keeps what it had.
      {m, 1, QStringLiteral("keep")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Row);
    clipboard->setText(QStringLiteral("keep"));
    c.Grid->setFocus();
    SetCurrentRow(*c.Grid, c.Row);
    QTest::keyClick(c.Grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard->text(), c.Copied);
  }
}

TEST_F(ComparePageTest, NextOnLongerSidesRowsAndWithAnEmptySide) {
  // The main side is longer: from beyond the last common row only the focus moves.
  ComparePair(NumberedLines(12), NumberedLines(10));
  m->setFocus();
  QTest::keyClick(m, Qt::Key_End, Qt::ControlModifier);
  ASSERT_EQ(CurrentRow(*m), 11);
  EXPECT_EQ(CurrentRow(*s), 9);  // the follower stops at its last row
  s->setFocus();
  ClickButton(page->BTNextDiffLine());
  EXPECT_TRUE(m->hasFocus());
  EXPECT_EQ(CurrentRow(*m), 11);
  ClickButton(page->BTBeforeDiffLine());
  EXPECT_EQ(CurrentRow(*m), 0);

  // An empty sub file: the buttons do nothing, not even move the focus.
  ComparePair("a\nb\n", "");
  EXPECT_EQ(s->model()->rowCount(), 0);
  for (QPushButton* button : {page->BTNextDiffLine(), page->BTBeforeDiffLine()}) {
    ClickButton(button);
    EXPECT_TRUE(button->hasFocus());
    EXPECT_EQ(CurrentRow(*m), 0);
  }
}

TEST_F(ComparePageTest, TheGridWithTheFocusLeadsTheOther) {
  ComparePair(NumberedLines(60), NumberedLines(80));
  const int v = FullyVisibleRows(*m);
  ASSERT_GT(v, 4);
  ASSERT_LT(v, 40);

  // The mouse and the keyboard in the sub grid.
  ClickRow(s, 3);
  EXPECT_TRUE(s->hasFocus());
  EXPECT_EQ(CurrentRow(*m), 3);
  QTest::keyClick(s, Qt::Key_Down);
  EXPECT_EQ(CurrentRow(*m), 4);
  QTest::keyClick(s, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(CurrentRow(*s), 79);
  EXPECT_EQ(CurrentRow(*m), 59);  // its last row
  EXPECT_EQ(TopRow(*s), 80 - v);
  EXPECT_EQ(TopRow(*m), 60 - v);  // its last row at the bottom

  // Scrolling the grid that has the focus.
  s->verticalScrollBar()->setValue(30);
  EXPECT_EQ(TopRow(*m), 30);
  EXPECT_EQ(CurrentRow(*m), 59);  // the current rows were in step already
  // The other grid scrolled by a program goes back: the focus leads.
  m->verticalScrollBar()->setValue(10);
  EXPECT_EQ(TopRow(*m), 30);

  // And the other way round.
  ClickRow(m, 35);
  EXPECT_TRUE(m->hasFocus());
  EXPECT_EQ(CurrentRow(*s), 35);
  QTest::keyClick(m, Qt::Key_Up);
  EXPECT_EQ(CurrentRow(*s), 34);
  m->verticalScrollBar()->setValue(12);
  EXPECT_EQ(TopRow(*s), 12);

  // A press on a grid's scroll bar makes it the leading one.
  QScrollBar* bar = s->verticalScrollBar();
  QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 5));
  QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 5));
  QApplication::processEvents();
  EXPECT_TRUE(s->hasFocus());
  EXPECT_GT(TopRow(*s), 12);
  EXPECT_EQ(TopRow(*m), std::min(TopRow(*s), 60 - v));
}

TEST_F(ComparePageTest, EachShowingComparesAgainFromRowZero) {
  ComparePair(NumberedLines(100), NumberedLines(100, {70}));
  ClickButton(page->BTNextDiffLine());
  ASSERT_EQ(CurrentRow(*m), 70);
  mainTree.File("pair.txt", NumberedLines(100, {20}));
  const qsizetype logLines = LogLines().size();

  ShowTab(window->TSMessage());
  ShowTab(window->TSCompare());
  EXPECT_EQ(LogLines().size(), logLines + 3);
  EXPECT_EQ(page->LBDiffCnt()->text(), QStringLiteral("2行"));
  for (CompareGridView* grid : {m, s}) {
    EXPECT_EQ(CurrentRow(*grid), 0);
    EXPECT_EQ(TopRow(*grid), 0);
  }
  ClickButton(page->BTNextDiffLine());
  EXPECT_EQ(CurrentRow(*m), 20);
}

TEST_F(ComparePageTest, GridsFillTheTabBelowThePanel) {
  ComparePair("a\n", "a\n");
  QSplitter* splitter = page->SPCompare();
  EXPECT_EQ(page->Panel2()->height(), 81);
  EXPECT_EQ(splitter->handleWidth(), 3);
  EXPECT_EQ(m->height(), (window->TSCompare()->height() - 84) / 2);
  EXPECT_EQ(m->height() + s->height() + 84, window->TSCompare()->height());
  EXPECT_EQ(s->mapTo(window.get(), QPoint(0, s->height())).y(), window->height());
  splitter->setSizes({0, 1000});
  EXPECT_EQ(m->height(), 50);
  splitter->setSizes({1000, 0});
  EXPECT_EQ(s->height(), 50);
  EXPECT_EQ(page->BTNextDiffLine()->text(), QStringLiteral("↓違う行"));
  EXPECT_EQ(page->BTBeforeDiffLine()->text(), QStringLiteral("↑違う行"));
  EXPECT_EQ(page->Label8()->text(), QStringLiteral("違う行数"));
}

TEST_F(ComparePageTest, DoubleClickOnAFileRowComparesIt) {
  Pair("a.txt", "a\n", "a\n");
  Pair("b.txt", "b\n", "c\n");
  mainTree.Folder("dir");
  Scan();
  PathGridView* list = window->ListTab()->SGPath();
  const auto doubleClick = [&](const std::string& path, Qt::MouseButton button) {
    const QRect rect = list->visualRect(list->model()->index(ListRowOf(path), 1));
    // What the system sends for a double-click: a click, then a second press as the
    // double-click, then its release.
    QTest::mouseClick(list->viewport(), button, {}, rect.center());
    QTest::mouseDClick(list->viewport(), button, {}, rect.center());
    QTest::mouseRelease(list->viewport(), button, {}, rect.center());
    QApplication::processEvents();
  };

  doubleClick("dir", Qt::LeftButton);
  EXPECT_EQ(window->PageControl1()->currentWidget(), window->TSList());
  // A click on the row, then a quick pair of right clicks: the row menu, no comparison.
  const QRect bRect = list->visualRect(list->model()->index(ListRowOf("b.txt"), 1));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, bRect.center());
  doubleClick("b.txt", Qt::RightButton);
  EXPECT_EQ(window->PageControl1()->currentWidget(), window->TSList());
  window->ListTab()->PMSGPath()->hide();  // the right button's releases asked for the row menu
  doubleClick("b.txt", Qt::LeftButton);
  EXPECT_EQ(window->PageControl1()->currentWidget(), window->TSCompare());
  EXPECT_EQ(window->State().Shown.CurrentRow, ListRowOf("b.txt"));
  EXPECT_EQ(page->MainComparePath(), mainTree.PathOf("b.txt"));
  EXPECT_EQ(page->LBDiffCnt()->text(), QStringLiteral("1行"));
  EXPECT_TRUE(boxes.Calls.empty());
}

TEST_F(ComparePageTest, AMillionLinesShowAtOnce) {
  window->State().Settings.compfmax = 64 << 20;
  ComparePair(NumberedLines(1000000), NumberedLines(1000000, {999990}));
  ASSERT_EQ(m->model()->rowCount(), 1000000);
  EXPECT_EQ(page->LBDiffCnt()->text(), QStringLiteral("1行"));
  ClickButton(page->BTNextDiffLine());
  EXPECT_EQ(CurrentRow(*s), 999990);
  EXPECT_EQ(Cell(s, 999990, 1), QStringLiteral("changed line 999990"));
  EXPECT_EQ(Cell(m, 999999, 0), QStringLiteral("1000000:"));
  EXPECT_EQ(TopRow(*s), TopRow(*m));
  EXPECT_TRUE(IsHighlight(s, Painted(s, 999990)));
  EXPECT_EQ(Painted(s, 999991), SubEqualColour);
}

TEST_F(ComparePageTest, ClosingReleasesTheRows) {
  ComparePair("a\nb\n", "a\n");
  EXPECT_EQ(window->State().CompareRows.Main().RowCount(), 2u);
  window->FormCloseQuery();
  EXPECT_EQ(window->State().CompareRows.Main().RowCount(), 0u);
  // The grids still ask for their rows until the window goes.
  EXPECT_EQ(Cell(m, 1, 1), QString());
  ClickButton(page->BTNextDiffLine());
  EXPECT_TRUE(boxes.Calls.empty());
}

// The darkest pixel of the text column of the row: the colour of its text.
int DarkestTextLightness(QTableView* grid, int row) {
  const QImage image = grid->viewport()->grab().toImage();
  int darkest = 255;
  const int top = (row - TopRow(*grid)) * CompareGridView::RowHeight;
  for (int y = top; y < top + CompareGridView::RowHeight; ++y)
    for (int x = CompareGridView::LineNoWidth; x < CompareGridView::LineNoWidth + 60; ++x)
      darkest = std::min(darkest, QColor(image.pixel(x, y)).lightness());
  return darkest;
}

TEST_F(ComparePageTest, TheRowsReadTheSameInADarkTheme) {
  const test::KeepApplicationPalette keep;
  QApplication::setPalette(test::DarkPalette());

  ComparePair("same\nmain\nsame\n", "same\nsub\nsame\nmore\n");
  for (int row = 1; row < 3; ++row) {
    EXPECT_LT(DarkestTextLightness(m, row), 64) << row;
    EXPECT_LT(DarkestTextLightness(s, row), 64) << row;
  }
  for (QWidget* label : {static_cast<QWidget*>(page->LBMainDiffFileName()),
                         static_cast<QWidget*>(page->LBSubDiffFileName())}) {
    EXPECT_EQ(label->palette().color(QPalette::WindowText), FixedTextColour());
    EXPECT_GT(label->palette().color(QPalette::Window).lightness(), 200);
  }
  // Below the last row, the grids' own light backgrounds.
  EXPECT_EQ(Painted(s, 10), SubEqualColour);
  test::SaveScreenshot(*window, QStringLiteral("dark_compare_tab"));
}

TEST_F(ComparePageTest, ChangedCharactersOfAChangedRowOnAStrongerColour) {
  ComparePair("見出し\n設定を保存する\n同じ\n削除\n", "見出し\n設定を保管する\n同じ\n");
  const auto ranges = [](const QTableView* grid, int row, int column = 1) {
    return grid->model()
        ->index(row, column)
        .data(CompareRowsModel::ChangedRangesRole)
        .value<QList<int>>();
  };
  EXPECT_EQ(ranges(m, 1), (QList<int>{4, 1}));
  EXPECT_EQ(ranges(s, 1), (QList<int>{4, 1}));
  // Equal rows, the line number column and a row without a counterpart mark nothing.
  EXPECT_TRUE(ranges(m, 0).isEmpty());
  EXPECT_TRUE(ranges(m, 1, 0).isEmpty());
  EXPECT_TRUE(ranges(m, 3).isEmpty());
  // Painted: the changed character on the stronger colour, the rest of the row on its own.
  for (QTableView* grid : {static_cast<QTableView*>(m), static_cast<QTableView*>(s)}) {
    const QImage image = grid->viewport()->grab().toImage();
    const QFontMetrics metrics(grid->font());
    const int y = CompareGridView::RowHeight + 1;
    const int x = grid->columnWidth(0) + 2 + metrics.horizontalAdvance(QStringLiteral("設定を保")) +
                  metrics.horizontalAdvance(QStringLiteral("存")) / 2;
    EXPECT_EQ(image.pixel(x, y) & 0xFFFFFF, CompareRowsModel::ChangedBackground);
    EXPECT_EQ(image.pixel(grid->columnWidth(0) + 4, y) & 0xFFFFFF, DifferingColour);
  }
  EXPECT_FALSE(
      test::SaveScreenshot(*window, QStringLiteral("compare_changed_character")).isEmpty());

  // Hex rows mark the differing byte fields.
  ComparePair(std::string("\x01"
                          "ABCDEFGH",
                          9),
              std::string("\x01"
                          "ABCXEFGH",
                          9));
  EXPECT_EQ(ranges(m, 0), (QList<int>{12, 2}));
  EXPECT_EQ(ranges(s, 0), (QList<int>{12, 2}));
}

TEST_F(ComparePageTest, EncodingsLineEndsAndWhyNoRowDiffers) {
  const std::string utf8 = "日本語のテキスト\r\nかな\r\n";
  ComparePair(ToCp932(utf8), "日本語のテキスト\nかな\r\n");
  EXPECT_EQ(page->LBMainFileInf()->text(), QStringLiteral("Main File 全 2行  Shift_JIS CRLF"));
  EXPECT_EQ(page->LBSubFileInf()->text(), QStringLiteral("Sub File  全 2行  UTF-8 混在"));
  EXPECT_EQ(Cell(m, 0, 1), QStringLiteral("日本語のテキスト"));
  EXPECT_EQ(page->LBDiffCnt()->text(), QStringLiteral("文字コードと改行コードのみ違います"));
  EXPECT_EQ(LogLines().back(), QStringLiteral("文字コードと改行コードのみ違います"));
  // The longer texts push what stands to their right along; nothing overlaps.
  const QList<QWidget*> panel = {page->LBMainFileInf(),  page->LBSubFileInf(),
                                 page->Label8(),         page->LBDiffCnt(),
                                 page->BTNextDiffLine(), page->BTBeforeDiffLine()};
  for (qsizetype i = 0; i < panel.size(); ++i)
    for (qsizetype k = i + 1; k < panel.size(); ++k)
      EXPECT_FALSE(panel[i]->geometry().intersects(panel[k]->geometry()))
          << panel[i]->objectName().toStdString() << " " << panel[k]->objectName().toStdString();
  EXPECT_FALSE(test::SaveScreenshot(*window, QStringLiteral("compare_encodings")).isEmpty());

  // A UTF-16 main file is compared as text; only its encoding differs.
  std::string utf16 = "\xFF\xFE";
  for (const char c : std::string("ab\ncd\n")) {
    utf16 += c;
    utf16 += '\0';
  }
  ComparePair(utf16, "ab\ncd\n");
  EXPECT_EQ(page->LBMainFileInf()->text(), QStringLiteral("Main File 全 2行  UTF-16LE LF"));
  EXPECT_EQ(Cell(m, 1, 1), QStringLiteral("cd"));
  EXPECT_EQ(page->LBDiffCnt()->text(), QStringLiteral("文字コードのみ違います"));
  // Back at the designed places once the texts are short again (hex rows show no encoding).
  ComparePair(std::string("\x01", 1), std::string("\x01", 1));
  EXPECT_EQ(page->LBDiffCnt()->text(), QStringLiteral("無し"));
  EXPECT_EQ(page->Label8()->pos(), QPoint(155, 46));
  EXPECT_EQ(page->BTNextDiffLine()->geometry(), QRect(280, 49, 69, 25));
}

TEST_F(ComparePageTest, IgnoringBlanksComparesTheShownPairAgainAndIsStored) {
  EXPECT_FALSE(page->CBIgnoreBlanks()->isChecked());  // off by default
  ComparePair("if (a) {\n  call(x, y);\n}\n全角　空白\n", "if(a){\n\tcall(x,y);\n}\n全角空白\n");
  EXPECT_EQ(page->LBDiffCnt()->text(), QStringLiteral("3行"));
  page->CBIgnoreBlanks()->click();
  QApplication::processEvents();
  EXPECT_TRUE(window->State().Settings.blankignore);
  EXPECT_EQ(page->LBDiffCnt()->text(), QStringLiteral("無し"));
  EXPECT_EQ(Background(m, 1), MainEqualColour);
  // The rows show the files' own text still.
  EXPECT_EQ(Cell(m, 1, 1), QStringLiteral("  call(x, y);"));
  EXPECT_TRUE(boxes.Calls.empty());
  const QList<QWidget*> panel = {page->BTBeforeDiffLine(), page->CBIgnoreBlanks()};
  EXPECT_FALSE(panel[0]->geometry().intersects(panel[1]->geometry()));
  EXPECT_LE(page->CBIgnoreBlanks()->geometry().bottom(), ComparePage::Panel2Height);
  EXPECT_FALSE(test::SaveScreenshot(*window, QStringLiteral("compare_ignore_blanks")).isEmpty());

  // Stored in the option section when the window closes, and read at the next start.
  window->close();
  window.reset();
  QFile stored(settings.filePath(QStringLiteral("tarvex.ini")));
  ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
  const QByteArray text = stored.readAll();
  const qsizetype option = text.indexOf("[option]");
  ASSERT_GE(option, 0);
  EXPECT_GT(text.indexOf("\nblankignore=1", option), option);
}

TEST_F(ComparePageTest, Screenshots) {
  const std::string mainText =
      "#include <stdio.h>\n"
      "\n"
      "int main(void) {\n"
      "\tint count = 0;\t// lines\n"
      "\tfor (int i = 0; i < 10; ++i) {\n"
      "\t\tcount += i;\n"
      "\t}\n"
      "\tprintf(\"%d\\n\", count);\n"
      "\treturn 0;\n"
      "}\n";
  const std::string subText =
      "#include <stdio.h>\n"
      "#include <stdlib.h>\n"
      "\n"
      "int main(void) {\n"
      "\tlong count = 0;\t// lines\n"
      "\tfor (int i = 0; i < 10; ++i) {\n"
      "\t\tcount += i;\n"
      "\t}\n"
      "\treturn 0;\n"
      "}\n";
  ComparePair(mainText, subText);
  ClickButton(page->BTNextDiffLine());
  EXPECT_FALSE(test::SaveScreenshot(*window, QStringLiteral("compare_text")).isEmpty());

  // Shift_JIS text: Japanese, full-width spaces, tabs after double-byte characters, and
  // characters whose second byte is a backslash (ソ, 表).
  const std::string sjisMain = ToCp932(
      "// 設定ファイルの読み込み\n"
      "int\tカウント = 0;\t// 件数\n"
      "表示する行：ソース一覧\n"
      "全角スペース　の後\t終わり\n"
      "予定表\tダウンロード\n");
  const std::string sjisSub = ToCp932(
      "// 設定ファイルの読み込み\n"
      "int\tカウント = 1;\t// 件数\n"
      "表示する行：ソース一覧\n"
      "追加した行です\n"
      "全角スペース　の後\t終わり\n"
      "予定表\tダウンロード\n");
  ComparePair(sjisMain, sjisSub);
  EXPECT_EQ(Cell(m, 1, 1), QStringLiteral("int     カウント = 0;   // 件数"));
  EXPECT_EQ(Cell(m, 2, 1), QStringLiteral("表示する行：ソース一覧"));
  EXPECT_FALSE(test::SaveScreenshot(*window, QStringLiteral("compare_sjis")).isEmpty());

  // Hex mode, the text column showing the Shift_JIS characters of a binary file.
  std::string binary = "\x01\x02" + ToCp932("漢字とカナの混在したバイナリ、ソース表示") +
                       std::string("\0\x7F\xFF", 3) + "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::string binarySub = binary;
  binarySub[20] = 'x';
  ComparePair(binary, binarySub);
  EXPECT_EQ(Cell(m, 0, 0), QStringLiteral("      0:"));
  EXPECT_FALSE(test::SaveScreenshot(*window, QStringLiteral("compare_hex")).isEmpty());
}

}  // namespace
}  // namespace tarvex
