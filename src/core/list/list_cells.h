#pragma once
// What the file list shows: the header, the counter and, for each entry, the cell texts, the
// comparison marks and which colour each cell takes. A view maps these to its own drawing.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/list/list_column.h"
#include "core/scan/path_entry.h"

namespace tarvex {

// The locale's separators, as the window reads them from the system.
struct ListTextFormat {
  std::string DateSeparator = "/";
  std::string TimeSeparator = ":";
  std::string ThousandsSeparator = ",";
};

// Header cell of a column; the sort column (1 to 6) carries "△" when sortup, else "▽".
std::string ListHeaderText(int column, int sortcol, bool sortup);

// The counter label after a fill, and while a sort places rows.
std::string ListCounterText(std::int32_t paths, std::int32_t folders, std::int32_t same);
std::string SortCounterText(std::int32_t paths, std::int32_t folders, std::int32_t same,
                            int percent);

// The text of one cell of the entry shown at `position` (0-based; the row number is one more).
// dirIgnore is the current state of the "ignore folder time differences" option: it blanks the
// time marks of folder rows; ignoreHourShift those of rows whose times are one hour apart.
std::string ListCellText(const PathEntry& entry, std::int32_t position, int column,
                         const ListTextFormat& format, bool dirIgnore,
                         bool ignoreHourShift = false);

// Row number right-aligned in 4 characters.
std::string RowNumberText(std::int32_t rowNumber);

// The entry's path, with "/" appended for a folder.
std::string ListPathText(const PathEntry& entry);

// Calendar fields of a list time (days since 1899-12-30, fraction = time of day), to the second.
struct ListTimeFields {
  std::int64_t Year = 1899;
  int Month = 12, Day = 30, Hour = 0, Minute = 0, Second = 0;
};
ListTimeFields DecodeListTime(double time);

// "yy/mm/dd hh:mm:ss" with the given separators; every field two digits, hours 00 to 23.
std::string ListTimeText(double time, const ListTextFormat& format);

// The size as a whole number with thousands separators, right-aligned in at least 10 characters.
std::string ListSizeText(std::int64_t size, std::string_view thousandsSeparator);

// Main mark, size mark and sub mark joined by blanks, from the sides themselves (not the Status
// of the last scan): "在" for a side that only this side has, "新" for the newer side, "＝", "＞"
// or "＜" for the sizes of two existing sides, and the ideographic space "　" otherwise.
std::string CompareMarks(const PathEntry& entry, bool dirIgnore, bool ignoreHourShift = false);

// Which colours a data cell takes. Column 0 and the cells of selected rows keep the view's own.
enum class CellBackground { View, Main, Sub, Folder };
enum class CellForeground { View, Grey };
struct CellColours {
  CellBackground Background = CellBackground::View;
  CellForeground Foreground = CellForeground::View;
  bool operator==(const CellColours&) const = default;
};
CellColours ListCellColours(const PathEntry& entry, int column);

// The colours as 0xRRGGBB.
inline constexpr std::uint32_t MainSideRgb = 0xE8F8FF;  // pale blue
inline constexpr std::uint32_t SubSideRgb = 0xFFFBF0;   // cream
inline constexpr std::uint32_t FolderRgb = 0xDEFFDE;    // pale green
inline constexpr std::uint32_t GreyTextRgb = 0xB0B0B0;

}  // namespace tarvex
