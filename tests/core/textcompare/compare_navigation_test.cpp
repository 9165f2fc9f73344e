#include "core/textcompare/compare_navigation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/align_reference.h"

namespace tarvex {
namespace {

using testing::MakeTextRows;

std::vector<std::string> Split(const std::string& letters) {
  std::vector<std::string> lines;
  for (const char c : letters) lines.emplace_back(1, c);
  return lines;
}

TEST(CompareNavigation, NextAndPreviousBlocks) {
  const struct {
    const char* Main;
    const char* Sub;
    std::size_t Current;
    std::size_t Next;
    std::size_t Previous;
  } cases[] = {
      // Differing rows 2-3 and 6.
      {"abXYcdZe", "abPQcdRe", 0, 2, 0},
      {"abXYcdZe", "abPQcdRe", 1, 2, 0},
      {"abXYcdZe", "abPQcdRe", 2, 6, 0},  // out of the block first, in both directions
      {"abXYcdZe", "abPQcdRe", 3, 6, 0},
      {"abXYcdZe", "abPQcdRe", 4, 6, 3},  // the previous block's last row
      {"abXYcdZe", "abPQcdRe", 6, 7, 3},  // no block below: the last common row
      {"abXYcdZe", "abPQcdRe", 7, 7, 6},
      // The sub side is longer: its extra rows lie beyond the last common row.
      {"abcdefghij", "abcdefghijkl", 0, 9, 0},
      {"abcdefghij", "abcdefghijkl", 9, 9, 0},
      // The main side is longer: from its extra rows, back over them and the equal rows above.
      {"abcdefghijkl", "abcdefghij", 11, 11, 0},
      {"abcdefghijkl", "abcdefghij", 8, 9, 0},
      // Every row differs: the last common row, and row 0.
      {"abc", "xyz", 0, 2, 0},
      {"abc", "xyz", 2, 2, 0},
      // One equal row.
      {"x", "x", 0, 0, 0},
  };
  for (const auto& c : cases) {
    const CompareRows rows = MakeTextRows(Split(c.Main), Split(c.Sub));
    EXPECT_EQ(NextDifferingBlock(rows, c.Current), c.Next)
        << c.Main << " / " << c.Sub << " at " << c.Current;
    EXPECT_EQ(PreviousDifferingBlock(rows, c.Current), c.Previous)
        << c.Main << " / " << c.Sub << " at " << c.Current;
  }
  // "acf" and "afa" share a line code.
  const CompareRows collision = MakeTextRows({"a", "b", "acf", "c"}, {"a", "b", "afa", "c"});
  EXPECT_EQ(NextDifferingBlock(collision, 0), 2u);
  EXPECT_EQ(PreviousDifferingBlock(collision, 3), 2u);
}

TEST(CompareNavigation, CenteredTopRow) {
  const struct {
    std::int64_t Target, Visible, Rows, Top;
  } cases[] = {
      {50, 20, 100, 40}, {3, 20, 100, 0}, {89, 20, 100, 79}, {90, 20, 100, 80}, {99, 20, 100, 80},
      {5, 20, 10, 0},    {5, 0, 100, 5},  {0, 1, 1, 0},      {7, 5, 100, 5},    {0, 20, 100, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CenteredTopRow(c.Target, c.Visible, c.Rows), c.Top)
        << c.Target << " " << c.Visible << " " << c.Rows;
  }
}

}  // namespace
}  // namespace tarvex
