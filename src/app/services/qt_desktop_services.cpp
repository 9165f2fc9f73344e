#include "app/services/qt_desktop_services.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QProcess>
#include <QThread>

#include "core/drives/logical_drives.h"
#include "core/fs/folder_address.h"
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

namespace tarvex {

namespace {

constexpr char FileManagerService[] = "org.freedesktop.FileManager1";

bool FileManagerPresent(QDBusConnection& bus) {
  QDBusConnectionInterface* names = bus.interface();
  if (names == nullptr) return false;
  if (names->isServiceRegistered(QString::fromLatin1(FileManagerService))) return true;
  // A file manager that D-Bus starts on demand.
  const QDBusReply<QStringList> activatable = bus.call(QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
      QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListActivatableNames")));
  return activatable.isValid() &&
         activatable.value().contains(QString::fromLatin1(FileManagerService));
}

}  // namespace

void QtDesktopServices::ShowFolder(const std::string& path) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || !FileManagerPresent(bus)) {
    Open(path);
    return;
  }
  QDBusMessage call = QDBusMessage::createMethodCall(
      QString::fromLatin1(FileManagerService), QStringLiteral("/org/freedesktop/FileManager1"),
      QString::fromLatin1(FileManagerService), QStringLiteral("ShowFolders"));
  // The address is percent-encoded ASCII, so a name that is not UTF-8 reaches the file manager.
  call << QStringList{QString::fromLatin1(FileAddressOf(path))} << QString();
  // Not waited for: a file manager that starts slowly must not hold up the window.
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), qApp);
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, qApp,
                   [path](QDBusPendingCallWatcher* finished) {
                     finished->deleteLater();
                     if (!finished->isError()) return;
                     try {
                       GioFileOpener().Open(path);
                     } catch (const std::exception& error) {
                       qWarning("%s", error.what());
                     }
                   });
}

}  // namespace tarvex
