#include "core/fs/write_all.h"

#include <unistd.h>

#include <cerrno>

namespace tarvex {

bool WriteAll(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t put = ::write(fd, bytes + done, size - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

}  // namespace tarvex
