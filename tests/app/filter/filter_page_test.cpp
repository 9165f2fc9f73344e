#include "app/filter/filter_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/folder/folder_page.h"
#include "app/list/list_page.h"
#include "app/log/qv_message_box.h"
#include "app/window/fm_main.h"
#include "app/window/program_start.h"
#include "support/qt_printers.h"
#include "support/recording_message_boxes.h"
#include "support/screenshot.h"

namespace tarvex {
namespace {

QStringList Items(const QComboBox& combo) {
  QStringList items;
  for (int i = 0; i < combo.count(); ++i) items << combo.itemText(i);
  return items;
}

class FilterPageTest : public ::testing::Test {
 protected:
  void Start() {
    window = StartMainWindow(folder.filePath(QStringLiteral("tarvex.ini")), {.Boxes = &boxes});
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    page = &window->Filters();
    tabs = window->PageControl1();
  }
  void ShowTab(QWidget* tab) {
    tabs->setCurrentWidget(tab);
    QApplication::processEvents();
  }
  void Click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton);
    QApplication::processEvents();
  }
  void ClickMemo(QPlainTextEdit* memo) { Click(memo->viewport()); }
  void TypeName(const QString& text) {
    ASSERT_TRUE(page->CBFilter()->isEditable());
    page->CBFilter()->lineEdit()->setText(text);
  }
  QStringList Names() const { return Items(*page->CBFilter()); }
  QStringList Log() const {
    return window->MsgBox().toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  }
  Settings& TheSettings() { return window->State().Settings; }

  QTemporaryDir folder;
  test::RecordingMessageBoxes boxes;
  std::unique_ptr<TFMMain> window;
  FilterPage* page = nullptr;
  QTabWidget* tabs = nullptr;
};

