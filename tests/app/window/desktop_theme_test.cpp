#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <vector>

#include "app/filter/filter_page.h"
#include "app/folder/folder_page.h"
#include "app/folder/folder_tree_view.h"
#include "app/help/help_page.h"
#include "app/list/list_page.h"
#include "app/list/path_list_model.h"
#include "app/widgets/app_identity.h"
#include "app/widgets/fixed_colours.h"
#include "app/widgets/readable_colour.h"
#include "app/window/fm_main.h"
#include "app/window/program_start.h"
#include "core/list/list_column.h"
#include "support/dark_theme.h"
#include "support/qt_printers.h"
#include "support/recording_message_boxes.h"
#include "support/screenshot.h"
#include "support/temp_tree.h"

namespace tarvex {
namespace {

class DesktopTest : public ::testing::Test {
 protected:
  std::unique_ptr<TFMMain> Start() {
    return StartMainWindow(settings.filePath(QStringLiteral("tarvex.ini")), {.Boxes = &boxes});
  }
  QTemporaryDir settings;
  test::RecordingMessageBoxes boxes;
};

TEST_F(DesktopTest, TheWindowShowsTheProgramsIcon) {
  const auto window = Start();
  // Drawn from the SVG in the resources, which needs the toolkit's SVG plugin.
  EXPECT_FALSE(window->windowIcon().pixmap(64).isNull());
  EXPECT_FALSE(ApplicationIcon().pixmap(16).isNull());
}

TEST_F(DesktopTest, ThePagesReachTheBottomOfTheWindow) {
  const auto window = Start();
  QApplication::processEvents();
  for (QWidget* page : {window->TSFolder(), window->TSList(), window->TSFilter()}) {
    window->PageControl1()->setCurrentWidget(page);
    QApplication::processEvents();
    SCOPED_TRACE(page->objectName().toStdString());
    EXPECT_EQ(page->mapTo(window.get(), QPoint(0, page->height())).y(), window->height());
  }
  QWidget* tree = window->Folders().STVMain();
  EXPECT_EQ(tree->mapTo(window.get(), QPoint(0, tree->height())).y(), window->height());
}

TEST_F(DesktopTest, BothTreesOpenAtTheFileSystemRootAtTheFirstStart) {
  const auto window = Start();
  for (FolderTreeView* tree : {window->Folders().STVMain(), window->Folders().STVSub()}) {
    SCOPED_TRACE(tree->objectName().toStdString());
    QTreeWidgetItem* computer = tree->ComputerItem();
    EXPECT_TRUE(computer->isExpanded());
    ASSERT_EQ(computer->childCount(), 1);
    EXPECT_EQ(computer->child(0)->text(0), u"/"_qs);
    EXPECT_FALSE(computer->child(0)->isHidden());
  }
}

TEST_F(DesktopTest, AStoredEveryFileSetListsFilesWithoutAnExtension) {
  QFile ini(settings.filePath(QStringLiteral("tarvex.ini")));
  ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
  ini.write("[FilterName]\nItemIndex=0\n0=すべて\n[ExtSelect]\n0=すべて=*\n");
  ini.close();
  testing::TempTree main, sub;
  for (const char* name : {"README", "Makefile", "build.sh", ".profile"}) main.File(name, name);
  sub.File("README", "README");
  const auto window = Start();
  window->activateWindow();  // the page refresh scans only for the active window
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  ASSERT_TRUE(window->Folders().STVMain()->SelectPath(main.Root()));
  ASSERT_TRUE(window->Folders().STVSub()->SelectPath(sub.Root()));
  window->PageControl1()->setCurrentWidget(window->TSList());
  const PathListModel& model = *window->ListTab()->PathModel();
  QStringList paths;
  for (int row = 0; row < model.rowCount(); ++row)
    paths << model.index(row, ColumnPath).data().toString();
  paths.sort();
  EXPECT_EQ(paths, (QStringList{u".profile"_qs, u"Makefile"_qs, u"README"_qs, u"build.sh"_qs}));
}

// The green notes of the filter tab and the purple link of the help tab read (4.5:1) on the
// theme's window colour, light or dark; the light theme keeps the link's described colour.
TEST_F(DesktopTest, ColouredNotesAndTheLinkStayReadableInALightAndADarkTheme) {
  const test::KeepApplicationPalette keep;
  const QPalette& light = keep.Original();
  for (const bool darkTheme : {false, true}) {
    SCOPED_TRACE(darkTheme ? "dark" : "light");
    QApplication::setPalette(darkTheme ? test::DarkPalette() : light);
    const auto window = Start();
    std::vector<QLabel*> notes;
    for (QLabel* label : window->Filters().findChildren<QLabel*>()) {
      const QColor text = label->palette().color(QPalette::WindowText);
      if (text.hslHue() == 120 && text.hslSaturation() > 0) notes.push_back(label);
    }
    ASSERT_GE(notes.size(), 3u);
    notes.push_back(window->Help().LBURL());
    for (QLabel* label : notes) {
      SCOPED_TRACE(label->text().toStdString());
      const QPalette& palette = label->palette();
      EXPECT_GE(ContrastRatio(palette.color(QPalette::WindowText), palette.color(QPalette::Window)),
                ReadableContrast);
    }
    if (!darkTheme) {
      EXPECT_EQ(window->Help().LBURL()->palette().color(QPalette::WindowText),
                QColor(0x80, 0x00, 0x80));
    }
    window->PageControl1()->setCurrentWidget(window->TSFilter());
    test::SaveScreenshot(*window, darkTheme ? QStringLiteral("dark_filter_tab")
                                            : QStringLiteral("light_filter_tab"));
    window->PageControl1()->setCurrentWidget(window->TSHelp());
    test::SaveScreenshot(
        *window, darkTheme ? QStringLiteral("dark_help_tab") : QStringLiteral("light_help_tab"));
  }
}

// Every kind of control shows where the keyboard is, in a light and in a dark theme: its look
// changes when it takes the focus by Tab.
TEST_F(DesktopTest, FocusedControlsShowAFocusFrameInALightAndADarkTheme) {
  const test::KeepApplicationPalette keep;
  const QPalette& light = keep.Original();
  for (const bool darkTheme : {false, true}) {
    SCOPED_TRACE(darkTheme ? "dark" : "light");
    QApplication::setPalette(darkTheme ? test::DarkPalette() : light);
    const auto window = Start();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    FolderPage& folders = window->Folders();
    FilterPage& filters = window->Filters();
    const std::pair<QWidget*, std::vector<QWidget*>> tabs[] = {
        {window->TSFolder(),
         {folders.CBComparePath(), folders.CBFilterChoice2(), folders.STVMain(),
          folders.EDMainFolder()}},
        {window->TSFilter(), {filters.CBFilter(), filters.BTFilterAdd(), filters.MESelectExt()}},
    };
    for (const auto& [tab, controls] : tabs) {
      window->PageControl1()->setCurrentWidget(tab);
      for (QWidget* control : controls) {
        SCOPED_TRACE(control->objectName().toStdString());
        window->PageControl1()->tabBar()->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
        const QImage unfocused = control->grab().toImage();
        // As the Tab key does: the focus came from the keyboard.
        control->setFocus(Qt::TabFocusReason);
        window->setAttribute(Qt::WA_KeyboardFocusChange);
        QApplication::processEvents();
        ASSERT_TRUE(control->hasFocus());
        EXPECT_NE(control->grab().toImage(), unfocused);
        test::SaveScreenshot(*window,
                             QStringLiteral("focus_%1_%2")
                                 .arg(darkTheme ? u"dark"_qs : u"light"_qs, control->objectName()));
      }
    }
  }
}

TEST_F(DesktopTest, TextOnTheFixedBackgroundsStaysDarkInADarkTheme) {
  const test::KeepApplicationPalette keep;
  QApplication::setPalette(test::DarkPalette());

  testing::TempTree main, sub;
  main.File("a.txt", "main");
  main.File("docs/b.txt", "b");
  sub.File("a.txt", "sub!");
  sub.Folder("docs");
  const auto window = Start();
  FolderPage& folders = window->Folders();
  ASSERT_TRUE(folders.STVMain()->SelectPath(main.Root()));
  ASSERT_TRUE(folders.STVSub()->SelectPath(sub.Root()));
  QApplication::processEvents();
  test::SaveScreenshot(*window, QStringLiteral("dark_folder_tab"));

  const QColor fixed = FixedTextColour();
  EXPECT_LT(fixed.lightness(), 64);
  const std::vector<QWidget*> fixedWidgets{folders.EDMainFolder(), folders.EDSubFolder(),
                                           folders.STVMain(), folders.STVSub()};
  for (QWidget* widget : fixedWidgets) {
    SCOPED_TRACE(widget->objectName().toStdString());
    EXPECT_EQ(widget->palette().color(QPalette::Text), fixed);
    EXPECT_GT(widget->palette().color(QPalette::Base).lightness(), 200);
  }
  EXPECT_EQ(folders.CBComparePath()->palette().color(QPalette::ButtonText), fixed);

  ListPage& list = *window->ListTab();
  window->PageControl1()->setCurrentWidget(window->TSList());
  list.CKSubFolder()->setChecked(true);
  list.UpdatePathList(main.Root(), sub.Root(), FilterSet{"all", {}, {"*"}, {}});
  QApplication::processEvents();
  test::SaveScreenshot(*window, QStringLiteral("dark_list_tab"));
  for (QLabel* label : {list.LBListMain(), list.LBListSub()})
    EXPECT_EQ(label->palette().color(QPalette::WindowText), fixed);
  const PathListModel& model = *list.PathModel();
  ASSERT_EQ(model.rowCount(), 3);
  // Every cell with a background of its own has the fixed text colour; the others keep the
  // theme's background and text.
  int fixedCells = 0;
  for (int row = 0; row < model.rowCount(); ++row) {
    for (int column = 0; column < model.columnCount(); ++column) {
      SCOPED_TRACE(row * 10 + column);
      const QModelIndex index = model.index(row, column);
      const QVariant foreground = index.data(Qt::ForegroundRole);
      if (!index.data(Qt::BackgroundRole).isValid()) {
        EXPECT_FALSE(foreground.isValid());
        continue;
      }
      ++fixedCells;
      ASSERT_TRUE(foreground.canConvert<QBrush>());
      EXPECT_EQ(foreground.value<QBrush>().color(), fixed);
    }
  }
  EXPECT_GE(fixedCells, 3 * 4);  // the two sides' four columns of every row at least
}

}  // namespace
}  // namespace tarvex
