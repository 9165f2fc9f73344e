#include "app/widgets/grid_helpers.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QStyleOptionViewItem>
#include <QTableView>
#include <algorithm>

#include "core/list/list_navigation.h"

namespace tarvex {

void SetUpReadOnlyGrid(QTableView& grid, int rowHeight) {
  grid.setSelectionBehavior(QAbstractItemView::SelectRows);
  grid.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  grid.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  grid.setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid.setTabKeyNavigation(false);
  grid.setWordWrap(false);
  grid.setCornerButtonEnabled(false);

  QHeaderView* rows = grid.verticalHeader();
  rows->hide();
  rows->setMinimumSectionSize(1);
  rows->setDefaultSectionSize(rowHeight);
  rows->setSectionResizeMode(QHeaderView::Fixed);
  QHeaderView* columns = grid.horizontalHeader();
  columns->setMinimumSectionSize(0);
  columns->setStretchLastSection(false);
}

QPalette::ColorGroup CellColourGroup(const QStyleOptionViewItem& option) {
  if ((option.state & QStyle::State_Enabled) == 0) return QPalette::Disabled;
  return (option.state & QStyle::State_Active) != 0 ? QPalette::Normal : QPalette::Inactive;
}

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
