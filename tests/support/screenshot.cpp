#include "support/screenshot.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

namespace tarvex::test {

QString SaveScreenshot(QWidget& widget, const QString& name) {
  const QString folder = QStringLiteral(TARVEX_TEST_OUTPUT_DIR);
  if (!QDir().mkpath(folder)) return {};
  const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
  return widget.grab().save(path, "PNG") ? path : QString();
}

}  // namespace tarvex::test
