#pragma once
// Where the compare view's two buttons go: to the next or the previous block of differing rows,
// and which top row then shows the target in the middle of the grid.

#include <cstddef>
#include <cstdint>

#include "core/textcompare/compare_rows.h"

namespace tarvex {

// "↓違う行" from row current: the first row of the next block of differing rows below it, or the
// last row that both sides have when no block follows; current itself when it is at or beyond
// that row. Both sides have rows.
std::size_t NextDifferingBlock(const CompareRows& rows, std::size_t current);

// "↑違う行" from row current: the last row of the previous block of differing rows above it, or
// row 0 when there is none. Both sides have rows.
std::size_t PreviousDifferingBlock(const CompareRows& rows, std::size_t current);

// The top row that puts target in the middle of visible rows: half of them above it, no room
// left below the last of rowCount rows, and never above row 0.
std::int64_t CenteredTopRow(std::int64_t target, std::int64_t visible, std::int64_t rowCount);

}  // namespace tarvex
