#include "app/services/qt_desktop_services.h"

#include <QApplication>
#include <QDesktopServices>
#include <QProcess>
#include <QThread>
#include <QUrl>

#include "core/drives/logical_drives.h"

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

void QtDesktopServices::OpenUrl(const QString& address) {
  // A plain path or an address without a scheme is taken as the user would mean it.
  QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

}  // namespace tarvex
