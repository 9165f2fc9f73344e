#pragma once
// The copy-progress dialog, shared by the copy and delete commands: created hidden at start,
// shown while a command runs and until ＯＫ is clicked, and modally for the delete confirmation.

#include <QDialog>
#include <QRegion>
#include <optional>
#include <string>

#include "core/commands/command_progress.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tarvex {

class TFMOption : public QDialog {
  Q_OBJECT

 public:
  explicit TFMOption(QWidget* parent = nullptr);

  QLabel* LBCopying() const { return lbCopying_; }
  QLabel* LBCopying1() const { return lbCopying1_; }
  QLabel* LBCopying2() const { return lbCopying2_; }
  QLabel* LBCopying3() const { return lbCopying3_; }
  // The delete confirmation's list of what will go; hidden otherwise.
  QLabel* LBNames() const { return lbNames_; }
  QProgressBar* PBCopying() const { return pbCopying_; }
  QPushButton* BTOK() const { return btOK_; }
  QPushButton* BTCancel() const { return btCancel_; }
  QLabel* Label(ProgressLine line) const;

  // Puts the state into the dialog, touching only the controls whose values differ from the last
  // state put in. Returns where the dialog looks different now, in its own coordinates, but for
  // the bar, which schedules its own paint.
  QRegion Apply(const ProgressDialogState& state);

  // Esc and the close box: 中止 while a command runs, so the loop never goes on unseen;
  // otherwise they hide the dialog (or decline the confirmation).
  void reject() override;

 Q_SIGNALS:
  // 中止 was clicked: the running loop stops at its next row.
  void CancelRequested();

 private:
  void BTOKClick();
  void BTCancelClick();
  void ShowNames(const std::string& names);

  QLabel* lbCopying_ = nullptr;
  QLabel* lbCopying1_ = nullptr;
  QLabel* lbCopying2_ = nullptr;
  QLabel* lbCopying3_ = nullptr;
  QLabel* lbNames_ = nullptr;
  QProgressBar* pbCopying_ = nullptr;
  QPushButton* btOK_ = nullptr;
  QPushButton* btCancel_ = nullptr;
  std::optional<ProgressDialogState> applied_;
};

}  // namespace tarvex
