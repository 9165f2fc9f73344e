#include "app/widgets/handler_guard.h"

#include <stdexcept>

#include "app/widgets/app_identity.h"

namespace tarvex {

void ReportUncaughtException(MessageBoxes& boxes, std::exception_ptr error) noexcept {
  QString text = QStringLiteral("予期しないエラーが発生しました。");
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    text = QString::fromUtf8(e.what());
  } catch (...) {
  }
  try {
    boxes.Error(ApplicationTitle(), text);
  } catch (...) {
    // Reporting must not become a second uncaught error.
  }
}

}  // namespace tarvex
