#include "core/content/content_results.h"

#include <string>

#include "core/fs/file_attributes.h"

namespace tarvex {

bool IsContentCandidate(const PathEntry& entry) {
  return !IsFolder(entry.Attr) && entry.Exists(Side::Main) && entry.Exists(Side::Sub) &&
         entry.Size(Side::Main) == entry.Size(Side::Sub);
}

std::string ContentCellText(const PathEntry& entry, ContentVerdict verdict) {
  // A copy or delete since the check may have changed the sides: the cell follows them.
  if (!IsContentCandidate(entry)) return {};
  switch (verdict) {
    case ContentVerdict::Same:
      return entry.Time(Side::Main) != entry.Time(Side::Sub) ? "時刻のみ" : "同一";
    case ContentVerdict::Different:
      return "相違";
    case ContentVerdict::Unchecked:
      return "未確認";
    case ContentVerdict::Unreadable:
      return "読めません";
    case ContentVerdict::None:
      break;
  }
  return {};
}

bool IsHiddenDifference(const PathEntry& entry, ContentVerdict verdict) {
  return entry.Status == Same && verdict == ContentVerdict::Different && IsContentCandidate(entry);
}

bool IsSameContent(const PathEntry& entry, ContentVerdict verdict) {
  return verdict == ContentVerdict::Same && IsContentCandidate(entry);
}

}  // namespace tarvex
