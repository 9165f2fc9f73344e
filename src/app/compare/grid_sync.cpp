#include "app/compare/grid_sync.h"

#include <QItemSelectionModel>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>

namespace tarvex {

int GridRowCount(const QTableView& grid) {
  return grid.model() != nullptr ? grid.model()->rowCount() : 0;
}

int TopRow(const QTableView& grid) { return grid.verticalScrollBar()->value(); }

void SetTopRow(QTableView& grid, int row) { grid.verticalScrollBar()->setValue(std::max(row, 0)); }

int CurrentRow(const QTableView& grid) {
  const QModelIndex current = grid.currentIndex();
  return current.isValid() ? current.row() : -1;
}

void SetCurrentRow(QTableView& grid, int row) {
  QAbstractItemModel* model = grid.model();
  if (model == nullptr || row < 0 || row >= model->rowCount()) return;
  const QModelIndex current = grid.currentIndex();
  const int column = current.isValid() ? current.column() : model->columnCount() - 1;
  grid.selectionModel()->setCurrentIndex(
      model->index(row, column), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void SyncGridRows(QTableView& a, QTableView& b) {
  const bool bLeads = b.hasFocus();
  const QTableView& leader = bLeads ? b : a;
  QTableView& follower = bLeads ? a : b;
  const int lastRow = GridRowCount(follower) - 1;
  if (TopRow(a) != TopRow(b)) SetTopRow(follower, std::min(lastRow, TopRow(leader)));
  if (CurrentRow(a) != CurrentRow(b))
    SetCurrentRow(follower, std::min(lastRow, CurrentRow(leader)));
}

}  // namespace tarvex
