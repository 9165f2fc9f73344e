#include "core/list/shown_list.h"

namespace tarvex {

const PathEntry* ShownList::EntryAt(std::int32_t row) const {
  if (list_ == nullptr || row < 0 || row >= rows_ || row >= list_->PathCount) return nullptr;
  return &(*list_)[row];
}

void ShownList::Fill(const PathList* list, bool dirIgnore) {
  list_ = list;
  rows_ = list != nullptr ? list->PathCount : 0;
  DirIgnore = dirIgnore;
  CurrentRow = rows_ > 0 ? 0 : -1;
}

std::string ShownList::CellText(std::int32_t row, int column) const {
  const PathEntry* entry = EntryAt(row);
  if (entry == nullptr) return {};
  return ListCellText(*entry, row, column, Format, DirIgnore);
}

CellColours ShownList::Colours(std::int32_t row, int column) const {
  const PathEntry* entry = EntryAt(row);
  if (entry == nullptr) return {};
  return ListCellColours(*entry, column);
}

std::string ShownList::HeaderText(int column) const {
  return ListHeaderText(column, SortCol, SortUp);
}

}  // namespace tarvex
