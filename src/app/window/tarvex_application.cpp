#include "app/window/tarvex_application.h"

#include "app/widgets/app_identity.h"
#include "app/widgets/handler_guard.h"
#include "app/widgets/japanese_fonts.h"

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
