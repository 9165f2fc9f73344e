#pragma once
// The alignment step exactly as described: both full searches over the current arrays, gap rows
// inserted into all three arrays of a side at once. Quadratic; the yardstick for LineAligner.

#include <cstdint>
#include <string>
#include <vector>

#include "core/textcompare/compare_rows.h"
#include "core/textcompare/line_align.h"

namespace tarvex::testing {

// Rows loaded from these lines, with their line codes and numbers.
CompareRows MakeTextRows(const std::vector<std::string>& main, const std::vector<std::string>& sub);

// One step from pos; appends the chosen anchor (as indexes of loaded rows) to anchors.
bool ReferenceAlignStep(CompareRows& rows, std::int64_t& pos, std::vector<AlignAnchor>& anchors);

// pos from 0, steps until one returns false; the anchors in order.
std::vector<AlignAnchor> ReferenceAlignRows(CompareRows& rows);

}  // namespace tarvex::testing
