#include "support/tree_snapshot.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <set>

namespace tarvex::testing {
namespace {

std::string ReadAllAt(int folder, const char* name) {
  std::string bytes;
  const int fd = ::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return "<unreadable>";
  char buffer[65536];
  for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) {
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return bytes;
}

void Walk(int folder, const std::string& prefix, const std::set<std::string>& leftOut,
          TreeSnapshot& out) {
  const int listFd = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listFd < 0) return;
  DIR* dir = ::fdopendir(listFd);
  if (dir == nullptr) {
    ::close(listFd);
    return;
  }
  std::vector<std::string> names;
  while (const dirent* e = ::readdir(dir)) {
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
      names.emplace_back(e->d_name);
  }
  ::closedir(dir);
  for (const std::string& name : names) {
    const std::string relative = prefix.empty() ? name : prefix + "/" + name;
    if (leftOut.count(relative) != 0) continue;
    struct stat st {};
    if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    TreeItem& item = out[relative];
    if (S_ISDIR(st.st_mode)) {
      item.Type = 'd';
      const int child =
          ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (child < 0) continue;
      Walk(child, relative, leftOut, out);
      ::close(child);
    } else if (S_ISREG(st.st_mode)) {
      item.Type = 'f';
      item.Bytes = ReadAllAt(folder, name.c_str());
    } else if (S_ISLNK(st.st_mode)) {
      item.Type = 'l';
      std::string target(4096, '\0');
      const ssize_t got = ::readlinkat(folder, name.c_str(), target.data(), target.size());
      target.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
      item.Bytes = target;
    }
  }
}

}  // namespace

TreeSnapshot SnapshotTree(const std::string& root, const std::vector<std::string>& leftOut) {
  TreeSnapshot out;
  const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return out;
  Walk(fd, "", std::set<std::string>(leftOut.begin(), leftOut.end()), out);
  ::close(fd);
  return out;
}

std::vector<std::string> LostFiles(const std::vector<const TreeSnapshot*>& before,
                                   const std::vector<const TreeSnapshot*>& now) {
  std::multiset<std::string> kept;
  for (const TreeSnapshot* place : now) {
    for (const auto& [path, item] : *place) {
      if (item.Type == 'f') kept.insert(item.Bytes);
    }
  }
  std::vector<std::string> lost;
  for (const TreeSnapshot* place : before) {
    for (const auto& [path, item] : *place) {
      if (item.Type != 'f') continue;
      const auto found = kept.find(item.Bytes);
      if (found == kept.end()) {
        lost.push_back(path);
      } else {
        kept.erase(found);
      }
    }
  }
  return lost;
}

std::vector<std::string> ChangedPaths(const TreeSnapshot& before, const TreeSnapshot& after) {
  std::vector<std::string> changed;
  for (const auto& [path, item] : before) {
    const auto now = after.find(path);
    if (now == after.end() || !(now->second == item)) changed.push_back(path);
  }
  for (const auto& [path, item] : after) {
    if (before.count(path) == 0) changed.push_back(path);
  }
  return changed;
}

NoLossCheck::NoLossCheck(std::string around, std::vector<std::string> roots,
                         std::vector<std::string> trashes)
    : around_(std::move(around)), roots_(std::move(roots)), trashes_(std::move(trashes)) {
  while (around_.size() > 1 && around_.back() == '/') around_.pop_back();
}

std::vector<TreeSnapshot> NoLossCheck::Places() const {
  std::vector<TreeSnapshot> places;
  for (const std::string& root : roots_) places.push_back(SnapshotTree(root));
  for (const std::string& trash : trashes_) places.push_back(SnapshotTree(trash));
  return places;
}

TreeSnapshot NoLossCheck::Around() const {
  std::vector<std::string> leftOut;
  for (const std::vector<std::string>* list : {&roots_, &trashes_}) {
    for (const std::string& path : *list) {
      if (path.rfind(around_ + "/", 0) == 0) leftOut.push_back(path.substr(around_.size() + 1));
    }
  }
  return SnapshotTree(around_, leftOut);
}

void NoLossCheck::Baseline() {
  places_ = Places();
  aroundBefore_ = Around();
  baselined_ = true;
}

void NoLossCheck::Expect() const {
  ASSERT_TRUE(baselined_);
  const std::vector<TreeSnapshot> now = Places();
  std::vector<const TreeSnapshot*> before, after;
  for (const TreeSnapshot& place : places_) before.push_back(&place);
  for (const TreeSnapshot& place : now) after.push_back(&place);
  for (const std::string& path : LostFiles(before, after))
    ADD_FAILURE() << "the bytes of " << path << " are nowhere any more";
  for (const std::string& path : ChangedPaths(aroundBefore_, Around()))
    ADD_FAILURE() << "outside the roots and the trash, " << around_ << "/" << path << " changed";
}

}  // namespace tarvex::testing
