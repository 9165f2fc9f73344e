#include "core/scan/path_arena.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tarvex {

namespace {

// Blocks double from a page up to a size where the unused end of the last one is little beside
// the entries (a list of ten paths takes one page; of a million, a few hundred blocks).
constexpr std::size_t FirstBlock = 4096;
constexpr std::size_t LargestBlock = 64 * 1024;

}  // namespace

unsigned char* PathArena::Take(std::size_t bytes) {
  if (bytes > left_) {
    const std::size_t grown = std::min(LargestBlock, std::max(FirstBlock, reserved_));
    const std::size_t size = std::max(grown, bytes);
    blocks_.push_back(std::make_unique_for_overwrite<unsigned char[]>(size));
    next_ = blocks_.back().get();
    left_ = size;
    reserved_ += size;
  }
  unsigned char* out = next_;
  next_ += bytes;
  left_ -= bytes;
  return out;
}

EntryPath PathArena::Add(std::string_view prefix, std::string_view name) {
  const std::size_t length = prefix.size() + name.size();
  if (length == 0) return EntryPath();
  // Rounded up to even: the next record's address must leave its lowest bit free.
  unsigned char* record = Take((EntryPath::RecordSize(length) + 1) & ~std::size_t{1});
  unsigned char* bytes = EntryPath::WriteHeader(record, length);
  if (!prefix.empty()) std::memcpy(bytes, prefix.data(), prefix.size());
  if (!name.empty()) std::memcpy(bytes + prefix.size(), name.data(), name.size());
  return EntryPath(record);
}

PathArena& PathArena::operator=(PathArena&& other) noexcept {
  if (this != &other) {
    blocks_ = std::move(other.blocks_);
    other.blocks_.clear();
    next_ = std::exchange(other.next_, nullptr);
    left_ = std::exchange(other.left_, 0);
    reserved_ = std::exchange(other.reserved_, 0);
  }
  return *this;
}

void PathArena::Clear() {
  blocks_.clear();
  blocks_.shrink_to_fit();
  next_ = nullptr;
  left_ = 0;
  reserved_ = 0;
}

}  // namespace tarvex
