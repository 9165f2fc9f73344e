#include "core/scan/path_entry.h"

#include <cmath>

namespace tarvex {

bool IsHourShift(double mainTime, double subTime) {
  constexpr double SecondsPerDay = 86400;
  // To whole seconds first: the days of a list time carry rounding errors far below a second.
  const long long seconds = std::llround(std::fabs(mainTime - subTime) * SecondsPerDay);
  return seconds > 3600 - 2 && seconds < 3600 + 2;
}

CompareStatus ComputeStatus(const PathEntry& e, bool ignoreHourShift) {
  if (!e.MainExists && !e.SubExists) return Neither;
  if (!e.SubExists) return MainOnly;
  if (!e.MainExists) return SubOnly;
  if (ignoreHourShift && IsHourShift(e.MainTime, e.SubTime)) {
    if (e.MainSize > e.SubSize) return MainLarger;
    if (e.MainSize < e.SubSize) return SubLarger;
    return Same;
  }
  if (e.MainTime > e.SubTime) return MainNewer;
  if (e.MainTime < e.SubTime) return SubNewer;
  if (e.MainSize > e.SubSize) return MainLarger;
  if (e.MainSize < e.SubSize) return SubLarger;
  return Same;
}

}  // namespace tarvex
