#pragma once
// The entries while a scan builds them: blocks that never move what they hold, handed over at the
// end into an array of exactly their number.

#include <cstdint>
#include <memory>
#include <vector>

#include "core/scan/path_entry.h"

namespace tarvex {

class EntryStore {
 public:
  std::size_t size() const { return size_; }
  PathEntry& operator[](std::size_t i) { return blocks_[i / BlockSize][i % BlockSize]; }
  const PathEntry& operator[](std::size_t i) const { return blocks_[i / BlockSize][i % BlockSize]; }

  PathEntry& emplace_back() {
    if (size_ % BlockSize == 0) blocks_.push_back(std::make_unique<PathEntry[]>(BlockSize));
    return (*this)[size_++];
  }

  // Moves every entry to the end of entries and empties the store. Each block is freed once it is
  // moved, so the peak stays near one copy of the entries rather than the two of a growing array.
  void MoveInto(std::vector<PathEntry>& entries) {
    entries.reserve(entries.size() + size_);
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
      const std::size_t count = std::min(BlockSize, size_ - b * BlockSize);
      for (std::size_t i = 0; i < count; ++i) entries.push_back(std::move(blocks_[b][i]));
      blocks_[b].reset();
    }
    blocks_.clear();
    size_ = 0;
  }

 private:
  // Large enough that malloc maps each block on its own and gives it back when it is freed.
  static constexpr std::size_t BlockSize = 8192;
  std::vector<std::unique_ptr<PathEntry[]>> blocks_;
  std::size_t size_ = 0;
};

}  // namespace tarvex
