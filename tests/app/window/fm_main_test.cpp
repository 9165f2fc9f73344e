#include "app/window/fm_main.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <memory>

#include "app/log/qv_message_box.h"
#include "app/progress/fm_option.h"
#include "app/window/program_start.h"
#include "core/settings/settings.h"
#include "support/qt_printers.h"
#include "support/recording_message_boxes.h"
#include "support/screenshot.h"

namespace tarvex {
namespace {

class FMMainTest : public ::testing::Test {
 protected:
  std::unique_ptr<TFMMain> Start() { return StartMainWindow(SettingsPath(), {.Boxes = &boxes}); }
  QString SettingsPath() const { return folder.filePath(QStringLiteral("tarvex.ini")); }

  QTemporaryDir folder;
  test::RecordingMessageBoxes boxes;
};

QTabWidget* Tabs(TFMMain& window) {
  return window.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
}

TEST_F(FMMainTest, StartsShownWithSixTabsOnTheFolderTabAndAHiddenProgressDialog) {
  const auto window = Start();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->objectName(), QStringLiteral("FMMain"));
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Tarvex " TARVEX_VERSION));

  QTabWidget* tabs = Tabs(*window);
  ASSERT_NE(tabs, nullptr);
  const std::pair<const char*, const char16_t*> expected[] = {
      {"TSFolder", u"フォルダ選択"},  {"TSList", u"ファイルリスト"}, {"TSFilter", u"フィルタ"},
      {"TSCompare", u"ファイル比較"}, {"TSMessage", u"メッセージ"},  {"TSHelp", u"ヘルプ"},
  };
  ASSERT_EQ(tabs->count(), 6);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(tabs->widget(i)->objectName(), QLatin1String(expected[i].first));
    EXPECT_EQ(tabs->tabText(i), QString::fromUtf16(expected[i].second));
  }
  EXPECT_EQ(tabs->currentWidget()->objectName(), QStringLiteral("TSFolder"));

  auto* msgBox = tabs->widget(4)->findChild<TQvMessageBox*>(QStringLiteral("MsgBox"));
  ASSERT_NE(msgBox, nullptr);
  EXPECT_EQ(msgBox, &window->MsgBox());

  TFMOption* dialog = window->findChild<TFMOption*>(QStringLiteral("FMOption"));
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog, window->FMOption());
  EXPECT_TRUE(dialog->isWindow());
  EXPECT_FALSE(dialog->isVisible());

  EXPECT_EQ(window->State().ScanAttrMask, 49u);
  EXPECT_TRUE(window->State().SharedListsAlive());
  EXPECT_EQ(window->State().PathList, nullptr);
  EXPECT_TRUE(boxes.Calls.empty());
}

TEST_F(FMMainTest, OpensAtTheDesignRectangleAndKeepsItsMinimumSize) {
  const auto window = Start();
  EXPECT_EQ(window->pos(), QPoint(409, 112));
  EXPECT_EQ(window->size(), QSize(720, 690));

  window->resize(300, 200);
  EXPECT_EQ(window->size(), QSize(600, 400));
}

TEST_F(FMMainTest, EveryStartIsOnTheFolderTab) {
  {
    const auto window = Start();
    Tabs(*window)->setCurrentWidget(window->TSMessage());
    ASSERT_TRUE(window->close());
  }
  const auto window = Start();
  EXPECT_EQ(Tabs(*window)->currentWidget(), window->TSFolder());
}

TEST_F(FMMainTest, ClosingReleasesTheSharedListsOnce) {
  const auto window = Start();
  window->State().EnsurePathList();
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->State().SharedListsAlive());
  // The comparison rows live to program end.
  EXPECT_NE(window->State().PathList, nullptr);
  // A second request (the drive watcher's restart, then the close) finds nothing left to do.
  EXPECT_TRUE(window->FormCloseQuery());
  EXPECT_TRUE(boxes.Calls.empty());
}

QString ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void WriteFile(const QString& path, const QByteArray& text) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(text);
}

