#pragma once
// What the file list shows, as one object that every reader of the list shares: the entries in
// display order, the rows of the last fill, the sort state, the current row and the two roots
// that were scanned. The grid's model, the compare tab's start checks and the report read it;
// none of them reaches into the list tab's widgets.

#include <cstdint>
#include <string>
#include <vector>

#include "core/content/content_results.h"
#include "core/list/list_cells.h"
#include "core/list/status_choice.h"
#include "core/scan/path_list.h"

namespace tarvex {

class ShownList {
 public:
  // The list shown since the last Fill; null before the first scan. The shown rows are the
  // entries that the status choice keeps, in display order.
  const PathList* List() const { return list_; }
  // Rows of the last fill. Entries may change in place afterwards (a copy reads a side back), and
  // folder hiding may lower PathCount below it: EntryAt never reaches beyond PathCount.
  std::int32_t Rows() const { return rows_; }
  // Entries of the list at the last fill, shown or not.
  std::int32_t AllRows() const { return allRows_; }
  const PathEntry* EntryAt(std::int32_t row) const;
  // The list position of the entry that the row shows; -1 outside the rows. Every command maps
  // the rows it was given through here, so a hidden entry is never touched.
  std::int32_t EntryIndex(std::int32_t row) const;
  // The row that shows the entry at that list position; -1 when the choice hides it.
  std::int32_t RowOfEntry(std::int32_t index) const;
  // Whether the rows are fewer than the entries, so that rows and list positions differ.
  bool Narrowed() const { return narrowed_; }

  // Which statuses are shown, and the search text (UTF-8; see PathSearch); both take effect at
  // the next Fill.
  StatusChoice Status = StatusChoice::All;
  std::string Search;

  int SortCol = 1;
  bool SortUp = true;
  // The state of the folder-time option at the last fill, which the marks of folder rows follow.
  bool DirIgnore = false;
  // The grid's current row (0-based); -1 when there is none.
  std::int32_t CurrentRow = -1;
  // The roots of the scan that made the list, as bytes.
  std::string MainRoot;
  std::string SubRoot;
  ListTextFormat Format;
  // The content check's verdicts for the list while that option is on; null while it is off.
  const ContentResults* Content = nullptr;

  // Shows the entries at positions 0 to PathCount - 1 that the status choice keeps, as they stand
  // now; the list must stay alive until the next Fill. The current row goes to the first row, or -1
  // without rows.
  void Fill(const PathList* list, bool dirIgnore);

  // Cell texts as the grid holds them (bytes; the path column is decoded only for display).
  std::string CellText(std::int32_t row, int column) const;
  // The cell text as a person reads it, in the grid and in the report: the path column decoded
  // name by name (DisplayPath), the other columns as they are.
  std::string DisplayCellText(std::int32_t row, int column) const;
  CellColours Colours(std::int32_t row, int column) const;
  std::string HeaderText(int column) const;

 private:
  const PathList* list_ = nullptr;
  std::int32_t rows_ = 0;
  std::int32_t allRows_ = 0;
  bool narrowed_ = false;
  // The list position of each row, while narrowed.
  std::vector<std::int32_t> indexes_;
};

}  // namespace tarvex