TEST_F(FilterPageTest, EditsThroughTheWidgetsAndKeepsThemAcrossARestart) {
  Start();
  ShowTab(window->TSFilter());
  EXPECT_EQ(QApplication::focusWidget(), page->CBFilter());
  ASSERT_EQ(Names(), (QStringList{u"すべて"_qs, u"汎用"_qs}));

  // 追加 with blanks around the name; moving to a memo commits it.
  Click(page->BTFilterAdd());
  EXPECT_TRUE(page->CBFilter()->isEditable());
  EXPECT_EQ(page->CBFilter()->currentText(), QString());
  EXPECT_EQ(page->MESelectExt()->toPlainText(), u"*"_qs);
  TypeName(u"  Docs  "_qs);
  ClickMemo(page->MEIgnoreExt());
  EXPECT_FALSE(page->CBFilter()->isEditable());
  EXPECT_EQ(Names(), (QStringList{u"Docs"_qs, u"すべて"_qs, u"汎用"_qs}));
  EXPECT_EQ(page->CBFilter()->currentIndex(), 0);
  EXPECT_EQ(Log().back(), u"フィルタ名追加 Docs"_qs);
  EXPECT_EQ(page->MEHideExt()->toPlainText(), QString());
  EXPECT_EQ(page->MESelectExt()->toPlainText(), u"*"_qs);
  EXPECT_EQ(page->MEIgnoreExt()->toPlainText(), QString());
  // The choice boxes get a new name at their end at once.
  EXPECT_EQ(Items(*window->Folders().CBFilterChoice2()).back(), u"Docs"_qs);
  EXPECT_EQ(Items(*window->ListTab()->CBFilterChoice()).back(), u"Docs"_qs);

  // Patterns typed into the memos are stored when the focus moves on; a blank before "*.*" makes
  // it another pattern than every file.
  page->MEIgnoreExt()->setPlainText(u"build/*"_qs);
  ClickMemo(page->MEHideExt());
  page->MEHideExt()->setPlainText(u" *.*\n*.bak"_qs);
  ClickMemo(page->MESelectExt());
  page->MESelectExt()->setPlainText(u"  "_qs);
  ClickMemo(page->MEHideExt());
  EXPECT_EQ(page->MESelectExt()->toPlainText(), u"*"_qs);  // an emptied select list
  EXPECT_EQ(TheSettings().ExtHideTable.Value("Docs"), "\" *.*\",*.bak");
  EXPECT_EQ(TheSettings().ExtSelectTable.Value("Docs"), "*");
  EXPECT_EQ(TheSettings().ExtIgnoreTable.Value("Docs"), "build/*");

  // 追加 of a name that differs only in letter case selects that set.
  const int logLines = window->MsgBox().LineCount();
  Click(page->BTFilterAdd());
  TypeName(u"DOCS"_qs);
  ClickMemo(page->MEIgnoreExt());
  EXPECT_EQ(Names(), (QStringList{u"Docs"_qs, u"すべて"_qs, u"汎用"_qs}));
  EXPECT_EQ(window->MsgBox().LineCount(), logLines);
  EXPECT_EQ(page->MEIgnoreExt()->toPlainText(), u"build/*"_qs);

  // Renaming a set that a pair uses takes the pair along; the choice boxes follow when the tab
  // is left.
  TheSettings().PairFilterMap.SetValue("/m 〓 /s", "Docs");
  TheSettings().CompareList.Items.push_back("/m 〓 /s");  // a pair's set is kept with its entry
  Click(page->BTReName());
  EXPECT_EQ(page->CBFilter()->currentText(), u"Docs"_qs);
  EXPECT_EQ(page->Editor().FilterRenameIndex(), 0);
  TypeName(u"Texts"_qs);
  ClickMemo(page->MEIgnoreExt());
  EXPECT_EQ(Names(), (QStringList{u"Texts"_qs, u"すべて"_qs, u"汎用"_qs}));
  EXPECT_EQ(Log().back(), u"フィルタ名変更 Docs → Texts"_qs);
  EXPECT_EQ(TheSettings().PairFilterMap.Value("/m 〓 /s"), "Texts");
  EXPECT_EQ(TheSettings().ExtIgnoreTable.Value("Texts"), "build/*");
  EXPECT_TRUE(Items(*window->Folders().CBFilterChoice2()).contains(u"Docs"_qs));
  ShowTab(window->TSMessage());
  EXPECT_EQ(Items(*window->Folders().CBFilterChoice2()), Names());
  EXPECT_EQ(Items(*window->ListTab()->CBFilterChoice()), Names());

  // Choosing a set and then clicking a memo moves that set to the top.
  ShowTab(window->TSFilter());
  QTest::keyClick(page->CBFilter(), Qt::Key_Down);
  QTest::keyClick(page->CBFilter(), Qt::Key_Down);
  EXPECT_EQ(page->CBFilter()->currentText(), u"汎用"_qs);
  ClickMemo(page->MEHideExt());
  EXPECT_EQ(Names(), (QStringList{u"汎用"_qs, u"Texts"_qs, u"すべて"_qs}));

  // A rename whose name is then cleared is abandoned, without a log line; the first set is
  // selected.
  const int linesBeforeRename = window->MsgBox().LineCount();
  Click(page->BTReName());
  TypeName(QString());
  ClickMemo(page->MEHideExt());
  EXPECT_EQ(Names(), (QStringList{u"汎用"_qs, u"Texts"_qs, u"すべて"_qs}));
  EXPECT_EQ(page->CBFilter()->currentIndex(), 0);
  EXPECT_FALSE(page->CBFilter()->isEditable());
  EXPECT_EQ(window->MsgBox().LineCount(), linesBeforeRename);

  // "*.*" in the hide list is refused; the tab and the memo keep the focus.
  const std::string hideBefore = TheSettings().ExtHideTable.Value("汎用");
  page->MEHideExt()->setPlainText(u"*.tmp\n*.*"_qs);
  ShowTab(window->TSMessage());
  ASSERT_FALSE(boxes.Calls.empty());
  EXPECT_EQ(boxes.Calls.back().Text, u"表示しないフィルタに*.*は指定出来ません。"_qs);
  EXPECT_EQ(tabs->currentWidget(), window->TSFilter());
  EXPECT_EQ(QApplication::focusWidget(), page->MEHideExt());
  EXPECT_EQ(page->MEHideExt()->toPlainText(), u"*.tmp\n*.*"_qs);
  EXPECT_EQ(TheSettings().ExtHideTable.Value("汎用"), hideBefore);
  page->MEHideExt()->setPlainText(u"*.tmp"_qs);
  test::SaveScreenshot(*window, QStringLiteral("filter_tab"));
  ClickMemo(page->MESelectExt());
  EXPECT_EQ(TheSettings().ExtHideTable.Value("汎用"), "*.tmp");

  // Saved at close, found again at the next start.
  const Settings saved = TheSettings();
  window->close();
  window.reset();
  Start();
  EXPECT_EQ(TheSettings().FilterNames.Items, saved.FilterNames.Items);
  EXPECT_EQ(TheSettings().ExtHideTable.Lines, saved.ExtHideTable.Lines);
  EXPECT_EQ(TheSettings().ExtSelectTable.Lines, saved.ExtSelectTable.Lines);
  EXPECT_EQ(TheSettings().ExtIgnoreTable.Lines, saved.ExtIgnoreTable.Lines);
  EXPECT_EQ(TheSettings().PairFilterMap.Value("/m 〓 /s"), "Texts");
}

TEST_F(FilterPageTest, DeleteAsksAndTheLastDeletionLeavesTheComboEmpty) {
  Start();
  ShowTab(window->TSFilter());
  boxes.ConfirmAnswer = false;
  Click(page->BTFilterDel());
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Kind, u"OkCancel"_qs);
  EXPECT_EQ(boxes.Calls[0].Text, u"すべてを削除してもよろしいですか？"_qs);
  EXPECT_EQ(Names().size(), 2);

  boxes.ConfirmAnswer = true;
  Click(page->BTFilterDel());
  EXPECT_EQ(Names(), (QStringList{u"汎用"_qs}));
  EXPECT_EQ(page->CBFilter()->currentIndex(), 0);
  Click(page->BTFilterDel());
  EXPECT_TRUE(Names().isEmpty());
  EXPECT_EQ(page->CBFilter()->currentText(), QString());
  for (QPlainTextEdit* memo : {page->MEHideExt(), page->MESelectExt(), page->MEIgnoreExt()})
    EXPECT_EQ(memo->toPlainText(), QString());
  // The deleted sets' lists stay in the tables.
  EXPECT_FALSE(TheSettings().ExtSelectTable.Value("汎用").empty());
  ClickMemo(page->MESelectExt());
  ClickMemo(page->MEHideExt());  // nothing selected: nothing is stored under an empty name
  EXPECT_EQ(TheSettings().ExtSelectTable.IndexOfName(""), -1);
}

}  // namespace
}  // namespace tarvex
