#include "core/fs/subfolders.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

namespace tarvex {

std::vector<std::string> ListSubfolders(const std::string& folder) {
  std::vector<std::string> names;
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return names;
  while (const dirent* d = ::readdir(dir.get())) {
    const std::string_view name = d->d_name;
    if (name == "." || name == "..") continue;
    bool isFolder = d->d_type == DT_DIR;
    if (d->d_type == DT_LNK || d->d_type == DT_UNKNOWN) {
      struct stat st {};
      isFolder = ::fstatat(::dirfd(dir.get()), d->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
    }
    if (isFolder) names.emplace_back(name);
  }
  return names;
}

}  // namespace tarvex
