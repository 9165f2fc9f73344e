#include "app/folder/folder_page.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <memory>

#include "app/filter/filter_page.h"
#include "app/folder/folder_tree_view.h"
#include "app/log/qv_message_box.h"
#include "app/window/fm_main.h"
#include "app/window/program_start.h"
#include "core/scan/path_list.h"
#include "core/settings/compare_pair.h"
#include "core/settings/settings.h"
#include "support/recording_message_boxes.h"
#include "support/screenshot.h"

namespace tarvex {
namespace {

class FolderPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = folder.path().toStdString();
    for (const char* d : {"/main", "/main/inner", "/sub", "/other", "/other2", "/other3"}) {
      mkdir((root + d).c_str(), 0755);
    }
  }
  std::unique_ptr<TFMMain> Start() {
    auto window = StartMainWindow(folder.filePath(QStringLiteral("tarvex.ini")), {.Boxes = &boxes});
    QApplication::setActiveWindow(window.get());
    return window;
  }
  // Writes a settings file with the given history, most recent first.
  void StoreHistory(const std::vector<std::string>& pairs, const std::string& filterOfFirst) {
    ProfileFile file(folder.filePath(QStringLiteral("tarvex.ini")).toStdString());
    Settings settings;
    LoadSettings(file, settings);
    settings.CompareList.Items = pairs;
    if (!filterOfFirst.empty()) settings.PairFilterMap.SetValue(pairs.front(), filterOfFirst);
    ASSERT_TRUE(SaveSettings(file, settings));
  }
  static QString Log(TFMMain& window) { return window.MsgBox().toPlainText(); }
  static QColor ComboColour(TFMMain& window) {
    return window.Folders().CBComparePath()->palette().color(QPalette::Button);
  }

  QTemporaryDir folder;
  std::string root;
  test::RecordingMessageBoxes boxes;
};

TEST_F(FolderPageTest, FirstStartAppliesAnEmptyPair) {
  const auto window = Start();
  FolderPage& page = window->Folders();
  EXPECT_EQ(window->State().Settings.CompareList.Items, std::vector<std::string>{""});
  EXPECT_EQ(page.CBComparePath()->currentIndex(), 0);
  EXPECT_EQ(Log(*window), QStringLiteral("パス切り替え \n"));
  EXPECT_EQ(ComboColour(*window), QColor(0xFF, 0xAA, 0xCC));
  EXPECT_EQ(page.EDMainFolder()->text(), QStringLiteral("コンピュータ"));
  EXPECT_EQ(page.EDSubFolder()->text(), QStringLiteral("コンピュータ"));
  // Both filter choice boxes mirror the default sets.
  EXPECT_EQ(page.CBFilterChoice2()->count(), 2);
  EXPECT_EQ(page.CBFilterChoice2()->currentText(), QStringLiteral("すべて"));
  // The two trees share the window's width.
  EXPECT_EQ(window->width(), 720);
  EXPECT_EQ(page.STVMain()->width(), 348);
  EXPECT_EQ(page.STVSub()->x(), 354);
  EXPECT_EQ(page.STVSub()->width(), 348);
  test::SaveScreenshot(*window, QStringLiteral("folder_tab_first_start"));
}

TEST_F(FolderPageTest, PairPickedInTheTreesIsRecordedWithItsFilterSetAndComesBack) {
  const std::string pair = MakeComparePair(root + "/main", root + "/sub");
  {
    const auto window = Start();
    FolderPage& page = window->Folders();
    ASSERT_TRUE(page.STVMain()->SelectPath(root + "/main"));
    ASSERT_TRUE(page.STVSub()->SelectPath(root + "/sub"));
    EXPECT_EQ(page.EDMainFolder()->text().toStdString(), root + "/main");
    // The second filter set, chosen on the folder tab, goes with the pair.
    page.CBFilterChoice2()->setCurrentIndex(1);
    window->CBFilterChoice2Change(1);
    EXPECT_EQ(window->Filters().CBFilter()->currentText(), QStringLiteral("汎用"));
    EXPECT_TRUE(
        window->Filters().MEIgnoreExt()->toPlainText().startsWith(QStringLiteral("*.bak\n")));
    window->PageControl1()->setCurrentWidget(window->TSList());
    EXPECT_EQ(window->State().Settings.CompareList.Items.front(), pair);
    test::SaveScreenshot(*window, QStringLiteral("folder_tab_pair"));
    window->PageControl1()->setCurrentWidget(window->TSFolder());
    test::SaveScreenshot(*window, QStringLiteral("folder_tab_pair"));
    ASSERT_TRUE(window->close());
  }
  const auto window = Start();
  FolderPage& page = window->Folders();
  EXPECT_EQ(page.CBComparePath()->currentText().toStdString(), pair);
  EXPECT_EQ(page.EDMainFolder()->text().toStdString(), root + "/main");
  EXPECT_EQ(page.EDSubFolder()->text().toStdString(), root + "/sub");
  EXPECT_EQ(window->Filters().CBFilter()->currentText(), QStringLiteral("汎用"));
  EXPECT_EQ(page.CBFilterChoice2()->currentText(), QStringLiteral("汎用"));
  EXPECT_EQ(ComboColour(*window), QColor(0xF0, 0xFF, 0xF0));
}

