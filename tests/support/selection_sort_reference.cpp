#include "support/selection_sort_reference.h"

#include <cstdint>
#include <utility>

namespace tarvex::testing {
namespace {

template <class Key>
bool TakesBySide(bool bHas, bool jHas, Key bKey, Key jKey, std::int64_t t, bool sortup) {
  if (!bHas) return true;
  if (!jHas) return false;
  if (bKey == jKey) return t < 0;
  return sortup ? bKey > jKey : bKey < jKey;
}

// Whether j takes over from the candidate b.
bool Takes(const PathEntry& b, const PathEntry& j, int sortcol, bool sortup,
           const PathCollation& collate) {
  const std::int64_t t = static_cast<std::int64_t>(j.ListPos) - b.ListPos;
  switch (sortcol) {
    case 1: {
      const int c = collate(b.Path, j.Path);
      return sortup ? c < 0 : c > 0;
    }
    case 2:
      return TakesBySide(b.MainExists, j.MainExists, b.MainTime, j.MainTime, t, sortup);
    case 3:
      return TakesBySide(b.MainExists, j.MainExists, b.MainSize, j.MainSize, t, sortup);
    case 4:
      if (b.Status == j.Status) return t < 0;
      return sortup ? b.Status > j.Status : b.Status < j.Status;
    case 5:
      return TakesBySide(b.SubExists, j.SubExists, b.SubSize, j.SubSize, t, sortup);
    case 6:
      return TakesBySide(b.SubExists, j.SubExists, b.SubTime, j.SubTime, t, sortup);
    default:
      return false;
  }
}

}  // namespace

void SelectionSortReference(PathList& list, int sortcol, bool sortup,
                            const PathCollation& collate) {
  for (std::int32_t p = 0; p + 1 < list.PathCount; ++p) {
    std::int32_t b = p;
    for (std::int32_t j = p + 1; j < list.PathCount; ++j)
      if (Takes(list[b], list[j], sortcol, sortup, collate)) b = j;
    std::swap(list[p], list[b]);
  }
}

}  // namespace tarvex::testing
