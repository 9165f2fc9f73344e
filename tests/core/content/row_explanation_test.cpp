#include "core/content/row_explanation.h"

#include <gtest/gtest.h>

#include "core/fs/file_attributes.h"

namespace tarvex {
namespace {

constexpr double Second = 1.0 / 86400;
constexpr double Base = 45000.25;

TEST(RowExplanation, TimeDifferenceInWords) {
  const struct {
    double subMinusMain;
    const char* expected;
  } cases[] = {
      {0, "時刻は同じ"},
      {-192, "メインが 3 分 12 秒新しい"},
      {192, "サブが 3 分 12 秒新しい"},
      {3600, "ちょうど 1 時間の差（サブが新しい）"},
      {-3600, "ちょうど 1 時間の差（メインが新しい）"},
      {3602, "サブが 1 時間 2 秒新しい"},
      {7200, "サブが 2 時間新しい"},
      {-(2 * 86400 + 4 * 3600), "メインが 2 日 4 時間新しい"},
      {2, "サブが 2 秒新しい"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TimeDifferenceText(Base, Base + c.subMinusMain * Second), c.expected)
        << c.subMinusMain;
  }
}

TEST(RowExplanation, SizeDifferenceInBytes) {
  EXPECT_EQ(SizeDifferenceText(5, 5), "サイズは同じ");
  EXPECT_EQ(SizeDifferenceText(1234 + 10, 10), "サイズの差 1,234 バイト（メインが大きい）");
  EXPECT_EQ(SizeDifferenceText(0, 5'000'000'000LL),
            "サイズの差 5,000,000,000 バイト（サブが大きい）");
}

TEST(RowExplanation, LinesForTheRow) {
  PathEntry e;
  e.MainExists = e.SubExists = true;
  e.MainTime = Base + 192 * Second;
  e.SubTime = Base;
  e.MainSize = e.SubSize = 7;
  const struct {
    ContentVerdict verdict;
    const char* expected;
  } cases[] = {
      {ContentVerdict::None, "メインが 3 分 12 秒新しい\nサイズは同じ"},
      {ContentVerdict::Same,
       "メインが 3 分 12 秒新しい\nサイズは同じ\n内容は同一（違うのは時刻だけ）"},
      {ContentVerdict::Different, "メインが 3 分 12 秒新しい\nサイズは同じ\n内容は相違"},
      {ContentVerdict::Unchecked, "メインが 3 分 12 秒新しい\nサイズは同じ\n内容は未確認"},
      {ContentVerdict::Unreadable, "メインが 3 分 12 秒新しい\nサイズは同じ\n内容を読めません"},
  };
  for (const auto& c : cases) EXPECT_EQ(RowExplanation(e, c.verdict), c.expected);

  e.SubTime = e.MainTime;
  EXPECT_EQ(RowExplanation(e, ContentVerdict::Same), "時刻は同じ\nサイズは同じ\n内容は同一");
  e.SubExists = false;
  EXPECT_EQ(RowExplanation(e, ContentVerdict::Same), "メインにだけあります");
  e.SubExists = true;
  e.Attr = AttrDirectory;
  EXPECT_EQ(RowExplanation(e, ContentVerdict::None), "時刻は同じ");
}

TEST(ContentCellText, FollowsTheSidesAsTheyStandNow) {
  PathEntry e;
  e.MainExists = e.SubExists = true;
  e.MainTime = e.SubTime = Base;
  e.MainSize = e.SubSize = 3;
  e.Status = Same;
  EXPECT_EQ(ContentCellText(e, ContentVerdict::Same), "同一");
  EXPECT_EQ(ContentCellText(e, ContentVerdict::Different), "相違");
  EXPECT_TRUE(IsHiddenDifference(e, ContentVerdict::Different));
  EXPECT_FALSE(IsHiddenDifference(e, ContentVerdict::Same));
  e.SubTime = Base + 2 * Second;
  e.Status = SubNewer;
  EXPECT_EQ(ContentCellText(e, ContentVerdict::Same), "時刻のみ");
  EXPECT_FALSE(IsHiddenDifference(e, ContentVerdict::Different));
  // A copy since the check made the sizes differ, or a delete took a side away.
  e.SubSize = 4;
  EXPECT_EQ(ContentCellText(e, ContentVerdict::Same), "");
  EXPECT_FALSE(IsSameContent(e, ContentVerdict::Same));
  e.SubSize = 3;
  e.SubExists = false;
  EXPECT_EQ(ContentCellText(e, ContentVerdict::Different), "");
}

}  // namespace
}  // namespace tarvex
