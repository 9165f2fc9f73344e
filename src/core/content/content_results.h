#pragma once
// What the content check found for each entry, beside the PathList rather than in it: the list
// stays as the scan made it, and the table goes with the list it was made for.

#include <cstdint>
#include <vector>

#include "core/scan/path_entry.h"

namespace tarvex {

enum class ContentVerdict : std::uint8_t {
  None,        // not a candidate: a folder, a side missing or the sizes differ
  Unchecked,   // a candidate the check did not reach (stopped)
  Same,        // the bytes of both sides are the same
  Different,   // the bytes differ
  Unreadable,  // a side could not be read (vanished, no access, a link, not a regular file)
};

// Verdicts by each entry's CreatedIndex, which stays with its entry through sorts and folder
// hiding.
class ContentResults {
 public:
  // No verdict for any entry; the table is off until Reset.
  void Clear() { verdicts_.clear(); }
  // Every verdict None for a list whose CreatedIndex values are below size.
  void Reset(std::size_t size) { verdicts_.assign(size, ContentVerdict::None); }
  bool Empty() const { return verdicts_.empty(); }

  ContentVerdict Of(const PathEntry& entry) const {
    const auto i = static_cast<std::size_t>(entry.CreatedIndex);
    return i < verdicts_.size() ? verdicts_[i] : ContentVerdict::None;
  }
  void Set(const PathEntry& entry, ContentVerdict verdict) {
    const auto i = static_cast<std::size_t>(entry.CreatedIndex);
    if (i < verdicts_.size()) verdicts_[i] = verdict;
  }

 private:
  std::vector<ContentVerdict> verdicts_;
};

// The entry is one the check reads: a file on both sides with equal sizes.
bool IsContentCandidate(const PathEntry& entry);

// The "内容" cell: "同一", "時刻のみ" (same bytes, times differ), "相違", "未確認", "読めません",
// or empty for an entry that is no candidate (any more).
std::string ContentCellText(const PathEntry& entry, ContentVerdict verdict);

// Same by time and size, yet the bytes differ: the case a time-and-size compare hides.
bool IsHiddenDifference(const PathEntry& entry, ContentVerdict verdict);

// The text colour of such a row, as 0xRRGGBB.
inline constexpr std::uint32_t HiddenDifferenceRgb = 0xD00000;

// The newest-only copies leave the entry alone: its bytes are the same on both sides.
bool IsSameContent(const PathEntry& entry, ContentVerdict verdict);

}  // namespace tarvex
