#pragma once
// The order of the file list: by one column, up or down, equal keys in the order of the last fill.

#include <cstdint>
#include <functional>
#include <string_view>

#include "core/scan/path_list.h"

namespace tarvex {

// Three-way comparison of two paths in the user's collation, ignoring letter case: negative when a
// sorts before b, 0 when they are equal to it. It must be a consistent ordering (a strict weak
// order); the window passes the locale's collation, tests and headless callers the default.
using PathCollation = std::function<int(std::string_view a, std::string_view b)>;

// Three-way comparison of the paths of the entries at two positions, as the positions stand when
// the sort starts: the sort ranks every entry before it moves any. A caller that prepared one
// collation key per entry compares those instead of collating two texts at every comparison.
using PositionCollation = std::function<int(std::int32_t a, std::int32_t b)>;

// Bytes as unsigned values, with A to Z taken as a to z.
int CompareAsciiNoCase(std::string_view a, std::string_view b);

// Receives the share of placed rows, in whole percent, while the sort places them.
using SortProgress = std::function<void(int percent)>;

// Reorders positions 0 to PathCount - 1 by the column `sortcol` (ListColumn 1 to 6; any other value
// leaves the order alone):
// - path: sortup runs from Z to A, otherwise from A to Z, in the collation;
// - times, sizes and the comparison code: sortup runs from the smallest up, otherwise from the
//   largest down; equal keys in ascending ListPos. For the time and size columns every entry that
//   has the side comes before every entry that lacks it.
// The order is exactly that of picking, for each position in turn, the first best entry among the
// rest and swapping it into place; this decides ties that ListPos cannot (right after a scan every
// ListPos is 0) and the order of the entries that lack the side.
void SortPathList(PathList& list, int sortcol, bool sortup,
                  const PathCollation& collate = CompareAsciiNoCase,
                  const SortProgress& progress = {});
// The same order, with the paths compared through their positions.
void SortPathList(PathList& list, int sortcol, bool sortup, const PositionCollation& collate,
                  const SortProgress& progress = {});

// Records each shown entry's row position (0-based) as its ListPos, which the next sort takes as
// the tie-break. The fill of the list calls it.
void RecordListPositions(PathList& list);

}  // namespace tarvex
