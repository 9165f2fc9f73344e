#pragma once
// The drive watcher: while the folder tab is shown, the drives (mount points of storage
// volumes) are checked every few seconds; when one was added or removed, the user is told which,
// the settings are saved and the program starts anew, so that its folder trees show the drives
// present then.
//
// The timer's interval is the whole state: 0 is stopped. It is 10000 ms after start, 3000 ms
// after each check and whenever the folder tab is shown again, and 0 during a tick, so a tick on
// another tab leaves the watcher stopped until the folder tab returns.

#include <QObject>
#include <functional>

class QTimer;

namespace tarvex {

class DesktopServices;
class MainState;
class MessageBoxes;

class DriveWatcher : public QObject {
  Q_OBJECT

 public:
  static constexpr int FirstCheckInterval = 10000;
  static constexpr int CheckInterval = 3000;
  static constexpr int RestartWait = 1000;

  // folderTabShown: whether the folder tab is the active one. formCloseQuery: the main window's
  // close query (saves the settings and releases the shared lists).
  DriveWatcher(MainState& state, MessageBoxes& boxes, DesktopServices& desktop,
               std::function<bool()> folderTabShown, std::function<void()> formCloseQuery,
               QObject* parent = nullptr);

  // DriveList: the drives present now, the reference for the whole run.
  void TakeDriveList();
  // Starts the timer anew with this interval; 0 stops it.
  void SetInterval(int milliseconds);
  int Interval() const;
  QTimer* TMWatcheDrive() const { return timer_; }

  // The tick.
  void TMWatcheDriveTimer();

 private:
  MainState& state_;
  MessageBoxes& boxes_;
  DesktopServices& desktop_;
  std::function<bool()> folderTabShown_;
  std::function<void()> formCloseQuery_;
  QTimer* timer_ = nullptr;
};

}  // namespace tarvex
