#include "core/scan/entry_store.h"

#include <sys/mman.h>

#include <algorithm>
#include <new>

namespace tarvex {

namespace {

constexpr std::size_t BlockBytes(std::size_t entries) { return entries * sizeof(PathEntry); }

}  // namespace

EntryStore::~EntryStore() { Release(); }

PathEntry& EntryStore::emplace_back() {
  if (size_ % BlockSize == 0) {
    blocks_.reserve(blocks_.size() + 1);
    // Populated at once: one call instead of a page fault for every page the entries reach.
    void* memory = ::mmap(nullptr, BlockBytes(BlockSize), PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (memory == MAP_FAILED) throw std::bad_alloc();
    blocks_.push_back(static_cast<PathEntry*>(memory));
  }
  PathEntry* entry = new (&blocks_[size_ / BlockSize][size_ % BlockSize]) PathEntry();
  ++size_;
  return *entry;
}

void EntryStore::MoveInto(std::vector<PathEntry>& entries) {
  entries.reserve(entries.size() + size_);
  for (std::size_t b = 0; b < blocks_.size(); ++b) {
    const std::size_t count = std::min(BlockSize, size_ - b * BlockSize);
    for (std::size_t i = 0; i < count; ++i) {
      entries.push_back(std::move(blocks_[b][i]));
      blocks_[b][i].~PathEntry();
    }
    ::munmap(blocks_[b], BlockBytes(BlockSize));
  }
  blocks_.clear();
  size_ = 0;
}

void EntryStore::Release() {
  for (std::size_t b = 0; b < blocks_.size(); ++b) {
    const std::size_t count = std::min(BlockSize, size_ - b * BlockSize);
    for (std::size_t i = 0; i < count; ++i) blocks_[b][i].~PathEntry();
    ::munmap(blocks_[b], BlockBytes(BlockSize));
  }
  blocks_.clear();
  size_ = 0;
}

}  // namespace tarvex
