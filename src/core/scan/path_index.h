#pragma once
// Finds the first entry of a PathList with a given relative path in constant time, standing in
// for a search of the list in order.

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/scan/path_entry.h"

namespace tarvex {

class PathIndex {
 public:
  explicit PathIndex(bool ignoreAsciiCase) : ignoreCase_(ignoreAsciiCase) {}

  // Position of the first indexed entry whose path equals the given one, or -1.
  std::int32_t Find(const std::vector<PathEntry>& entries, std::string_view path) const;
  // Records the entry unless an earlier one with an equal path is already recorded.
  void Add(const std::vector<PathEntry>& entries, std::int32_t position);
  void Clear();

 private:
  std::uint64_t Hash(std::string_view path) const;
  bool Equal(std::string_view a, std::string_view b) const;
  void Grow(const std::vector<PathEntry>& entries);

  struct Slot {
    std::uint32_t hash = 0;
    std::int32_t position = -1;  // -1: empty
  };
  bool ignoreCase_;
  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

}  // namespace tarvex
