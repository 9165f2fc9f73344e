#pragma once
// The file list's locale services: the separators its dates, times and sizes are written with,
// and the order of its paths.

#include <QCollator>
#include <QLocale>

#include "core/list/list_cells.h"
#include "core/list/path_sort.h"
#include "core/scan/path_list.h"

namespace tarvex {

// The date and time separators of the locale's short formats and its thousands separator; "/"
// and ":" where a format has none between its numeric fields (the C locale writes month names).
ListTextFormat LocaleListTextFormat(const QLocale& locale);

// The collation the list sorts its paths in: the locale's, ignoring letter case.
QCollator ListPathCollator(const QLocale& locale);

// SortPathList with the paths in the collator's order. The collation key of every path (as the
// list shows it) is computed once before the sort, so a comparison only compares two keys.
void SortPathListCollated(PathList& list, int sortcol, bool sortup, const QCollator& collator,
                          const SortProgress& progress = {});

}  // namespace tarvex
