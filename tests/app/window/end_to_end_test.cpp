// The typical request: two folders picked in the trees, the list tab shown, the compared list
// sorted and coloured, and the pair remembered with its filter set across a restart.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include "app/filter/filter_page.h"
#include "app/folder/folder_page.h"
#include "app/folder/folder_tree_view.h"
#include "app/list/list_page.h"
#include "app/list/path_grid_view.h"
#include "app/list/path_list_model.h"
#include "app/window/fm_main.h"
#include "app/window/program_start.h"
#include "core/settings/compare_pair.h"
#include "support/recording_message_boxes.h"
#include "support/screenshot.h"
#include "support/temp_tree.h"

namespace tarvex {
namespace {

constexpr long T0 = 1700000000;

class EndToEndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mainRoot = tree.PathOf("データ");
    subRoot = tree.PathOf("バックアップ");
    tree.Folder("データ/書類");
    tree.Folder("バックアップ/書類");
    tree.File("データ/報告書.txt", "新しい版です", T0 + 600);  // main newer and larger
    tree.File("バックアップ/報告書.txt", "古い版", T0);
    tree.File("データ/同じ.txt", "same", T0);
    tree.File("バックアップ/同じ.txt", "same", T0);
    tree.File("データ/メインだけ.txt", "m", T0);
    tree.File("バックアップ/サブだけ.txt", "s", T0);
    tree.File("データ/書類/memo.bak", "b", T0);  // ignored by the "汎用" set
  }

  std::unique_ptr<TFMMain> Start() {
    auto window =
        StartMainWindow(QString::fromStdString(tree.PathOf("tarvex.ini")), {.Boxes = &boxes});
    QApplication::setActiveWindow(window.get());
    return window;
  }

  static int RowOf(PathListModel& model, const QString& path) {
    for (int r = 0; r < model.rowCount(); ++r) {
      if (model.index(r, 1).data().toString() == path) return r;
    }
    return -1;
  }

  testing::TempTree tree;
  std::string mainRoot, subRoot;
  test::RecordingMessageBoxes boxes;
};

TEST_F(EndToEndTest, PickTwoFoldersAndSeeTheComparedList) {
  const std::string pair = MakeComparePair(mainRoot, subRoot);
  {
    const auto window = Start();
    FolderPage& folders = window->Folders();
    ASSERT_TRUE(folders.STVMain()->SelectPath(mainRoot));
    ASSERT_TRUE(folders.STVSub()->SelectPath(subRoot));
    folders.CBFilterChoice2()->setCurrentIndex(1);  // "汎用"
    window->CBFilterChoice2Change(1);
    test::SaveScreenshot(*window, QStringLiteral("e2e_1_folder_tab"));

    window->ListTab()->CKSubFolder()->setChecked(true);
    window->PageControl1()->setCurrentWidget(window->TSList());
    PathListModel& model = *window->ListTab()->PathModel();
    ASSERT_EQ(model.rowCount(), 6);  // 4 files at the top, the folder and the file inside it

    // Fresh scan, path column up: Z to A in the collation, with the mark in the header.
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("ファイルパス△"));
    const int report = RowOf(model, QStringLiteral("報告書.txt"));
    const int mainOnly = RowOf(model, QStringLiteral("メインだけ.txt"));
    const int subOnly = RowOf(model, QStringLiteral("サブだけ.txt"));
    const int dir = RowOf(model, QStringLiteral("書類/"));
    const int bak = RowOf(model, QStringLiteral("書類/memo.bak"));
    ASSERT_TRUE(report >= 0 && mainOnly >= 0 && subOnly >= 0 && dir >= 0 && bak >= 0);
    EXPECT_EQ(model.index(report, 4).data().toString(), QStringLiteral("新 ＞ 　"));
    EXPECT_EQ(model.index(mainOnly, 4).data().toString(), QStringLiteral("在 　 　"));
    EXPECT_EQ(model.index(subOnly, 4).data().toString(), QStringLiteral("　 　 在"));
    EXPECT_EQ(model.index(subOnly, 2).data().toString(), QString());  // no main side
    EXPECT_EQ(model.index(report, 2).data(Qt::BackgroundRole).value<QColor>(),
              QColor(0xE8, 0xF8, 0xFF));
    EXPECT_EQ(model.index(report, 6).data(Qt::BackgroundRole).value<QColor>(),
              QColor(0xFF, 0xFB, 0xF0));
    EXPECT_EQ(model.index(dir, 3).data(Qt::BackgroundRole).value<QColor>(),
              QColor(0xDE, 0xFF, 0xDE));
    EXPECT_EQ(model.index(bak, 1).data(Qt::ForegroundRole).value<QColor>(),
              QColor(0xB0, 0xB0, 0xB0));
    const PathList& list = *window->State().PathList;
    EXPECT_EQ(list[report].Status, MainNewer);
    EXPECT_EQ(list[subOnly].Status, SubOnly);
    test::SaveScreenshot(*window, QStringLiteral("e2e_2_list_tab"));

    // A click on the path header flips the direction: A to Z.
    const QString firstBefore = model.index(0, 1).data().toString();
    QHeaderView* header = window->ListTab()->SGPath()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("ファイルパス▽"));
    EXPECT_EQ(model.index(model.rowCount() - 1, 1).data().toString(), firstBefore);

    EXPECT_EQ(window->State().Settings.CompareList.Items.front(), pair);
    EXPECT_EQ(window->State().Settings.PairFilterMap.Value(pair), "汎用");
    ASSERT_TRUE(window->close());
  }
  // After a restart the pair is the top entry again, applied with its filter set.
  const auto window = Start();
  EXPECT_EQ(window->State().Settings.CompareList.Items.front(), pair);
  EXPECT_EQ(window->Folders().EDMainFolder()->text().toStdString(), mainRoot);
  EXPECT_EQ(window->Folders().EDSubFolder()->text().toStdString(), subRoot);
  EXPECT_EQ(window->Filters().CBFilter()->currentText(), QStringLiteral("汎用"));
  EXPECT_TRUE(window->ListTab()->CKSubFolder()->isChecked());
}

TEST_F(EndToEndTest, FolderAndListTabsAtTheMinimumSize) {
  const auto window = Start();
  FolderPage& folders = window->Folders();
  ASSERT_TRUE(folders.STVMain()->SelectPath(mainRoot));
  ASSERT_TRUE(folders.STVSub()->SelectPath(subRoot));
  window->resize(600, 400);
  QApplication::processEvents();
  ASSERT_EQ(window->size(), QSize(600, 400));
  test::SaveScreenshot(*window, QStringLiteral("minimum_size_folder_tab"));

  window->ListTab()->CKSubFolder()->setChecked(true);
  window->PageControl1()->setCurrentWidget(window->TSList());
  QApplication::processEvents();
  ASSERT_EQ(window->ListTab()->PathModel()->rowCount(), 6);
  test::SaveScreenshot(*window, QStringLiteral("minimum_size_list_tab"));
  window->PageControl1()->setCurrentWidget(window->TSFilter());
  QApplication::processEvents();
  test::SaveScreenshot(*window, QStringLiteral("minimum_size_filter_tab"));
}

}  // namespace
}  // namespace tarvex
