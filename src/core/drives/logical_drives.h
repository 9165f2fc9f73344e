#pragma once
// The "drives" of this system: the volumes a user sees in a file manager. "/", what is mounted
// under /media, /run/media and /mnt, what the user connected through GVfs, and removable or
// hot-pluggable devices wherever they are mounted. Pseudo file systems, container layers, snap
// images and the FUSE or loop mounts other programs make for themselves are none: they come and
// go without the user plugging anything in, and each would restart the program.

#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

struct MountEntry {
  std::string Path;        // the mount point
  std::string FsType;      // "ext4", "vfat", "proc", ...
  std::string Device;      // "/dev/sdb1", "none", ...
  bool Removable = false;  // a removable or hot-pluggable block device (a stick, a card, USB)
};

// gvfsFolder: the user's GVfs FUSE folder ($XDG_RUNTIME_DIR/gvfs); what shows directly below it
// is a drive, the folder itself is none.
bool IsStorageMount(const MountEntry& mount, std::string_view gvfsFolder);

// Appends the mount points of the drives among mounts, each once and in byte order, so that two
// lists of the same drives are equal texts. Returns the number appended; the list is not cleared
// first.
int AppendStorageMounts(std::vector<std::string>& list, const std::vector<MountEntry>& mounts,
                        std::string_view gvfsFolder);

// Whether the block device whose sysfs folder is blockFolder (/sys/dev/block/MAJOR:MINOR) can be
// unplugged: a removable medium, a disk on USB, an SD card, or a mapping (encryption, LVM) on one.
bool IsHotPluggableBlockDevice(const std::string& blockFolder);

// AppendStorageMounts over the system's current mounts and the user's GVfs mounts.
int ListLogicalDrives(std::vector<std::string>& list);

}  // namespace tarvex
