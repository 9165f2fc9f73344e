#include "core/report/typed_text.h"

#include <cstdint>

namespace tarvex {

namespace {

// Beyond 15 digits a double no longer holds every whole number exactly.
constexpr std::size_t MaxNumberDigits = 15;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// Two digits at pos; -1 when there are none.
int TwoDigits(std::string_view text, std::size_t pos) {
  if (pos + 2 > text.size() || !IsDigit(text[pos]) || !IsDigit(text[pos + 1])) return -1;
  return (text[pos] - '0') * 10 + (text[pos + 1] - '0');
}

bool IsDateSeparator(char c) { return c == '/' || c == '-' || c == '.'; }
bool IsTimeSeparator(char c) { return c == ':' || c == '.'; }

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  constexpr int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : Days[month - 1];
}

// Days from 1970-01-01 to a Gregorian date.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yoe = year - era * 400;
  const std::int64_t doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

bool ConvertDate(std::string_view text, TypedValue& value) {
  // mm/dd/yy, blanks, hh:mm:ss
  if (text.size() < 8 + 1 + 8) return false;
  const int month = TwoDigits(text, 0);
  const int day = TwoDigits(text, 3);
  const int year2 = TwoDigits(text, 6);
  if (month < 0 || day < 0 || year2 < 0 || !IsDateSeparator(text[2]) || !IsDateSeparator(text[5])) {
    return false;
  }
  std::size_t pos = 8;
  if (text[pos] != ' ') return false;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  if (text.size() - pos != 8) return false;
  const int hour = TwoDigits(text, pos);
  const int minute = TwoDigits(text, pos + 3);
  const int second = TwoDigits(text, pos + 6);
  if (hour < 0 || minute < 0 || second < 0 || !IsTimeSeparator(text[pos + 2]) ||
      !IsTimeSeparator(text[pos + 5])) {
    return false;
  }
  const int year = year2 < 30 ? 2000 + year2 : 1900 + year2;
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
      minute > 59 || second > 59) {
    return false;
  }
  constexpr std::int64_t DaysFrom1899To1970 = 25569;
  value.Type = TypedValue::Kind::Date;
  value.Number = static_cast<double>(DaysFromCivil(year, month, day) + DaysFrom1899To1970) +
                 static_cast<double>(hour * 3600 + minute * 60 + second) / 86400.0;
  return true;
}

bool ConvertNumber(std::string_view text, TypedValue& value) {
  if (text.empty() || !IsDigit(text[0])) return false;
  if (text[0] == '0' && text.size() > 1) return false;
  std::size_t firstGroup = 0;
  while (firstGroup < text.size() && IsDigit(text[firstGroup])) ++firstGroup;
  const bool grouped = firstGroup < text.size();
  if (grouped) {
    // 1 to 3 digits, then ",ddd" to the end.
    if (firstGroup > 3 || (text.size() - firstGroup) % 4 != 0) return false;
    for (std::size_t pos = firstGroup; pos < text.size(); pos += 4) {
      if (text[pos] != ',' || !IsDigit(text[pos + 1]) || !IsDigit(text[pos + 2]) ||
          !IsDigit(text[pos + 3])) {
        return false;
      }
    }
  }
  std::int64_t number = 0;
  std::size_t digits = 0;
  for (const char c : text) {
    if (!IsDigit(c)) continue;
    if (++digits > MaxNumberDigits) return false;
    number = number * 10 + (c - '0');
  }
  value.Type = TypedValue::Kind::Number;
  value.Number = static_cast<double>(number);
  value.Grouped = grouped;
  return true;
}

}  // namespace

TypedValue ConvertTypedText(std::string_view text) {
  const std::string_view trimmed = TrimBlanks(text);
  TypedValue value;
  if (ConvertDate(trimmed, value) || ConvertNumber(trimmed, value)) return value;
  return {};
}

}  // namespace tarvex
