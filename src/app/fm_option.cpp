#include "app/fm_option.h"

namespace tarvex {

TFMOption::TFMOption(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FMOption"));
}

}  // namespace tarvex
