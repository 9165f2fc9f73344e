#pragma once
// A folder tree that a test builds with chosen contents, modes and modification times, removed
// with everything in it at the end. Paths are relative to the root; every builder makes the
// missing parent folders (0755) and fails the calling test on an error.

#include <sys/types.h>

#include <ctime>
#include <optional>
#include <string>

namespace tarvex::testing {

class TempTree {
 public:
  // A fresh folder in the temporary folder ($TMPDIR, else /tmp), open to its owner only.
  TempTree();
  // The folder root (an absolute path that does not exist yet, e.g. inside the trash sandbox),
  // made with its missing parents, mode 0755 so that a test may act there with fewer rights.
  // Only root itself is removed at the end.
  explicit TempTree(const std::string& root);
  // Removes the root and everything below it, giving back first the rights a test took away.
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::string& Root() const { return root_; }  // no "/" at the end
  std::string PathOf(const std::string& relative) const { return root_ + "/" + relative; }

  // Writes the file (replacing its content) with exactly mode, then the time when one is given.
  void File(const std::string& relative, const std::string& content = "",
            std::optional<std::time_t> mtime = std::nullopt, mode_t mode = 0644);
  // Makes the folder (an existing one is kept) with exactly mode, then the time when one is given.
  void Folder(const std::string& relative, std::optional<std::time_t> mtime = std::nullopt,
              mode_t mode = 0755);
  // A symbolic link at relative holding target as it is given.
  void Link(const std::string& relative, const std::string& target);
  // Access and modification time of the path itself (a link is not followed).
  void SetTime(const std::string& relative, std::time_t seconds, long nanoseconds = 0);

  std::string Read(const std::string& relative) const;
  bool Exists(const std::string& relative) const;  // lstat: a dangling link exists too

 private:
  std::string root_;
};

}  // namespace tarvex::testing
