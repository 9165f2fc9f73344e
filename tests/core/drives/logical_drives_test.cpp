#include "core/drives/logical_drives.h"

#include <gtest/gtest.h>
#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "support/temp_tree.h"

namespace tarvex {
namespace {

using Lines = std::vector<std::string>;

constexpr std::string_view Gvfs = "/run/user/1000/gvfs";

TEST(IsStorageMount, TheVolumesAUserSeesInAFileManager) {
  struct Case {
    MountEntry mount;
    bool drive;
  };
  const Case cases[] = {
      // The root, whatever its type.
      {{"/", "ext4", "/dev/sda2", false}, true},
      {{"/", "overlay", "overlay", false}, true},  // a container's root
      // Where volumes are mounted for the user and by the administrator.
      {{"/media/u/STICK", "vfat", "/dev/sdb1", true}, true},
      {{"/media/me/ディスク 2", "exfat", "/dev/sdc1", false}, true},
      {{"/media/cdrom0", "iso9660", "/dev/sr0", true}, true},
      {{"/run/media/u/X", "exfat", "/dev/mmcblk0p1", true}, true},
      {{"/mnt/backup", "ext4", "/dev/sdd1", false}, true},
      {{"/mnt", "ext4", "/dev/sdd1", false}, true},
      {{"/mnt/nas", "nfs4", "nas:/export", false}, true},
      // The user's GVfs mounts; not the daemon's folder, nor another user's.
      {{"/run/user/1000/gvfs/sftp:host=example.org,user=u", "fuse.gvfsd-fuse", "gvfsd-fuse", false},
       true},
      {{"/run/user/1000/gvfs", "fuse.gvfsd-fuse", "gvfsd-fuse", false}, false},
      {{"/run/user/1000/gvfs/sftp:host=h/deeper", "fuse.sshfs", "h:", false}, false},
      {{"/run/user/1001/gvfs/smb-share:server=s,share=x", "fuse.gvfsd-fuse", "gvfsd-fuse", false},
       false},
      // A removable or hot-pluggable device wherever it is mounted; no fixed one elsewhere.
      {{"/srv/usbdisk", "ext4", "/dev/sde1", true}, true},
      {{"/srv/data", "ext4", "/dev/sda4", false}, false},
      {{"/home", "ext4", "/dev/sda3", false}, false},
      {{"/boot/efi", "vfat", "/dev/sda1", false}, false},
      // Programs' own mounts, containers, snaps.
      {{"/tmp/tmp.x1/mnt", "tmpfs", "tmpfs", false}, false},
      {{"/tmp/tmp.x1/image", "ext4", "/dev/loop7", false}, false},
      {{"/home/u/x", "fuse.sshfs", "u@host:", false}, false},
      {{"/tmp/.mount_AppXyz", "fuse.App.AppImage", "App.AppImage", false}, false},
      {{"/var/lib/docker/overlay2/abc/merged", "overlay", "overlay", false}, false},
      {{"/snap/core22/1380", "squashfs", "/dev/loop3", false}, false},
      {{"/media/u/.cache", "ext4", "/dev/sdb2", true}, false},  // hidden: a program's
      // Pseudo file systems and memory, also in the areas of volumes.
      {{"/mnt/ram", "tmpfs", "tmpfs", false}, false},
      {{"/media/me/x", "ext4", "none", false}, false},
      {{"/proc", "proc", "proc", false}, false},
      {{"/proc/sys/fs/binfmt_misc", "binfmt_misc", "binfmt_misc", false}, false},
      {{"/sys", "sysfs", "sysfs", false}, false},
      {{"/sys/fs/cgroup", "cgroup2", "cgroup2", false}, false},
      {{"/sys/kernel/tracing", "tracefs", "tracefs", false}, false},
      {{"/dev", "devtmpfs", "udev", false}, false},
      {{"/dev/shm", "tmpfs", "tmpfs", false}, false},
      {{"/run", "tmpfs", "tmpfs", false}, false},
      {{"/run/user/1000/doc", "fuse.portal", "portal", false}, false},
      {{"/tmp", "tmpfs", "tmpfs", false}, false},
      {{"/net", "autofs", "-hosts", false}, false},
      {{"relative", "ext4", "/dev/sdd1", true}, false},
      {{"/mediathek", "ext4", "/dev/sdf1", false}, false},  // below /media only, not every name
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsStorageMount(c.mount, Gvfs), c.drive) << c.mount.Path << " " << c.mount.FsType;
  }
  // Without a GVfs folder nothing below /run/user is a drive.
  EXPECT_FALSE(IsStorageMount(
      {"/run/user/1000/gvfs/ftp:host=h", "fuse.gvfsd-fuse", "gvfsd-fuse", false}, ""));
}

TEST(AppendStorageMounts, EachVolumeOnceInByteOrderAfterWhatTheListHeld) {
  const std::vector<MountEntry> mounts{
      {"/media/me/STICK", "vfat", "/dev/sdb1", true},
      {"/proc", "proc", "proc", false},
      {"/", "ext4", "/dev/sda2", false},
      {"/home", "ext4", "/dev/sda3", false},
      {"/media/me/STICK", "ext4", "/dev/sdc1", true},  // mounted over the first
      {"/media/me/stick", "vfat", "/dev/sdd1", true},
      {"/run/user/1000/gvfs", "fuse.gvfsd-fuse", "gvfsd-fuse", false},
      {"/run/user/1000/gvfs/mtp:host=phone", "fuse.gvfsd-fuse", "gvfsd-fuse", false},
  };
  Lines list{"kept"};
  EXPECT_EQ(AppendStorageMounts(list, mounts, Gvfs), 4);
  EXPECT_EQ(list, (Lines{"kept", "/", "/media/me/STICK", "/media/me/stick",
                         "/run/user/1000/gvfs/mtp:host=phone"}));
}

// A sysfs of its own: disks on SATA, USB, a card reader, SD and eMMC, a loop device and
// encrypted mappings, each reached through /sys/dev/block as the system names it.
class HotPluggableTest : public ::testing::Test {
 protected:
  void Block(const std::string& number, const std::string& folder,
             const std::string& removable = "0") {
    sys_.File(folder + "/removable", removable + "\n");
    sys_.Link("dev/block/" + number, sys_.PathOf(folder));
  }
  void Partition(const std::string& number, const std::string& folder) {
    sys_.File(folder + "/partition", "1\n");
    sys_.Link("dev/block/" + number, sys_.PathOf(folder));
  }
  bool HotPluggable(const std::string& number) {
    return IsHotPluggableBlockDevice(sys_.PathOf("dev/block/" + number));
  }

