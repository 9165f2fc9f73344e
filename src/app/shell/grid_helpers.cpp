#include "app/shell/grid_helpers.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <algorithm>

#include "core/list/list_navigation.h"

namespace tarvex {

int FitColumnWidth(QTableView& grid, int column) {
  const QHeaderView* header = grid.horizontalHeader();
  int others = 0;
  for (int c = 0; c < header->count(); ++c)
    if (c != column) others += header->sectionSize(c);
  const int width = std::max(0, grid.viewport()->width() - others);
  grid.setColumnWidth(column, width);
  return width;
}

int FullyVisibleRows(const QTableView& grid) {
  const int rowHeight = grid.verticalHeader()->defaultSectionSize();
  return rowHeight > 0 ? grid.viewport()->height() / rowHeight : 0;
}

void WheelScrollRows(QTableView& grid, bool upward, double fraction) {
  QAbstractItemModel* model = grid.model();
  if (model == nullptr) return;
  const int dataRows = model->rowCount();
  if (dataRows <= 0) return;
  const QModelIndex current = grid.currentIndex();
  const int currentRow = current.isValid() ? current.row() + 1 : 1;
  const int target =
      WheelScrollTarget(dataRows + 1, 1, currentRow, FullyVisibleRows(grid), upward, fraction);
  const QModelIndex index = model->index(
      target - 1, current.isValid() ? current.column() : std::min(1, model->columnCount() - 1));
  grid.selectionModel()->setCurrentIndex(
      index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  grid.scrollTo(index);
}

}  // namespace tarvex
