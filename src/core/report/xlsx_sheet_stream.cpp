#include "core/report/xlsx_sheet_stream.h"

#include <array>
#include <charconv>
#include <cmath>

#include "core/report/xlsx_package.h"
#include "core/text/format_text.h"

namespace tarvex {

namespace {

constexpr std::string_view SheetStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">";
// The extent is known only at the end, and a column's width may still change while rows are
// written: everything before the rows goes into a slot that is filled in at the end, as long as
// it may then need to be, the rest blanks between the elements.
constexpr std::string_view LongestDimension = "<dimension ref=\"A1:XFD1048576\"/>";
constexpr std::string_view LongestColumn =
    "<col min=\"16384\" max=\"16384\" width=\"-1.234567890123456E-308\" customWidth=\"1\"/>";
// Columns that may get a width of their own after the first row.
constexpr std::size_t LateColumns = 32;
constexpr std::string_view SheetViews =
    "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/></sheetViews>"
    "<sheetFormatPr defaultRowHeight=\"15\"/>";
constexpr std::string_view SheetEnd =
    "</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" "
    "header=\"0.3\" footer=\"0.3\"/></worksheet>";
// Printed XML is deflated in pieces of about this size.
constexpr std::size_t DrainAt = 1u << 16;
// The widths of Calibri 11, in which the file gives column widths: a digit and the padding.
constexpr double DigitPixels = 7;
constexpr double PaddingPixels = 5;

// Bytes of a cell text that cannot go over as they are.
constexpr std::array<bool, 256> EscapedBytes = [] {
  std::array<bool, 256> escaped{};
  for (int c = 0; c < 0x20; ++c) escaped[static_cast<std::size_t>(c)] = c != '\t' && c != '\n';
  escaped['&'] = escaped['<'] = escaped['>'] = true;
  return escaped;
}();

void AppendEscaped(std::string& out, std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t plain = pos;
    while (plain < text.size() && !EscapedBytes[static_cast<unsigned char>(text[plain])]) ++plain;
    out.append(text, pos, plain - pos);
    if (plain == text.size()) break;
    const char c = text[plain];
    if (c == '&') {
      out += "&amp;";
    } else if (c == '<') {
      out += "&lt;";
    } else if (c == '>') {
      out += "&gt;";
    } else {
      constexpr const char* Hex = "0123456789ABCDEF";
      const auto code = static_cast<unsigned char>(c);
      out += "_x00";
      out += Hex[code >> 4];
      out += Hex[code & 0xF];
      out += '_';
    }
    pos = plain + 1;
  }
}

// As "%.16G" prints it, the way spreadsheets write their numbers.
void AppendNumber(std::string& out, double value) {
  char text[40];
  char* end;
  if (std::trunc(value) == value && std::fabs(value) < 1e15) {
    end = std::to_chars(text, text + sizeof text, static_cast<std::int64_t>(value)).ptr;
  } else {
    end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 16).ptr;
    for (char* p = text; p != end; ++p) {
      if (*p == 'e') *p = 'E';
    }
  }
  out.append(text, end);
}

bool IsXmlBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

std::string CellReference(std::int32_t row, std::int32_t column) {
  return ColumnLetters(column) + std::to_string(row);
}

}  // namespace

std::string ColumnLetters(std::int32_t column) {
  std::string letters;
  for (std::int32_t n = column; n > 0; n = (n - 1) / 26)
    letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
  return letters;
}

bool XlsxSheetStream::SetColumnWidth(std::int32_t column, double width) {
  const auto known = widths_.find(column);
  if (started_ && known == widths_.end() && widths_.size() >= slotColumns_) return false;
  widths_[column] = width;
  return true;
}

