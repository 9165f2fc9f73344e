#include "core/list/path_sort.h"

#include <algorithm>
#include <numeric>
#include <string_view>
#include <utility>
#include <vector>

#include "core/list/list_column.h"

namespace tarvex {
namespace {

// The entries that a column can rank, in the order the selection takes their groups, and where
// each group of equal keys starts. Within a group the selection takes whichever member stands
// first at that moment, which only the placement can tell.
struct RankedGroups {
  std::vector<std::int32_t> Order;
  std::vector<std::int32_t> GroupStarts;
  std::int32_t Unranked = 0;  // entries that lack the column's side; they come last
};

template <class Key>
struct KeyRecord {
  Key Value;
  std::int32_t ListPos;
  std::int32_t Index;
};

template <class Key, class HasSide, class KeyOf>
RankedGroups RankByKey(const PathList& list, bool sortup, HasSide hasSide, KeyOf keyOf) {
  const std::int32_t n = list.PathCount;
  std::vector<KeyRecord<Key>> records;
  records.reserve(static_cast<std::size_t>(n));
  for (std::int32_t i = 0; i < n; ++i) {
    const PathEntry& e = list[i];
    if (hasSide(e)) records.push_back({keyOf(e), e.ListPos, i});
  }
  // ListPos breaks ties in both directions: the lower one goes first.
  if (sortup) {
    std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) {
      return a.Value < b.Value || (a.Value == b.Value && a.ListPos < b.ListPos);
    });
  } else {
    std::sort(records.begin(), records.end(), [](const auto& a, const auto& b) {
      return a.Value > b.Value || (a.Value == b.Value && a.ListPos < b.ListPos);
    });
  }
  RankedGroups ranked;
  ranked.Order.reserve(records.size());
  for (std::size_t k = 0; k < records.size(); ++k) {
    if (k == 0 || records[k].Value != records[k - 1].Value ||
        records[k].ListPos != records[k - 1].ListPos)
      ranked.GroupStarts.push_back(static_cast<std::int32_t>(k));
    ranked.Order.push_back(records[k].Index);
  }
  ranked.Unranked = n - static_cast<std::int32_t>(records.size());
  return ranked;
}

RankedGroups RankByPath(const PathList& list, bool sortup, const PositionCollation& collate) {
  const std::int32_t n = list.PathCount;
  std::vector<std::int32_t> records(static_cast<std::size_t>(n));
  std::iota(records.begin(), records.end(), 0);
  // Up takes the path that sorts last first.
  if (sortup) {
    std::sort(records.begin(), records.end(),
              [&](std::int32_t a, std::int32_t b) { return collate(a, b) > 0; });
  } else {
    std::sort(records.begin(), records.end(),
              [&](std::int32_t a, std::int32_t b) { return collate(a, b) < 0; });
  }
  RankedGroups ranked;
  ranked.GroupStarts.reserve(records.size());
  for (std::size_t k = 0; k < records.size(); ++k) {
    if (k == 0 || collate(records[k - 1], records[k]) != 0)
      ranked.GroupStarts.push_back(static_cast<std::int32_t>(k));
  }
  ranked.Order = std::move(records);
  return ranked;
}

RankedGroups Rank(const PathList& list, int sortcol, bool sortup,
                  const PositionCollation& collate) {
  const auto mainSide = [](const PathEntry& e) { return e.MainExists; };
  const auto subSide = [](const PathEntry& e) { return e.SubExists; };
  switch (sortcol) {
    case ColumnPath:
      return RankByPath(list, sortup, collate);
    case ColumnMainTime:
      return RankByKey<double>(list, sortup, mainSide,
                               [](const PathEntry& e) { return e.MainTime; });
    case ColumnMainSize:
      return RankByKey<std::int64_t>(list, sortup, mainSide,
                                     [](const PathEntry& e) { return e.MainSize; });
    case ColumnMarks:
      return RankByKey<std::int32_t>(
          list, sortup, [](const PathEntry&) { return true; },
          [](const PathEntry& e) { return static_cast<std::int32_t>(e.Status); });
    case ColumnSubSize:
      return RankByKey<std::int64_t>(list, sortup, subSide,
                                     [](const PathEntry& e) { return e.SubSize; });
    default:  // ColumnSubTime
      return RankByKey<double>(list, sortup, subSide, [](const PathEntry& e) { return e.SubTime; });
  }
}

