#include "app/help/help_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <memory>

#include "app/help/qv_help_text.h"
#include "app/window/fm_main.h"
#include "app/window/program_start.h"
#include "support/qt_printers.h"
#include "support/recording_desktop_services.h"
#include "support/recording_message_boxes.h"
#include "support/screenshot.h"

namespace tarvex {
namespace {

class HelpPageTest : public ::testing::Test {
 protected:
  void Start(const QByteArray& settings = {}) {
    if (!settings.isEmpty()) {
      QFile file(folder.filePath(QStringLiteral("tarvex.ini")));
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(settings);
    }
    window = StartMainWindow(folder.filePath(QStringLiteral("tarvex.ini")),
                             {.Boxes = &boxes, .Desktop = &desktop});
    desktop.Calls.clear();
  }
  HelpPage& Page() { return window->Help(); }

  QTemporaryDir folder;
  test::RecordingMessageBoxes boxes;
  test::RecordingDesktopServices desktop;
  std::unique_ptr<TFMMain> window;
};

TEST_F(HelpPageTest, TheTabHoldsTheLinkAndTheViewer) {
  Start();
  QWidget* tab = window->TSHelp();
  auto* label7 = tab->findChild<QLabel*>(QStringLiteral("Label7"));
  auto* link = tab->findChild<QLabel*>(QStringLiteral("LBURL"));
  auto* viewer = tab->findChild<TQvHelpText*>(QStringLiteral("QvHelpText1"));
  ASSERT_TRUE(label7 && link && viewer);
  EXPECT_EQ(label7->text(), QStringLiteral("ホームページ："));
  EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0x80, 0x00, 0x80));
  EXPECT_TRUE(link->font().italic());
  EXPECT_TRUE(link->font().underline());
  EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(viewer->ExtName(), QStringLiteral("txt"));
}

TEST_F(HelpPageTest, WithoutASupportAddressTheLinkOpensTheUserGuide) {
  Start();
  const QString guide = QString::fromStdString(Page().QvHelpText1()->HelpFilePath());
  EXPECT_EQ(Page().LBURL()->text(), QUrl::fromLocalFile(guide).toString() + QLatin1Char(' '));
  Page().LBURLClick();
  ASSERT_EQ(desktop.Calls.size(), 1u);
  EXPECT_EQ(desktop.Calls[0], "open " + QUrl::fromLocalFile(guide).toString().toStdString());
}

TEST_F(HelpPageTest, ClickingTheLinkOpensTheStoredAddressWithoutTheBlankAfterIt) {
  Start("[option]\nsupporturl=https://example.org/tarvex/\n");
  EXPECT_EQ(Page().LBURL()->text(), QStringLiteral("https://example.org/tarvex/ "));
  window->PageControl1()->setCurrentWidget(window->TSHelp());
  QTest::mouseClick(Page().LBURL(), Qt::LeftButton);
  EXPECT_EQ(desktop.Calls, (std::vector<std::string>{"open https://example.org/tarvex/"}));
  // A press elsewhere that is released over the link is no click of it; a right click neither.
  QTest::mouseClick(Page().LBURL(), Qt::RightButton);
  EXPECT_EQ(desktop.Calls.size(), 1u);

  Page().LBURL()->setText(QStringLiteral("\t\u3000 https://example.org/a b \x01\r\n"));
  Page().LBURLClick();
  EXPECT_EQ(desktop.Calls.back(), "open https://example.org/a b");
  EXPECT_TRUE(boxes.Calls.empty());
}

// The user guide as the program shows it, in the window at its design width and at its minimum.
TEST_F(HelpPageTest, ScreenshotsOfTheUserGuideAtTwoWidths) {
  Start();
  TQvHelpText& viewer = *Page().QvHelpText1();
  ASSERT_TRUE(viewer.LoadHelpFile(TARVEX_BUILT_HELP_TEXT));
  Page().ShowSupportAddress({});
  window->PageControl1()->setCurrentWidget(window->TSHelp());
  const std::pair<QSize, const char*> sizes[] = {{QSize(720, 690), "help_720"},
                                                 {QSize(600, 400), "help_600"}};
  for (const auto& [size, name] : sizes) {
    window->resize(size);
    QApplication::processEvents();
    viewer.ReflowTimerTick();
    EXPECT_EQ(viewer.LaidOutWidth(), viewer.width());
    int indented = 0;
    for (QTextBlock b = viewer.document()->firstBlock(); b.isValid(); b = b.next()) {
      EXPECT_FALSE(b.text().startsWith(QStringLiteral("、")) ||
                   b.text().startsWith(QStringLiteral("。")))
          << b.text().toStdString();
      if (b.text().startsWith(QStringLiteral("　")) ||
          b.text().startsWith(QStringLiteral("    "))) {
        ++indented;
      }
    }
    EXPECT_GT(indented, 5) << name;
    EXPECT_FALSE(test::SaveScreenshot(*window, QString::fromLatin1(name)).isEmpty());
    // Further down: the marks with their nested bullets.
    const QTextBlock marks = viewer.document()->find(QStringLiteral("◇比較のマーク")).block();
    ASSERT_TRUE(marks.isValid());
    viewer.verticalScrollBar()->setValue(marks.blockNumber());
    EXPECT_FALSE(test::SaveScreenshot(*window, QString::fromLatin1(name) + QStringLiteral("_marks"))
                     .isEmpty());
    viewer.verticalScrollBar()->setValue(0);
  }
}

}  // namespace
}  // namespace tarvex
