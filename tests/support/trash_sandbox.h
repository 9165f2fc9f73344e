#pragma once
// Test support for the file operations: every trash move of the test binary lands in a private home
// trash, and each test gets a folder of its own on the same volume as that trash.

#include <sys/types.h>

#include <ctime>
#include <optional>
#include <string>

namespace tarvex::filetest {

// The private $XDG_DATA_HOME/Trash that the trash uses for the whole test binary. GLib reads HOME
// and XDG_DATA_HOME once per process, so they are pointed at a temporary folder before any other
// use of GLib and the environment itself is left as it was.
const std::string& SandboxTrashFolder();

// True when GLib really names the private trash; tests that trash files check this first.
bool SandboxTrashIsPrivate();

// Percent-encodes a path as a .trashinfo record holds it ("/" and unreserved bytes stay).
std::string TrashInfoEncoded(const std::string& path);

// The path in the trash's files folder of the item trashed from originalPath, found through the
// Path line of its .trashinfo record; nothing when no record names it.
std::optional<std::string> FindInTrash(const std::string& originalPath);

// A fresh folder ("/" at the end) inside the sandbox, removed with everything in it at the end.
class SandboxFolder {
 public:
  SandboxFolder();
  ~SandboxFolder();
  SandboxFolder(const SandboxFolder&) = delete;
  SandboxFolder& operator=(const SandboxFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& relative) const { return path_ + relative; }

 private:
  std::string path_;
};

// Small file helpers; each fails the calling test on an error.
void WriteFile(const std::string& path, const std::string& content, mode_t mode = 0644);
std::string ReadFile(const std::string& path);
bool PathExists(const std::string& path);  // lstat: a dangling link exists too
void SetModificationTime(const std::string& path, std::time_t seconds, long nanoseconds);
// The names in folder whose name contains part (to find temporary leftovers).
int CountNamesContaining(const std::string& folder, const std::string& part);

}  // namespace tarvex::filetest
