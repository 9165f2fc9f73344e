#pragma once
// A worksheet's XML printed row by row straight into a zip entry. Cells are inline strings,
// numbers or formatted blanks, the forms a sheet written in one pass has. What the sheet says
// before its rows (its extent, the column widths) is filled in at the end, into room kept for it.

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/report/zip_stream.h"

namespace tarvex {

class XlsxSheetStream {
 public:
  XlsxSheetStream(ZipStream& zip, int level) : zip_(zip), level_(level) {}

  // The width in characters of a column (from 1). False when rows were written and the room
  // kept for the widths is used up.
  bool SetColumnWidth(std::int32_t column, double width);

  // Cells of one row go in the order of their columns, rows in ascending order. style: 0 for
  // the default format, else the number of a cell format.
  // text: valid UTF-8 without the characters XML cannot hold, except C0 controls, which are
  // written in the spreadsheet's escape "_xHHHH_".
  void StringCell(std::int32_t row, std::int32_t column, std::size_t style, std::string_view text);
  void NumberCell(std::int32_t row, std::int32_t column, std::size_t style, double value);
  void BlankCell(std::int32_t row, std::int32_t column, std::size_t style);

  // Ends the sheet's entry.
  void Finish();

 private:
  void StartCell(std::int32_t row, std::int32_t column, std::size_t style);
  void Start();
  // What comes before the rows.
  std::string Head() const;
  void Drain();

  ZipStream& zip_;
  int level_;
  bool started_ = false;
  std::size_t slot_ = 0;         // bytes kept for Head
  std::size_t slotColumns_ = 0;  // column widths they can hold
  std::map<std::int32_t, double> widths_;
  std::string xml_;       // printed, not yet deflated
  std::int32_t row_ = 0;  // the open row element; 0: none
  std::string rowDigits_;
  std::vector<std::string> letters_;  // of the columns used so far, by number
  // The extent of the written cells; minRow_ 0: none.
  std::int32_t minRow_ = 0, maxRow_ = 0, minColumn_ = 0, maxColumn_ = 0;
};

// A column's letters: 1 "A", 27 "AA".
std::string ColumnLetters(std::int32_t column);

}  // namespace tarvex