std::string XlsxSheetStream::Head() const {
  std::string head(SheetStart);
  head += "<dimension ref=\"";
  if (minRow_ == 0) {
    head += "A1";
  } else {
    head += CellReference(minRow_, minColumn_);
    if (maxRow_ != minRow_ || maxColumn_ != minColumn_)
      head += ":" + CellReference(maxRow_, maxColumn_);
  }
  head += "\"/>";
  head += SheetViews;
  if (!widths_.empty()) {
    head += "<cols>";
    for (const auto& [column, characters] : widths_) {
      // The file holds the width with the font's padding, in 1/256 of a digit, as spreadsheets
      // store a width typed in characters.
      double width = 0;
      if (characters > 0) {
        const double pixels = characters < 1
                                  ? std::floor(characters * (DigitPixels + PaddingPixels) + 0.5)
                                  : std::floor(characters * DigitPixels + 0.5) + PaddingPixels;
        width = std::floor(pixels / DigitPixels * 256) / 256;
      }
      head += FormatText("<col min=\"%d\" max=\"%d\" width=\"", column, column);
      AppendNumber(head, width);
      head += "\" customWidth=\"1\"/>";
    }
    head += "</cols>";
  }
  return head;
}

void XlsxSheetStream::Start() {
  slotColumns_ = widths_.size() + LateColumns;
  slot_ = SheetStart.size() + LongestDimension.size() + SheetViews.size() +
          std::string_view("<cols></cols>").size() + slotColumns_ * LongestColumn.size();
  zip_.BeginEntry(XlsxSheetPart, level_, slot_);
  started_ = true;
  xml_.reserve(2 * DrainAt);
  xml_ += "<sheetData>";
}

void XlsxSheetStream::StartCell(std::int32_t row, std::int32_t column, std::size_t style) {
  if (!started_) Start();
  if (row != row_) {
    if (row_ != 0) xml_ += "</row>";
    if (xml_.size() >= DrainAt) Drain();
    row_ = row;
    rowDigits_ = std::to_string(row);
    xml_ += "<row r=\"";
    xml_ += rowDigits_;
    xml_ += "\">";
    if (minRow_ == 0) minRow_ = row;
    maxRow_ = row;
  }
  if (minColumn_ == 0 || column < minColumn_) minColumn_ = column;
  if (column > maxColumn_) maxColumn_ = column;
  const auto index = static_cast<std::size_t>(column);
  if (letters_.size() <= index) {
    for (auto c = static_cast<std::int32_t>(letters_.size()); c <= column; ++c)
      letters_.push_back(ColumnLetters(c));
  }
  xml_ += "<c r=\"";
  xml_ += letters_[index];
  xml_ += rowDigits_;
  xml_ += '"';
  if (style != 0) {
    xml_ += " s=\"";
    char digits[24];
    xml_.append(digits, std::to_chars(digits, digits + sizeof digits, style).ptr);
    xml_ += '"';
  }
}

void XlsxSheetStream::StringCell(std::int32_t row, std::int32_t column, std::size_t style,
                                 std::string_view text) {
  StartCell(row, column, style);
  const bool preserve = !text.empty() && (IsXmlBlank(text.front()) || IsXmlBlank(text.back()));
  xml_ += preserve ? " t=\"inlineStr\"><is><t xml:space=\"preserve\">" : " t=\"inlineStr\"><is><t>";
  AppendEscaped(xml_, text);
  xml_ += "</t></is></c>";
}

void XlsxSheetStream::NumberCell(std::int32_t row, std::int32_t column, std::size_t style,
                                 double value) {
  StartCell(row, column, style);
  xml_ += "><v>";
  AppendNumber(xml_, value);
  xml_ += "</v></c>";
}

void XlsxSheetStream::BlankCell(std::int32_t row, std::int32_t column, std::size_t style) {
  StartCell(row, column, style);
  xml_ += "/>";
}

void XlsxSheetStream::Drain() {
  zip_.Write(xml_);
  xml_.clear();
}

void XlsxSheetStream::Finish() {
  if (!started_) Start();
  if (row_ != 0) xml_ += "</row>";
  row_ = 0;
  xml_ += SheetEnd;
  Drain();
  std::string slot = Head();
  slot.resize(slot_, ' ');
  zip_.EndEntry(slot);
}

}  // namespace tarvex
