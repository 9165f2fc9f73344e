#include "app/window/drive_watcher.h"

#include <QApplication>
#include <QTimer>

#include "app/services/desktop_services.h"
#include "app/services/message_boxes.h"
#include "app/widgets/app_identity.h"
#include "app/widgets/handler_guard.h"
#include "core/drives/drive_change.h"
#include "core/session/main_state.h"

namespace tarvex {

DriveWatcher::DriveWatcher(MainState& state, MessageBoxes& boxes, DesktopServices& desktop,
                           std::function<bool()> folderTabShown,
                           std::function<void()> formCloseQuery, QObject* parent)
    : QObject(parent),
      state_(state),
      boxes_(boxes),
      desktop_(desktop),
      folderTabShown_(std::move(folderTabShown)),
      formCloseQuery_(std::move(formCloseQuery)),
      timer_(new QTimer(this)) {
  timer_->setObjectName(QStringLiteral("TMWatcheDrive"));
  timer_->setInterval(0);
  connect(timer_, &QTimer::timeout, this,
          [this] { RunGuarded(boxes_, [this] { TMWatcheDriveTimer(); }); });
}

void DriveWatcher::TakeDriveList() {
  state_.DriveList.clear();
  desktop_.ListLogicalDrives(state_.DriveList);
}

void DriveWatcher::SetInterval(int milliseconds) {
  // A Qt timer with interval 0 fires at every turn of the event loop; here 0 means stopped.
  timer_->stop();
  timer_->setInterval(milliseconds);
  if (milliseconds > 0) timer_->start();
}

int DriveWatcher::Interval() const { return timer_->isActive() ? timer_->interval() : 0; }

void DriveWatcher::TMWatcheDriveTimer() {
  SetInterval(0);
  if (!state_.SharedListsAlive() || !folderTabShown_()) return;
  // A restart now would end a running copy or delete halfway, or release the lists under the
  // handler of an open dialog: look again later.
  if (state_.ListGuard.IsHeld() || QApplication::activeModalWidget() != nullptr) {
    SetInterval(CheckInterval);
    return;
  }
  state_.NewDriveList.clear();
  desktop_.ListLogicalDrives(state_.NewDriveList);
  if (state_.NewDriveList == state_.DriveList) {
    SetInterval(CheckInterval);
    return;
  }
  desktop_.Beep();
  SeparateDriveChanges(state_.DriveList, state_.NewDriveList);
  boxes_.Information(ApplicationTitle(), QString::fromStdString(DriveChangeMessage(
                                             state_.NewDriveList, state_.DriveList)));
  formCloseQuery_();
  desktop_.Sleep(RestartWait);
  desktop_.Restart();
}

}  // namespace tarvex
