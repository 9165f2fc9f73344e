#include "app/widgets/app_identity.h"

namespace tarvex {

QString ApplicationTitle() { return QStringLiteral("Tarvex"); }

QString MainWindowCaption() {
  return ApplicationTitle() + QLatin1Char(' ') + QStringLiteral(TARVEX_VERSION);
}

QIcon ApplicationIcon() {
  QIcon icon(QStringLiteral(":/icons/org.tarvex.Tarvex.svg"));
  if (icon.availableSizes().isEmpty() && icon.pixmap(64).isNull())
    icon = QIcon::fromTheme(QLatin1String(DesktopFileName));
  return icon;
}

}  // namespace tarvex
