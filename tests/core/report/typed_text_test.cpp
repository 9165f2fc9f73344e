#include "core/report/typed_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvex {
namespace {

constexpr double Seconds(int h, int m, int s) { return (h * 3600 + m * 60 + s) / 86400.0; }

using Kind = TypedValue::Kind;

struct Case {
  std::string Text;
  Kind Type;
  double Number;
  bool Grouped;
};

TEST(ConvertTypedText, DatesNumbersAndTextAsASpreadsheetTakesThemWhenTyped) {
  const Case cases[] = {
      // The rearranged list date: month first, two-digit years split at 30.
      {"05/06/24  07:08:10", Kind::Date, 45418 + Seconds(7, 8, 10), false},
      {"12/31/99  23:59:58", Kind::Date, 36525 + Seconds(23, 59, 58), false},
      {"01/01/30  00:00:00", Kind::Date, 10959, false},
      {"02/28/29  12:00:00", Kind::Date, 47177.5, false},
      {"02/29/24 00:00:00", Kind::Date, 45351, false},
      // Locales whose list dates use another separator.
      {"05.06/24  07.08.10", Kind::Date, 45418 + Seconds(7, 8, 10), false},
      {"05-06/24  07:08:10", Kind::Date, 45418 + Seconds(7, 8, 10), false},
      // Not a calendar date or time of day, or not the whole text: text.
      {"02/29/23  00:00:00", Kind::Text, 0, false},
      {"13/01/24  00:00:00", Kind::Text, 0, false},
      {"00/10/24  00:00:00", Kind::Text, 0, false},
      {"05/06/24  24:00:00", Kind::Text, 0, false},
      {"05/06/24  07:60:00", Kind::Text, 0, false},
      {"05/06/24", Kind::Text, 0, false},
      {"05/06/24  07:08:10x", Kind::Text, 0, false},
      {"05/06/24T07:08:10", Kind::Text, 0, false},
      // A side without a date.
      {"/  ", Kind::Text, 0, false},
      // Row numbers and sizes as the list shows them.
      {"   1", Kind::Number, 1, false},
      {"         0", Kind::Number, 0, false},
      {"     1,234", Kind::Number, 1234, true},
      {"5,000,000,000", Kind::Number, 5e9, true},
      {"999,999,999,999,999", Kind::Number, 999999999999999, true},
      {"123", Kind::Number, 123, false},
      // Not a whole number that reads back the same: text.
      {"1,2345", Kind::Text, 0, false},
      {"12,34", Kind::Text, 0, false},
      {"1234,567", Kind::Text, 0, false},
      {",123", Kind::Text, 0, false},
      {"1,234,", Kind::Text, 0, false},
      {"007", Kind::Text, 0, false},
      {"0,123", Kind::Text, 0, false},
      {"1,000,000,000,000,000", Kind::Text, 0, false},
      {"1 234", Kind::Text, 0, false},
      {"1.5", Kind::Text, 0, false},
      // Never a formula, and no sign makes a number.
      {"=1+1", Kind::Text, 0, false},
      {"+1", Kind::Text, 0, false},
      {"-1", Kind::Text, 0, false},
      {"@SUM(A1)", Kind::Text, 0, false},
      {"=HYPERLINK(\"http://x\")", Kind::Text, 0, false},
      // Marks, names, the empty text.
      {"在 ＝ 　", Kind::Text, 0, false},
      {"１２３", Kind::Text, 0, false},
      {"", Kind::Text, 0, false},
      {"   ", Kind::Text, 0, false},
  };
  for (const Case& c : cases) {
    const TypedValue value = ConvertTypedText(c.Text);
    EXPECT_EQ(value.Type, c.Type) << '"' << c.Text << '"';
    if (c.Type != Kind::Text) {
      EXPECT_NEAR(value.Number, c.Number, 1e-9) << '"' << c.Text << '"';
    }
    EXPECT_EQ(value.Grouped, c.Grouped) << '"' << c.Text << '"';
  }
}

}  // namespace
}  // namespace tarvex
