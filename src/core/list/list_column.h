#pragma once
// The columns of the file list, numbered as the settings store the sort column.

namespace tarvex {

enum ListColumn : int {
  ColumnRow = 0,       // row number
  ColumnPath = 1,      // relative path, "/" appended for a folder
  ColumnMainTime = 2,  // main side's modification time
  ColumnMainSize = 3,
  ColumnMarks = 4,  // the three comparison marks; sorts by CompareStatus
  ColumnSubSize = 5,
  ColumnSubTime = 6,
  // After the columns above, only while the content check is on; the report keeps to 0 to 6.
  ColumnContent = 7,
};

inline constexpr int ListColumnCount = 7;

}  // namespace tarvex
