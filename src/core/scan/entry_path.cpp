#include "core/scan/entry_path.h"

#include <cstring>
#include <ostream>

namespace tarvex {

unsigned char* EntryPath::WriteHeader(unsigned char* out, std::size_t length) {
  if (length < LongLength) {
    *out++ = static_cast<unsigned char>(length);
    return out;
  }
  *out++ = static_cast<unsigned char>(LongLength);
  const auto stored = static_cast<std::uint32_t>(length);
  std::memcpy(out, &stored, sizeof stored);
  return out + sizeof stored;
}

std::uintptr_t EntryPath::Own(std::string_view text) {
  if (text.empty()) return 0;
  auto* record = new unsigned char[RecordSize(text.size())];
  std::memcpy(WriteHeader(record, text.size()), text.data(), text.size());
  return reinterpret_cast<std::uintptr_t>(record) | OwnedBit;
}

void EntryPath::Release() noexcept {
  if (IsOwned()) delete[] Record();
  bits_ = 0;
}

EntryPath& EntryPath::operator=(EntryPath&& other) noexcept {
  if (this != &other) {
    Release();
    bits_ = other.bits_;
    other.bits_ = 0;
  }
  return *this;
}

EntryPath& EntryPath::operator=(std::string_view text) {
  // The new record first: text may be this path's own bytes.
  const std::uintptr_t bits = Own(text);
  Release();
  bits_ = bits;
  return *this;
}

std::ostream& operator<<(std::ostream& out, const EntryPath& path) { return out << path.view(); }

std::string_view EntryPath::view() const noexcept {
  const unsigned char* record = Record();
  if (record == nullptr) return {};
  if (*record < LongLength) return {reinterpret_cast<const char*>(record + 1), *record};
  std::uint32_t stored = 0;
  std::memcpy(&stored, record + 1, sizeof stored);
  return {reinterpret_cast<const char*>(record + 5), stored};
}

}  // namespace tarvex
