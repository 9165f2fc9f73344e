#include "core/list/shown_list.h"

#include "core/list/list_column.h"
#include "core/text/display_path.h"

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

std::string ShownList::DisplayCellText(std::int32_t row, int column) const {
  std::string text = CellText(row, column);
  return column == ColumnPath ? DisplayPath(text) : text;
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
