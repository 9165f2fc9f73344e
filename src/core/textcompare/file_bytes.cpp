#include "core/textcompare/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/fs/unique_fd.h"
#include "core/textcompare/prefault.h"

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
  // The size is only a hint: the file may change while it is read. The bytes are read straight
  // into the result, one byte of room past the expected end finding the end of the file.
  std::string& bytes = result.Bytes;
  const auto expected = static_cast<std::size_t>(
      std::min<std::uint64_t>(static_cast<std::uint64_t>(std::max<off_t>(st.st_size, 0)), limit));
  bytes.reserve(expected + 1);
  PrefaultForWrite(bytes.data(), expected + 1);
  bytes.resize(expected + 1);
  std::size_t used = 0;
  constexpr std::size_t Growth = 65536;
  for (;;) {
    if (used == bytes.size()) bytes.resize(bytes.size() + std::max(Growth, bytes.size() / 2));
    const ssize_t n = ::read(fd.get(), bytes.data() + used, bytes.size() - used);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.Status = ReadStatus::ReadError;
      result.Error = errno;
      break;
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
    if (used > limit) {
      result.Status = ReadStatus::TooLarge;
      result.Error = EFBIG;
      break;
    }
  }
  bytes.resize(result.Status == ReadStatus::Ok ? used : 0);
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
