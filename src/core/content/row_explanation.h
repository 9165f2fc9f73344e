#pragma once
// The words behind a row's marks, for the tooltip of its mark cell: which side is newer and by
// how much, how far the sizes are apart, and what the content check found.

#include <cstdint>
#include <string>

#include "core/content/content_results.h"
#include "core/scan/path_entry.h"

namespace tarvex {

// "メインが 3 分 12 秒新しい", "サブが 2 日 4 時間新しい", "ちょうど 1 時間の差（メインが新しい）"
// or "時刻は同じ", from two list times; units that are 0 are left out.
std::string TimeDifferenceText(double mainTime, double subTime);

// "サイズの差 1,234 バイト（メインが大きい）" or "サイズは同じ".
std::string SizeDifferenceText(std::int64_t mainSize, std::int64_t subSize);

// The lines for the entry: the time and size lines when both sides exist (else which side has
// it), and the content verdict when the check gave one.
std::string RowExplanation(const PathEntry& entry, ContentVerdict verdict);

}  // namespace tarvex
