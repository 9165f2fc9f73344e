#include "core/fs/root_folder.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>

#include "core/fs/path.h"

namespace tarvex {
namespace {

// Set once the kernel turns out to lack openat2 (before 5.6): the walk goes name by name then.
std::atomic<bool> noOpenat2{false};

int Openat2Beneath(int folder, const char* path, int flags) {
  struct open_how how {};
  how.flags = static_cast<std::uint64_t>(flags);
  how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_BENEATH;
  return static_cast<int>(::syscall(SYS_openat2, folder, path, &how, sizeof how));
}

}  // namespace

std::string RootFolder::PathOf(std::string_view relative) const {
  if (relative.empty()) return path_;
  return JoinPath(path_, std::string(relative));
}

int RootFolder::Open(const std::string& path) {
  fd_.Reset();
  identity_ = FolderIdentity{};
  path_ = path;
  if (!IsAbsolutePath(path) || path.find('\0') != std::string::npos) return EINVAL;
  UniqueFd fd(::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!fd) return errno;
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return errno;
  identity_ = FolderIdentity{static_cast<std::uint64_t>(st.st_dev),
                             static_cast<std::uint64_t>(st.st_ino), true};
  fd_ = std::move(fd);
  return 0;
}

bool IsRelativeBelowRoot(std::string_view relative) {
  if (relative.empty()) return true;
  if (relative.find('\0') != std::string_view::npos) return false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = relative.find('/', start);
    const std::string_view name = relative.substr(start, slash - start);
    if (name.empty() || name == "." || name == "..") return false;
    if (slash == std::string_view::npos) return true;
    start = slash + 1;
  }
}

std::string_view ParentPart(std::string_view relative) {
  const std::size_t slash = relative.rfind('/');
  return slash == std::string_view::npos ? std::string_view() : relative.substr(0, slash);
}

UniqueFd OpenBelow(const RootFolder& root, std::string_view relative, int flags) {
  if (!root.IsOpen()) {
    errno = EBADF;
    return UniqueFd();
  }
  if (!IsRelativeBelowRoot(relative)) {
    errno = EINVAL;
    return UniqueFd();
  }
  flags |= O_CLOEXEC;
  if (relative.empty()) return UniqueFd(::openat(root.Fd(), ".", flags));
  flags |= O_NOFOLLOW;
  const std::string path(relative);
  // One call where the kernel can refuse every link on the way itself; its path is limited to
  // PATH_MAX, deeper paths go name by name.
  if (!noOpenat2.load(std::memory_order_relaxed) && path.size() < PATH_MAX) {
    const int fd = Openat2Beneath(root.Fd(), path.c_str(), flags);
    if (fd >= 0) return UniqueFd(fd);
    if (errno == ENOSYS) noOpenat2.store(true, std::memory_order_relaxed);
    // EPERM: a sandbox that filters the call; the walk below gives the real answer.
    if (errno != ENOSYS && errno != EPERM) return UniqueFd();
  }
  UniqueFd current;
  int at = root.Fd();
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = path.find('/', start);
    const std::string name = path.substr(start, slash - start);
    if (slash == std::string::npos) return UniqueFd(::openat(at, name.c_str(), flags));
    // O_NOFOLLOW with O_DIRECTORY: a link on the way fails with ENOTDIR, it is never entered.
    UniqueFd next(::openat(at, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!next) return UniqueFd();
    current = std::move(next);
    at = current.get();
    start = slash + 1;
  }
}

UniqueFd OpenParentBelow(const RootFolder& root, std::string_view relative, std::string& name) {
  if (relative.empty() || !IsRelativeBelowRoot(relative)) {
    errno = EINVAL;
    return UniqueFd();
  }
  const std::string_view parent = ParentPart(relative);
  name.assign(relative.substr(parent.empty() ? 0 : parent.size() + 1));
  return OpenBelow(root, parent, O_PATH | O_DIRECTORY);
}

}  // namespace tarvex
