#include "support/recording_spreadsheet.h"

#include <cinttypes>
#include <cstdio>
#include <stdexcept>

namespace tarvex::testing {

namespace {

std::string CellName(std::int32_t row, std::int32_t column) {
  return "Cells(" + std::to_string(row) + "," + std::to_string(column) + ")";
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

class RecordingApplication : public SpreadsheetApplication,
                             public SpreadsheetWorkbooks,
                             public SpreadsheetWorkbook,
                             public SpreadsheetSheet {
 public:
  explicit RecordingApplication(RecordingSpreadsheetServer& server) : server_(server) {}

  SpreadsheetApplication& Application() override {
    server_.Record("Application");
    return *this;
  }
  void Visible(bool visible) override {
    server_.Record(std::string("Visible=") + (visible ? "true" : "false"));
  }
  SpreadsheetWorkbooks& Workbooks() override {
    server_.Record("Workbooks");
    return *this;
  }
  SpreadsheetWorkbook& ActiveWorkbook() override {
    server_.Record("ActiveWorkbook");
    return *this;
  }
  void Release() override { server_.Record("Release"); }
  void Add() override { server_.Record("Add"); }
  SpreadsheetSheet& WorkSheets(std::int32_t index) override {
    server_.Record("WorkSheets(" + std::to_string(index) + ")");
    return *this;
  }

 protected:
  void SetColumnWidth(std::int32_t row, std::int32_t column, Currency width) override {
    char number[32];
    std::snprintf(number, sizeof number, "%" PRId64 ".%04" PRId64, width.TenThousandths / 10000,
                  width.TenThousandths % 10000);
    server_.Record(CellName(row, column) + ".ColumnWidth=" + number);
  }
  void SetValue(std::int32_t row, std::int32_t column, const std::string& text) override {
    server_.Record(CellName(row, column) + ".Value=" + Quoted(text));
  }
  void SetHorizontalAlignment(std::int32_t row, std::int32_t column,
                              std::int32_t alignment) override {
    server_.Record(CellName(row, column) + ".HorizontalAlignment=" + std::to_string(alignment));
  }
  void SetNumberFormatLocal(std::int32_t row, std::int32_t column,
                            const std::string& format) override {
    server_.Record(CellName(row, column) + ".NumberFormatLocal=" + Quoted(format));
  }

 private:
  RecordingSpreadsheetServer& server_;
};

}  // namespace

std::unique_ptr<SpreadsheetApplication> RecordingSpreadsheetServer::CreateObject(
    const std::string& className) {
  Record("CreateObject(" + Quoted(className) + ")");
  return std::make_unique<RecordingApplication>(*this);
}

void RecordingSpreadsheetServer::Record(std::string call) {
  if (static_cast<int>(Calls.size()) == FailingCall) {
    FailingCall = -1;
    throw std::runtime_error("failed: " + call);
  }
  Calls.push_back(std::move(call));
}

}  // namespace tarvex::testing
