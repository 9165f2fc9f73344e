#include "app/help/qv_help_text.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>

#include "app/help/left_button_state.h"
#include "core/help/hanging_indent.h"
#include "core/help/help_file.h"
#include "core/help/help_layout.h"
#include "core/text/display_path.h"
#include "core/text/format_text.h"

namespace tarvex {

TQvHelpText::TQvHelpText(QWidget* parent, const QString& programPath)
    : QPlainTextEdit(parent),
      programPath_(QFile::encodeName(programPath.isEmpty() ? QCoreApplication::applicationFilePath()
                                                           : programPath)
                       .toStdString()),
      reflowTimer_(new QTimer(this)),
      leftButtonDown_(LeftMouseButtonDown) {
  // The vertical bar is always there, so showing the text never changes the width it is laid
  // out for.
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  setReadOnly(true);
  setUndoRedoEnabled(false);
  document()->setDocumentMargin(TextMargin);
  reflowTimer_->setObjectName(QStringLiteral("ReflowTimer"));
  reflowTimer_->setInterval(ReflowInterval);
  connect(reflowTimer_, &QTimer::timeout, this, &TQvHelpText::ReflowTimerTick);
  LoadHelpText();
}

int TQvHelpText::AvailableWidth() const { return viewport()->width() - 2 * TextMargin; }

bool TQvHelpText::LoadHelpText() {
  const std::vector<std::string> candidates =
      HelpFileCandidates(programPath_, extName_.toStdString(), TARVEX_DATA_DIR);
  for (const std::string& path : candidates) {
    std::vector<std::string> lines;
    if (ReadHelpLines(path, lines)) return ShowHelp(path, std::move(lines));
  }
  ShowCannotOpen(candidates.front());
  return false;
}

bool TQvHelpText::LoadHelpFile(const std::string& path) {
  std::vector<std::string> lines;
  if (ReadHelpLines(path, lines)) return ShowHelp(path, std::move(lines));
  ShowCannotOpen(path);
  return false;
}

bool TQvHelpText::ShowHelp(const std::string& path, std::vector<std::string> lines) {
  helpFilePath_ = path;
  sourceLines_ = std::move(lines);
  hangingIndents_.clear();
  for (const std::string& line : sourceLines_) hangingIndents_.push_back(HangingIndent(line));
  firstDisplayLine_.clear();
  laidOutWidth_ = 0;
  clear();
  return Reflow();
}

void TQvHelpText::ShowCannotOpen(const std::string& path) {
  helpFilePath_ = path;
  sourceLines_.clear();
  hangingIndents_.clear();
  firstDisplayLine_.clear();
  laidOutWidth_ = 0;
  setPlainText(QString::fromStdString(FormatText("%s が開けません", DisplayPath(path).c_str())));
}

bool TQvHelpText::Reflow() {
  if (sourceLines_.empty() || width() == laidOutWidth_) return true;
  laidOutWidth_ = width();
  const QFontMetrics metrics(font());
  const TextWidth measure = [&metrics](std::string_view text) {
    return metrics.horizontalAdvance(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  };
  std::vector<std::size_t> firstDisplayLine;
  const std::vector<std::string> lines =
      tarvex::Reflow(sourceLines_, hangingIndents_, AvailableWidth(), measure, &firstDisplayLine);
  ShowDisplayLines(lines, std::move(firstDisplayLine));
  Q_EMIT LaidOut();
  return true;
}

void TQvHelpText::ShowDisplayLines(const std::vector<std::string>& lines,
                                   std::vector<std::size_t> firstDisplayLine) {
  const int caret = textCursor().position();
  // The source line at the top of the view stays at the top.
  std::size_t topSource = 0;
  if (!firstDisplayLine_.empty()) {
    const auto top = static_cast<std::size_t>(std::max(0, verticalScrollBar()->value()));
    // The first source line starts at display line 0, so the bound is never the first one.
    const auto after = std::upper_bound(firstDisplayLine_.begin(), firstDisplayLine_.end(), top);
    topSource = static_cast<std::size_t>(after - firstDisplayLine_.begin()) - 1;
  }
  firstDisplayLine_ = std::move(firstDisplayLine);

  setUpdatesEnabled(false);
  QTextDocument* doc = document();
  QTextCursor cursor(doc);
  cursor.beginEditBlock();
  QTextBlock block = doc->firstBlock();
  std::size_t i = 0;
  // Lines that are already there are overwritten in place, and only where they differ.
  for (; i < lines.size() && block.isValid(); ++i, block = block.next()) {
    const QString text = QString::fromStdString(lines[i]);
    if (block.text() == text) continue;
    cursor.setPosition(block.position());
    cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    cursor.insertText(text);
  }
  if (i < lines.size()) {
    cursor.movePosition(QTextCursor::End);
    for (; i < lines.size(); ++i) {
      cursor.insertBlock();
      cursor.insertText(QString::fromStdString(lines[i]));
    }
  } else if (block.isValid()) {
    cursor.setPosition(block.position() - 1);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
  }
  cursor.endEditBlock();

  QTextCursor caretCursor(doc);
  caretCursor.setPosition(std::clamp(caret, 0, doc->characterCount() - 1));
  setTextCursor(caretCursor);
  verticalScrollBar()->setValue(
      topSource < firstDisplayLine_.size() ? static_cast<int>(firstDisplayLine_[topSource]) : 0);
  setUpdatesEnabled(true);
}

void TQvHelpText::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  reflowTimer_->start();
}

void TQvHelpText::ReflowTimerTick() {
  // Asked again at the next tick: the width is laid out once the button is let go.
  if (leftButtonDown_ && leftButtonDown_()) return;
  reflowTimer_->stop();
  Reflow();
}

}  // namespace tarvex
