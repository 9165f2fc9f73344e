#pragma once
// The parts of a one-sheet workbook other than the sheet itself, as XML texts: the package's
// content types and relationships, the workbook, its cell formats and its properties.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace tarvex {

// The sheet's part inside the package.
inline constexpr const char* XlsxSheetPart = "xl/worksheets/sheet1.xml";
inline constexpr const char* XlsxSheetName = "Sheet1";

// A cell format beyond the default one: a number format ("" for General) and a horizontal
// alignment ("" for none, else "left", "center" or "right").
struct XlsxCellFormat {
  std::string NumberFormat;  // as XML can hold it, not yet escaped
  std::string Alignment;
  bool operator==(const XlsxCellFormat&) const = default;
};

// One part: its name in the package and its text.
struct XlsxPart {
  const char* Name;
  std::string Text;
};

// The parts that come before the sheet; they depend on nothing written to it.
std::vector<XlsxPart> XlsxLeadingParts();

// The parts after the sheet. formats: the cell formats the sheet's style numbers 1, 2, ...
// refer to, in that order. created: the workbook's creation time.
std::vector<XlsxPart> XlsxTrailingParts(const std::vector<XlsxCellFormat>& formats,
                                        std::time_t created);

// Text for a double-quoted attribute.
std::string XmlAttributeEscaped(const std::string& text);

}  // namespace tarvex
