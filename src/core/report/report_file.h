#pragma once
// Where the report workbooks go and how each gets a name of its own: a report never replaces
// an earlier one, nor any other file.

#include <ctime>
#include <string>

namespace tarvex {

// $XDG_CACHE_HOME/tarvex (~/.cache/tarvex when unset or relative).
std::string ReportFolder();

// Creates the folder when missing and a new, empty temporary file in it, private to the user,
// for a workbook to be written into; returns its path. Throws std::runtime_error.
std::string CreateReportTemporary(const std::string& folder);

// The same, left open for writing: the descriptor is the caller's to close. The file is written
// through it, never again by its name.
struct ReportTemporary {
  std::string Path;
  int Fd = -1;
};
ReportTemporary OpenReportTemporary(const std::string& folder);

// Gives the finished temporary of that folder its report name, "tarvex-list-YYYYMMDD-hhmmss.xlsx"
// after the local time `when`, or with "-2", "-3", ... before ".xlsx" while the name is taken.
// The name is taken only where no file has it, in one step that never replaces one, so the
// report appears complete or not at all. Returns the report's path. Throws std::runtime_error;
// the temporary then stays.
std::string PlaceReportFile(const std::string& temporary, const std::string& folder,
                            std::time_t when);

}  // namespace tarvex
