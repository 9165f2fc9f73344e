#include "core/scan/path_index.h"

namespace tarvex {

namespace {

unsigned char Lower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

}  // namespace

std::uint64_t PathIndex::Hash(std::string_view path) const {
  std::uint64_t h = 1469598103934665603ULL;  // FNV-1a
  for (const char ch : path) {
    const auto c = static_cast<unsigned char>(ch);
    h ^= ignoreCase_ ? Lower(c) : c;
    h *= 1099511628211ULL;
  }
  return h ^ (h >> 29);
}

bool PathIndex::Equal(std::string_view a, std::string_view b) const {
  if (a.size() != b.size()) return false;
  if (!ignoreCase_) return a == b;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Lower(static_cast<unsigned char>(a[i])) != Lower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

std::int32_t PathIndex::Find(const std::vector<PathEntry>& entries, std::string_view path) const {
  if (slots_.empty()) return -1;
  const std::uint64_t h = Hash(path);
  const auto h32 = static_cast<std::uint32_t>(h);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = static_cast<std::size_t>(h >> 32) & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (slot.position < 0) return -1;
    if (slot.hash == h32 && Equal(entries[static_cast<std::size_t>(slot.position)].Path, path))
      return slot.position;
  }
}

void PathIndex::Add(const std::vector<PathEntry>& entries, std::int32_t position) {
  if ((used_ + 1) * 2 > slots_.size()) Grow(entries);
  const std::string_view path = entries[static_cast<std::size_t>(position)].Path;
  const std::uint64_t h = Hash(path);
  const auto h32 = static_cast<std::uint32_t>(h);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = static_cast<std::size_t>(h >> 32) & mask;; i = (i + 1) & mask) {
    Slot& slot = slots_[i];
    if (slot.position < 0) {
      slot = Slot{h32, position};
      ++used_;
      return;
    }
    // The first entry in list order keeps the slot.
    if (slot.hash == h32 && Equal(entries[static_cast<std::size_t>(slot.position)].Path, path))
      return;
  }
}

void PathIndex::Grow(const std::vector<PathEntry>& entries) {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? 1024 : old.size() * 2, Slot{});
  used_ = 0;
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& s : old) {
    if (s.position < 0) continue;
    const std::uint64_t h = Hash(entries[static_cast<std::size_t>(s.position)].Path);
    std::size_t i = static_cast<std::size_t>(h >> 32) & mask;
    while (slots_[i].position >= 0) i = (i + 1) & mask;
    slots_[i] = s;
    ++used_;
  }
}

void PathIndex::Clear() {
  slots_.clear();
  used_ = 0;
}

}  // namespace tarvex
