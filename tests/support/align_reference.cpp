#include "support/align_reference.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace tarvex::testing {
namespace {

void InsertGaps(CompareSide& side, std::size_t at, std::size_t count) {
  const auto where = static_cast<std::ptrdiff_t>(at);
  side.Lines.InsertEmpty(at, count);
  side.Codes.insert(side.Codes.begin() + where, count, GapCode);
  side.LineNos.insert(side.LineNos.begin() + where, count, GapLineNo);
}

}  // namespace

CompareRows MakeTextRows(const std::vector<std::string>& main,
                         const std::vector<std::string>& sub) {
  CompareRows rows;
  rows.Main().Lines = main;
  rows.Sub().Lines = sub;
  for (CompareSide& side : rows.Sides) SetCodesAndLineNos(side);
  return rows;
}

bool ReferenceAlignStep(CompareRows& rows, std::int64_t& pos, std::vector<AlignAnchor>& anchors) {
  CompareSide& M = rows.Main();
  CompareSide& S = rows.Sub();
  const auto m = static_cast<std::int64_t>(M.RowCount());
  const auto n = static_cast<std::int64_t>(S.RowCount());
  std::int64_t i = pos;
  if (i == m && i == n) return false;
  auto equal = [&](std::int64_t j, std::int64_t k) {
    return RowsEqual(M, static_cast<std::size_t>(j), S, static_cast<std::size_t>(k));
  };
  while (i < std::min(m, n) && equal(i, i)) ++i;
  auto isAnchor = [&](std::int64_t j, std::int64_t k) {
    return equal(j, k) && (j == m - 1 || k == n - 1 || equal(j + 1, k + 1));
  };
  std::optional<std::pair<std::int64_t, std::int64_t>> byMain, bySub;
  if (i < m && i < n) {
    for (std::int64_t j = i; j < m && !byMain; ++j) {
      for (std::int64_t k = i; k < n && !byMain; ++k) {
        if (isAnchor(j, k)) byMain = {j, k};
      }
    }
    for (std::int64_t k = i; k < n && !bySub; ++k) {
      for (std::int64_t j = i; j < m && !bySub; ++j) {
        if (isAnchor(j, k)) bySub = {j, k};
      }
    }
  }
  if (!byMain || !bySub) {
    pos = std::max(m, n) + 1;
    return false;
  }
  const auto [j, k] =
      byMain->first + byMain->second <= bySub->first + bySub->second ? *byMain : *bySub;
  AlignAnchor anchor;
  anchor.Row[MainSide] = static_cast<std::size_t>(M.LineNos[static_cast<std::size_t>(j)] - 1);
  anchor.Row[SubSide] = static_cast<std::size_t>(S.LineNos[static_cast<std::size_t>(k)] - 1);
  anchors.push_back(anchor);
  if (j < k) {
    InsertGaps(M, static_cast<std::size_t>(j), static_cast<std::size_t>(k - j));
    pos = k;
  } else if (j > k) {
    InsertGaps(S, static_cast<std::size_t>(k), static_cast<std::size_t>(j - k));
    pos = j;
  } else {
    pos = j;
  }
  return true;
}

std::vector<AlignAnchor> ReferenceAlignRows(CompareRows& rows) {
  std::vector<AlignAnchor> anchors;
  std::int64_t pos = 0;
  while (ReferenceAlignStep(rows, pos, anchors)) {
  }
  return anchors;
}

}  // namespace tarvex::testing
