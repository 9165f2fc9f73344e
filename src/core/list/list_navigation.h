#pragma once
// How header clicks and the mouse wheel move through the file list; the view applies the results.

namespace tarvex {

// A click on the header cell of `column`: the sort column's own header flips the direction, a
// column from 1 to 6 becomes the sort column. The caller re-sorts and refills in every case.
void ClickListHeader(int column, int& sortcol, bool& sortup);

// The current row after one wheel notch: a step of rowCount * fraction rows (0.1 when fraction is
// 0 or less), at most a third of the fully visible scrollable rows, kept within the data rows,
// and then the view's own step of one row further where there is room. rowCount counts the header
// row; an empty list (no data row) keeps currentRow.
int WheelScrollTarget(int rowCount, int fixedRows, int currentRow, int visibleRows, bool upward,
                      double fraction = 0.1);

}  // namespace tarvex
