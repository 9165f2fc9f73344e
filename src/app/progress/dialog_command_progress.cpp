#include "app/progress/dialog_command_progress.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>

#include "app/log/qv_message_box.h"
#include "app/progress/fm_option.h"
#include "app/services/desktop_services.h"

namespace tarvex {

namespace {

constexpr int PauseSliceMs = 20;
// About one frame: the log cannot show lines faster than it is painted.
constexpr qint64 LogFlushMs = 16;

}  // namespace

void DialogCommandProgress::ProcessEvents() {
  FlushLogIfDue();
  QCoreApplication::processEvents();
}

void DialogCommandProgress::ShowDialog(const ProgressDialogState& state) {
  dialog_.Apply(state);
  dialog_.show();
  dialog_.raise();
  dialog_.activateWindow();
}

void DialogCommandProgress::UpdateDialog(const ProgressDialogState& state) {
  // Painted at once, and only what changed: a row's new file lines. The bar's step after the row
  // is painted with the next turn for events, so that a row costs one paint of its own.
  const QRegion changed = dialog_.Apply(state);
  if (!changed.isEmpty()) dialog_.repaint(changed);
}

bool DialogCommandProgress::ConfirmInDialog(const ProgressDialogState& state) {
  // A finished command may have left the dialog open; a modal showing needs it hidden first.
  FlushLog();
  dialog_.hide();
  dialog_.Apply(state);
  return dialog_.exec() == QDialog::Accepted;
}

int DialogCommandProgress::PathWidthLimit() { return dialog_.frameGeometry().width() - 40; }

int DialogCommandProgress::TextWidth(ProgressLine line, std::string_view text) {
  const QLabel* label = dialog_.Label(line);
  return label->fontMetrics().horizontalAdvance(
      QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void DialogCommandProgress::AddLine(const std::string& text) {
  // The log splits at line breaks, so lines joined by one land as they would one by one.
  if (hasPending_) pendingLines_ += QLatin1Char('\n');
  pendingLines_ += QString::fromStdString(text);
  hasPending_ = true;
  FlushLogIfDue();
}

void DialogCommandProgress::FlushLog() {
  sinceFlush_.start();
  if (!hasPending_) return;
  log_.AddLine(pendingLines_);
  pendingLines_.clear();
  hasPending_ = false;
}

void DialogCommandProgress::FlushLogIfDue() {
  if (hasPending_ && (!sinceFlush_.isValid() || sinceFlush_.elapsed() >= LogFlushMs)) FlushLog();
}

void DialogCommandProgress::Pause(int milliseconds) {
  if (milliseconds <= 0 || cancelRequested_) return;
  // The file just copied is in the log while its pause lasts.
  FlushLog();
  // In slices that serve the window: the dialog stays painted, and 中止 or closing the window
  // ends the pause at once instead of after it.
  QElapsedTimer clock;
  clock.start();
  QEventLoop loop;
  QTimer slice;
  QObject::connect(&slice, &QTimer::timeout, &loop, [&] {
    if (cancelRequested_ || clock.elapsed() >= milliseconds) loop.quit();
  });
  slice.start(PauseSliceMs);
  loop.exec();
}

void DialogCommandProgress::Beep() {
  // The closing line comes with the beep.
  FlushLog();
  desktop_.Beep();
}

}  // namespace tarvex
