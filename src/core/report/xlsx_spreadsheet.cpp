#include "core/report/xlsx_spreadsheet.h"

#include <unistd.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "core/report/report_file.h"
#include "core/report/typed_text.h"
#include "core/report/xml_text.h"
#include "core/text/display_path.h"
#include "core/text/format_text.h"
#include "core/text/text_encoding.h"

namespace tarvex {

namespace {

constexpr std::int32_t MaxRows = LXW_ROW_MAX;
constexpr std::int32_t MaxColumns = LXW_COL_MAX;
constexpr std::size_t MaxCellCharacters = 32767;
// What a spreadsheet gives a cell in which a grouped number or a date is typed.
constexpr const char* GroupedNumberFormat = "#,##0";
constexpr const char* TypedDateFormat = "yyyy/mm/dd hh:mm:ss";
constexpr const char* TextFormat = "@";
// The sheet's rows go through a temporary file of many megabytes: large writes instead of the
// stream's default page-sized ones.
constexpr std::size_t SheetBuffer = 1u << 20;

std::uint8_t LxwAlignment(std::int32_t alignment) {
  switch (alignment) {
    case HAlignGeneral:
      return LXW_ALIGN_NONE;
    case HAlignLeft:
      return LXW_ALIGN_LEFT;
    case HAlignCenter:
      return LXW_ALIGN_CENTER;
    case HAlignRight:
      return LXW_ALIGN_RIGHT;
    default:
      throw std::invalid_argument(FormatText("HorizontalAlignment: %d", alignment));
  }
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
    if (workbook_ == nullptr) throw std::logic_error("ActiveWorkbook: no workbook");
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
  lxw_format* FormatFor(const Cell& cell);
  void Check(lxw_error error) const;
  // Frees the workbook without a report and removes its temporary.
  void Discard() noexcept;

  XlsxSpreadsheetServer& server_;
  bool visible_ = false;
  bool released_ = false;
  std::time_t created_ = 0;
  std::string temporary_;
  lxw_workbook* workbook_ = nullptr;
  lxw_worksheet* sheet_ = nullptr;
  // The few formats of a report, each added to the workbook once.
  struct Format {
    std::int32_t Alignment;
    std::string NumberFormat;
    lxw_format* Added;
  };
  std::vector<Format> formats_;
  std::int32_t row_ = 0;  // the row held in cells_; 0 before the first
  // Indexed by column - 1; kept from row to row so that the texts keep their storage.
  std::vector<Cell> cells_;
  // Given to the sheet's temporary file, which the workbook closes before it is freed.
  std::unique_ptr<char[]> sheetBuffer_;
};

void XlsxApplication::Add() {
  if (workbook_ != nullptr) throw std::logic_error("Workbooks.Add: one workbook only");
  temporary_ = CreateReportTemporary(server_.folder_);
  created_ = std::time(nullptr);
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  // Its own temporary files beside the report: the system's may be memory.
  options.tmpdir = server_.folder_.data();
  workbook_ = workbook_new_opt(temporary_.c_str(), &options);
  if (workbook_ == nullptr) {
    Discard();
    throw std::runtime_error(
        FormatText("一覧のブックを作成できません: %s", DisplayPath(server_.folder_).c_str()));
  }
}

SpreadsheetSheet& XlsxApplication::WorkSheets(std::int32_t index) {
  if (index != 1) throw std::out_of_range(FormatText("WorkSheets: %d", index));
  if (sheet_ == nullptr) {
    sheet_ = workbook_add_worksheet(workbook_, nullptr);
    if (sheet_ == nullptr) throw std::runtime_error("WorkSheets: the sheet cannot be added");
    // Nothing is written to the rows' file before the first row; a stream that cannot take the
    // buffer keeps its own.
    if (sheet_->optimize_tmpfile != nullptr) {
      sheetBuffer_ = std::make_unique<char[]>(SheetBuffer);
      std::setvbuf(sheet_->optimize_tmpfile, sheetBuffer_.get(), _IOFBF, SheetBuffer);
    }
  }
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
  const auto c = static_cast<lxw_col_t>(column - 1);
  Check(worksheet_set_column(sheet_, c, c, static_cast<double>(width.TenThousandths) / 10000.0,
                             nullptr));
}

void XlsxApplication::SetValue(std::int32_t row, std::int32_t column, const std::string& text) {
  Cell& cell = CellAt(row, column);
  const std::string utf8 = DisplayText(text);
  if (lxw_utf8_strlen(utf8.c_str()) > MaxCellCharacters) {
    throw std::runtime_error(FormatText("セル (%d, %d) に書ける文字は %zu 文字までです。", row,
                                        column, MaxCellCharacters));
  }
  cell.HasValue = true;
  cell.Text = CellXmlText(utf8);
  // A cell formatted as text keeps what is typed into it.
  cell.Value = cell.NumberFormat == TextFormat ? TypedValue{} : ConvertTypedText(utf8);
  if (cell.NumberFormat.empty() && cell.Value.Type == TypedValue::Kind::Date)
    cell.NumberFormat = TypedDateFormat;
  if (cell.NumberFormat.empty() && cell.Value.Grouped) cell.NumberFormat = GroupedNumberFormat;
}

void XlsxApplication::SetHorizontalAlignment(std::int32_t row, std::int32_t column,
                                             std::int32_t alignment) {
  LxwAlignment(alignment);
  CellAt(row, column).Alignment = alignment;
}

void XlsxApplication::SetNumberFormatLocal(std::int32_t row, std::int32_t column,
                                           const std::string& format) {
  CellAt(row, column).NumberFormat = AttributeXmlText(DisplayText(format));
}

lxw_format* XlsxApplication::FormatFor(const Cell& cell) {
  if (cell.Alignment == 0 && cell.NumberFormat.empty()) return nullptr;
  for (const Format& known : formats_) {
    if (known.Alignment == cell.Alignment && known.NumberFormat == cell.NumberFormat)
      return known.Added;
  }
  lxw_format* format = workbook_add_format(workbook_);
  if (format == nullptr) throw std::runtime_error("workbook_add_format");
  if (cell.Alignment != 0) format_set_align(format, LxwAlignment(cell.Alignment));
  if (!cell.NumberFormat.empty()) format_set_num_format(format, cell.NumberFormat.c_str());
  formats_.push_back({cell.Alignment, cell.NumberFormat, format});
  return format;
}

void XlsxApplication::FlushRow() {
  const auto r = static_cast<lxw_row_t>(row_ - 1);
  for (std::size_t index = 0; index < cells_.size(); ++index) {
    Cell& cell = cells_[index];
    if (!cell.Written) continue;
    const auto c = static_cast<lxw_col_t>(index);
    lxw_format* format = FormatFor(cell);
    if (!cell.HasValue || cell.Text.empty()) {
      if (format != nullptr) Check(worksheet_write_blank(sheet_, r, c, format));
    } else if (cell.Value.Type == TypedValue::Kind::Text) {
      Check(worksheet_write_string(sheet_, r, c, cell.Text.c_str(), format));
    } else {
      Check(worksheet_write_number(sheet_, r, c, cell.Value.Number, format));
    }
    cell.Written = false;
    cell.HasValue = false;
    cell.Text.clear();
    cell.Value = TypedValue{};
    cell.Alignment = 0;
    cell.NumberFormat.clear();
  }
}

void XlsxApplication::Check(lxw_error error) const {
  if (error == LXW_NO_ERROR) return;
  throw std::runtime_error(FormatText("一覧のブックを書き出せません: %s\n%s",
                                      DisplayPath(server_.folder_).c_str(), lxw_strerror(error)));
}

void XlsxApplication::Release() {
  if (released_) return;
  released_ = true;
  if (workbook_ == nullptr) return;
  if (sheet_ != nullptr) {
    try {
      FlushRow();
    } catch (...) {
      Discard();
      throw;
    }
  }
  const lxw_error closed = workbook_close(workbook_);  // frees the workbook in any case
  workbook_ = nullptr;
  sheet_ = nullptr;
  formats_.clear();
  if (closed != LXW_NO_ERROR) {
    const std::string reason = lxw_strerror(closed);
    Discard();
    throw std::runtime_error(FormatText("一覧のブックを書き出せません: %s\n%s",
                                        DisplayPath(server_.folder_).c_str(), reason.c_str()));
  }
  const std::string path = PlaceReportFile(temporary_, server_.folder_, created_);
  temporary_.clear();
  server_.reportPath_ = path;
  if (visible_) server_.opener_.Open(path);
}

void XlsxApplication::Discard() noexcept {
  // Freeing a workbook that was never closed leaves the rows' file open (and bound to the buffer
  // freed with this object): it is closed here; nothing of it is kept.
  if (sheet_ != nullptr && sheet_->optimize_tmpfile != nullptr) {
    if (sheet_->file == sheet_->optimize_tmpfile) sheet_->file = nullptr;
    std::fclose(sheet_->optimize_tmpfile);
    sheet_->optimize_tmpfile = nullptr;
  }
  if (workbook_ != nullptr) lxw_workbook_free(workbook_);
  workbook_ = nullptr;
  sheet_ = nullptr;
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
