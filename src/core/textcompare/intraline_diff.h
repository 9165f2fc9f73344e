#pragma once
// The characters that differ within a pair of changed rows, so that the view can mark them on
// the row's own colour. Rows are compared unit by unit: an ASCII word (letters, digits, '_') is one
// unit, every other character one of its own, so a changed Japanese character marks just itself.

#include <cstddef>
#include <string_view>
#include <vector>

#include "core/textcompare/compare_rows.h"

namespace tarvex {

// Characters [Start, Start + Length) of one row, in code points (or bytes of ASCII text).
struct TextRange {
  std::size_t Start = 0;
  std::size_t Length = 0;

  bool operator==(const TextRange&) const = default;
};

// The differing ranges of each side, in order and not touching; an empty list where nothing of
// that side differs (a pure insertion on the other side).
struct IntralineChanges {
  std::vector<TextRange> Main;
  std::vector<TextRange> Sub;

  bool operator==(const IntralineChanges&) const = default;
};

// Above this many cells of the unit table, only the common head and tail are trimmed and the
// middle is marked whole, so a very long line costs linear time.
inline constexpr std::size_t IntralineTableLimit = 1'000'000;

// The differing characters of two lines (longest common subsequence of their units); equal runs
// of one or two units between two changes are marked too, so the marking does not splinter.
IntralineChanges DiffLineTexts(std::u32string_view main, std::u32string_view sub);

// The differing byte fields of two shown hex dump rows (positions in the row, two characters per
// byte); a byte that only one row has is differing on that row.
IntralineChanges DiffHexRows(std::string_view main, std::string_view sub);

}  // namespace tarvex
