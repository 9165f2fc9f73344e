#include "core/scan/path_entry.h"

#include <gtest/gtest.h>

#include "core/scan/path_list.h"

namespace tarvex {
namespace {

struct StatusCase {
  bool mainExists, subExists;
  double mainTime, subTime;
  std::int64_t mainSize, subSize;
  CompareStatus expected;
};

TEST(ComputeStatus, ExistenceThenTimeThenSize) {
  const StatusCase cases[] = {
      {false, false, 0, 0, 0, 0, Neither},
      {true, false, 1, 0, 5, 0, MainOnly},
      {false, true, 0, 1, 0, 5, SubOnly},
      {true, true, 2, 1, 1, 99, MainNewer},  // time decides before size
      {true, true, 1, 2, 99, 1, SubNewer},
      {true, true, 1, 1, 20, 10, MainLarger},
      {true, true, 1, 1, 10, 20, SubLarger},
      {true, true, 1, 1, 10, 10, Same},
      // Sizes beyond 32 bits compare by their real value.
      {true, true, 1, 1, 4294967297LL, 1, MainLarger},
  };
  for (const auto& c : cases) {
    PathEntry e;
    e.MainExists = c.mainExists;
    e.SubExists = c.subExists;
    e.MainTime = c.mainTime;
    e.SubTime = c.subTime;
    e.MainSize = c.mainSize;
    e.SubSize = c.subSize;
    EXPECT_EQ(ComputeStatus(e), c.expected) << c.mainTime << " " << c.subTime << " " << c.mainSize;
  }
}

// The per-side operations reach the described fields of their own side and never the other's.
TEST(PathListSides, EachSideOperationTouchesOnlyItsOwnFields) {
  for (const Side side : BothSides) {
    SCOPED_TRACE(side == Side::Main ? "main" : "sub");
    PathList list;
    list.Entries.resize(1);
    list.PathCount = 1;
    DirectoryEntry other;
    other.Time = 7;
    other.Size = 70;
    list.SetSide(0, OtherSide(side), other);
    DirectoryEntry found;
    found.Time = 3;
    found.Size = 5000000000LL;

    list.SetSide(0, side, found);
    const PathEntry& e = list[0];
    const bool main = side == Side::Main;
    EXPECT_EQ(main ? e.MainExists : e.SubExists, true);
    EXPECT_EQ(main ? e.MainTime : e.SubTime, 3);
    EXPECT_EQ(main ? e.MainSize : e.SubSize, 5000000000LL);
    EXPECT_EQ(e.Time(OtherSide(side)), 7);
    EXPECT_EQ(e.Size(OtherSide(side)), 70);

    list.ClearSide(0, OtherSide(side));
    EXPECT_EQ(ComputeStatus(e), OnlyOn(side));
    list.ClearSide(0, side);
    EXPECT_FALSE(e.Exists(side));
    EXPECT_EQ(e.Time(side), 0);
    EXPECT_EQ(e.Size(side), 0);
    EXPECT_EQ(ComputeStatus(e), Neither);
  }
}

TEST(ComputeStatus, HourShiftComparesAsEqualOnlyWhenAsked) {
  // Built as the scan builds list times (days plus seconds of the day / 86400), whose difference
  // is a few micro-seconds off whole seconds.
  constexpr double Day = 45245;
  constexpr int TimeOfDay = 30000;
  struct HourCase {
    double subMinusMain;  // seconds
    std::int64_t subSize;
    CompareStatus withOption;
    CompareStatus without;
  };
  const HourCase cases[] = {
      {3600, 10, Same, SubNewer},
      {-3600, 10, Same, MainNewer},
      {-3602, 10, MainNewer, MainNewer},
      {3600, 11, SubLarger, SubNewer},  // the size still counts
      {3601, 10, Same, SubNewer},       // within the 2-second step
      {3599, 10, Same, SubNewer},
      {3602, 10, SubNewer, SubNewer},
      {3598, 10, SubNewer, SubNewer},
      {7200, 10, SubNewer, SubNewer},
      {-7200, 10, MainNewer, MainNewer},
      {2, 10, SubNewer, SubNewer},
      {0, 10, Same, Same},
  };
  for (const auto& c : cases) {
    PathEntry e;
    e.MainExists = e.SubExists = true;
    e.MainTime = Day + TimeOfDay / 86400.0;
    e.SubTime = Day + (TimeOfDay + c.subMinusMain) / 86400.0;
    e.MainSize = 10;
    e.SubSize = c.subSize;
    EXPECT_EQ(ComputeStatus(e, true), c.withOption) << c.subMinusMain;
    EXPECT_EQ(ComputeStatus(e, false), c.without) << c.subMinusMain;
  }
}

TEST(ComputeStatus, HourShiftLeavesOneSidedEntriesAlone) {
  PathEntry e;
  e.MainExists = true;
  e.MainTime = 3600.0 / 86400;
  EXPECT_EQ(ComputeStatus(e, true), MainOnly);
}

}  // namespace
}  // namespace tarvex
