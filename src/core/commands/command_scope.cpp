#include "core/commands/command_scope.h"

#include <algorithm>

#include "core/scan/folder_scan.h"

namespace tarvex {

bool ClampRows(const PathList& list, std::int32_t& first, std::int32_t& last) {
  first = std::max(first, 1);
  last = std::min(last, list.PathCount);
  return first <= last;
}

bool OpenScannedRoot(FileOperations& files, const std::string& path, const FolderIdentity& scanned,
                     RootFolder& root) {
  if (!scanned.Known || !IsAbsolutePath(path)) return false;
  return files.OpenRoot(path, root) && root.Identity() == scanned;
}

void RecompareEntry(PathList& list, std::int32_t index) {
  if (list[index].Status == Same) --list.SameCount;
  list.CompareEntry(index);
}

}  // namespace tarvex
