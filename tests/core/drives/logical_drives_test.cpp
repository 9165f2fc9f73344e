#include "core/drives/logical_drives.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarvex {
namespace {

using Lines = std::vector<std::string>;

TEST(IsStorageMount, VolumesOfTheUserButNoPseudoOrSystemAreas) {
  struct Case {
    MountEntry mount;
    bool storage;
  };
  const Case cases[] = {
      {{"/", "ext4", "/dev/sda2"}, true},
      {{"/", "overlay", "overlay"}, true},  // a container's root
      {{"/home", "ext4", "/dev/sda3"}, true},
      {{"/boot/efi", "vfat", "/dev/sda1"}, true},
      {{"/media/me/STICK", "vfat", "/dev/sdb1"}, true},
      {{"/media/me/ディスク 2", "exfat", "/dev/sdc1"}, true},
      {{"/run/media/me/CARD", "exfat", "/dev/mmcblk0p1"}, true},
      {{"/mnt/nas", "nfs4", "nas:/export"}, true},
      {{"/home/me/remote", "fuse.sshfs", "me@host:"}, true},
      {{"/proc", "proc", "proc"}, false},
      {{"/sys", "sysfs", "sysfs"}, false},
      {{"/sys/fs/cgroup", "cgroup2", "cgroup2"}, false},
      {{"/sys/kernel/tracing", "tracefs", "tracefs"}, false},
      {{"/dev", "devtmpfs", "udev"}, false},
      {{"/dev/shm", "tmpfs", "tmpfs"}, false},
      {{"/run", "tmpfs", "tmpfs"}, false},
      {{"/run/user/1000/doc", "fuse.portal", "portal"}, false},
      {{"/run/user/1000/gvfs", "fuse.gvfsd-fuse", "gvfsd-fuse"}, false},
      {{"/tmp", "tmpfs", "tmpfs"}, false},
      {{"/tmp/.mount_AppXyz", "fuse.App.AppImage", "App.AppImage"}, false},
      {{"/snap/core22/1380", "squashfs", "/dev/loop3"}, false},
      {{"/var/lib/docker/overlay2/abc/merged", "overlay", "overlay"}, false},
      {{"/proc/sys/fs/binfmt_misc", "binfmt_misc", "binfmt_misc"}, false},
      {{"/net", "autofs", "-hosts"}, false},
      {{"/media/me/x", "ext4", "none"}, false},
      {{"relative", "ext4", "/dev/sdd1"}, false},
      {{"/runner", "ext4", "/dev/sde1"}, true},  // only below /run, not every name beginning so
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsStorageMount(c.mount), c.storage) << c.mount.Path << " " << c.mount.FsType;
  }
}

TEST(AppendStorageMounts, EachVolumeOnceInByteOrderAfterWhatTheListHeld) {
  const std::vector<MountEntry> mounts{
      {"/media/me/STICK", "vfat", "/dev/sdb1"},
      {"/proc", "proc", "proc"},
      {"/", "ext4", "/dev/sda2"},
      {"/home", "ext4", "/dev/sda3"},
      {"/media/me/STICK", "ext4", "/dev/sdc1"},  // mounted over the first
      {"/media/me/stick", "vfat", "/dev/sdd1"},
  };
  Lines list{"kept"};
  EXPECT_EQ(AppendStorageMounts(list, mounts), 4);
  EXPECT_EQ(list, (Lines{"kept", "/", "/home", "/media/me/STICK", "/media/me/stick"}));
}

TEST(ListLogicalDrives, TheSystemRootAndNoPseudoFileSystems) {
  Lines list{"kept"};
  const int count = ListLogicalDrives(list);
  ASSERT_GE(count, 1);
  ASSERT_EQ(list.size(), static_cast<std::size_t>(count) + 1);
  EXPECT_EQ(list[0], "kept");
  EXPECT_NE(std::find(list.begin(), list.end(), "/"), list.end());
  for (const std::string& path : list) {
    EXPECT_FALSE(path.starts_with("/proc") || path.starts_with("/sys") || path == "/dev") << path;
  }
  EXPECT_TRUE(std::is_sorted(list.begin() + 1, list.end()));
}

}  // namespace
}  // namespace tarvex
