#include "support/temp_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

namespace tarvex::testing {
namespace {

std::string ErrorText() { return std::strerror(errno); }

// Depth first, from descriptors, so that a tree deeper than PATH_MAX goes too. A folder gets its
// owner's rights back before it is opened, so that one a test made 0000 or 0555 is emptied too;
// links are removed, never followed.
void RemoveBelow(int folder) {
  std::vector<std::string> names;
  const int listFd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (DIR* dir = listFd >= 0 ? ::fdopendir(listFd) : nullptr) {
    while (const dirent* e = ::readdir(dir)) {
      if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
        names.emplace_back(e->d_name);
      }
    }
    ::closedir(dir);
  } else if (listFd >= 0) {
    ::close(listFd);
  }
  for (const std::string& name : names) {
    struct stat st {};
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISDIR(st.st_mode)) {
      ::unlinkat(folder, name.c_str(), 0);
      continue;
    }
    ::fchmodat(folder, name.c_str(), (st.st_mode & 07777) | S_IRWXU, 0);
    const int child =
        ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (child >= 0) {
      RemoveBelow(child);
      ::close(child);
    }
    ::unlinkat(folder, name.c_str(), AT_REMOVEDIR);
  }
}

void RemoveTree(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return;
  if (!S_ISDIR(st.st_mode)) {
    ::unlink(path.c_str());
    return;
  }
  ::chmod(path.c_str(), (st.st_mode & 07777) | S_IRWXU);
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd >= 0) {
    RemoveBelow(fd);
    ::close(fd);
  }
  ::rmdir(path.c_str());
}

// Makes every missing folder of path before the last "/" from position from on.
void MakeParents(const std::string& path, std::size_t from) {
  for (std::size_t slash = path.find('/', from); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    const std::string folder = path.substr(0, slash);
    struct stat st {};
    if (folder.empty() || (::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) continue;
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) {
      ADD_FAILURE() << "cannot make " << folder << ": " << ErrorText();
      return;
    }
  }
}

}  // namespace

TempTree::TempTree() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tarvex-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("no temporary folder: " + ErrorText());
  }
  root_ = pattern;
}

TempTree::TempTree(const std::string& root) : root_(root) {
  while (root_.size() > 1 && root_.back() == '/') root_.pop_back();
  if (root_.empty() || root_[0] != '/') throw std::runtime_error("not an absolute path: " + root);
  MakeParents(root_, 1);
  // Never a folder that is there already: the destructor would remove somebody else's files.
  if (::mkdir(root_.c_str(), 0755) != 0) {
    throw std::runtime_error("cannot make " + root_ + ": " + ErrorText());
  }
  ::chmod(root_.c_str(), 0755);
}

TempTree::~TempTree() { RemoveTree(root_); }

void TempTree::File(const std::string& relative, const std::string& content,
                    std::optional<std::time_t> mtime, mode_t mode) {
  const std::string path = PathOf(relative);
  MakeParents(path, root_.size() + 1);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) {
    ADD_FAILURE() << "cannot write " << path << ": " << ErrorText();
    return;
  }
  bool ok = ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
  ok = ok && ::fchmod(fd, mode) == 0;
  if (ok && mtime) {
    const struct timespec times[2] = {{*mtime, 0}, {*mtime, 0}};
    ok = ::futimens(fd, times) == 0;
  }
  ok = ::close(fd) == 0 && ok;
  if (!ok) ADD_FAILURE() << "cannot write " << path << ": " << ErrorText();
}

void TempTree::Folder(const std::string& relative, std::optional<std::time_t> mtime, mode_t mode) {
  const std::string path = PathOf(relative);
  MakeParents(path, root_.size() + 1);
  struct stat st {};
  if ((::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) || ::stat(path.c_str(), &st) != 0 ||
      !S_ISDIR(st.st_mode) || ::chmod(path.c_str(), mode) != 0) {
    ADD_FAILURE() << "cannot make the folder " << path << ": " << ErrorText();
    return;
  }
  if (mtime) SetTime(relative, *mtime);
}

void TempTree::Link(const std::string& relative, const std::string& target) {
  const std::string path = PathOf(relative);
  MakeParents(path, root_.size() + 1);
  if (::symlink(target.c_str(), path.c_str()) != 0) {
    ADD_FAILURE() << "cannot link " << path << ": " << ErrorText();
  }
}

void TempTree::SetTime(const std::string& relative, std::time_t seconds, long nanoseconds) {
  const std::string path = PathOf(relative);
  const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
  if (::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
    ADD_FAILURE() << "cannot set the time of " << path << ": " << ErrorText();
  }
}

std::string TempTree::Read(const std::string& relative) const {
  const std::string path = PathOf(relative);
  std::ifstream in(path, std::ios::binary);
  if (!in.good()) {
    ADD_FAILURE() << "cannot read " << path;
    return {};
  }
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool TempTree::Exists(const std::string& relative) const {
  struct stat st {};
  return ::lstat(PathOf(relative).c_str(), &st) == 0;
}

}  // namespace tarvex::testing
