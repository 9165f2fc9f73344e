#include "app/progress/dialog_command_progress.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/log/qv_message_box.h"
#include "app/progress/fm_option.h"
#include "core/commands/copy_command.h"
#include "core/scan/folder_scan.h"
#include "core/text/display_path.h"
#include "support/command_test_support.h"
#include "support/recording_desktop_services.h"
#include "support/temp_tree.h"

namespace tarvex {
namespace {

// Counts the paints of each watched widget and keeps the text a label had when it was last
// painted; counts the new layouts a watched widget was asked for.
class PaintWatch : public QObject {
 public:
  void Watch(QWidget* widget) { widget->installEventFilter(this); }
  std::map<QObject*, int> Paints;
  std::map<QObject*, QString> PaintedText;
  std::map<QObject*, int> LayoutRequests;

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::LayoutRequest) ++LayoutRequests[object];
    if (event->type() == QEvent::Paint) {
      ++Paints[object];
      if (const auto* label = qobject_cast<QLabel*>(object)) PaintedText[object] = label->text();
    }
    return false;
  }
};

// The copy loop through the real dialog: each row paints the file's lines once, before its file is
// copied, and leaves alone what did not change (the buttons, the header); the texts are those of
// the engine.
TEST(DialogCommandProgress, EachRowPaintsItsFileOnceBeforeTheCopyAndNothingElse) {
  constexpr int Files = 8;
  testing::TempTree main;
  testing::TempTree sub;
  for (int i = 0; i < Files; ++i) main.File("f" + std::to_string(i) + ".txt", "x");
  PathList list;
  ScanOptions options;
  options.SubFolder = true;
  ScanFolders(list, main.Root(), sub.Root(), options, FilterSet{"all", {}, {"*"}, {}});
  ASSERT_EQ(list.PathCount, Files);

  TFMOption dialog;
  TQvMessageBox log;
  bool cancel = false;
  test::RecordingDesktopServices desktop;
  DialogCommandProgress progress(dialog, log, cancel, desktop);
  PaintWatch watch;
  for (QWidget* widget :
       std::vector<QWidget*>{&dialog, dialog.LBCopying(), dialog.LBCopying1(), dialog.LBCopying2(),
                             dialog.LBCopying3(), dialog.BTOK(), dialog.BTCancel()})
    watch.Watch(widget);

  // At every copy the top label has been painted with the main side's path of that file.
  commandtest::ScriptedFileOperations files;
  std::vector<QString> paintedAtCopy;
  files.copyData = [&](int from, int to) {
    paintedAtCopy.push_back(watch.PaintedText[dialog.LBCopying1()]);
    return files.PosixFileOperations::CopyFileData(from, to);
  };
  CommandSettings settings;
  settings.CopyWait = 0;
  CopyCommand copy(files, progress, settings);
  const CommandResult result = copy.Run(CopyCommandFor("PMMMainToSub"),
                                        CommandScope{list, main.Root(), sub.Root(), 1, Files});
  QApplication::processEvents();

  EXPECT_EQ(result.Files, Files);
  std::vector<QString> expected;
  for (std::int32_t i = 0; i < Files; ++i)
    expected.push_back(QString::fromStdString(DisplayPath(main.PathOf(list[i].Path))));
  EXPECT_EQ(paintedAtCopy, expected);
  // Once per row, and a few times for showing and finishing the dialog.
  for (QLabel* line : {dialog.LBCopying1(), dialog.LBCopying2(), dialog.LBCopying3()})
    EXPECT_LE(watch.Paints[line], Files + 3) << line->objectName().toStdString();
  for (QWidget* unchanged :
       std::vector<QWidget*>{dialog.LBCopying(), dialog.BTOK(), dialog.BTCancel()})
    EXPECT_LE(watch.Paints[unchanged], 3) << unchanged->objectName().toStdString();
  // A label's new text asks the dialog for no new layout: its lines keep their places.
  EXPECT_LE(watch.LayoutRequests[&dialog], 1);
  EXPECT_EQ(dialog.LBCopying()->text().toStdString(), "メインからサブへ8ファイルコピーしました。");
  EXPECT_TRUE(dialog.BTOK()->isEnabled());
  EXPECT_FALSE(dialog.BTCancel()->isEnabled());
}

// Keeps every line the command logs, on its way to the log.
class LineKeepingProgress : public DialogCommandProgress {
 public:
  using DialogCommandProgress::DialogCommandProgress;
  void AddLine(const std::string& text) override {
    Lines.push_back(text);
    DialogCommandProgress::AddLine(text);
  }
  std::vector<std::string> Lines;
};

// The lines reach the log in batches, yet once the command returns the log reads exactly as if
// each had been added on its own: the same order, the same trimming at the limit, a line the user
// left unfinished still ended first.
TEST(DialogCommandProgress, LoggedLinesEndAsIfAddedOneByOne) {
  constexpr int Files = 8;
  testing::TempTree main;
  testing::TempTree sub;
  for (int i = 0; i < Files; ++i) main.File("f" + std::to_string(i) + ".txt", "x");
  for (const int maxLine : {500, 5, 1, 0}) {
    SCOPED_TRACE(maxLine);
    PathList list;
    ScanOptions options;
    options.SubFolder = true;
    ScanFolders(list, main.Root(), sub.Root(), options, FilterSet{"all", {}, {"*"}, {}});
    TFMOption dialog;
    TQvMessageBox log;
    TQvMessageBox oneByOne;
    for (TQvMessageBox* box : {&log, &oneByOne}) {
      box->SetMaxLine(maxLine);
      box->AddLine(QStringLiteral("old"));
      box->insertPlainText(QStringLiteral("typed"));
    }
    bool cancel = false;
    test::RecordingDesktopServices desktop;
    LineKeepingProgress progress(dialog, log, cancel, desktop);
    commandtest::ScriptedFileOperations files;
    CommandSettings settings;
    settings.CopyWait = 0;
    CopyCommand copy(files, progress, settings);
    const CommandResult result = copy.Run(CopyCommandFor("PMMMainToSub"),
                                          CommandScope{list, main.Root(), sub.Root(), 1, Files});
    EXPECT_EQ(result.Files, Files);
    ASSERT_GT(progress.Lines.size(), static_cast<std::size_t>(Files));
    for (const std::string& line : progress.Lines) oneByOne.AddLine(QString::fromStdString(line));
    EXPECT_EQ(log.toPlainText().toStdString(), oneByOne.toPlainText().toStdString());
    EXPECT_EQ(log.LineCount(), oneByOne.LineCount());
    // Copied into an empty folder, so the next round copies again.
    for (int i = 0; i < Files; ++i)
      std::filesystem::remove(sub.PathOf("f" + std::to_string(i) + ".txt"));
  }
}

}  // namespace
}  // namespace tarvex
