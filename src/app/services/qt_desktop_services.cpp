#include "app/services/qt_desktop_services.h"

#include <QApplication>
#include <QProcess>
#include <QThread>

#include "core/drives/logical_drives.h"
#include "core/report/gio_file_opener.h"

namespace tarvex {

int QtDesktopServices::ListLogicalDrives(std::vector<std::string>& list) {
  return tarvex::ListLogicalDrives(list);
}

void QtDesktopServices::Beep() { QApplication::beep(); }

void QtDesktopServices::Sleep(int milliseconds) {
  QThread::msleep(static_cast<unsigned long>(milliseconds));
}

void QtDesktopServices::Restart() {
  // Detached, so the new instance outlives this one.
  QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
  QCoreApplication::quit();
}

void QtDesktopServices::Open(const std::string& address) { GioFileOpener().Open(address); }

}  // namespace tarvex
