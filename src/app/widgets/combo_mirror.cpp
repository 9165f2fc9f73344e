#include "app/widgets/combo_mirror.h"

#include <QSignalBlocker>

#include "app/widgets/display_text.h"

namespace tarvex {

void FillCombo(QComboBox& combo, const ComboItems& items) {
  const QSignalBlocker blocker(combo);
  combo.clear();
  for (const std::string& item : items.Items) {
    combo.addItem(ShownText(item), QByteArray::fromStdString(item));
  }
  combo.setCurrentIndex(items.ItemIndex < combo.count() ? items.ItemIndex : -1);
}

std::string SelectedComboText(const QComboBox& combo) {
  if (combo.currentIndex() < 0) return {};
  return combo.currentData().toByteArray().toStdString();
}

}  // namespace tarvex
