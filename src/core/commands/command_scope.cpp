#include "core/commands/command_scope.h"

#include <algorithm>

#include "core/scan/folder_scan.h"
#include "core/text/format_text.h"

namespace tarvex {

std::string OutcomeLogSuffix(const CommandResult& result) {
  std::string suffix;
  if (result.Failed > 0) suffix += FormatText("、%dファイル失敗", result.Failed);
  if (result.Cancelled) suffix += "、中止";
  return suffix;
}

std::string OutcomeNote(const CommandResult& result) {
  std::string note;
  if (result.Failed > 0) note += FormatText("%dファイル失敗しました。", result.Failed);
  if (result.Cancelled) note += "中止しました。";
  return note;
}

bool ClampRows(const PathList& list, std::int32_t& first, std::int32_t& last) {
  first = std::max(first, 1);
  last = std::min(last, list.PathCount);
  return first <= last;
}

bool OpenScannedRoot(FileOperations& files, const CommandScope& scope, Side side,
                     PerSide<RootFolder>& roots) {
  const std::string& path = scope.Root(side);
  const FolderIdentity& scanned = scope.List.RootIdentity(side);
  if (!scanned.Known || !IsAbsolutePath(path)) return false;
  return files.OpenRoot(path, roots[side]) && roots[side].Identity() == scanned;
}

void RecompareEntry(PathList& list, std::int32_t index) {
  if (list[index].Status == Same) --list.SameCount;
  list.CompareEntry(index);
}

}  // namespace tarvex
