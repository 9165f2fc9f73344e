#include "app/folder/folder_page.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <memory>

#include "app/filter/filter_page.h"
#include "app/folder/folder_tree_view.h"
#include "app/log/qv_message_box.h"
#include "app/window/fm_main.h"
#include "app/window/program_start.h"
#include "core/fs/folder_address.h"
#include "core/scan/path_list.h"
#include "core/settings/compare_pair.h"
#include "core/settings/settings.h"
#include "support/recording_desktop_services.h"
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
  // QTemporaryDir cannot remove a name that is not UTF-8, and would leave the folder behind.
  void TearDown() override { rmdir((root + "/bad-\xff").c_str()); }
  std::unique_ptr<TFMMain> Start() {
    auto window = StartMainWindow(folder.filePath(QStringLiteral("tarvex.ini")),
                                  {.Boxes = &boxes, .Desktop = &desktop});
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

  // Drags the addresses onto target and drops them there; whether target took the drag.
  static bool Drop(QWidget* target, const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
  }
  // Types text over the edit's text and presses Return.
  static void Type(QLineEdit& edit, const QString& text) {
    edit.selectAll();
    QTest::keyClicks(&edit, text);
    QTest::keyClick(&edit, Qt::Key_Return);
  }
  QStringList BoxTexts() const {
    QStringList texts;
    for (const auto& call : boxes.Calls) texts << call.Text;
    return texts;
  }
  static QUrl Address(const std::string& path) {
    return QUrl::fromEncoded(QByteArray::fromStdString(FileAddressOf(path)));
  }

  QTemporaryDir folder;
  std::string root;
  test::RecordingMessageBoxes boxes;
  test::RecordingDesktopServices desktop;
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

TEST_F(FolderPageTest, SwapExchangesTheFoldersByButtonAndByKey) {
  const auto window = Start();
  FolderPage& page = window->Folders();
  ASSERT_TRUE(page.STVMain()->SelectPath(root + "/main/inner"));
  ASSERT_TRUE(page.STVSub()->SelectPath(root + "/sub"));
  EXPECT_EQ(page.BTSwapFolders()->text(), QStringLiteral("⇅ 入れ替え"));
  EXPECT_TRUE(page.BTSwapFolders()->toolTip().contains(QStringLiteral("Ctrl+Shift+S")));

  page.BTSwapFolders()->click();
  EXPECT_EQ(page.MainFolderText(), root + "/sub");
  EXPECT_EQ(page.SubFolderText(), root + "/main/inner");
  EXPECT_EQ(page.EDMainFolder()->text().toStdString(), root + "/sub");
  EXPECT_EQ(page.STVSub()->SelectedPath(), root + "/main/inner");
  // The history follows the swapped pair the next time the list tab is shown.
  window->PageControl1()->setCurrentWidget(window->TSList());
  EXPECT_EQ(window->State().Settings.CompareList.Items.front(),
            MakeComparePair(root + "/sub", root + "/main/inner"));
  window->PageControl1()->setCurrentWidget(window->TSFolder());

  // The key works from anywhere on the folder tab, and swaps back.
  page.STVSub()->setFocus();
  QTest::keyClick(page.STVSub(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(page.EDMainFolder()->text().toStdString(), root + "/main/inner");
  EXPECT_EQ(page.EDSubFolder()->text().toStdString(), root + "/sub");

  // The computer node is no path: the other tree selects its own computer node.
  page.STVSub()->setCurrentItem(page.STVSub()->ComputerItem());
  window->MsgBox().clear();
  page.SwapFolders();
  EXPECT_EQ(page.EDMainFolder()->text(), QStringLiteral("コンピュータ"));
  EXPECT_EQ(page.SubFolderText(), root + "/main/inner");
  EXPECT_EQ(Log(*window), QString());
}

TEST_F(FolderPageTest, TreesListFoldersAfreshOnF5AndOnEveryExpansion) {
  const auto window = Start();
  FolderTreeView& tree = *window->Folders().STVMain();
  ASSERT_TRUE(tree.SelectPath(root + "/main/inner"));
  QTreeWidgetItem* inner = tree.currentItem();
  QTreeWidgetItem* mainNode = inner->parent();
  tree.expandItem(inner);  // stays expanded while its parent is listed again
  const auto childNames = [](const QTreeWidgetItem* item) {
    QStringList names;
    for (int i = 0; i < item->childCount(); ++i) names << item->child(i)->text(0);
    return names;
  };
  EXPECT_EQ(childNames(mainNode), QStringList{QStringLiteral("inner")});

  // F5 on the selected folder: a new folder appears, a removed one goes, the rest keep their
  // nodes and their expansion; the expanded folder below is listed again too.
  ASSERT_EQ(mkdir((root + "/main/added").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((root + "/main/inner/deep").c_str(), 0755), 0);
  tree.setCurrentItem(mainNode);
  QTest::keyClick(&tree, Qt::Key_F5);
  EXPECT_EQ(childNames(mainNode), (QStringList{QStringLiteral("added"), QStringLiteral("inner")}));
  EXPECT_EQ(mainNode->child(1), inner);
  EXPECT_TRUE(inner->isExpanded());
  EXPECT_EQ(childNames(inner), QStringList{QStringLiteral("deep")});
  ASSERT_EQ(rmdir((root + "/main/added").c_str()), 0);
  QTest::keyClick(&tree, Qt::Key_F5);
  EXPECT_EQ(childNames(mainNode), QStringList{QStringLiteral("inner")});

  // Collapse and expand lists again, as often as it happens.
  for (const char* name : {"/main/later", "/main/later2"}) {
    ASSERT_EQ(mkdir((root + name).c_str(), 0755), 0);
    tree.collapseItem(mainNode);
    tree.expandItem(mainNode);
  }
  EXPECT_EQ(childNames(mainNode), (QStringList{QStringLiteral("inner"), QStringLiteral("later"),
                                               QStringLiteral("later2")}));
  // A folder left empty loses its expander.
  ASSERT_EQ(rmdir((root + "/main/inner/deep").c_str()), 0);
  tree.setCurrentItem(inner);
  QTest::keyClick(&tree, Qt::Key_F5);
  EXPECT_EQ(inner->childCount(), 0);
  EXPECT_EQ(inner->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicator);
}

TEST_F(FolderPageTest, TypedAndPastedPathsWalkTheTree) {
  const auto window = Start();
  FolderPage& page = window->Folders();
  QLineEdit& mainEdit = *page.EDMainFolder();
  QLineEdit& subEdit = *page.EDSubFolder();
  EXPECT_FALSE(mainEdit.isReadOnly());
  ASSERT_NE(mainEdit.completer(), nullptr);

  Type(mainEdit, QString::fromStdString(root + "/main/inner/"));
  EXPECT_EQ(page.MainFolderText(), root + "/main/inner");
  EXPECT_EQ(page.STVMain()->SelectedPath(), root + "/main/inner");
  EXPECT_EQ(mainEdit.text().toStdString(), root + "/main/inner");

  // A pasted file: address, with a line break as a file manager copies it.
  QApplication::clipboard()->setText(QString::fromStdString(FileAddressOf(root + "/sub") + "\n"));
  subEdit.selectAll();
  subEdit.paste();
  QTest::keyClick(&subEdit, Qt::Key_Return);
  EXPECT_EQ(page.SubFolderText(), root + "/sub");

  // A picked completion sets the text as a program would; Return takes it all the same.
  subEdit.setText(QString::fromStdString(root + "/other3"));
  QTest::keyClick(&subEdit, Qt::Key_Return);
  EXPECT_EQ(page.SubFolderText(), root + "/other3");

  // "~" is the home folder.
  const QByteArray oldHome = qgetenv("HOME");
  qputenv("HOME", QByteArray::fromStdString(root + "/other"));
  Type(subEdit, QStringLiteral("~"));
  Type(mainEdit, QStringLiteral("~/../other2"));
  qputenv("HOME", oldHome);
  EXPECT_EQ(page.SubFolderText(), root + "/other");
  EXPECT_EQ(page.MainFolderText(), root + "/other2");
  EXPECT_TRUE(boxes.Calls.empty());

  // What names no folder is refused, and the edit shows the tree's folder again.
  std::ofstream(root + "/main/file.txt") << "x";
  const QString notFolders[] = {QString::fromStdString(root + "/gone"),
                                QString::fromStdString(root + "/main/file.txt"),
                                QStringLiteral("relative/path")};
  for (const QString& text : notFolders) {
    Type(mainEdit, text);
    EXPECT_EQ(page.MainFolderText(), root + "/other2") << text.toStdString();
    EXPECT_EQ(mainEdit.text().toStdString(), root + "/other2");
  }
  EXPECT_EQ(BoxTexts(),
            (QStringList{QStringLiteral("フォルダが見つかりません: ") + notFolders[0],
                         QStringLiteral("フォルダが見つかりません: ") + notFolders[1],
                         QStringLiteral("フォルダが見つかりません: ") + notFolders[2]}));

  // Leaving the edit takes the path as Return does; leaving it untouched changes nothing.
  boxes.Calls.clear();
  mainEdit.setFocus();
  mainEdit.selectAll();
  QTest::keyClicks(&mainEdit, QString::fromStdString(root + "/main"));
  page.STVSub()->setFocus();
  EXPECT_EQ(page.MainFolderText(), root + "/main");
  mainEdit.setFocus();
  page.STVSub()->setFocus();
  EXPECT_TRUE(boxes.Calls.empty());
}

TEST_F(FolderPageTest, FoldersDroppedFromAFileManagerBecomeTheRoots) {
  mkdir((root + "/bad-\xff").c_str(), 0755);
  std::ofstream(root + "/other/note.txt") << "x";
  const auto window = Start();
  FolderPage& page = window->Folders();

  // One folder onto a tree or an edit: that side.
  EXPECT_TRUE(Drop(page.STVSub()->viewport(), {Address(root + "/sub")}));
  EXPECT_EQ(page.SubFolderText(), root + "/sub");
  EXPECT_EQ(page.MainFolderText(), "コンピュータ");
  EXPECT_TRUE(Drop(page.EDMainFolder(), {Address(root + "/main/inner")}));
  EXPECT_EQ(page.MainFolderText(), root + "/main/inner");
  EXPECT_EQ(page.EDMainFolder()->text().toStdString(), root + "/main/inner");

  // A file stands for its folder; a name that is not UTF-8 arrives byte for byte.
  EXPECT_TRUE(Drop(page.STVMain(), {Address(root + "/other/note.txt")}));
  EXPECT_EQ(page.MainFolderText(), root + "/other");
  EXPECT_TRUE(Drop(page.EDSubFolder(), {Address(root + "/bad-\xff")}));
  EXPECT_EQ(page.SubFolderText(), root + "/bad-\xff");

  // Two folders onto the page set both sides, the first the main one.
  EXPECT_TRUE(Drop(&page, {Address(root + "/other2"), Address(root + "/other3")}));
  EXPECT_EQ(page.MainFolderText(), root + "/other2");
  EXPECT_EQ(page.SubFolderText(), root + "/other3");
  EXPECT_TRUE(Drop(page.STVMain()->viewport(), {Address(root + "/sub"), Address(root + "/main")}));
  EXPECT_EQ(page.MainFolderText(), root + "/sub");
  EXPECT_EQ(page.SubFolderText(), root + "/main");
  EXPECT_TRUE(boxes.Calls.empty());

  // What is no local path is not taken; a vanished folder is refused with a message.
  EXPECT_FALSE(Drop(page.STVMain()->viewport(), {QUrl(QStringLiteral("https://example.org/x"))}));
  EXPECT_FALSE(Drop(&page, {Address(root + "/other")}));  // away from a side, one says no side
  EXPECT_TRUE(Drop(page.EDMainFolder(), {Address(root + "/gone")}));
  EXPECT_EQ(page.MainFolderText(), root + "/sub");
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text,
            QStringLiteral("フォルダが見つかりません: ") + QString::fromStdString(root + "/gone"));
}

TEST_F(FolderPageTest, HomeAndVolumesAreTopNodesBesideTheComputer) {
  mkdir((root + "/STICK").c_str(), 0755);
  mkdir((root + "/STICK/photos").c_str(), 0755);
  desktop.Drives = {"/", root + "/STICK"};
  const auto window = Start();
  FolderPage& page = window->Folders();
  for (const Side side : BothSides) {
    FolderTreeView& tree = side == Side::Main ? *page.STVMain() : *page.STVSub();
    ASSERT_EQ(tree.topLevelItemCount(), 3);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), QStringLiteral("コンピュータ"));
    EXPECT_EQ(tree.topLevelItem(1)->text(0), QStringLiteral("ホーム"));
    EXPECT_EQ(FolderTreeView::ItemPath(tree.topLevelItem(1)),
              QFile::encodeName(QDir::homePath()).toStdString());
    QTreeWidgetItem* stick = tree.topLevelItem(2);
    EXPECT_EQ(stick->text(0), QStringLiteral("STICK"));
    EXPECT_EQ(stick->toolTip(0).toStdString(), root + "/STICK");
  }
  // A volume node expands like any folder, and its folders become roots.
  FolderTreeView& tree = *page.STVSub();
  tree.expandItem(tree.topLevelItem(2));
  ASSERT_EQ(tree.topLevelItem(2)->childCount(), 1);
  tree.setCurrentItem(tree.topLevelItem(2)->child(0));
  EXPECT_EQ(page.SubFolderText(), root + "/STICK/photos");
  tree.setCurrentItem(tree.topLevelItem(2));
  EXPECT_EQ(page.SubFolderText(), root + "/STICK");
  test::SaveScreenshot(*window, QStringLiteral("folder_tab_volumes"));
}

TEST_F(FolderPageTest, TreeMenuShowsTheFolderInTheFileManager) {
  const auto window = Start();
  FolderPage& page = window->Folders();
  QAction* show = page.PMMShowFolder(Side::Sub);
  ASSERT_NE(show, nullptr);
  EXPECT_EQ(show->text(), QStringLiteral("ファイルマネージャで開く"));
  EXPECT_TRUE(page.STVSub()->actions().contains(show));
  EXPECT_FALSE(show->isEnabled());  // the computer is no folder to show
  desktop.Calls.clear();
  ASSERT_TRUE(page.STVSub()->SelectPath(root + "/sub"));
  EXPECT_TRUE(show->isEnabled());
  show->trigger();
  EXPECT_EQ(desktop.Calls, std::vector<std::string>{"show " + root + "/sub"});
}

}  // namespace
}  // namespace tarvex
