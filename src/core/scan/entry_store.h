#pragma once
// The entries while a scan builds them: blocks that never move what they hold, handed over at the
// end into an array of exactly their number.

#include <cstdint>
#include <vector>

#include "core/scan/path_entry.h"

namespace tarvex {

class EntryStore {
 public:
  EntryStore() = default;
  ~EntryStore();
  EntryStore(const EntryStore&) = delete;
  EntryStore& operator=(const EntryStore&) = delete;

  std::size_t size() const { return size_; }
  PathEntry& operator[](std::size_t i) { return blocks_[i / BlockSize][i % BlockSize]; }
  const PathEntry& operator[](std::size_t i) const { return blocks_[i / BlockSize][i % BlockSize]; }

  // A new default entry at the end.
  PathEntry& emplace_back();

  // Moves every entry to the end of entries and empties the store. Each block goes back to the
  // system once it is moved, so the peak stays near one copy of the entries rather than the two
  // of a growing array.
  void MoveInto(std::vector<PathEntry>& entries);

 private:
  static constexpr std::size_t BlockSize = 8192;
  void Release();

  // Mapped memory of their own, so that freeing one gives it back whatever malloc's thresholds
  // have become in a long-running program.
  std::vector<PathEntry*> blocks_;
  std::size_t size_ = 0;
};

}  // namespace tarvex
