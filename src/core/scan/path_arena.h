#pragma once
// The bytes of a list's paths: blocks that never move what they hold, so that moving the arena
// keeps every path in it valid.

#include <cstddef>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "core/scan/entry_path.h"

namespace tarvex {

class PathArena {
 public:
  PathArena() = default;
  // The moved-from arena is left empty: it must not hand out room in blocks it no longer owns.
  PathArena(PathArena&& other) noexcept { *this = std::move(other); }
  PathArena& operator=(PathArena&& other) noexcept;
  // A copy of a list copies its entries, whose paths then own their bytes: the copy's arena
  // starts empty.
  PathArena(const PathArena&) {}
  PathArena& operator=(const PathArena& other) {
    if (this != &other) Clear();
    return *this;
  }

  // The path prefix + name, held here until Clear or the arena's end.
  EntryPath Add(std::string_view prefix, std::string_view name);
  // Frees every block: no path that points here may be read after it.
  void Clear();

 private:
  unsigned char* Take(std::size_t bytes);

  std::vector<std::unique_ptr<unsigned char[]>> blocks_;
  unsigned char* next_ = nullptr;
  std::size_t left_ = 0;
  std::size_t reserved_ = 0;  // the sizes of the blocks, which the next block doubles
};

}  // namespace tarvex
