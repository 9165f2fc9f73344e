#pragma once
// The file list as a worksheet: a title, the two folders, a header row and one row per list row
// with fixed column widths and date formatting, written through the spreadsheet application's
// automation members.

#include <string>
#include <string_view>

#include "core/list/shown_list.h"
#include "core/report/spreadsheet.h"

namespace tarvex {

inline constexpr const char* ReportDateFormat = "YYYY/MM/DD hh:mm:ss";

// Creates the application through the server and writes the list as shown (its cell texts, rows
// in display order, the roots of its scan) into sheet 1 of a new workbook, cell by cell, then
// releases the application, which stays open with the workbook. An error of any call ends the
// export there; the application is released all the same and the error passes on.
void ExportListReport(const ShownList& shown, SpreadsheetServer& server);

// A list date "yy/mm/dd hh:mm:ss" as "mm/dd/yy  hh:mm:ss": characters 4 to 8, "/", characters 1
// and 2, two blanks, characters 10 to 17 (counted from 1, a UTF-8 character being one; a range
// past the end gives what exists).
std::string RearrangeDateText(std::string_view text);

}  // namespace tarvex
