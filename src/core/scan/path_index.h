#pragma once
// Finds the first entry of the scan's entries with a given relative path in constant time,
// standing in for a search of the list in order.

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/scan/entry_store.h"

namespace tarvex {

class PathIndex {
 public:
  explicit PathIndex(bool ignoreAsciiCase) : ignoreCase_(ignoreAsciiCase) {}

  // A path's hash is taken in two steps, so that a folder's prefix is hashed once for all of its
  // names: Continue(Continue(Start(), prefix), name) is the hash of prefix + name.
  static std::uint64_t Start() { return 1469598103934665603ULL; }
  std::uint64_t Continue(std::uint64_t hash, std::string_view text) const;

  // Position of the first indexed entry whose path equals prefix + name, or -1; hash is that
  // path's hash.
  std::int32_t Find(const EntryStore& entries, std::uint64_t hash, std::string_view prefix,
                    std::string_view name) const;
  // Records the entry, whose path has that hash, unless an earlier one with an equal path is
  // already recorded.
  void Add(const EntryStore& entries, std::int32_t position, std::uint64_t hash);
  // Empties the index and frees its slots.
  void Clear();

 private:
  bool Equal(std::string_view path, std::string_view prefix, std::string_view name) const;
  void Grow();

  // The stored bits decide the slot too, so a growth moves slots without hashing a path again.
  struct Slot {
    std::uint32_t hash = 0;
    std::int32_t position = -1;  // -1: empty
  };
  static std::uint32_t Stored(std::uint64_t hash) {
    return static_cast<std::uint32_t>((hash ^ (hash >> 29)) >> 32);
  }
  bool ignoreCase_;
  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

}  // namespace tarvex
