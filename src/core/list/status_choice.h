#pragma once
// Which rows of the list the 表示 choice keeps, by their compare status. The choices are stored by
// their position, so new ones go at the end.

#include <array>
#include <cstdint>

#include "core/scan/path_entry.h"

namespace tarvex {

enum class StatusChoice : std::int32_t {
  All = 0,
  Different,
  MainOnly,
  SubOnly,
  MainNewer,
  SubNewer,
  SizeDiffers,
  Same,
};

inline constexpr std::array<const char*, 8> StatusChoiceCaptions = {
    "すべて",         "違いのみ",     "メインのみ", "サブのみ",
    "メインが新しい", "サブが新しい", "サイズ違い", "同じ"};

// The choice stored as an integer; a value out of range is All, so a damaged file shows every row.
StatusChoice StatusChoiceFromInt(int value);

// Whether an entry of that status shows under the choice; folder rows follow the same rule.
bool StatusChosen(StatusChoice choice, CompareStatus status);

}  // namespace tarvex
