#include "app/window/drive_watcher.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/window/fm_main.h"
#include "app/window/program_start.h"
#include "core/session/list_guard.h"
#include "support/qt_printers.h"
#include "support/recording_desktop_services.h"
#include "support/recording_message_boxes.h"

namespace tarvex {
namespace {

using Calls = std::vector<std::string>;

class DriveWatcherTest : public ::testing::Test {
 protected:
  void SetUp() override { Start(SettingsPath()); }

  void Start(const QString& settingsPath) {
    window = StartMainWindow(settingsPath, {.Boxes = &boxes, .Desktop = &desktop});
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    desktop.Calls.clear();
  }

  QString SettingsPath() const { return folder.filePath(QStringLiteral("tarvex.ini")); }
  DriveWatcher& Watcher() { return window->DriveWatch(); }
  void Tick() { Watcher().TMWatcheDriveTimer(); }
  void ShowTab(QWidget* page) { window->PageControl1()->setCurrentWidget(page); }
  QString SettingsText() const {
    QFile file(SettingsPath());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }

  QTemporaryDir folder;
  test::RecordingMessageBoxes boxes;
  test::RecordingDesktopServices desktop;
  std::unique_ptr<TFMMain> window;
};

TEST_F(DriveWatcherTest, StartTakesTheDrivesAndChecksFirstAfterTenSeconds) {
  EXPECT_EQ(window->State().DriveList, (std::vector<std::string>{"/", "/home"}));
  QTimer* timer = Watcher().TMWatcheDrive();
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->objectName(), QStringLiteral("TMWatcheDrive"));
  EXPECT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 10000);
}

TEST_F(DriveWatcherTest, UnchangedDrivesAreCheckedAgainEveryThreeSeconds) {
  for (int i = 0; i < 2; ++i) {
    Tick();
    EXPECT_EQ(Watcher().Interval(), 3000);
  }
  EXPECT_EQ(desktop.Calls, (Calls{"list", "list"}));
  EXPECT_TRUE(boxes.Calls.empty());
  EXPECT_TRUE(window->State().SharedListsAlive());
}

TEST_F(DriveWatcherTest, AnAddedDriveIsAnnouncedThenTheSettingsAreSavedAndTheProgramRestarts) {
  bool savedBeforeTheWait = false;
  desktop.OnSleep = [&] {
    savedBeforeTheWait = QFileInfo::exists(SettingsPath()) && !window->State().SharedListsAlive() &&
                         boxes.Calls.size() == 1;
  };
  desktop.Drives.push_back("/media/me/STICK");
  Tick();

  EXPECT_EQ(desktop.Calls, (Calls{"list", "beep", "sleep 1000", "restart"}));
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Kind, QStringLiteral("Information"));
  EXPECT_EQ(boxes.Calls[0].Title, QStringLiteral("Tarvex"));
  EXPECT_EQ(boxes.Calls[0].Text, QStringLiteral("/media/me/STICK ドライブが追加されました。\n"));
  EXPECT_TRUE(savedBeforeTheWait);
  EXPECT_TRUE(SettingsText().contains(QStringLiteral("runcount=1")))
      << SettingsText().toStdString();
  // Stopped for good: this instance is ending.
  EXPECT_EQ(Watcher().Interval(), 0);
  Tick();
  EXPECT_EQ(desktop.Calls.size(), 4u);

  // The close that follows saves nothing more.
  EXPECT_TRUE(window->close());
  EXPECT_TRUE(SettingsText().contains(QStringLiteral("runcount=1")))
      << SettingsText().toStdString();
  EXPECT_EQ(boxes.Calls.size(), 1u);
}

TEST_F(DriveWatcherTest, RemovedAndAddedAtOnceGiveOneMessageWithTheAddedLineFirst) {
  desktop.Drives = {"/", "/media/me/G", "/mnt/data"};
  Tick();
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text, QStringLiteral("/media/me/G,/mnt/data ドライブが追加されました。\n"
                                                "/home ドライブが削除されました。\n"));
  EXPECT_EQ(desktop.Calls.back(), "restart");
}

TEST_F(DriveWatcherTest, AChangeWhileAnotherTabIsShownIsNoticedOnlyBackOnTheFolderTab) {
  ShowTab(window->TSMessage());
  Tick();
  EXPECT_EQ(Watcher().Interval(), 0);
  EXPECT_FALSE(Watcher().TMWatcheDrive()->isActive());
  desktop.Drives.push_back("/media/me/STICK");
  ShowTab(window->TSHelp());
  EXPECT_EQ(Watcher().Interval(), 0);
  EXPECT_TRUE(desktop.Calls.empty());
  EXPECT_TRUE(boxes.Calls.empty());

  ShowTab(window->TSFolder());
  EXPECT_EQ(Watcher().Interval(), 3000);
  Tick();
  EXPECT_EQ(desktop.Calls, (Calls{"list", "beep", "sleep 1000", "restart"}));
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text, QStringLiteral("/media/me/STICK ドライブが追加されました。\n"));
}

TEST_F(DriveWatcherTest, NoRestartWhileACopyOrDeleteRuns) {
  desktop.Drives.push_back("/media/me/STICK");
  {
    const ListHold running(window->State().ListGuard);
    Tick();
    EXPECT_EQ(Watcher().Interval(), 3000);
    EXPECT_TRUE(desktop.Calls.empty());
    EXPECT_TRUE(window->State().SharedListsAlive());
  }
  Tick();
  EXPECT_EQ(desktop.Calls.back(), "restart");
}

TEST_F(DriveWatcherTest, AFailedSaveIsReportedAndTheRestartGoesOn) {
  // A regular file where the settings folder should be: no write can succeed.
  const QString blocker = folder.filePath(QStringLiteral("not-a-folder"));
  QFile file(blocker);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  window.reset();
  Start(blocker + QStringLiteral("/tarvex.ini"));

  desktop.Drives.pop_back();
  Tick();
  ASSERT_EQ(boxes.Calls.size(), 2u);
  EXPECT_EQ(boxes.Calls[0].Text, QStringLiteral("/home ドライブが削除されました。\n"));
  EXPECT_EQ(boxes.Calls[1].Text, QStringLiteral("ｉｎｉファイル書込時にエラーが発生しました。"));
  EXPECT_EQ(desktop.Calls, (Calls{"list", "beep", "sleep 1000", "restart"}));
}

TEST_F(DriveWatcherTest, AClosedWindowChecksNothing) {
  ASSERT_TRUE(window->close());
  desktop.Drives.push_back("/media/me/STICK");
  Tick();
  EXPECT_TRUE(desktop.Calls.empty());
  EXPECT_TRUE(boxes.Calls.empty());
}

}  // namespace
}  // namespace tarvex
