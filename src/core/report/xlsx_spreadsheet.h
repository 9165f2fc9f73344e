#pragma once
// A spreadsheet backend that builds an .xlsx workbook instead of driving an application: it
// receives the same automation calls, converts each written text as a spreadsheet converts typed-in
// text, and when the application is released, places the finished workbook in the report folder
// under a name of its own and, if the application was made visible, opens it in the desktop's
// spreadsheet program.
//
// The sheet is printed and compressed as it is written: only the row being written is held, so
// the cells of a row may come in any order, but once a later row is written an earlier one can no
// longer change. Column widths may come at any time, though after the first rows for a few dozen
// columns only. One workbook with one sheet.

#include <string>

#include "core/report/file_opener.h"
#include "core/report/spreadsheet.h"

namespace tarvex {

class XlsxSpreadsheetServer : public SpreadsheetServer {
 public:
  // folder: where the reports go (see ReportFolder), created when missing. opener: opens the
  // finished workbook; it outlives the server.
  XlsxSpreadsheetServer(std::string folder, FileOpener& opener);

  // Only SpreadsheetClassName.
  std::unique_ptr<SpreadsheetApplication> CreateObject(const std::string& className) override;

  // The workbook placed by the latest release; empty before one. It stays when it cannot be
  // opened.
  const std::string& ReportPath() const { return reportPath_; }

 private:
  friend class XlsxApplication;
  std::string folder_;
  FileOpener& opener_;
  std::string reportPath_;
};

}  // namespace tarvex
