#include "core/textcompare/compare_rows.h"

#include <gtest/gtest.h>

#include "core/textcompare/line_code.h"
#include "support/align_reference.h"

namespace tarvex {
namespace {

using testing::MakeTextRows;

TEST(CompareRows, CodesAndNumbersOfLoadedRows) {
  const CompareRows rows = MakeTextRows({"a", "", "abc"}, {});
  EXPECT_EQ(rows.Main().Codes, (std::vector<std::int32_t>{102037, 0, 305711}));
  EXPECT_EQ(rows.Main().LineNos, (std::vector<std::int32_t>{1, 2, 3}));
  EXPECT_TRUE(rows.Sub().Codes.empty());
}

TEST(CompareRows, DifferingRowsAndTheirCount) {
  const struct {
    std::vector<std::string> main, sub;
    std::vector<bool> differing;  // per row of the longer side
  } cases[] = {
      {{"a", "b"}, {"a", "b"}, {false, false}},
      {{"a", "b"}, {"a", "c"}, {false, true}},
      {{"a"}, {"a", "b", "c"}, {false, true, true}},  // rows without counterpart differ
      {{"x", "acf"}, {"x", "afa"}, {false, true}},    // one code, two texts: a change
      {{}, {}, {}},
  };
  for (const auto& c : cases) {
    const CompareRows rows = MakeTextRows(c.main, c.sub);
    std::size_t count = 0;
    for (std::size_t r = 0; r < c.differing.size(); ++r) {
      EXPECT_EQ(IsDifferingRow(rows, r), c.differing[r]) << "row " << r;
      count += c.differing[r];
    }
    EXPECT_EQ(CountDifferingRows(rows), count);
  }
}

TEST(CompareRows, GapRowOppositeAnEmptyLineDiffers) {
  CompareRows rows = MakeTextRows({""}, {""});
  rows.Main().Codes[0] = GapCode;
  rows.Main().LineNos[0] = GapLineNo;
  EXPECT_TRUE(rows.Main().IsGap(0));
  EXPECT_TRUE(IsDifferingRow(rows, 0));
  EXPECT_EQ(CountDifferingRows(rows), 1u);
}

}  // namespace
}  // namespace tarvex
