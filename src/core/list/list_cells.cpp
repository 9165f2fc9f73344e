#include "core/list/list_cells.h"

#include "core/scan/folder_scan.h"
#include "core/text/format_text.h"

#include <cmath>

namespace tarvex {
namespace {

constexpr const char* HeaderTexts[ListColumnCount] = {
    "", "ファイルパス", "M更新日", "Mサイズ", "比較", "Sサイズ", "S更新日",
};

constexpr const char* Blank = "　";  // ideographic space: keeps the marks in their columns

void AppendTwoDigits(std::string& out, std::int64_t value) {
  value %= 100;
  if (value < 0) value += 100;
  out.push_back(static_cast<char>('0' + value / 10));
  out.push_back(static_cast<char>('0' + value % 10));
}

// Days since 1970-01-01 to a proleptic Gregorian date.
void CivilFromDays(std::int64_t z, std::int64_t& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<std::int64_t>(z - era * 146097);
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = yoe + era * 400 + (month <= 2 ? 1 : 0);
}

std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (const char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  return count;
}

}  // namespace

std::string ListHeaderText(int column, int sortcol, bool sortup) {
  if (column < 0 || column >= ListColumnCount) return {};
  std::string text = HeaderTexts[column];
  if (column == sortcol && sortcol >= ColumnPath && sortcol <= ColumnSubTime)
    text += sortup ? "△" : "▽";
  return text;
}

std::string ListCounterText(std::int32_t paths, std::int32_t folders, std::int32_t same) {
  return ScanCounterText(true, paths, folders, same);
}

std::string SortCounterText(std::int32_t paths, std::int32_t folders, std::int32_t same,
                            int percent) {
  return FormatText("全パス=%d　ディレクトリ=%d  同じパス=%d　ソート中=%d%%", paths, folders, same,
                    percent);
}

std::string RowNumberText(std::int32_t rowNumber) { return FormatText("%4d", rowNumber); }

std::string ListPathText(const PathEntry& entry) {
  return IsFolder(entry.Attr) ? entry.Path.str() + "/" : entry.Path.str();
}

ListTimeFields DecodeListTime(double time) {
  constexpr std::int64_t MsPerDay = 86400000;
  constexpr std::int64_t DaysFrom1899To1970 = 25569;
  // Far beyond any file time; keeps the conversion below defined for garbage values.
  if (!(std::fabs(time) < 1e9)) time = 0;
  // To the nearest millisecond first: a time stored as a day fraction lies a hair off its second.
  const auto ms = static_cast<std::int64_t>(std::llround(time * static_cast<double>(MsPerDay)));
  std::int64_t days = ms / MsPerDay;
  std::int64_t msOfDay = ms % MsPerDay;
  if (msOfDay < 0) {
    msOfDay += MsPerDay;
    --days;
  }
  ListTimeFields f;
  CivilFromDays(days - DaysFrom1899To1970, f.Year, f.Month, f.Day);
  const auto seconds = static_cast<int>(msOfDay / 1000);
  f.Hour = seconds / 3600;
  f.Minute = seconds / 60 % 60;
  f.Second = seconds % 60;
  return f;
}

std::string ListTimeText(double time, const ListTextFormat& format) {
  const ListTimeFields f = DecodeListTime(time);
  std::string text;
  text.reserve(17 + 2 * format.DateSeparator.size() + 2 * format.TimeSeparator.size());
  AppendTwoDigits(text, f.Year);
  text += format.DateSeparator;
  AppendTwoDigits(text, f.Month);
  text += format.DateSeparator;
  AppendTwoDigits(text, f.Day);
  text += ' ';
  AppendTwoDigits(text, f.Hour);
  text += format.TimeSeparator;
  AppendTwoDigits(text, f.Minute);
  text += format.TimeSeparator;
  AppendTwoDigits(text, f.Second);
  return text;
}

std::string ListSizeText(std::int64_t size, std::string_view thousandsSeparator) {
  // Unsigned magnitude, so that the most negative value has one too.
  const std::uint64_t magnitude =
      size < 0 ? 0 - static_cast<std::uint64_t>(size) : static_cast<std::uint64_t>(size);
  const std::string digits = std::to_string(magnitude);
  std::string grouped;
  if (size < 0) grouped += '-';
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += thousandsSeparator;
    grouped += digits[i];
  }
  const std::size_t width = CharacterCount(grouped);
  return width < 10 ? std::string(10 - width, ' ') + grouped : grouped;
}

std::string CompareMarks(const PathEntry& e, bool dirIgnore, bool ignoreHourShift) {
  const bool both = e.MainExists && e.SubExists;
  const bool blankFolder = (dirIgnore && IsFolder(e.Attr)) ||
                           (ignoreHourShift && both && IsHourShift(e.MainTime, e.SubTime));
  // A missing side is never the newer one, whatever time value it still holds.
  const char* mainMark = e.MainExists && !e.SubExists     ? "在"
                         : blankFolder                    ? Blank
                         : both && e.MainTime > e.SubTime ? "新"
                                                          : Blank;
  const char* sizeMark = !both                     ? Blank
                         : e.MainSize == e.SubSize ? "＝"
                         : e.MainSize > e.SubSize  ? "＞"
                                                   : "＜";
  const char* subMark = e.SubExists && !e.MainExists     ? "在"
                        : blankFolder                    ? Blank
                        : both && e.SubTime > e.MainTime ? "新"
                                                         : Blank;
  std::string text = mainMark;
  text += ' ';
  text += sizeMark;
  text += ' ';
  text += subMark;
  return text;
}

std::string ListCellText(const PathEntry& e, std::int32_t position, int column,
                         const ListTextFormat& format, bool dirIgnore, bool ignoreHourShift) {
  switch (column) {
    case ColumnRow:
      return RowNumberText(position + 1);
    case ColumnPath:
      return ListPathText(e);
    case ColumnMainTime:
      return e.MainExists ? ListTimeText(e.MainTime, format) : std::string();
    case ColumnMainSize:
      return e.MainExists ? ListSizeText(e.MainSize, format.ThousandsSeparator) : std::string();
    case ColumnMarks:
      return CompareMarks(e, dirIgnore, ignoreHourShift);
    case ColumnSubSize:
      return e.SubExists ? ListSizeText(e.SubSize, format.ThousandsSeparator) : std::string();
    case ColumnSubTime:
      return e.SubExists ? ListTimeText(e.SubTime, format) : std::string();
    default:
      return {};
  }
}

CellColours ListCellColours(const PathEntry& e, int column) {
  CellColours colours;
  if (column < ColumnPath || column > ColumnSubTime) return colours;
  if (IsFolder(e.Attr)) {
    colours.Background = CellBackground::Folder;
  } else if (column == ColumnMainTime || column == ColumnMainSize) {
    colours.Background = CellBackground::Main;
  } else if (column == ColumnSubSize || column == ColumnSubTime) {
    colours.Background = CellBackground::Sub;
  }
  if (e.Ignored) colours.Foreground = CellForeground::Grey;
  return colours;
}

}  // namespace tarvex
