#include "core/list/list_navigation.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

TEST(ClickListHeader, FlipsTheSortColumnAndTakesAnyOther) {
  struct Case {
    int column, sortcol;
    bool sortup;
    int expectedCol;
    bool expectedUp;
  };
  const Case cases[] = {
      {1, 1, true, 1, false},  // the sort column's header flips the direction
      {6, 6, false, 6, true},
      {2, 1, true, 2, true},  // another column keeps the direction
      {5, 3, false, 5, false},
      {0, 1, true, 1, true},   // the row-number header re-sorts as it stands
      {0, 0, true, 0, false},  // a stored column 0 matches it and flips, still unsorted
      {3, 9, true, 3, true},   // a stored value out of range is replaced
  };
  for (const auto& c : cases) {
    int sortcol = c.sortcol;
    bool sortup = c.sortup;
    ClickListHeader(c.column, sortcol, sortup);
    EXPECT_EQ(sortcol, c.expectedCol) << c.column << " on " << c.sortcol;
    EXPECT_EQ(sortup, c.expectedUp) << c.column << " on " << c.sortcol;
  }
}

TEST(WheelScrollTarget, MovesByATenthButAtMostAThirdOfTheView) {
  struct Case {
    int rowCount, fixedRows, current, visible;
    bool upward;
    double fraction;
    int expected;
  };
  const Case cases[] = {
      {501, 1, 1, 30, false, 0.1, 12},  // 500 rows, 30 visible: 10 by the step, 1 by the view
      {501, 1, 30, 30, true, 0.1, 19},
      {501, 1, 11, 30, true, 0.1, 1},      // row 1 is the top: the view has no room to go on
      {501, 1, 495, 30, false, 0.1, 500},  // kept at the last row
      {501, 1, 1, 30, false, 0, 12},       // a fraction of 0 counts as a tenth
      {501, 1, 1, 30, false, -1, 12},
      {21, 1, 1, 30, false, 0.1, 4},  // 20 rows: the tenth (2) is the smaller step
      {501, 1, 5, 2, false, 0.1, 6},  // under three visible rows only the view's own row
      {2, 1, 1, 30, false, 0.1, 1},   // one row: nowhere to go
      {2, 1, 1, 30, true, 0.1, 1},
      {1, 0, 0, 30, false, 0.1, 0},  // empty list: nothing changes
      {1, 0, 0, 30, true, 0.1, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(
        WheelScrollTarget(c.rowCount, c.fixedRows, c.current, c.visible, c.upward, c.fraction),
        c.expected)
        << c.rowCount << " rows, at " << c.current << (c.upward ? " up" : " down");
  }
}

}  // namespace
}  // namespace tarvex
