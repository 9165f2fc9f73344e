#include "support/temp_tree.h"

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tarvex::testing {

namespace {

void MakeParents(const std::string& path) {
  for (std::size_t i = 1; i < path.size(); ++i) {
    if (path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
  }
}

}  // namespace

TempTree::TempTree() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarvex-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
}

TempTree::~TempTree() {
  // Tests may leave read-only folders behind; give write access back before removing.
  nftw(
      root_.c_str(),
      [](const char* path, const struct stat* st, int type, FTW*) {
        if (type == FTW_D || type == FTW_DNR) chmod(path, st->st_mode | S_IRWXU);
        return 0;
      },
      16, FTW_PHYS);
  nftw(
      root_.c_str(), [](const char* path, const struct stat*, int, FTW*) { return remove(path); },
      16, FTW_DEPTH | FTW_PHYS);
}

void TempTree::File(const std::string& relative, const std::string& content, long long mtime) {
  const std::string path = PathOf(relative);
  MakeParents(path);
  std::ofstream(path, std::ios::binary) << content;
  if (mtime >= 0) SetTime(relative, mtime);
}

void TempTree::Folder(const std::string& relative, long long mtime) {
  const std::string path = PathOf(relative);
  MakeParents(path + "/");
  if (mtime >= 0) SetTime(relative, mtime);
}

void TempTree::SetTime(const std::string& relative, long long mtime) {
  const timespec times[2] = {{static_cast<time_t>(mtime), 0}, {static_cast<time_t>(mtime), 0}};
  utimensat(AT_FDCWD, PathOf(relative).c_str(), times, AT_SYMLINK_NOFOLLOW);
}

std::string TempTree::Read(const std::string& relative) const {
  std::ifstream in(PathOf(relative), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

bool TempTree::Exists(const std::string& relative) const {
  struct stat st;
  return lstat(PathOf(relative).c_str(), &st) == 0;
}

}  // namespace tarvex::testing
