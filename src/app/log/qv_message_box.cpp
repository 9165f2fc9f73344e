#include "app/log/qv_message_box.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace tarvex {

TQvMessageBox::TQvMessageBox(QWidget* parent) : QPlainTextEdit(parent) {
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  // Japanese lines and long paths have no blanks to break at.
  setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // A log that runs all day must not grow an undo history of every appended line.
  setUndoRedoEnabled(false);
}

int TQvMessageBox::LineCount() const {
  const QTextDocument* doc = document();
  const int blocks = doc->blockCount();
  return doc->lastBlock().length() <= 1 ? blocks - 1 : blocks;
}

int TQvMessageBox::AddLine(const QString& text) {
  QString lines = text;
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  lines += QLatin1Char('\n');

  QTextCursor cursor(document());
  // In one edit block the cursor's moves do not lay out the lines they pass: a long copy adds a
  // line per file, and only the lines shown need a layout.
  cursor.beginEditBlock();
  cursor.movePosition(QTextCursor::End);
  // The user may have typed an unfinished last line; the new text starts a line of its own.
  if (document()->lastBlock().length() > 1) lines.prepend(QLatin1Char('\n'));
  cursor.insertText(lines);
  cursor.endEditBlock();

  TrimToMaxLine();

  // The newest line comes into view unless the user is selecting text to copy.
  if (!textCursor().hasSelection()) {
    moveCursor(QTextCursor::End);
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
  }
  return LineCount();
}

void TQvMessageBox::TrimToMaxLine() {
  const int excess = LineCount() - std::max(maxLine_, 0);
  if (excess <= 0) return;
  QTextCursor cursor(document());
  cursor.beginEditBlock();
  cursor.movePosition(QTextCursor::Start);
  cursor.setPosition(document()->findBlockByNumber(excess).position(), QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  cursor.endEditBlock();
}

}  // namespace tarvex
