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

EntryPath& EntryPath::operator=(std::string_view text) {
  // The new record first: text may be this path's own bytes.
  const std::uintptr_t bits = Own(text);
  Release();
  bits_ = bits;
  return *this;
}

std::ostream& operator<<(std::ostream& out, const EntryPath& path) { return out << path.view(); }

}  // namespace tarvex
