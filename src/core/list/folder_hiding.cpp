#include "core/list/folder_hiding.h"

#include <algorithm>

namespace tarvex {

void HideFolders(PathList& list) {
  const auto begin = list.Entries.begin();
  const auto end = begin + list.PathCount;
  const auto parked =
      std::stable_partition(begin, end, [](const PathEntry& e) { return !IsFolder(e.Attr); });
  // Each folder is parked just in front of those parked before it, so they lie last found first.
  std::reverse(parked, end);
  list.PathCount = static_cast<std::int32_t>(parked - begin);
}

}  // namespace tarvex
