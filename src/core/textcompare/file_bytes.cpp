#include "core/textcompare/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/fs/unique_fd.h"

namespace tarvex {
namespace {

// O_NONBLOCK: a FIFO put in the file's place must not hang the window.
constexpr int ReadFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

FileBytes CannotOpen(int error) {
  FileBytes result;
  result.Status = ReadStatus::CannotOpen;
  result.Error = error;
  return result;
}

FileBytes ReadOpened(const UniqueFd& fd, std::int64_t maxBytes) {
  if (!fd) return CannotOpen(errno);
  FileBytes result;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return CannotOpen(errno);
  if (!S_ISREG(st.st_mode)) return CannotOpen(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
  const auto limit = static_cast<std::uint64_t>(maxBytes < 0 ? INT64_MAX : maxBytes);
  // The size is only a hint: the file may change while it is read.
  result.Bytes.reserve(static_cast<std::size_t>(
      std::min<std::uint64_t>(static_cast<std::uint64_t>(st.st_size), limit)));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
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
  if (result.Status != ReadStatus::Ok) result.Bytes.clear();
  return result;
}

}  // namespace

FileBytes ReadFileBytes(const std::string& path, std::int64_t maxBytes) {
  return ReadOpened(UniqueFd(::open(path.c_str(), ReadFlags)), maxBytes);
}

FileBytes ReadFileBytesBelow(const RootFolder& root, std::string_view relative,
                             std::int64_t maxBytes) {
  return ReadOpened(OpenBelow(root, relative, ReadFlags), maxBytes);
}

bool RegularFileExistsBelow(const RootFolder& root, std::string_view relative) {
  // O_PATH opens even a file its owner may not read, and a FIFO without waiting; a link at the
  // end gives a descriptor of the link itself, which is no regular file.
  const UniqueFd fd = OpenBelow(root, relative, O_PATH);
  struct stat st {};
  return fd && ::fstat(fd.get(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace tarvex
