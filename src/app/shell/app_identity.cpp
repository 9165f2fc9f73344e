#include "app/shell/app_identity.h"

namespace tarvex {

QString ApplicationTitle() { return QStringLiteral("Tarvex"); }

QString MainWindowCaption() {
  return ApplicationTitle() + QLatin1Char(' ') + QStringLiteral(TARVEX_VERSION);
}

}  // namespace tarvex
