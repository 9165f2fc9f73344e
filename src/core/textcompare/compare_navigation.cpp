#include "core/textcompare/compare_navigation.h"

#include <algorithm>

namespace tarvex {

std::size_t NextDifferingBlock(const CompareRows& rows, std::size_t current) {
  const std::size_t common = std::min(rows.Main().RowCount(), rows.Sub().RowCount());
  if (common == 0 || current + 1 >= common) return current;
  const std::size_t last = common - 1;
  std::size_t r = current;
  // Out of the block the current row is in, then over the equal rows to the next block.
  while (r < last && IsDifferingRow(rows, r)) ++r;
  while (r < last && !IsDifferingRow(rows, r)) ++r;
  return r;
}

std::size_t PreviousDifferingBlock(const CompareRows& rows, std::size_t current) {
  std::size_t r = current;
  while (r > 0 && IsDifferingRow(rows, r)) --r;
  while (r > 0 && !IsDifferingRow(rows, r)) --r;
  return r;
}

std::int64_t CenteredTopRow(std::int64_t target, std::int64_t visible, std::int64_t rowCount) {
  std::int64_t top = target - visible / 2;
  if (top + visible > rowCount - 1) top = rowCount - visible;
  return std::max<std::int64_t>(top, 0);
}

}  // namespace tarvex
