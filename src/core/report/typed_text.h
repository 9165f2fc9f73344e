#pragma once
// How a spreadsheet takes a text that is typed into a cell, for the workbook backends: a date
// and time, a whole number, or the text itself. Nothing becomes a formula: a text that starts
// with "=", "+", "-" or "@" stays the text it is.

#include <string_view>

namespace tarvex {

struct TypedValue {
  enum class Kind { Text, Number, Date };
  Kind Type = Kind::Text;
  // A number's value; a date's as days since 1899-12-30, the fraction being the time of day.
  double Number = 0;
  // The number was written with thousands separators, which the sheet then shows too.
  bool Grouped = false;
};

// Blanks around the text do not count. A date is "mm/dd/yy hh:mm:ss" (month first; "-" or "."
// may stand for "/", "." for ":", one or more blanks between date and time), with a two-digit
// year 30 to 99 in the 1900s and 00 to 29 in the 2000s, and only a calendar date and a time of
// day. A number is a whole number of at most 15 digits, plain or with "," between groups of
// three; one with leading zeros stays text, so a name such as "007" keeps its digits. Anything
// else is text.
TypedValue ConvertTypedText(std::string_view text);

}  // namespace tarvex
