#pragma once
// The copy and delete commands' view of the window: the progress dialog, the message log, the
// shared cancel flag, the pause and the beep.

#include <QElapsedTimer>
#include <QString>

#include "core/commands/command_progress.h"

namespace tarvex {

class DesktopServices;
class TFMOption;
class TQvMessageBox;

class DialogCommandProgress : public CommandProgress {
 public:
  // The beep is the desktop's.
  DialogCommandProgress(TFMOption& dialog, TQvMessageBox& log, bool& cancelRequested,
                        DesktopServices& desktop)
      : dialog_(dialog), log_(log), cancelRequested_(cancelRequested), desktop_(desktop) {}

  void ProcessEvents() override;
  bool CopyCancelRequested() override { return cancelRequested_; }
  void ClearCopyCancel() override { cancelRequested_ = false; }
  void ShowDialog(const ProgressDialogState& state) override;
  void UpdateDialog(const ProgressDialogState& state) override;
  bool ConfirmInDialog(const ProgressDialogState& state) override;
  int PathWidthLimit() override;
  int TextWidth(ProgressLine line, std::string_view text) override;
  // The lines reach the log together, at most one frame's time after the first of them, and all
  // before a pause, a question, the closing beep or FlushLog: a row costs no layout of its own.
  void AddLine(const std::string& text) override;
  // Serves the window's events meanwhile and ends early once the cancel flag is set.
  void Pause(int milliseconds) override;
  void Beep() override;

  // Puts the lines not yet in the log into it; the command's caller does this once it returns.
  void FlushLog();

 private:
  // Flushes once a frame's time has passed since the last flush.
  void FlushLogIfDue();

  TFMOption& dialog_;
  TQvMessageBox& log_;
  bool& cancelRequested_;
  DesktopServices& desktop_;
  QString pendingLines_;  // joined by line breaks
  bool hasPending_ = false;
  QElapsedTimer sinceFlush_;
};

}  // namespace tarvex
