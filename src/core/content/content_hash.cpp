#include "core/content/content_hash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xxhash.h>

#include <cerrno>
#include <memory>
#include <vector>

namespace tarvex {
namespace {

// Large enough that the system call costs little beside the hashing, small enough that the bytes
// are still in the processor's cache when they are hashed.
constexpr std::size_t ReadBlock = 256 << 10;

std::int64_t Nanoseconds(const decltype(stat::st_mtim)& t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + static_cast<std::int64_t>(t.tv_nsec);
}

struct StateFree {
  void operator()(XXH3_state_t* state) const { XXH3_freeState(state); }
};

}  // namespace

namespace {

FileStamp StampOf(const struct stat& st) {
  return FileStamp{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                   static_cast<std::int64_t>(st.st_size), Nanoseconds(st.st_mtim),
                   Nanoseconds(st.st_ctim)};
}

}  // namespace

int StampAt(int folder, const char* name, FileStamp& stamp) {
  struct stat st {};
  if (::fstatat(folder, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
  if (S_ISLNK(st.st_mode)) return ELOOP;
  if (!S_ISREG(st.st_mode)) return EINVAL;
  stamp = StampOf(st);
  return 0;
}

UniqueFd OpenContentAt(int folder, const char* name, FileStamp& stamp) {
  constexpr int Flags = O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC;
  UniqueFd fd(::openat(folder, name, Flags | O_NOATIME));
  // O_NOATIME is refused (EPERM) on files of other owners unless we hold CAP_FOWNER.
  if (!fd && errno == EPERM) fd = UniqueFd(::openat(folder, name, Flags));
  if (!fd) return fd;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return UniqueFd();
  if (!S_ISREG(st.st_mode)) {
    errno = EINVAL;
    return UniqueFd();
  }
  stamp = StampOf(st);
  return fd;
}

int HashFileContent(int fd, std::int64_t knownSize, ContentDigest& digest,
                    const std::atomic<bool>& stop) {
  const std::unique_ptr<XXH3_state_t, StateFree> state(XXH3_createState());
  if (!state || XXH3_128bits_reset(state.get()) != XXH_OK) return ENOMEM;
  thread_local std::vector<char> buffer(ReadBlock);
  std::int64_t offset = 0;
  for (;;) {
    if (stop.load(std::memory_order_relaxed)) return ECANCELED;
    const ssize_t got = ::pread(fd, buffer.data(), buffer.size(), offset);
    if (got < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (got == 0) break;
    XXH3_128bits_update(state.get(), buffer.data(), static_cast<std::size_t>(got));
    offset += got;
    // A regular file reads short only at its end: no further call just to be told so.
    if (static_cast<std::size_t>(got) < buffer.size() && offset >= knownSize) break;
  }
  const XXH128_hash_t hash = XXH3_128bits_digest(state.get());
  digest = {hash.low64, hash.high64};
  return 0;
}

}  // namespace tarvex
