#pragma once
// The "drives" of this system: the mount points of storage volumes, such as "/", "/home" and
// "/media/me/STICK". Pseudo file systems (proc, sysfs, cgroup, tmpfs), the kernel's and the
// session's own areas and packaged images are left out, since they come and go without the user
// plugging anything in.

#include <string>
#include <vector>

namespace tarvex {

struct MountEntry {
  std::string Path;    // the mount point
  std::string FsType;  // "ext4", "vfat", "proc", ...
  std::string Device;  // "/dev/sdb1", "none", ...
};

bool IsStorageMount(const MountEntry& mount);

// Appends the mount points of the storage volumes among mounts, each once and in byte order, so
// that two lists of the same volumes are equal texts. Returns the number appended; the list is
// not cleared first.
int AppendStorageMounts(std::vector<std::string>& list, const std::vector<MountEntry>& mounts);

// AppendStorageMounts over the system's current mounts.
int ListLogicalDrives(std::vector<std::string>& list);

}  // namespace tarvex
