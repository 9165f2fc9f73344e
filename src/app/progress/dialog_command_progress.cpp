#include "app/progress/dialog_command_progress.h"

#include <QApplication>
#include <QLabel>
#include <QThread>

#include "app/log/qv_message_box.h"
#include "app/progress/fm_option.h"

namespace tarvex {

void DialogCommandProgress::ProcessEvents() { QCoreApplication::processEvents(); }

void DialogCommandProgress::ShowDialog(const ProgressDialogState& state) {
  dialog_.Apply(state);
  dialog_.show();
  dialog_.raise();
  dialog_.activateWindow();
}

void DialogCommandProgress::UpdateDialog(const ProgressDialogState& state) {
  dialog_.Apply(state);
  dialog_.repaint();
}

bool DialogCommandProgress::ConfirmInDialog(const ProgressDialogState& state) {
  // A finished command may have left the dialog open; a modal showing needs it hidden first.
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
  log_.AddLine(QString::fromStdString(text));
}

void DialogCommandProgress::Pause(int milliseconds) {
  if (milliseconds > 0) QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void DialogCommandProgress::Beep() { QApplication::beep(); }

}  // namespace tarvex
