#pragma once
// The rows of one comparison, both sides in one value: rows with the same index stand opposite
// each other in the compare view. The longer side's trailing rows have no counterpart.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/textcompare/row_texts.h"

namespace tarvex {

enum class CompareMode { Text, Hex };

// Indexes of Sides: the main file and the sub file.
inline constexpr std::size_t MainSide = 0;
inline constexpr std::size_t SubSide = 1;
inline constexpr std::size_t OtherSide(std::size_t side) { return 1 - side; }

// A gap row stands opposite a line that only the other side has.
inline constexpr std::int32_t GapCode = -1;
inline constexpr std::int32_t GapLineNo = -1;

// One side's rows (MainLines, MainCodes, MainLineNos for the main side): the text, the line code
// and the 1-based number of the source line (text mode) or dump row (hex mode) of every row; a gap
// row has "", GapCode and GapLineNo. The three arrays always have the same length. With
// BlanksIgnored (set alike on both sides) the codes are those of the lines without their blanks,
// and lines that differ only in blanks are equal.
struct CompareSide {
  RowTexts Lines;
  std::vector<std::int32_t> Codes;
  std::vector<std::int32_t> LineNos;
  bool BlanksIgnored = false;

  std::size_t RowCount() const { return Lines.size(); }
  bool IsGap(std::size_t row) const { return LineNos[row] < 0; }
};

struct CompareRows {
  CompareMode Mode = CompareMode::Text;
  std::array<CompareSide, 2> Sides;

  CompareSide& Main() { return Sides[MainSide]; }
  CompareSide& Sub() { return Sides[SubSide]; }
  const CompareSide& Main() const { return Sides[MainSide]; }
  const CompareSide& Sub() const { return Sides[SubSide]; }
};

// Gives every row of a freshly loaded side (no gap rows yet) its line code and its number r + 1.
void SetCodesAndLineNos(CompareSide& side);

// Two rows are equal when their codes and their texts are equal (without blanks, when they are
// ignored): the code is only the fast first test, so two different lines that share a code still
// count as a change.
bool RowsEqual(const CompareSide& a, std::size_t rowA, const CompareSide& b, std::size_t rowB);

// A row is differing when the other side has no such row or the two rows are not equal.
bool IsDifferingRow(const CompareRows& rows, std::size_t row);

// The differing rows below the shorter side's length, plus the difference of the two lengths.
std::size_t CountDifferingRows(const CompareRows& rows);

}  // namespace tarvex
