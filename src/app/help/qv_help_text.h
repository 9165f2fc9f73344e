#pragma once
// The help text viewer: a read-only text box that shows the help file beside the program and
// wraps its long lines by itself, with hanging indents under bullets and single-digit numbers
// and never a "、" or "。" at the start of a line (core/help/help_layout.h). It lays the text
// out again when its width changes, but not while the left mouse button is held, so dragging the
// window's border costs nothing until it is let go.

#include <QPlainTextEdit>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QTimer;

namespace tarvex {

class TQvHelpText : public QPlainTextEdit {
  Q_OBJECT
  Q_PROPERTY(QString ExtName READ ExtName WRITE SetExtName)

 public:
  // Blank space between the border and the text, on each side.
  static constexpr int TextMargin = 5;
  static constexpr int ReflowInterval = 10;

  // programPath: the program whose help file is shown; empty: this program. The file is loaded
  // here, once.
  explicit TQvHelpText(QWidget* parent = nullptr, const QString& programPath = {});

  // The help file's extension without the dot. A change after the construction loads nothing.
  QString ExtName() const { return extName_; }
  void SetExtName(const QString& extName) { extName_ = extName; }
  const std::string& HelpFilePath() const { return helpFilePath_; }
  const std::vector<std::string>& SourceLines() const { return sourceLines_; }
  const std::vector<std::string>& HangingIndents() const { return hangingIndents_; }
  std::int32_t LaidOutWidth() const { return laidOutWidth_; }
  QTimer* ReflowTimer() const { return reflowTimer_; }
  // The width that a display line must stay below: the text area between the margins.
  int AvailableWidth() const;

  // Finds the help file (beside the program, else in the installed data folder) and loads it.
  // False when none can be read; the viewer then says which file it could not open.
  bool LoadHelpText();
  // Loads this file and lays it out; false, with the message, when it cannot be read.
  bool LoadHelpFile(const std::string& path);
  // Lays the source lines out for the current width, unless that is the width of the last
  // layout. Always true.
  bool Reflow();
  void ReflowTimerTick();

  // Replaces the query of the left mouse button (left_button_state.h), for tests.
  void SetLeftButtonQuery(std::function<bool()> query) { leftButtonDown_ = std::move(query); }

 Q_SIGNALS:
  // The text was laid out anew.
  void LaidOut();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool ShowHelp(const std::string& path, std::vector<std::string> lines);
  void ShowCannotOpen(const std::string& path);
  void ShowDisplayLines(const std::vector<std::string>& lines,
                        std::vector<std::size_t> firstDisplayLine);

  QString extName_ = QStringLiteral("txt");
  std::string programPath_;
  std::string helpFilePath_;
  std::vector<std::string> sourceLines_;
  std::vector<std::string> hangingIndents_;
  // For each source line, its first display line: which source line was at the top of the view.
  std::vector<std::size_t> firstDisplayLine_;
  std::int32_t laidOutWidth_ = 0;
  QTimer* reflowTimer_ = nullptr;
  std::function<bool()> leftButtonDown_;
};

}  // namespace tarvex
