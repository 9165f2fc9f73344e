#include "core/list/shown_list.h"

#include <algorithm>
#include <cstddef>

#include "core/list/list_column.h"
#include "core/list/path_search.h"
#include "core/text/display_path.h"

namespace tarvex {

std::int32_t ShownList::EntryIndex(std::int32_t row) const {
  if (list_ == nullptr || row < 0 || row >= rows_) return -1;
  const std::int32_t index = narrowed_ ? indexes_[static_cast<std::size_t>(row)] : row;
  return index < list_->PathCount ? index : -1;
}

std::int32_t ShownList::RowOfEntry(std::int32_t index) const {
  if (index < 0 || index >= allRows_) return -1;
  if (!narrowed_) return index;
  // The rows keep list order, so a binary search finds the entry's row.
  const auto found = std::lower_bound(indexes_.begin(), indexes_.end(), index);
  if (found == indexes_.end() || *found != index) return -1;
  return static_cast<std::int32_t>(found - indexes_.begin());
}

const PathEntry* ShownList::EntryAt(std::int32_t row) const {
  const std::int32_t index = EntryIndex(row);
  return index >= 0 ? &(*list_)[index] : nullptr;
}

void ShownList::Fill(const PathList* list, bool dirIgnore) {
  list_ = list;
  allRows_ = list != nullptr ? list->PathCount : 0;
  const PathSearch search(Search);
  narrowed_ = (Status != StatusChoice::All || search.Active()) && list != nullptr;
  indexes_.clear();
  if (narrowed_) {
    for (std::int32_t i = 0; i < allRows_; ++i) {
      const PathEntry& entry = (*list)[i];
      if (StatusChosen(Status, entry.Status) && search.Matches(entry.Path)) indexes_.push_back(i);
    }
    rows_ = static_cast<std::int32_t>(indexes_.size());
  } else {
    rows_ = allRows_;
  }
  DirIgnore = dirIgnore;
  CurrentRow = rows_ > 0 ? 0 : -1;
}

std::string ShownList::CellText(std::int32_t row, int column) const {
  const PathEntry* entry = EntryAt(row);
  if (entry == nullptr) return {};
  return ListCellText(*entry, row, column, Format, DirIgnore, list_->IgnoreHourShift);
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
