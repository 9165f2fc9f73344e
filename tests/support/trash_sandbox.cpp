#include "support/trash_sandbox.h"

#include <dirent.h>
#include <fcntl.h>
#include <gio/gio.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tarvex::filetest {
namespace {

struct SandboxState {
  std::string root;
  std::string trash;
  bool isPrivate = false;
};

SandboxState& State() {
  static SandboxState state;
  return state;
}

void RestoreVariable(const char* name, const char* saved) {
  if (saved != nullptr) {
    ::setenv(name, saved, 1);
  } else {
    ::unsetenv(name);
  }
}

class TrashSandboxEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    SandboxState& s = State();
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvex-files-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    s.root = pattern + "/";
    // Readable for other users, so a test can run a step with fewer rights.
    ::chmod(pattern.c_str(), 0755);
    const std::string home = s.root + "home";
    const std::string data = s.root + "data";
    ASSERT_EQ(::mkdir(home.c_str(), 0755), 0);

    // The home trash is XDG_DATA_HOME/Trash; GLib caches both values at their first use.
    const std::string oldHome = ::getenv("HOME") ? ::getenv("HOME") : "";
    const char* oldData = ::getenv("XDG_DATA_HOME");
    const std::string oldDataCopy = oldData ? oldData : "";
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_DATA_HOME", data.c_str(), 1);
    const std::string cachedHome = g_get_home_dir();
    const std::string cachedData = g_get_user_data_dir();
    RestoreVariable("HOME", oldHome.empty() ? nullptr : oldHome.c_str());
    RestoreVariable("XDG_DATA_HOME", oldData ? oldDataCopy.c_str() : nullptr);

    s.trash = data + "/Trash/";
    s.isPrivate = cachedHome == home && cachedData == data;
  }

  void TearDown() override {
    SandboxState& s = State();
    if (s.root.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(s.root, ignored);
  }
};

[[maybe_unused]] ::testing::Environment* const sandboxEnvironment =
    ::testing::AddGlobalTestEnvironment(new TrashSandboxEnvironment);

}  // namespace

const std::string& SandboxTrashFolder() { return State().trash; }

bool SandboxTrashIsPrivate() { return State().isPrivate; }

std::string TrashInfoEncoded(const std::string& path) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : path) {
    const auto b = static_cast<unsigned char>(c);
    const bool keep = (b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') ||
                      b == '-' || b == '.' || b == '_' || b == '~' || b == '/';
    if (keep) {
      out += c;
    } else {
      out += '%';
      out += hex[b >> 4];
      out += hex[b & 15];
    }
  }
  return out;
}

std::optional<std::string> FindInTrash(const std::string& originalPath) {
  const std::string info = SandboxTrashFolder() + "info/";
  const std::string wanted = "Path=" + TrashInfoEncoded(originalPath);
  DIR* dir = ::opendir(info.c_str());
  if (dir == nullptr) return std::nullopt;
  std::optional<std::string> found;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    const std::string suffix = ".trashinfo";
    if (name.size() <= suffix.size() || name.substr(name.size() - suffix.size()) != suffix)
      continue;
    std::istringstream lines(ReadFile(info + name));
    for (std::string line; std::getline(lines, line);) {
      if (line == wanted) {
        found = SandboxTrashFolder() + "files/" + name.substr(0, name.size() - suffix.size());
      }
    }
  }
  ::closedir(dir);
  return found;
}

SandboxFolder::SandboxFolder() {
  std::string pattern = State().root + "case-XXXXXX";
  if (State().root.empty() || ::mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "no sandbox folder";
    return;
  }
  ::chmod(pattern.c_str(), 0755);
  path_ = pattern + "/";
}

SandboxFolder::~SandboxFolder() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::string& content, mode_t mode) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  ASSERT_GE(fd, 0) << path;
  ASSERT_EQ(::write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
  ::fchmod(fd, mode);
  ::close(fd);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << path;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool PathExists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

void SetModificationTime(const std::string& path, std::time_t seconds, long nanoseconds) {
  const struct timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

int CountNamesContaining(const std::string& folder, const std::string& part) {
  int count = 0;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return 0;
  while (const dirent* e = ::readdir(dir)) {
    if (std::string(e->d_name).find(part) != std::string::npos) ++count;
  }
  ::closedir(dir);
  return count;
}

}  // namespace tarvex::filetest
