#pragma once
// Shows a list of byte texts (history entries, filter-set names) in a combo box: each item shows
// the text decoded for display and keeps its bytes, so a name that is not UTF-8 survives.

#include <QComboBox>
#include <string>

#include "core/settings/settings.h"

namespace tarvex {

// Replaces the combo's items and selection without running its change handlers.
void FillCombo(QComboBox& combo, const ComboItems& items);
// The bytes of the selected item; empty when nothing is selected.
std::string SelectedComboText(const QComboBox& combo);

}  // namespace tarvex
