#pragma once
// A root folder held open, and every path below it reached from there without following a
// symbolic link: a link inside the tree, or one swapped in after the scan, never leads out of it,
// and no path is too long to reach.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/fs/unique_fd.h"

namespace tarvex {

// Which folder a root is: device and inode, as the scan found it.
struct FolderIdentity {
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  bool Known = false;  // false: the root could not be opened (or none was named)
  bool operator==(const FolderIdentity&) const = default;
};

class RootFolder {
 public:
  RootFolder() = default;

  bool IsOpen() const { return static_cast<bool>(fd_); }
  // An O_PATH descriptor of the folder; -1 when not open.
  int Fd() const { return fd_.get(); }
  // The path as it was given, for logs, trash records and messages only.
  const std::string& Path() const { return path_; }
  const FolderIdentity& Identity() const { return identity_; }
  // The path of relative below the root as a person reads it ("" is the root itself).
  std::string PathOf(std::string_view relative) const;

  // Opens an absolute folder path. A link in it, the last name included, is followed: a root may
  // be a link. Returns 0 or the errno value.
  int Open(const std::string& path);

 private:
  UniqueFd fd_;
  std::string path_;
  FolderIdentity identity_;
};

// True when relative names a path below a root: names joined by single "/", none of them empty,
// "." or "..", and no NUL. The empty text (the root itself) is one too.
bool IsRelativeBelowRoot(std::string_view relative);

// Opens relative below the root with flags (O_CLOEXEC and O_NOFOLLOW added). Every name on the way
// must be a real folder and the last one must not be a link. On failure the descriptor is empty
// and errno tells why: ELOOP or ENOTDIR where a link or a file is in the way, EINVAL for a
// relative text that names no path below a root.
UniqueFd OpenBelow(const RootFolder& root, std::string_view relative, int flags);

// The folder that holds the last name of relative (an O_PATH descriptor), reached as OpenBelow
// reaches it, and that last name in name. Fails with EINVAL for the root itself.
UniqueFd OpenParentBelow(const RootFolder& root, std::string_view relative, std::string& name);

// The part of relative before its last name ("" for a name directly in the root).
std::string_view ParentPart(std::string_view relative);

}  // namespace tarvex
