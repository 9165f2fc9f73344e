#pragma once
// Helpers for the grids of the window: a table view whose model rows are the data rows below one
// header row (the view's horizontal header), in the row numbering of the description of the list:
// row 0 is the header, row r shows model row r - 1.

#include <QPalette>

class QStyleOptionViewItem;
class QTableView;

namespace tarvex {

// What the grids of the window share: whole rows selected, a fixed row height and no row header,
// the vertical scroll bar only, scrolling by rows, no editing, no word wrap, columns that never
// stretch and may shrink to nothing.
void SetUpReadOnlyGrid(QTableView& grid, int rowHeight);

// The palette group a delegate draws a cell with, from the cell's state.
QPalette::ColorGroup CellColourGroup(const QStyleOptionViewItem& option);

// Gives the column the viewport's width minus the widths of all other columns, but not less
// than 0, and returns the width set. The grid lines lie inside the sections here, so no line
// width is added.
int FitColumnWidth(QTableView& grid, int column);

// Data rows that fit wholly into the viewport.
int FullyVisibleRows(const QTableView& grid);

// One wheel notch: the current row moves by the large step of WheelScrollTarget and the grid's
// own one row further, and becomes the selected row. Without data rows nothing changes.
void WheelScrollRows(QTableView& grid, bool upward, double fraction);

}  // namespace tarvex
