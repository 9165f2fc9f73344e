#pragma once
// The colours of the two sides, one table for every tab, indexed main side first: the pale blue and
// the cream of the list cells (the engine's MainSideRgb and SubSideRgb), which the folder edits
// and trees, the list's folder labels and the compare tab's file names share.

#include <QColor>
#include <array>

#include "core/list/list_cells.h"
#include "core/scan/side.h"

namespace tarvex {

inline constexpr std::array<QRgb, 2> SideRgb = {MainSideRgb, SubSideRgb};
// The compare grids: a lighter blue on the main side, so the coloured rows stand out on it.
inline constexpr std::array<QRgb, 2> CompareGridRgb = {0xF0FAFF, SubSideRgb};

inline QColor SideColour(Side side) { return QColor::fromRgb(SideRgb[side == Side::Main ? 0 : 1]); }

}  // namespace tarvex
