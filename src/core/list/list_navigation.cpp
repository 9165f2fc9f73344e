#include "core/list/list_navigation.h"

#include <algorithm>

#include "core/list/list_column.h"

namespace tarvex {

void ClickListHeader(int column, int& sortcol, bool& sortup) {
  if (column == sortcol) sortup = !sortup;
  if (column >= ColumnPath && column <= ColumnSubTime) sortcol = column;
}

int WheelScrollTarget(int rowCount, int fixedRows, int currentRow, int visibleRows, bool upward,
                      double fraction) {
  if (rowCount <= fixedRows || rowCount < 2) return currentRow;
  if (fraction <= 0) fraction = 0.1;
  const int step = std::min(static_cast<int>(rowCount * fraction), visibleRows / 3);
  int target = upward ? currentRow - step : currentRow + step;
  if (target >= rowCount) target = rowCount - 1;
  if (target < 1) target = 1;
  if (upward) {
    if (target > fixedRows) --target;
  } else {
    if (target < rowCount - 1) ++target;
  }
  return target;
}

}  // namespace tarvex
