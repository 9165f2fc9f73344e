#pragma once
// Writing a whole buffer to a descriptor, through short writes and interrupted calls.

#include <cstddef>
#include <string_view>

namespace tarvex {

// False on the first failed write (errno tells why) or a write that took nothing.
bool WriteAll(int fd, const void* data, std::size_t size);
inline bool WriteAll(int fd, std::string_view bytes) {
  return WriteAll(fd, bytes.data(), bytes.size());
}

}  // namespace tarvex
