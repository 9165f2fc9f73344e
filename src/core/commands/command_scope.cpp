#include "core/commands/command_scope.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

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

bool IsPathAbsent(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR);
}

}  // namespace tarvex
