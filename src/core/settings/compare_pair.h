#pragma once
// The text of a compared folder pair and the history of pairs, most recent first.

#include <optional>
#include <string>
#include <string_view>

#include "core/settings/settings.h"

namespace tarvex {

// A blank, the geta mark and a blank.
inline constexpr std::string_view ComparePairSeparator = " \xE3\x80\x93 ";

std::string MakeComparePair(std::string_view mainFolder, std::string_view subFolder);

// The main folder is the text before the first separator, the sub folder the text after it; a
// text without the separator gives two empty folders.
void SplitComparePair(std::string_view pair, std::string& mainFolder, std::string& subFolder);

// Index of the entry equal to the text, letter case included; -1 when none. Folder names are
// case-sensitive here, so a pair that differs in letter case names other folders.
int FindHistoryEntry(const ComboItems& history, std::string_view text);

// Finds the entry equal to the text (appending the text when there is none), moves it to
// position 0 and selects it.
void BringToTop(ComboItems& history, std::string_view text);

// Removes the entry at index (nothing when there is none) and leaves no entry selected.
void DeleteHistoryEntry(ComboItems& history, int index);

// The filter set that the pair was last used with, as an index into the set names (letter case
// ignored): nullopt when the pair has no set, -1 when its set no longer exists.
std::optional<int> PairFilterSetIndex(const Settings& settings, const std::string& pair);

}  // namespace tarvex
