#pragma once
// The rows of a grid that scrolls by whole rows, and the keeping of two grids in step.

class QTableView;

namespace tarvex {

int GridRowCount(const QTableView& grid);
// The first row shown.
int TopRow(const QTableView& grid);
void SetTopRow(QTableView& grid, int row);
// The current row, -1 when there is none.
int CurrentRow(const QTableView& grid);
// Makes the row current and the only selected one; a row outside the grid changes nothing.
void SetCurrentRow(QTableView& grid, int row);

// Makes one grid follow the other, first the top rows, then the current rows: when b has the
// focus, a follows b; otherwise b follows a. The follower stops at its own last row.
void SyncGridRows(QTableView& a, QTableView& b);

}  // namespace tarvex
