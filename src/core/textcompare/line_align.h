#pragma once
// The alignment of two text sides: gap rows are inserted so that matching lines stand on the same
// row. Each step skips the rows that are equal, then seeks the nearest anchor, a pair of equal
// rows whose next rows are equal too (or of which one is its side's last row), once walking the
// main side's rows in order and once the sub side's, and takes the pair with the smaller sum of
// row indexes, the main-driven one on a tie. The rows between are paired as changed lines, and the
// shorter stretch gets gap rows directly above the anchor.
//
// The steps work on the loaded rows' own indexes, with an index of each side's rows by code and
// text, so a step costs about the distance it covers, not the product of the two sides' remaining
// lengths, even where many different lines share one code; the gap rows are inserted once at the
// end.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "core/textcompare/compare_rows.h"

namespace tarvex {

// The two rows, one per side (indexes into the loaded rows, before any gap row), that a step puts
// on one row.
struct AlignAnchor {
  std::array<std::size_t, 2> Row{};

  bool operator==(const AlignAnchor&) const = default;
};

class LineAligner {
 public:
  // rows: loaded and coded, without gap rows; must outlive the aligner and stay unchanged.
  explicit LineAligner(const CompareRows& rows);
  ~LineAligner();
  LineAligner(const LineAligner&) = delete;
  LineAligner& operator=(const LineAligner&) = delete;

  // One step from the previous anchor (or from the first rows): true with the next anchor, false
  // once no anchor is left.
  bool AlignStep(AlignAnchor& anchor);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

// Every anchor of the alignment, in order.
std::vector<AlignAnchor> FindAlignAnchors(const CompareRows& rows);

// Inserts the gap rows that put each anchor's two rows on the same row.
void InsertGapRows(CompareRows& rows, const std::vector<AlignAnchor>& anchors);

// The whole alignment of loaded, coded rows; in hex mode rows are paired as they are and nothing
// changes.
void AlignRows(CompareRows& rows);

}  // namespace tarvex
