#include "core/report/xlsx_spreadsheet.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "core/report/report_file.h"
#include "core/report/typed_text.h"
#include "core/report/xlsx_package.h"
#include "core/report/xlsx_sheet_stream.h"
#include "core/report/xml_text.h"
#include "core/report/zip_stream.h"
#include "core/text/display_path.h"
#include "core/text/format_text.h"
#include "core/text/text_encoding.h"
#include "core/text/utf8.h"

namespace tarvex {

namespace {

constexpr std::int32_t MaxRows = 1048576;
constexpr std::int32_t MaxColumns = 16384;
constexpr std::size_t MaxCellCharacters = 32767;
constexpr Currency MaxColumnWidth = Currency::Whole(255);
// What a spreadsheet gives a cell in which a grouped number or a date is typed.
constexpr const char* GroupedNumberFormat = "#,##0";
constexpr const char* TypedDateFormat = "yyyy/mm/dd hh:mm:ss";
constexpr const char* TextFormat = "@";
// Measured on a report of a million rows (517 MB of XML): level 2 deflated it fastest, faster
// than level 1 (its longer matches skip more of the repeating rows) and a little smaller (72 MB
// against 76 MB); level 3 and up cost 1.3 to 4 times the time for 65 to 57 MB.
constexpr int SheetLevel = 2;
// The small parts: their size does not matter either way.
constexpr int PartLevel = Z_DEFAULT_COMPRESSION;

// The alignment's name in the file; "" for none.
const char* AlignmentName(std::int32_t alignment) {
  switch (alignment) {
    case 0:
    case HAlignGeneral:
      return "";
    case HAlignLeft:
      return "left";
    case HAlignCenter:
      return "center";
    case HAlignRight:
      return "right";
    default:
      throw std::invalid_argument(FormatText("HorizontalAlignment: %d", alignment));
  }
}

std::size_t Utf8Length(std::string_view text) {
  std::size_t characters = 0;
  for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return characters;
}

}  // namespace

class XlsxApplication : public SpreadsheetApplication,
                        public SpreadsheetWorkbooks,
                        public SpreadsheetWorkbook,
                        public SpreadsheetSheet {
 public:
  explicit XlsxApplication(XlsxSpreadsheetServer& server) : server_(server) {}
  ~XlsxApplication() override { Discard(); }
  XlsxApplication(const XlsxApplication&) = delete;
  XlsxApplication& operator=(const XlsxApplication&) = delete;

  SpreadsheetApplication& Application() override { return *this; }
  void Visible(bool visible) override { visible_ = visible; }
  SpreadsheetWorkbooks& Workbooks() override { return *this; }
  SpreadsheetWorkbook& ActiveWorkbook() override {
    if (zip_ == nullptr) throw std::logic_error("ActiveWorkbook: no workbook");
    return *this;
  }
  void Release() override;

  void Add() override;
  SpreadsheetSheet& WorkSheets(std::int32_t index) override;

 protected:
  void SetColumnWidth(std::int32_t row, std::int32_t column, Currency width) override;
  void SetValue(std::int32_t row, std::int32_t column, const std::string& text) override;
  void SetHorizontalAlignment(std::int32_t row, std::int32_t column,
                              std::int32_t alignment) override;
  void SetNumberFormatLocal(std::int32_t row, std::int32_t column,
                            const std::string& format) override;

 private:
  // A cell of the row being written: its value as converted when it was written, and its
  // formatting.
  struct Cell {
    bool Written = false;  // any call reached the cell in this row
    bool HasValue = false;
    std::string Text;  // as the workbook's XML can hold it
    TypedValue Value;
    std::int32_t Alignment = 0;  // 0: none set
    std::string NumberFormat;
  };

  void CheckCell(std::int32_t row, std::int32_t column) const;
  Cell& CellAt(std::int32_t row, std::int32_t column);
  void FlushRow();
  // The cell's style number; 0 for the default format.
  std::size_t StyleFor(const Cell& cell);
  // Runs a step that writes to the file; a failure of the file ends the workbook.
  template <class Step>
  void Writing(Step&& step);
  // Drops the workbook without a report and removes its temporary.
  void Discard() noexcept;

  XlsxSpreadsheetServer& server_;
  bool visible_ = false;
  bool released_ = false;
  bool failed_ = false;  // the file could not be written: nothing of it is kept
  std::time_t created_ = 0;
  std::string temporary_;
  int fd_ = -1;
  std::unique_ptr<ZipStream> zip_;
  std::unique_ptr<XlsxSheetStream> sheet_;
  // The formats of style numbers 1, 2, ...: the few of a report, each once.
  std::vector<XlsxCellFormat> formats_;
  std::int32_t row_ = 0;  // the row held in cells_; 0 before the first
  // Indexed by column - 1; kept from row to row so that the texts keep their storage.
  std::vector<Cell> cells_;
};

template <class Step>
void XlsxApplication::Writing(Step&& step) {
  if (failed_) {
    throw std::runtime_error(
        FormatText("一覧のブックを書き出せません: %s", DisplayPath(server_.folder_).c_str()));
  }
  try {
    step();
  } catch (const std::runtime_error& e) {
    failed_ = true;
    throw std::runtime_error(FormatText("一覧のブックを書き出せません: %s\n%s",
                                        DisplayPath(server_.folder_).c_str(), e.what()));
  }
}

void XlsxApplication::Add() {
  if (zip_ != nullptr) throw std::logic_error("Workbooks.Add: one workbook only");
  ReportTemporary temporary = OpenReportTemporary(server_.folder_);
  temporary_ = std::move(temporary.Path);
  fd_ = temporary.Fd;
  created_ = std::time(nullptr);
  zip_ = std::make_unique<ZipStream>(fd_);
  sheet_ = std::make_unique<XlsxSheetStream>(*zip_, SheetLevel);
  try {
    Writing([&] {
      for (const XlsxPart& part : XlsxLeadingParts())
        zip_->AddEntry(part.Name, part.Text, PartLevel);
    });
  } catch (...) {
    Discard();
    throw;
  }
}

SpreadsheetSheet& XlsxApplication::WorkSheets(std::int32_t index) {
  if (index != 1) throw std::out_of_range(FormatText("WorkSheets: %d", index));
  return *this;
}

void XlsxApplication::CheckCell(std::int32_t row, std::int32_t column) const {
  if (row > MaxRows)
    throw std::runtime_error(FormatText("ワークシートに書ける行は %d 行までです。", MaxRows));
  if (row < 1 || column < 1 || column > MaxColumns)
    throw std::out_of_range(FormatText("Cells(%d, %d)", row, column));
}

XlsxApplication::Cell& XlsxApplication::CellAt(std::int32_t row, std::int32_t column) {
  CheckCell(row, column);
  if (row < row_) {
    throw std::logic_error(
        FormatText("Cells(%d, %d): row %d is already written", row, column, row));
  }
  if (row > row_) {
    FlushRow();
    row_ = row;
  }
  const auto index = static_cast<std::size_t>(column - 1);
  if (index >= cells_.size()) cells_.resize(index + 1);
  Cell& cell = cells_[index];
  cell.Written = true;
  return cell;
}

void XlsxApplication::SetColumnWidth(std::int32_t row, std::int32_t column, Currency width) {
  CheckCell(row, column);
  // The application's range; the file's width field would not hold more.
  if (width.TenThousandths < 0 || width.TenThousandths > MaxColumnWidth.TenThousandths) {
    throw std::out_of_range(FormatText("Cells(%d, %d).ColumnWidth: %lld/10000", row, column,
                                       static_cast<long long>(width.TenThousandths)));
  }
  if (!sheet_->SetColumnWidth(column, static_cast<double>(width.TenThousandths) / 10000.0))
    throw std::logic_error(
        FormatText("Cells(%d, %d).ColumnWidth: too many widths after the first rows", row, column));
}

void XlsxApplication::SetValue(std::int32_t row, std::int32_t column, const std::string& text) {
  Cell& cell = CellAt(row, column);
  // Most texts are valid UTF-8 that XML can hold as it is: they go over without a copy.
  std::string decoded;
  std::string_view utf8 = text;
  if (!IsValidUtf8(text)) {
    decoded = DisplayText(text);
    utf8 = decoded;
  }
  if (utf8.size() > MaxCellCharacters && Utf8Length(utf8) > MaxCellCharacters) {
    throw std::runtime_error(FormatText("セル (%d, %d) に書ける文字は %zu 文字までです。", row,
                                        column, MaxCellCharacters));
  }
  cell.HasValue = true;
  if (XmlHoldsValidUtf8(utf8)) {
    cell.Text.assign(utf8);
  } else {
    cell.Text = CellXmlText(utf8);
  }
  // A cell formatted as text keeps what is typed into it.
  cell.Value = cell.NumberFormat == TextFormat ? TypedValue{} : ConvertTypedText(utf8);
  if (cell.NumberFormat.empty() && cell.Value.Type == TypedValue::Kind::Date)
    cell.NumberFormat = TypedDateFormat;
  if (cell.NumberFormat.empty() && cell.Value.Grouped) cell.NumberFormat = GroupedNumberFormat;
}

void XlsxApplication::SetHorizontalAlignment(std::int32_t row, std::int32_t column,
                                             std::int32_t alignment) {
  AlignmentName(alignment);
  CellAt(row, column).Alignment = alignment;
}

void XlsxApplication::SetNumberFormatLocal(std::int32_t row, std::int32_t column,
                                           const std::string& format) {
  Cell& cell = CellAt(row, column);
  if (IsValidUtf8(format) && XmlHoldsValidUtf8(format)) {
    cell.NumberFormat.assign(format);
  } else {
    cell.NumberFormat = AttributeXmlText(DisplayText(format));
  }
}

std::size_t XlsxApplication::StyleFor(const Cell& cell) {
  const char* alignment = AlignmentName(cell.Alignment);
  // General alignment without a number format is the default format itself.
  if (*alignment == '\0' && cell.NumberFormat.empty()) return 0;
  for (std::size_t i = 0; i < formats_.size(); ++i) {
    if (formats_[i].Alignment == alignment && formats_[i].NumberFormat == cell.NumberFormat)
      return i + 1;
  }
  formats_.push_back({cell.NumberFormat, alignment});
  return formats_.size();
}

void XlsxApplication::FlushRow() {
  if (row_ == 0) return;
  Writing([&] {
    for (std::size_t index = 0; index < cells_.size(); ++index) {
      Cell& cell = cells_[index];
      if (!cell.Written) continue;
      const auto column = static_cast<std::int32_t>(index + 1);
      const std::size_t style = StyleFor(cell);
      if (!cell.HasValue || cell.Text.empty()) {
        // A blank cell is written only for its format.
        if (cell.Alignment != 0 || !cell.NumberFormat.empty())
          sheet_->BlankCell(row_, column, style);
      } else if (cell.Value.Type == TypedValue::Kind::Text) {
        sheet_->StringCell(row_, column, style, cell.Text);
      } else {
        sheet_->NumberCell(row_, column, style, cell.Value.Number);
      }
      cell.Written = false;
      cell.HasValue = false;
      cell.Text.clear();
      cell.Value = TypedValue{};
      cell.Alignment = 0;
      cell.NumberFormat.clear();
    }
  });
}

void XlsxApplication::Release() {
  if (released_) return;
  released_ = true;
  if (zip_ == nullptr) return;
  try {
    FlushRow();
    Writing([&] {
      sheet_->Finish();
      for (const XlsxPart& part : XlsxTrailingParts(formats_, created_))
        zip_->AddEntry(part.Name, part.Text, PartLevel);
      zip_->Finish();
      const int fd = std::exchange(fd_, -1);
      if (::close(fd) != 0) throw std::runtime_error(std::strerror(errno));
    });
  } catch (...) {
    Discard();
    throw;
  }
  sheet_.reset();
  zip_.reset();
  const std::string path = PlaceReportFile(temporary_, server_.folder_, created_);
  temporary_.clear();
  server_.reportPath_ = path;
  if (visible_) server_.opener_.Open(path);
}

void XlsxApplication::Discard() noexcept {
  sheet_.reset();
  zip_.reset();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  formats_.clear();
  cells_.clear();
  // Only the temporary this workbook was to be written into: never a placed report.
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

XlsxSpreadsheetServer::XlsxSpreadsheetServer(std::string folder, FileOpener& opener)
    : folder_(std::move(folder)), opener_(opener) {}

std::unique_ptr<SpreadsheetApplication> XlsxSpreadsheetServer::CreateObject(
    const std::string& className) {
  if (className != SpreadsheetClassName) throw std::invalid_argument("CreateObject: " + className);
  return std::make_unique<XlsxApplication>(*this);
}

}  // namespace tarvex