TEST_F(FolderPageTest, HistoryEntryMovesToTheTopAndMissingFoldersAreLogged) {
  const std::vector<std::string> pairs = {
      MakeComparePair(root + "/main", root + "/sub"),
      MakeComparePair(root + "/other", root + "/sub"),
      MakeComparePair(root + "/other2", root + "/sub"),
      MakeComparePair(root + "/gone/deeper", root + "/other3"),
  };
  StoreHistory(pairs, "");
  const auto window = Start();
  FolderPage& page = window->Folders();
  window->MsgBox().clear();
  page.CBComparePath()->setCurrentIndex(3);
  page.CBComparePathChange();
  EXPECT_EQ(window->State().Settings.CompareList.Items,
            (std::vector<std::string>{pairs[3], pairs[0], pairs[1], pairs[2]}));
  // The main tree stops at the deepest folder that exists; the sub tree is not walked.
  EXPECT_EQ(page.EDMainFolder()->text().toStdString(), root);
  EXPECT_EQ(page.EDSubFolder()->text().toStdString(), root + "/sub");
  EXPECT_EQ(Log(*window),
            QString::fromStdString("パス切り替え " + pairs[3] + "\nパスが見つかりません " + root +
                                   "/gone/deeper\n"));
  EXPECT_EQ(ComboColour(*window), QColor(0xFF, 0xAA, 0xCC));

  // The pop-up command removes the entry and leaves nothing selected.
  page.PMMCBDelListClick();
  EXPECT_EQ(window->State().Settings.CompareList.Items,
            (std::vector<std::string>{pairs[0], pairs[1], pairs[2]}));
  EXPECT_EQ(page.CBComparePath()->currentIndex(), -1);
  EXPECT_FALSE(page.STVMain()->ComputerItem()->child(0)->isExpanded());
}

// A deleted pair stays deleted: its folders are no longer chosen, so going to the list tab
// neither scans them nor records the pair again.
TEST_F(FolderPageTest, DeletedPairIsNeitherScannedNorRecordedAgain) {
  const std::string pairA = MakeComparePair(root + "/main", root + "/sub");
  const std::string pairB = MakeComparePair(root + "/other", root + "/sub");
  StoreHistory({pairA, pairB}, "");
  const auto window = Start();
  FolderPage& page = window->Folders();
  ASSERT_EQ(page.EDMainFolder()->text().toStdString(), root + "/main");  // holds "inner"

  page.PMMCBDelList()->trigger();
  for (FolderTreeView* tree : {page.STVMain(), page.STVSub()}) {
    EXPECT_EQ(tree->currentItem(), nullptr);
    EXPECT_TRUE(tree->selectedItems().isEmpty());
  }
  EXPECT_EQ(page.EDMainFolder()->text(), QString());
  EXPECT_EQ(page.EDSubFolder()->text(), QString());

  window->PageControl1()->setCurrentWidget(window->TSList());
  EXPECT_EQ(window->State().Settings.CompareList.Items, std::vector<std::string>{pairB});
  const PathList* list = window->State().PathList.get();
  EXPECT_TRUE(list == nullptr || list->PathCount == 0);
}

TEST_F(FolderPageTest, PairOfADeletedFilterSetLeavesNoFilterSelected) {
  StoreHistory({MakeComparePair(root + "/main", root + "/sub")}, "消えたフィルタ");
  const auto window = Start();
  EXPECT_EQ(window->Filters().CBFilter()->currentIndex(), -1);
  EXPECT_EQ(window->Filters().MESelectExt()->toPlainText(), QString());
}

}  // namespace
}  // namespace tarvex
