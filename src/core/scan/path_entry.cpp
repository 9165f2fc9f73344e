#include "core/scan/path_entry.h"

namespace tarvex {

CompareStatus ComputeStatus(const PathEntry& e) {
  if (!e.MainExists && !e.SubExists) return Neither;
  if (!e.SubExists) return MainOnly;
  if (!e.MainExists) return SubOnly;
  if (e.MainTime > e.SubTime) return MainNewer;
  if (e.MainTime < e.SubTime) return SubNewer;
  if (e.MainSize > e.SubSize) return MainLarger;
  if (e.MainSize < e.SubSize) return SubLarger;
  return Same;
}

}  // namespace tarvex