  testing::TempTree sys_;
};

TEST_F(HotPluggableTest, RemovableMediaUsbSdCardsAndMappingsOnThem) {
  const std::string sata =
      "devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0/block/sda";
  const std::string usb =
      "devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0/block/sdb";
  const std::string reader = "devices/pci0000:00/0000:00:1c.0/host7/target7:0:0/block/sdc";
  const std::string sd = "devices/platform/mmc_host/mmc0/mmc0:aaaa";
  const std::string emmc = "devices/platform/mmc_host/mmc1/mmc1:0001";
  Block("8:0", sata);
  Partition("8:2", sata + "/sda2");
  Block("8:16", usb);  // a USB disk calls itself fixed
  Partition("8:17", usb + "/sdb1");
  Block("8:32", reader, "1");
  sys_.File(sd + "/type", "SD\n");
  Block("179:0", sd + "/block/mmcblk0");
  sys_.Link(sd + "/block/mmcblk0/device", sys_.PathOf(sd));
  Partition("179:1", sd + "/block/mmcblk0/mmcblk0p1");
  sys_.File(emmc + "/type", "MMC\n");
  Block("179:8", emmc + "/block/mmcblk1");
  sys_.Link(emmc + "/block/mmcblk1/device", sys_.PathOf(emmc));
  Block("7:3", "devices/virtual/block/loop3");
  Block("254:0", "devices/virtual/block/dm-0");  // encrypted, on the USB disk's partition
  sys_.Link("devices/virtual/block/dm-0/slaves/sdb1", sys_.PathOf(usb + "/sdb1"));
  Block("254:1", "devices/virtual/block/dm-1");  // LVM on the SATA disk
  sys_.Link("devices/virtual/block/dm-1/slaves/sda2", sys_.PathOf(sata + "/sda2"));

  const std::pair<const char*, bool> cases[] = {
      {"8:0", false}, {"8:2", false},  {"8:16", true},   {"8:17", true},
      {"8:32", true}, {"179:0", true}, {"179:1", true},  {"179:8", false},
      {"7:3", false}, {"254:0", true}, {"254:1", false}, {"9:9", false},  // no such device
  };
  for (const auto& [number, hotPluggable] : cases) {
    EXPECT_EQ(HotPluggable(number), hotPluggable) << number;
  }
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

// Another program's mount in a temporary folder is no drive: tmpfs is memory, and ramfs, which
// GIO does not count among the system's file systems, is no volume of the user's either.
TEST(ListLogicalDrives, AMountInATemporaryFolderIsNoDrive) {
  testing::TempTree temp;
  for (const char* type : {"tmpfs", "ramfs"}) {
    const std::string point = temp.PathOf(type);
    temp.Folder(type);
    if (::mount("tarvex-test", point.c_str(), type, 0, nullptr) != 0) {
      GTEST_SKIP() << "mounting " << type << " is not permitted here: " << std::strerror(errno);
    }
    Lines list;
    ListLogicalDrives(list);
    ::umount2(point.c_str(), MNT_DETACH);
    EXPECT_EQ(std::find(list.begin(), list.end(), point), list.end()) << type;
  }
}

}  // namespace
}  // namespace tarvex
