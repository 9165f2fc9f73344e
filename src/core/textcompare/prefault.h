#pragma once
// Fresh memory mapped in one call before it is filled. Under a hypervisor that traps page table
// changes (the machines these benchmarks ran on), the first touch of each page of a fresh
// allocation cost about as much as the whole comparison of a 1 MB pair; the kernel maps a range
// at once for a small part of that. Where the kernel lacks the call, pages fault in as before.

#include <cstddef>
#include <string>
#include <vector>

namespace tarvex {

// Maps the pages under [data, data + bytes) for writing; their contents stay as they are.
void PrefaultForWrite(const void* data, std::size_t bytes);

// values.resize(count, value) with the new elements' pages mapped at once.
template <typename T>
void ResizePrefaulted(std::vector<T>& values, std::size_t count, const T& value = T()) {
  if (count > values.size()) {
    values.reserve(count);
    PrefaultForWrite(values.data() + values.size(), (count - values.size()) * sizeof(T));
  }
  values.resize(count, value);
}

}  // namespace tarvex
