// The tab keys of the main window: Ctrl+Tab, Ctrl+PageDown and back switch tabs from any
// control, and the tab shown takes the focus its show handler gives.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "app/filter/filter_page.h"
#include "app/folder/folder_page.h"
#include "app/log/qv_message_box.h"
#include "app/window/fm_main.h"
#include "app/window/program_start.h"
#include "support/recording_message_boxes.h"

namespace tarvex {
namespace {

class TabKeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = StartMainWindow(settings.filePath(QStringLiteral("tarvex.ini")), {.Boxes = &boxes});
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  QString CurrentTab() const { return window->PageControl1()->currentWidget()->objectName(); }
  // Where a person's key goes: the focused control.
  static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key, modifiers);
  }

  QTemporaryDir settings;
  test::RecordingMessageBoxes boxes;
  std::unique_ptr<TFMMain> window;
};

// A focused combo would take Ctrl+PageDown and Ctrl+PageUp as "next item": the window takes
// them first, and the combo keeps its item.
TEST_F(TabKeysTest, TabKeysSwitchTabsEvenFromAFocusedCombo) {
  QComboBox* choice = window->Folders().CBFilterChoice2();
  choice->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), choice);
  ASSERT_EQ(choice->currentIndex(), 0);
  Press(Qt::Key_PageUp, Qt::ControlModifier);  // from the first tab round to the last
  EXPECT_EQ(CurrentTab(), QStringLiteral("TSHelp"));
  EXPECT_EQ(choice->currentIndex(), 0);

  window->PageControl1()->setCurrentWidget(window->TSFilter());
  QComboBox* filter = window->Filters().CBFilter();
  ASSERT_EQ(QApplication::focusWidget(), filter);
  const int item = filter->currentIndex();
  const struct {
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
    const char* Tab;
  } steps[] = {
      {Qt::Key_PageDown, Qt::ControlModifier, "TSCompare"},
      {Qt::Key_PageUp, Qt::ControlModifier, "TSFilter"},
      {Qt::Key_Tab, Qt::ControlModifier, "TSCompare"},
      {Qt::Key_Tab, Qt::ControlModifier, "TSMessage"},
      {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, "TSCompare"},
      {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier, "TSFilter"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.Tab);
    Press(step.Key, step.Modifiers);
    EXPECT_EQ(CurrentTab(), QLatin1String(step.Tab));
  }
  EXPECT_EQ(filter->currentIndex(), item);
}

// Reached by the keyboard, the filter tab has its combo focused as when clicked: Tab then goes
// on to 追加, and Space presses it.
TEST_F(TabKeysTest, TheFilterTabReachedByKeyboardFocusesItsCombo) {
  window->PageControl1()->setCurrentWidget(window->TSMessage());
  window->MsgBox().setFocus();
  Press(Qt::Key_PageUp, Qt::ControlModifier);
  Press(Qt::Key_PageUp, Qt::ControlModifier);
  ASSERT_EQ(CurrentTab(), QStringLiteral("TSFilter"));
  EXPECT_EQ(QApplication::focusWidget(), window->Filters().CBFilter());
  Press(Qt::Key_Tab, Qt::NoModifier);
  EXPECT_EQ(QApplication::focusWidget(), window->Filters().BTFilterAdd());
}

}  // namespace
}  // namespace tarvex
