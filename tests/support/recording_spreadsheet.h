#pragma once
// A spreadsheet backend that only records the calls it receives, one line each, such as
// "Cells(6,3).HorizontalAlignment=-4152" or "Cells(1,2).ColumnWidth=30.0000", and that can be
// told to fail at one of them.

#include <memory>
#include <string>
#include <vector>

#include "core/report/spreadsheet.h"

namespace tarvex::testing {

class RecordingSpreadsheetServer : public SpreadsheetServer {
 public:
  std::vector<std::string> Calls;
  // The call (0-based, in Calls) that throws once instead of being recorded; -1 for none.
  int FailingCall = -1;

  std::unique_ptr<SpreadsheetApplication> CreateObject(const std::string& className) override;

  // Records a call, or throws std::runtime_error("failed: " + call) when it is the failing one.
  void Record(std::string call);
};

}  // namespace tarvex::testing