TEST_F(FMMainTest, FirstStartWithoutSettingsFileUsesTheDefaultsAndWritesThemAtClose) {
  {
    const auto window = Start();
    EXPECT_EQ(window->State().SettingsPath, QFile::encodeName(SettingsPath()).toStdString());
    EXPECT_EQ(window->pos(), QPoint(409, 112));
    EXPECT_EQ(window->size(), QSize(720, 690));
    const Settings& settings = window->State().Settings;
    EXPECT_FALSE(settings.subfolder || settings.dirignore || settings.onesidedir ||
                 settings.dirhide);
    EXPECT_EQ(settings.FilterNames.Items, (std::vector<std::string>{"すべて", "汎用"}));
    EXPECT_EQ(settings.FilterNames.ItemIndex, 0);
    EXPECT_FALSE(QFileInfo::exists(SettingsPath())) << "nothing is written before the close";
    ASSERT_TRUE(window->close());
    EXPECT_EQ(window->State().SettingsFile, nullptr);
  }
  EXPECT_TRUE(boxes.Calls.empty());
  const QString text = ReadFile(SettingsPath());
  EXPECT_TRUE(text.contains(QStringLiteral("[FMMain_Position]"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("left=409"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("\n0=すべて=*\n"))) << text.toStdString();
}

TEST_F(FMMainTest, PositionAndOptionsSurviveARestart) {
  WriteFile(SettingsPath(),
            "[FMMain_Position]\ntop=60\nleft=50\nheight=500\nwidth=800\n"
            "[option]\nsubfolder=1\ndirhide=1\n");
  {
    const auto window = Start();
    EXPECT_EQ(window->pos(), QPoint(50, 60));
    EXPECT_EQ(window->size(), QSize(800, 500));
    EXPECT_TRUE(window->State().Settings.subfolder);
    EXPECT_TRUE(window->State().Settings.dirhide);
    EXPECT_FALSE(window->State().Settings.dirignore);
    window->move(30, 40);
    window->resize(640, 480);
    ASSERT_TRUE(window->close());
  }
  const auto window = Start();
  EXPECT_EQ(window->pos(), QPoint(30, 40));
  EXPECT_EQ(window->size(), QSize(640, 480));
  EXPECT_TRUE(window->State().Settings.subfolder);
  EXPECT_TRUE(window->State().Settings.dirhide);
  EXPECT_TRUE(boxes.Calls.empty());
}

TEST_F(FMMainTest, AStoredSizeBelowTheMinimumOpensAtTheMinimum) {
  WriteFile(SettingsPath(), "[FMMain_Position]\nheight=100\nwidth=200\n");
  const auto window = Start();
  EXPECT_EQ(window->pos(), QPoint(409, 112));
  EXPECT_EQ(window->size(), QSize(600, 400));
}

TEST_F(FMMainTest, AFailingSaveIsReportedAndTheWindowStillCloses) {
  // A regular file where the settings folder should be: no write can succeed, not even as root.
  const QString blocker = folder.filePath(QStringLiteral("not-a-folder"));
  WriteFile(blocker, "x");
  const auto window = StartMainWindow(blocker + QStringLiteral("/tarvex.ini"), {.Boxes = &boxes});
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isVisible());
  EXPECT_FALSE(window->State().SharedListsAlive());
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Kind, QStringLiteral("Information"));
  EXPECT_EQ(boxes.Calls[0].Text, QStringLiteral("ｉｎｉファイル書込時にエラーが発生しました。"));
  EXPECT_TRUE(QFileInfo(blocker).isFile());
}

TEST_F(FMMainTest, ScreenshotOfEveryTab) {
  const auto window = Start();
  window->MsgBox().AddFormat(u"パス切り替え %s",
                             QStringLiteral("/home/user/データ 〓 /media/backup/データ"));
  window->MsgBox().AddLine(QString());
  window->MsgBox().AddFormat(u"%sコピー (%d～%d)", QStringLiteral("メインの最新 → サブへ "), 3, 10);
  window->MsgBox().AddFormat(u"　%d:%s → %s", 3, QStringLiteral("/home/user/データ/報告書.txt"),
                             QStringLiteral("/media/backup/データ/報告書.txt"));
  window->MsgBox().AddFormat(u"%s%dファイルコピー", QStringLiteral("メインの最新 → サブへ "), 1);
  window->MsgBox().AddFormat(
      u"テキストファイル比較：メイン　%s",
      QStringLiteral("/home/user/データ/とても長いフォルダの名前/さらに長いフォルダの名前/"
                     "折り返しを確かめるための非常に長いファイル名.txt"));

  QTabWidget* tabs = Tabs(*window);
  for (int i = 0; i < tabs->count(); ++i) {
    tabs->setCurrentIndex(i);
    const QString path = test::SaveScreenshot(
        *window, QStringLiteral("main_%1_%2").arg(i).arg(tabs->widget(i)->objectName()));
    EXPECT_FALSE(path.isEmpty()) << i;
  }
}

TEST_F(FMMainTest, EveryControlAndPageCarriesItsName) {
  const auto window = Start();
  QStringList unnamed;
  for (QWidget* widget : window->findChildren<QWidget*>()) {
    const QString kind = QString::fromLatin1(widget->metaObject()->className());
    const bool control =
        qobject_cast<QLabel*>(widget) || qobject_cast<QComboBox*>(widget) ||
        qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ||
        (qobject_cast<QAbstractButton*>(widget) && kind != QStringLiteral("QTableCornerButton")) ||
        kind.startsWith(QStringLiteral("tarvex::"));
    if (control && widget->objectName().isEmpty()) {
      const auto* label = qobject_cast<QLabel*>(widget);
      unnamed << kind + QLatin1Char(' ') + (label ? label->text() : QString());
    }
  }
  EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral(", ")).toStdString();
}

}  // namespace
}  // namespace tarvex
