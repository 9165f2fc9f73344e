#include "core/report/list_report.h"

#include <array>
#include <cstdint>
#include <exception>

#include "core/list/list_column.h"
#include "core/text/display_path.h"
#include "core/text/utf8.h"

namespace tarvex {

namespace {

constexpr const char* ReportTitle = "Tarvex ファイルパス比較一覧";
constexpr const char* MainFolderCaption = "メインフォルダパス：";
constexpr const char* SubFolderCaption = "サブフォルダパス：";
constexpr std::array<std::int64_t, 9> ColumnWidths = {5, 30, 22, 10, 8, 10, 22, 15, 15};
constexpr std::array<const char*, 9> HeaderTexts = {
    "NO",      "ファイル名", "メイン更新日", "ﾒｲﾝｻｲｽﾞ",    "比較",
    "ｻﾌﾞｻｲｽﾞ", "サブ更新日", "フォルダ名",   "ファイル名",
};
constexpr std::int32_t HeaderRow = 5;
constexpr std::int32_t FirstDataRow = 6;

// Characters first to last (counted from 1) of a UTF-8 text, as far as they exist.
std::string_view Characters(std::string_view text, std::size_t first, std::size_t last) {
  std::size_t start = text.size();
  std::size_t end = text.size();
  std::size_t number = 1;
  for (std::size_t pos = 0; pos < text.size(); ++number) {
    if (number == first) start = pos;
    pos += Utf8CharLength(text, pos);
    if (number == last) {
      end = pos;
      break;
    }
  }
  return start < end ? text.substr(start, end - start) : std::string_view();
}

// The folder part of a list path (up to and with the last "/") and its file name part (after
// it; all of the path when it has none, empty for a folder row).
struct SplitPath {
  std::string Folder;
  std::string Name;
};

SplitPath SplitListPath(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {std::string(), std::string(path)};
  return {std::string(path.substr(0, slash + 1)), std::string(path.substr(slash + 1))};
}

void WriteDateCell(SpreadsheetSheet& sheet, std::int32_t row, std::int32_t column,
                   const std::string& listDate) {
  sheet.Cells(row, column).HorizontalAlignment(HAlignRight);
  sheet.Cells(row, column).NumberFormatLocal(ReportDateFormat);
  sheet.Cells(row, column).Value(RearrangeDateText(listDate));
}

void WriteSheet(const ShownList& shown, SpreadsheetApplication& application) {
  application.Visible(true);
  application.Workbooks().Add();
  SpreadsheetSheet& sheet = application.ActiveWorkbook().WorkSheets(1);

  for (std::int32_t c = 1; c <= 9; ++c)
    sheet.Cells(1, c).ColumnWidth(Currency::Whole(ColumnWidths[static_cast<std::size_t>(c - 1)]));

  sheet.Cells(1, 1).Value(ReportTitle);
  sheet.Cells(2, 2).Value(MainFolderCaption);
  sheet.Cells(2, 3).Value(DisplayPath(shown.MainRoot));
  sheet.Cells(3, 2).Value(SubFolderCaption);
  sheet.Cells(3, 3).Value(DisplayPath(shown.SubRoot));

  for (std::int32_t c = 1; c <= 9; ++c)
    sheet.Cells(HeaderRow, c).Value(HeaderTexts[static_cast<std::size_t>(c - 1)]);
  for (std::int32_t c = 1; c <= 9; ++c) sheet.Cells(HeaderRow, c).HorizontalAlignment(HAlignCenter);

  for (std::int32_t r = 0; r < shown.Rows(); ++r) {
    const std::int32_t s = r + FirstDataRow;
    // The path as the grid shows it: each name decoded on its own.
    const std::string path = shown.DisplayCellText(r, ColumnPath);
    sheet.Cells(s, 1).Value(shown.CellText(r, ColumnRow));
    sheet.Cells(s, 2).Value(path);
    WriteDateCell(sheet, s, 3, shown.CellText(r, ColumnMainTime));
    sheet.Cells(s, 4).Value(shown.CellText(r, ColumnMainSize));
    sheet.Cells(s, 5).Value(shown.CellText(r, ColumnMarks));
    sheet.Cells(s, 6).Value(shown.CellText(r, ColumnSubSize));
    WriteDateCell(sheet, s, 7, shown.CellText(r, ColumnSubTime));
    const SplitPath parts = SplitListPath(path);
    sheet.Cells(s, 8).Value(parts.Folder);
    sheet.Cells(s, 9).Value(parts.Name);
  }
}

}  // namespace

std::string RearrangeDateText(std::string_view text) {
  std::string result(Characters(text, 4, 8));
  result += '/';
  result += Characters(text, 1, 2);
  result += "  ";
  result += Characters(text, 10, 17);
  return result;
}

void ExportListReport(const ShownList& shown, SpreadsheetServer& server) {
  const std::unique_ptr<SpreadsheetApplication> created = server.CreateObject(SpreadsheetClassName);
  // Until Application answers, the created object is the one reference held.
  SpreadsheetApplication* application = created.get();
  try {
    application = &created->Application();
    WriteSheet(shown, *application);
  } catch (...) {
    // What was written so far stays with the application; the first error is the one to report.
    try {
      application->Release();
    } catch (...) {
    }
    throw;
  }
  application->Release();
}

}  // namespace tarvex
