#include "core/commands/command_scope.h"

#include <algorithm>

#include "core/scan/folder_scan.h"

namespace tarvex {

bool ClampRows(const PathList& list, std::int32_t& first, std::int32_t& last) {
  first = std::max(first, 1);
  last = std::min(last, list.PathCount);
  return first <= last;
}

void RecompareEntry(PathList& list, std::int32_t index) {
  if (list[index].Status == Same) --list.SameCount;
  list.CompareEntry(index);
}

}  // namespace tarvex