// Moves the entries into their new positions; `from[k]` names the entry that goes to position k.
// Consumes `from`.
void Permute(PathList& list, std::vector<std::int32_t>& from) {
  const auto n = static_cast<std::int32_t>(from.size());
  for (std::int32_t i = 0; i < n; ++i) {
    if (from[i] == i) continue;
    PathEntry held = std::move(list[i]);
    std::int32_t j = i;
    while (from[j] != i) {
      const std::int32_t next = from[j];
      list[j] = std::move(list[next]);
      from[j] = j;
      j = next;
    }
    list[j] = std::move(held);
    from[j] = j;
  }
}

}  // namespace

int CompareAsciiNoCase(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    auto ca = static_cast<unsigned char>(a[i]);
    auto cb = static_cast<unsigned char>(b[i]);
    if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca + ('a' - 'A'));
    if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb + ('a' - 'A'));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

void SortPathList(PathList& list, int sortcol, bool sortup, const PathCollation& collate,
                  const SortProgress& progress) {
  // The entries stay in place until every one is ranked, so positions name their paths.
  SortPathList(
      list, sortcol, sortup,
      [&](std::int32_t a, std::int32_t b) { return collate(list[a].Path, list[b].Path); },
      progress);
}

void SortPathList(PathList& list, int sortcol, bool sortup, const PositionCollation& collate,
                  const SortProgress& progress) {
  const std::int32_t n = list.PathCount;
  if (n < 2 || sortcol < ColumnPath || sortcol > ColumnSubTime) return;

  const RankedGroups ranked = Rank(list, sortcol, sortup, collate);

  // Replays the swaps of the selection on positions only. A group's members stay where they are
  // until their turn (only the entry at the front is moved away), so at its turn they are taken in
  // the order of their positions at that moment, and each one swaps with the entry at the front.
  std::vector<std::int32_t> at(static_cast<std::size_t>(n));
  std::iota(at.begin(), at.end(), 0);
  std::vector<std::int32_t> slotOf = at;
  std::vector<std::int32_t> slots;
  std::int32_t p = 0;
  int shownPercent = -1;
  const auto placeFrom = [&](std::int32_t c) {
    if (c != p) {
      const std::int32_t front = at[p];
      const std::int32_t chosen = at[c];
      at[p] = chosen;
      at[c] = front;
      slotOf[chosen] = p;
      slotOf[front] = c;
    }
    ++p;
  };
  const auto rankedCount = static_cast<std::int32_t>(ranked.Order.size());
  for (std::size_t g = 0; g < ranked.GroupStarts.size(); ++g) {
    const std::int32_t lo = ranked.GroupStarts[g];
    const std::int32_t hi =
        g + 1 < ranked.GroupStarts.size() ? ranked.GroupStarts[g + 1] : rankedCount;
    if (hi - lo == 1) {
      placeFrom(slotOf[ranked.Order[lo]]);
    } else {
      slots.clear();
      for (std::int32_t k = lo; k < hi; ++k) slots.push_back(slotOf[ranked.Order[k]]);
      std::sort(slots.begin(), slots.end());
      for (const std::int32_t c : slots) placeFrom(c);
    }
    if (progress) {
      // As a share of the positions the selection walks: the last one needs no step.
      const std::int64_t done = std::min(p - 1, n - 2);
      const auto percent = static_cast<int>(done * 100 / n);
      if (percent != shownPercent) progress(shownPercent = percent);
    }
  }
  // Once no entry with the side is left, the candidate runs on to the last position every time:
  // the last of the rest swaps with the front, which comes to the same as one rotation.
  if (ranked.Unranked >= 2) std::rotate(at.begin() + p, at.end() - 1, at.end());

  Permute(list, at);
}

void RecordListPositions(PathList& list) {
  for (std::int32_t k = 0; k < list.PathCount; ++k) list[k].ListPos = k;
}

}  // namespace tarvex
