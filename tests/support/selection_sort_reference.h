#pragma once
// The file list's sort done the plain way: for each position, walk the rest and take over the
// candidate by the column's rule, then swap. Quadratic; the tests hold the engine's sort to it.

#include "core/list/path_sort.h"
#include "core/scan/path_list.h"

namespace tarvex::testing {

void SelectionSortReference(PathList& list, int sortcol, bool sortup, const PathCollation& collate);

}  // namespace tarvex::testing
