#include "core/textcompare/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tarvex {

FileBytes ReadFileBytes(const std::string& path, std::int64_t maxBytes) {
  FileBytes result;
  // O_NONBLOCK: a FIFO put in the file's place must not hang the window.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    result.Status = ReadStatus::CannotOpen;
    result.Error = errno;
    return result;
  }
  struct stat st {};
  const bool stated = ::fstat(fd, &st) == 0;
  if (!stated || !S_ISREG(st.st_mode)) {
    result.Status = ReadStatus::CannotOpen;
    result.Error = !stated ? errno : S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    return result;
  }
  const auto limit = static_cast<std::uint64_t>(maxBytes < 0 ? INT64_MAX : maxBytes);
  // The size is only a hint: the file may change while it is read.
  result.Bytes.reserve(static_cast<std::size_t>(
      std::min<std::uint64_t>(static_cast<std::uint64_t>(st.st_size), limit)));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.Status = ReadStatus::ReadError;
      result.Error = errno;
      break;
    }
    if (n == 0) break;
    if (result.Bytes.size() + static_cast<std::uint64_t>(n) > limit) {
      result.Status = ReadStatus::TooLarge;
      result.Error = EFBIG;
      break;
    }
    result.Bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (result.Status != ReadStatus::Ok) result.Bytes.clear();
  return result;
}

bool RegularFileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace tarvex
