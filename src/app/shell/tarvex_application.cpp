#include "app/shell/tarvex_application.h"

#include "app/shell/app_identity.h"
#include "app/shell/handler_guard.h"
#include "app/shell/japanese_fonts.h"

namespace tarvex {

TarvexApplication::TarvexApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // Only the name: a display name would be appended to every window caption.
  setApplicationName(ApplicationTitle());
  setFont(FixedJapaneseFont());
  setDesktopFileName(QLatin1String(DesktopFileName));
  setWindowIcon(ApplicationIcon());
}

bool TarvexApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ReportUncaughtException(boxes_, std::current_exception());
    return false;
  }
}

}  // namespace tarvex
