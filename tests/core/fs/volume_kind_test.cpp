#include "core/fs/volume_kind.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "support/fuse_fat.h"
#include "support/temp_tree.h"

namespace tarvex {
namespace {

TEST(VolumeKind, FatTypesAsTheKernelAndFuseNameThem) {
  const struct {
    const char* type;
    bool fat;
  } cases[] = {
      {"vfat", true},          {"msdos", true},      {"exfat", true},
      {"fuseblk.exfat", true}, {"fuse.exfat", true}, {"fuse.fusefat", true},
      {"fuseblk.vfat", true},  {"ext4", false},      {"fuseblk", false},
      {"fuse.sshfs", false},   {"ntfs3", false},     {"fuseblk.ntfs", false},
      {"tmpfs.exfat", false},  {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsFatFileSystemType(c.type), c.fat) << c.type;
}

TEST(VolumeKind, MountTypeByDevice) {
  const char* mountinfo =
      "22 1 8:1 / / rw,relatime - ext4 /dev/sda1 rw\n"
      "40 22 0:52 / /media/stick rw,nosuid shared:7 - fuseblk.exfat /dev/sdb1 rw\n"
      "41 22 0:53 / /mnt/x rw - fuse.fusefat /tmp/fat.img rw";
  EXPECT_EQ(MountTypeOf(mountinfo, 8, 1), "ext4");
  EXPECT_EQ(MountTypeOf(mountinfo, 0, 52), "fuseblk.exfat");
  EXPECT_EQ(MountTypeOf(mountinfo, 0, 53), "fuse.fusefat");
  EXPECT_EQ(MountTypeOf(mountinfo, 0, 5), "");
}

TEST(VolumeKind, ARealFatVolumeThroughFuse) {
  testing::TempTree folder;
  EXPECT_FALSE(IsOnFatVolume(folder.Root()));
  const testing::FuseFatVolume fat(folder.Root());
  if (!fat.Mounted()) GTEST_SKIP() << "FAT through FUSE skipped: " << fat.WhyNot();
  EXPECT_TRUE(IsOnFatVolume(fat.Root()));
}

}  // namespace
}  // namespace tarvex
