#pragma once
// The members of the spreadsheet application's automation interface that the list report uses,
// named as the application names them. A backend either drives an application or builds a
// workbook file; the report makes the same calls in the same order on every backend. Write-only
// properties are methods named after the property. Every call may throw: an automation error
// ends the export at that call.

#include <cstdint>
#include <memory>
#include <string>

namespace tarvex {

// The class of the spreadsheet application's automation object.
inline constexpr const char* SpreadsheetClassName = "Excel.Application";

// A fixed-point decimal with four decimal places, the automation's currency type.
struct Currency {
  std::int64_t TenThousandths = 0;

  static constexpr Currency Whole(std::int64_t units) { return {units * 10000}; }
  bool operator==(const Currency&) const = default;
};

// The application's published horizontal alignment codes.
inline constexpr std::int32_t HAlignGeneral = 1;
inline constexpr std::int32_t HAlignLeft = -4131;
inline constexpr std::int32_t HAlignCenter = -4108;
inline constexpr std::int32_t HAlignRight = -4152;

class SpreadsheetSheet;

// One cell as Cells(row, column) gives it; rows and columns count from 1.
class SpreadsheetRange {
 public:
  SpreadsheetRange(SpreadsheetSheet& sheet, std::int32_t row, std::int32_t column)
      : sheet_(sheet), row_(row), column_(column) {}

  // The width of the cell's whole column, in characters.
  void ColumnWidth(Currency width);
  // The text as if typed in: the application converts it as it converts typed-in text.
  void Value(const std::string& text);
  void HorizontalAlignment(std::int32_t alignment);
  void NumberFormatLocal(const std::string& format);

 private:
  SpreadsheetSheet& sheet_;
  std::int32_t row_;
  std::int32_t column_;
};

class SpreadsheetSheet {
 public:
  virtual ~SpreadsheetSheet() = default;

  SpreadsheetRange Cells(std::int32_t row, std::int32_t column) { return {*this, row, column}; }

 protected:
  friend class SpreadsheetRange;
  // The property writes on one cell, as a backend receives them.
  virtual void SetColumnWidth(std::int32_t row, std::int32_t column, Currency width) = 0;
  virtual void SetValue(std::int32_t row, std::int32_t column, const std::string& text) = 0;
  virtual void SetHorizontalAlignment(std::int32_t row, std::int32_t column,
                                      std::int32_t alignment) = 0;
  virtual void SetNumberFormatLocal(std::int32_t row, std::int32_t column,
                                    const std::string& format) = 0;
};

inline void SpreadsheetRange::ColumnWidth(Currency width) {
  sheet_.SetColumnWidth(row_, column_, width);
}
inline void SpreadsheetRange::Value(const std::string& text) {
  sheet_.SetValue(row_, column_, text);
}
inline void SpreadsheetRange::HorizontalAlignment(std::int32_t alignment) {
  sheet_.SetHorizontalAlignment(row_, column_, alignment);
}
inline void SpreadsheetRange::NumberFormatLocal(const std::string& format) {
  sheet_.SetNumberFormatLocal(row_, column_, format);
}

class SpreadsheetWorkbook {
 public:
  virtual ~SpreadsheetWorkbook() = default;
  // The sheet of that number, counted from 1.
  virtual SpreadsheetSheet& WorkSheets(std::int32_t index) = 0;
};

class SpreadsheetWorkbooks {
 public:
  virtual ~SpreadsheetWorkbooks() = default;
  // A new, empty workbook, which becomes the active one.
  virtual void Add() = 0;
};

class SpreadsheetApplication {
 public:
  virtual ~SpreadsheetApplication() = default;
  virtual SpreadsheetApplication& Application() = 0;
  virtual void Visible(bool visible) = 0;
  virtual SpreadsheetWorkbooks& Workbooks() = 0;
  virtual SpreadsheetWorkbook& ActiveWorkbook() = 0;
  // Lets go of every reference: the application stays open with its workbooks as they are.
  // Called once, last, also after a failed call.
  virtual void Release() = 0;
};

// Where automation objects come from.
class SpreadsheetServer {
 public:
  virtual ~SpreadsheetServer() = default;
  // The application object of the class; throws when the application is missing or cannot
  // start.
  virtual std::unique_ptr<SpreadsheetApplication> CreateObject(const std::string& className) = 0;
};

}  // namespace tarvex
