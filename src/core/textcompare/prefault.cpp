#include "core/textcompare/prefault.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace tarvex {

namespace {

#ifndef MADV_POPULATE_WRITE
constexpr int MADV_POPULATE_WRITE = 23;  // Linux 5.14
#endif

// Below a few pages the faults cost less than the call.
constexpr std::size_t SmallestPrefault = 16 * 4096;

}  // namespace

void PrefaultForWrite(const void* data, std::size_t bytes) {
  if (bytes < SmallestPrefault) return;
  static const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
  const auto start = reinterpret_cast<std::uintptr_t>(data) & ~(page - 1);
  const auto end = reinterpret_cast<std::uintptr_t>(data) + bytes;
  // Only a hint: an older kernel refuses it, and the pages then fault in one by one.
  ::madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
}

}  // namespace tarvex
