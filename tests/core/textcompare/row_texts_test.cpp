#include "core/textcompare/row_texts.h"

#include <gtest/gtest.h>

#include <random>

namespace tarvex {
namespace {

TEST(RowTexts, AdoptedRowsPointIntoTheBufferAndAddedRowsKeepTheirText) {
  RowTexts rows = RowTexts::Adopting("one\ntwo\n\nthree");
  const std::string_view text = rows.Buffer();
  rows.AddAdopted(text.substr(0, 3));
  rows.AddAdopted(text.substr(4, 3));
  rows.AddAdopted(text.substr(8, 0));
  rows.push_back("four");  // the buffer grows; the adopted rows are places, not pointers
  rows.AddAdopted(std::string_view(rows.Buffer()).substr(9, 5));
  EXPECT_EQ(rows, (std::vector<std::string>{"one", "two", "", "four", "three"}));
  EXPECT_EQ(rows, (RowTexts{"one", "two", "", "four", "three"}));
  EXPECT_NE(rows, (RowTexts{"one", "two", "", "four"}));
}

// The one-pass insertion against inserting each run alone, on random runs, at the ends too.
TEST(RowTexts, RunsInsertedInPlaceAsOneByOne) {
  std::mt19937 rng(17);
  auto pick = [&](std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n)(rng); };
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> lines(pick(12));
    for (std::size_t i = 0; i < lines.size(); ++i) lines[i] = "L" + std::to_string(i);
    InsertedRuns runs;
    for (std::size_t before = 0; before <= lines.size(); ++before) {
      if (pick(2) == 0) runs.emplace_back(before, 1 + pick(3));
    }
    RowTexts fast(lines);
    RowTexts oneByOne(lines);
    std::vector<int> values(lines.size());
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<int>(i);
    std::vector<int> expectedValues = values;
    fast.InsertEmptyRuns(runs);
    InsertRunsInPlace(values, runs, -1);
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
      oneByOne.InsertEmpty(run->first, run->second);
      expectedValues.insert(expectedValues.begin() + static_cast<std::ptrdiff_t>(run->first),
                            run->second, -1);
    }
    ASSERT_EQ(fast, oneByOne) << "round " << round;
    ASSERT_EQ(values, expectedValues) << "round " << round;
  }
}

}  // namespace
}  // namespace tarvex
