#include "core/fs/file_recorder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

namespace tarvex {
namespace {

std::string FolderPathOf(int fd) {
  std::string path(PATH_MAX, '\0');
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t got = ::readlink(link.c_str(), path.data(), path.size());
  if (got <= 0 || static_cast<std::size_t>(got) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(got));
  return path;
}

}  // namespace

bool ReadFileIdentity(int folder, const std::string& name, FileIdentity& identity) {
  struct stat st {};
  if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  identity.Device = static_cast<std::uint64_t>(st.st_dev);
  identity.Inode = static_cast<std::uint64_t>(st.st_ino);
  identity.Size = static_cast<std::int64_t>(st.st_size);
  identity.MtimeSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
  identity.MtimeNanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
  return true;
}

bool LocateTrashed(const TrashedItem& trashed, TrashLocation& location) {
  if (!trashed.Files || !trashed.Info || trashed.Name.empty()) return false;
  location.FilesFolder = FolderPathOf(trashed.Files.get());
  location.InfoFolder = FolderPathOf(trashed.Info.get());
  location.Name = trashed.Name;
  return !location.FilesFolder.empty() && !location.InfoFolder.empty() &&
         ReadFileIdentity(trashed.Files.get(), trashed.Name, location.Identity);
}

}  // namespace tarvex
