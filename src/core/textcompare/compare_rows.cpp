#include "core/textcompare/compare_rows.h"

#include <algorithm>

#include "core/textcompare/blank_text.h"
#include "core/textcompare/line_code.h"

namespace tarvex {

void SetCodesAndLineNos(CompareSide& side) {
  const std::size_t count = side.Lines.size();
  side.Codes.resize(count);
  side.LineNos.resize(count);
  for (std::size_t r = 0; r < count; ++r) {
    side.Codes[r] = LineCode(side.Lines[r]);
    // The loaders stay below the 32-bit size limit, so a row number always fits.
    side.LineNos[r] = static_cast<std::int32_t>(r + 1);
  }
}

bool RowsEqual(const CompareSide& a, std::size_t rowA, const CompareSide& b, std::size_t rowB) {
  if (a.Codes[rowA] != b.Codes[rowB]) return false;
  return a.BlanksIgnored ? EqualIgnoringBlanks(a.Lines[rowA], b.Lines[rowB])
                         : a.Lines[rowA] == b.Lines[rowB];
}

bool IsDifferingRow(const CompareRows& rows, std::size_t row) {
  const CompareSide& main = rows.Main();
  const CompareSide& sub = rows.Sub();
  return row >= main.RowCount() || row >= sub.RowCount() || !RowsEqual(main, row, sub, row);
}

std::size_t CountDifferingRows(const CompareRows& rows) {
  const std::size_t m = rows.Main().RowCount();
  const std::size_t n = rows.Sub().RowCount();
  const std::size_t common = std::min(m, n);
  std::size_t count = std::max(m, n) - common;
  for (std::size_t r = 0; r < common; ++r) {
    if (!RowsEqual(rows.Main(), r, rows.Sub(), r)) ++count;
  }
  return count;
}

}  // namespace tarvex
