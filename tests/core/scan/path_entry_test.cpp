#include "core/scan/path_entry.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tarvex
