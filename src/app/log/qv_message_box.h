#pragma once
// The message log: a multi-line text box that keeps only its newest lines. The limit counts
// logical lines (text blocks), so a long line that wraps over several rows is kept or dropped as
// a whole. The box stays editable, as the user may select, copy and type into it.

#include <QPlainTextEdit>
#include <array>

#include "app/log/log_format.h"

namespace tarvex {

class TQvMessageBox : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit TQvMessageBox(QWidget* parent = nullptr);

  int MaxLine() const { return maxLine_; }
  // Takes effect at the next append. A negative limit keeps nothing, like 0.
  void SetMaxLine(int maxLine) { maxLine_ = maxLine; }

  // Appends the text as new last line(s) (line breaks split it) and drops the oldest lines above
  // MaxLine. Returns the number of lines after that. An empty text appends a blank line.
  int AddLine(const QString& text);

  // AddLine of the formatted text; see log_format.h for the directives.
  template <typename... Args>
  int AddFormat(QStringView format, const Args&... args) {
    const std::array<LogArg, sizeof...(Args)> list{LogArg(args)...};
    return AddLine(FormatLogText(format, list));
  }

  // Lines as the log counts them: every line ends with a line break, so the empty block after the
  // last one is not a line.
  int LineCount() const;

 private:
  void TrimToMaxLine();

  int maxLine_ = 500;
};

}  // namespace tarvex
