#pragma once
// The relative path of one entry in eight bytes: a length-prefixed record either in the byte arena
// of the entry's list or, for a copy, on the heap of its own.

#include <compare>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

namespace tarvex {

class PathArena;

// Reads as a std::string_view. A path in an arena lives as long as that arena (its list's scan);
// a copy, or a path assigned from text, owns its bytes, so a copy never dangles when the list is
// cleared or scanned again. Hold a copy or a std::string, never a view, past a rescan.
class EntryPath {
 public:
  EntryPath() noexcept = default;
  EntryPath(std::string_view text) : bits_(Own(text)) {}  // NOLINT: reads as text
  EntryPath(const std::string& text) : EntryPath(std::string_view(text)) {}  // NOLINT
  EntryPath(const char* text) : EntryPath(std::string_view(text)) {}         // NOLINT
  EntryPath(const EntryPath& other) : bits_(Own(other.view())) {}
  EntryPath(EntryPath&& other) noexcept : bits_(other.bits_) { other.bits_ = 0; }
  EntryPath& operator=(const EntryPath& other) { return *this = other.view(); }
  EntryPath& operator=(EntryPath&& other) noexcept {
    if (this != &other) {
      Release();
      bits_ = other.bits_;
      other.bits_ = 0;
    }
    return *this;
  }
  EntryPath& operator=(std::string_view text);
  EntryPath& operator=(const std::string& text) { return *this = std::string_view(text); }
  EntryPath& operator=(const char* text) { return *this = std::string_view(text); }
  // Appending makes an owned copy of the longer path.
  EntryPath& operator+=(std::string_view text) { return *this = *this + text; }
  ~EntryPath() { Release(); }

  // Inline: the sort reads two paths for every comparison.
  std::string_view view() const noexcept {
    const unsigned char* record = Record();
    if (record == nullptr) return {};
    if (*record < LongLength) return {reinterpret_cast<const char*>(record + 1), *record};
    std::uint32_t stored = 0;
    std::memcpy(&stored, record + 1, sizeof stored);
    return {reinterpret_cast<const char*>(record + 5), stored};
  }
  operator std::string_view() const noexcept { return view(); }  // NOLINT: reads as text
  std::string str() const { return std::string(view()); }
  // For the callers that keep the path beyond the list's next scan, or take it as a std::string.
  operator std::string() const { return str(); }  // NOLINT: reads as text
  const char* data() const noexcept { return view().data(); }
  std::size_t size() const noexcept { return view().size(); }
  bool empty() const noexcept { return bits_ == 0; }
  std::size_t find(std::string_view text, std::size_t from = 0) const noexcept {
    return view().find(text, from);
  }
  std::size_t find(char c, std::size_t from = 0) const noexcept { return view().find(c, from); }
  // True when the bytes are the path's own rather than its list's.
  bool IsOwned() const noexcept { return (bits_ & OwnedBit) != 0; }

  friend bool operator==(const EntryPath& a, std::string_view b) noexcept { return a.view() == b; }
  friend std::strong_ordering operator<=>(const EntryPath& a, std::string_view b) noexcept {
    return a.view() <=> b;
  }
  friend std::string operator+(const EntryPath& a, std::string_view b) {
    return std::string(a.view()).append(b);
  }
  friend std::string operator+(std::string_view a, const EntryPath& b) {
    return std::string(a).append(b.view());
  }
  friend std::ostream& operator<<(std::ostream& out, const EntryPath& path);

 private:
  friend class PathArena;

  // A record is a length byte and the bytes, or for LongLength and more, LongLength and the
  // length in the four bytes after it. Records start at even addresses so that the lowest bit of
  // the address is free to say who owns it: freeing never reads a record that may be gone.
  static constexpr std::uintptr_t OwnedBit = 1;
  static constexpr std::size_t LongLength = 255;
  static std::size_t RecordSize(std::size_t length) {
    return length + (length < LongLength ? 1 : 5);
  }
  // Writes the header of a record of length bytes at out; returns where the bytes go.
  static unsigned char* WriteHeader(unsigned char* out, std::size_t length);
  static std::uintptr_t Own(std::string_view text);
  explicit EntryPath(unsigned char* record) noexcept
      : bits_(reinterpret_cast<std::uintptr_t>(record)) {}
  const unsigned char* Record() const noexcept {
    return reinterpret_cast<const unsigned char*>(bits_ & ~OwnedBit);
  }
  void Release() noexcept {
    if (IsOwned()) delete[] Record();
    bits_ = 0;
  }

  std::uintptr_t bits_ = 0;  // 0: the empty path
};

}  // namespace tarvex
