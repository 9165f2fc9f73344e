#include "app/log/qv_message_box.h"

#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "support/qt_printers.h"

namespace tarvex {
namespace {

QStringList Lines(const TQvMessageBox& box) {
  QStringList lines = box.toPlainText().split(QLatin1Char('\n'));
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

TEST(TQvMessageBoxTest, IsAWrappingEditableLogWithAVerticalScrollBarOnly) {
  TQvMessageBox box;
  EXPECT_EQ(box.MaxLine(), 500);
  EXPECT_EQ(box.LineCount(), 0);
  EXPECT_FALSE(box.isReadOnly());
  EXPECT_EQ(box.lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(box.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_NE(box.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST(TQvMessageBoxTest, The501stLineDropsTheFirst) {
  TQvMessageBox box;
  for (int i = 1; i <= 500; ++i) ASSERT_EQ(box.AddLine(QString::number(i)), i);
  EXPECT_EQ(box.AddLine(QStringLiteral("501")), 500);
  const QStringList lines = Lines(box);
  ASSERT_EQ(lines.size(), 500);
  EXPECT_EQ(lines.first(), QStringLiteral("2"));
  EXPECT_EQ(lines.last(), QStringLiteral("501"));
}

TEST(TQvMessageBoxTest, BlankLinesCountLikeAnyOther) {
  TQvMessageBox box;
  box.SetMaxLine(3);
  box.AddLine(QStringLiteral("a"));
  box.AddLine(QString());
  box.AddLine(QStringLiteral("b"));
  EXPECT_EQ(box.AddLine(QString()), 3);
  EXPECT_EQ(Lines(box), (QStringList{QString(), QStringLiteral("b"), QString()}));
}

TEST(TQvMessageBoxTest, TextWithLineBreaksBecomesSeveralLines) {
  TQvMessageBox box;
  box.SetMaxLine(4);
  box.AddLine(QStringLiteral("old"));
  EXPECT_EQ(box.AddLine(QStringLiteral("1\n2\r\n3\r4")), 4);
  EXPECT_EQ(Lines(box), (QStringList{"1", "2", "3", "4"}));
}

TEST(TQvMessageBoxTest, LoweringMaxLineTrimsAtTheNextAppend) {
  TQvMessageBox box;
  for (int i = 1; i <= 10; ++i) box.AddLine(QString::number(i));
  box.SetMaxLine(3);
  EXPECT_EQ(box.LineCount(), 10);
  EXPECT_EQ(box.AddLine(QStringLiteral("11")), 3);
  EXPECT_EQ(Lines(box), (QStringList{"9", "10", "11"}));

  box.SetMaxLine(0);
  EXPECT_EQ(box.AddLine(QStringLiteral("gone")), 0);
  box.SetMaxLine(-5);
  EXPECT_EQ(box.AddLine(QStringLiteral("gone too")), 0);
  EXPECT_TRUE(box.toPlainText().isEmpty());
}

// The limit counts logical lines: a line that wraps over many rows is kept whole, and it is the
// oldest whole line that goes.
TEST(TQvMessageBoxTest, AWrappedLongLineStaysWhole) {
  TQvMessageBox box;
  box.resize(240, 200);
  box.show();
  box.SetMaxLine(2);
  const QString longLine = QString(300, QChar(u'長'));
  box.AddLine(QStringLiteral("first"));
  box.AddLine(longLine);

  const QTextBlock longBlock = box.document()->findBlockByNumber(1);
  box.document()->documentLayout()->blockBoundingRect(longBlock);
  ASSERT_GT(longBlock.layout()->lineCount(), 3) << "the long line must wrap for this test";

  EXPECT_EQ(box.AddLine(QStringLiteral("last")), 2);
  EXPECT_EQ(Lines(box), (QStringList{longLine, QStringLiteral("last")}));
}

TEST(TQvMessageBoxTest, ATypedUnfinishedLineIsNotJoinedToTheNextEntry) {
  TQvMessageBox box;
  box.AddLine(QStringLiteral("a"));
  box.moveCursor(QTextCursor::End);
  QTest::keyClicks(&box, QStringLiteral("typed"));
  EXPECT_EQ(box.LineCount(), 2);
  EXPECT_EQ(box.AddLine(QStringLiteral("next")), 3);
  EXPECT_EQ(Lines(box), (QStringList{"a", "typed", "next"}));
}

TEST(TQvMessageBoxTest, AddFormatAppendsTheFormattedLine) {
  TQvMessageBox box;
  EXPECT_EQ(
      box.AddFormat(u"　%d:%s → %s", 3, QStringLiteral("/m/a.txt"), QStringLiteral("/s/a.txt")), 1);
  EXPECT_EQ(box.AddFormat(u"フィルタ名追加 %s", QStringLiteral("汎用2")), 2);
  EXPECT_EQ(Lines(box), (QStringList{QStringLiteral("　3:/m/a.txt → /s/a.txt"),
                                     QStringLiteral("フィルタ名追加 汎用2")}));
}

TEST(TQvMessageBoxTest, TheNewestLineIsScrolledIntoView) {
  TQvMessageBox box;
  box.resize(300, 120);
  box.show();
  for (int i = 0; i < 100; ++i) box.AddLine(QStringLiteral("行 %1").arg(i));
  const QScrollBar* bar = box.verticalScrollBar();
  EXPECT_GT(bar->maximum(), 0);
  EXPECT_EQ(bar->value(), bar->maximum());
}

}  // namespace
}  // namespace tarvex
