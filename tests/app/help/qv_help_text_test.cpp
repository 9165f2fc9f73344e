#include "app/help/qv_help_text.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTimer>

#include "core/help/help_layout.h"
#include "support/qt_printers.h"

namespace tarvex {
namespace {

// Long lines of every kind the layout treats apart.
const char* const HelpText =
    "●使い方\n"
    "・箇条書きの項目は、続きの行が中黒のあとの文字にそろうように一字下がって表示されます。\n"
    "(1) 番号つきの手順も、番号と空白のあとにそろうように下がります。長い手順の説明です。\n"
    "（２）　全角の番号の手順も同じです。続きの行は全角の空白四つ分だけ下がって表示されます。\n"
    "\n"
    "普通の段落は字下げなしで折り返されます。句読点の「、」や「。」が行の先頭に来ることはありません"
    "。\n";

class QvHelpTextTest : public ::testing::Test {
 protected:
  // A program in the temporary folder whose help file is name.txt beside it.
  QString ProgramWithHelp(const QByteArray& text, const QString& name = QStringLiteral("prog")) {
    WriteFile(folder.filePath(name + QStringLiteral(".txt")), text);
    return folder.filePath(name);
  }
  static void WriteFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
  }
  static std::vector<std::string> DisplayLines(const TQvHelpText& viewer) {
    std::vector<std::string> lines;
    for (QTextBlock b = viewer.document()->firstBlock(); b.isValid(); b = b.next()) {
      lines.push_back(b.text().toStdString());
    }
    return lines;
  }
  // What the engine lays out for the viewer's width with the viewer's font.
  static std::vector<std::string> ExpectedLines(const TQvHelpText& viewer) {
    const QFontMetrics metrics(viewer.font());
    return Reflow(viewer.SourceLines(), viewer.HangingIndents(), viewer.AvailableWidth(),
                  [&metrics](std::string_view text) {
                    return metrics.horizontalAdvance(
                        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
                  });
  }

  QTemporaryDir folder;
};

TEST_F(QvHelpTextTest, WithoutAHelpFileItNamesTheFileBesideTheProgram) {
  const QString program = folder.filePath(QStringLiteral("viewer_test_program"));
  TQvHelpText viewer(nullptr, program);
  EXPECT_EQ(viewer.toPlainText(), program + QStringLiteral(".txt が開けません"));
  EXPECT_EQ(viewer.HelpFilePath(), (program + QStringLiteral(".txt")).toStdString());
  EXPECT_TRUE(viewer.SourceLines().empty());
  EXPECT_FALSE(viewer.LoadHelpText());

  // No layout ever happens.
  QSignalSpy laidOut(&viewer, &TQvHelpText::LaidOut);
  viewer.resize(300, 200);
  viewer.show();
  viewer.ReflowTimerTick();
  EXPECT_EQ(laidOut.count(), 0);
  EXPECT_EQ(viewer.LaidOutWidth(), 0);
}

TEST_F(QvHelpTextTest, AReadOnlyViewerWithOnlyAVerticalScrollBarThatWrapsByItself) {
  TQvHelpText viewer(nullptr, ProgramWithHelp(HelpText));
  EXPECT_EQ(viewer.ExtName(), QStringLiteral("txt"));
  EXPECT_TRUE(viewer.isReadOnly());
  EXPECT_EQ(viewer.lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(viewer.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(viewer.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(viewer.ReflowTimer()->interval(), 10);
  EXPECT_FALSE(viewer.ReflowTimer()->isActive());
  EXPECT_EQ(viewer.SourceLines().size(), 6u);
  EXPECT_EQ(viewer.HangingIndents()[1], "　");
  EXPECT_EQ(viewer.HangingIndents()[2], "    ");

  // The file is read once: another extension later loads nothing.
  viewer.SetExtName(QStringLiteral("hlp"));
  EXPECT_EQ(viewer.SourceLines().size(), 6u);
}

TEST_F(QvHelpTextTest, TheFileOfTheInstalledDataFolderWhenNoneIsBesideTheProgram) {
  WriteFile(folder.filePath(QStringLiteral("share/tarvex/prog.txt")), "・インストールされた説明\n");
  TQvHelpText viewer(nullptr, folder.filePath(QStringLiteral("bin/prog")));
  EXPECT_EQ(viewer.HelpFilePath(),
            folder.filePath(QStringLiteral("share/tarvex/prog.txt")).toStdString());
  EXPECT_EQ(viewer.toPlainText(), QStringLiteral("・インストールされた説明"));
}

TEST_F(QvHelpTextTest, LinesAreLaidOutForTheWidthWithIndentsAndNoLeadingPunctuation) {
  TQvHelpText viewer(nullptr, ProgramWithHelp(HelpText));
  viewer.resize(300, 400);
  viewer.show();
  viewer.ReflowTimerTick();
  EXPECT_EQ(viewer.LaidOutWidth(), 300);
  const std::vector<std::string> lines = DisplayLines(viewer);
  EXPECT_EQ(lines, ExpectedLines(viewer));
  ASSERT_GT(lines.size(), 10u);
  const QFontMetrics metrics(viewer.font());
  int bulletContinuations = 0;
  for (const std::string& line : lines) {
    EXPECT_FALSE(line.starts_with("、") || line.starts_with("。")) << line;
    if (!line.ends_with("、") && !line.ends_with("。")) {
      EXPECT_LT(metrics.horizontalAdvance(QString::fromStdString(line)), viewer.AvailableWidth())
          << line;
    }
    if (line.starts_with("　") && !line.starts_with("　　")) ++bulletContinuations;
  }
  EXPECT_GE(bulletContinuations, 1);
  EXPECT_EQ(lines[1].substr(0, 3), "・");
  EXPECT_TRUE(lines[2].starts_with("　"));
}

TEST_F(QvHelpTextTest, OnlyAWidthChangeLaysOutAndNotWhileTheLeftButtonIsHeld) {
  TQvHelpText viewer(nullptr, ProgramWithHelp(HelpText));
  bool buttonDown = false;
  viewer.SetLeftButtonQuery([&buttonDown] { return buttonDown; });
  viewer.resize(300, 400);
  viewer.show();
  viewer.ReflowTimerTick();
  QSignalSpy laidOut(&viewer, &TQvHelpText::LaidOut);

  viewer.resize(300, 250);
  EXPECT_TRUE(viewer.ReflowTimer()->isActive());
  viewer.ReflowTimerTick();
  EXPECT_FALSE(viewer.ReflowTimer()->isActive());
  EXPECT_EQ(laidOut.count(), 0) << "a height change lays out nothing";

  buttonDown = true;
  viewer.resize(420, 250);
  viewer.resize(460, 260);
  for (int i = 0; i < 3; ++i) viewer.ReflowTimerTick();
  EXPECT_EQ(laidOut.count(), 0);
  EXPECT_TRUE(viewer.ReflowTimer()->isActive()) << "it keeps asking while the button is held";
  EXPECT_EQ(viewer.LaidOutWidth(), 300);

  buttonDown = false;
  viewer.ReflowTimerTick();
  EXPECT_EQ(laidOut.count(), 1);
  EXPECT_FALSE(viewer.ReflowTimer()->isActive());
  EXPECT_EQ(viewer.LaidOutWidth(), 460);
  EXPECT_EQ(DisplayLines(viewer), ExpectedLines(viewer));
}

TEST_F(QvHelpTextTest, ALayoutKeepsTheCaretAndTheSourceLineAtTheTop) {
  QByteArray text;
  for (int i = 0; i < 40; ++i) {
    text += "・" + QByteArray::number(i) +
            "番目の項目です。狭い幅では二行か三行に折り返される長さの説明がここに続きます。\n";
  }
  TQvHelpText viewer(nullptr, ProgramWithHelp(text));
  viewer.resize(500, 200);
  viewer.show();
  viewer.ReflowTimerTick();
  QTextCursor caret = viewer.textCursor();
  caret.setPosition(7);
  viewer.setTextCursor(caret);
  // The view starts at the first display line of item 20.
  int top = 0;
  for (QTextBlock b = viewer.document()->firstBlock(); b.isValid(); b = b.next()) {
    if (b.text().startsWith(QStringLiteral("・20番目"))) top = b.blockNumber();
  }
  ASSERT_GT(top, 0);
  viewer.verticalScrollBar()->setValue(top);

  viewer.resize(260, 200);
  viewer.ReflowTimerTick();
  EXPECT_EQ(viewer.textCursor().position(), 7);
  const QTextBlock first =
      viewer.document()->findBlockByNumber(viewer.verticalScrollBar()->value());
  EXPECT_TRUE(first.text().startsWith(QStringLiteral("・20番目"))) << first.text().toStdString();
}

}  // namespace
}  // namespace tarvex
