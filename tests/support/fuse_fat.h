#pragma once
// A small FAT volume mounted through FUSE (Debian's fusefat) for a test: a real file system
// without RENAME_NOREPLACE, hard links, O_TMPFILE or Unix modes. Unmounted at the end.

#include <string>

namespace tarvex::testing {

class FuseFatVolume {
 public:
  // Makes an image in folder (a folder of the test's own, outside the trees it checks) and mounts
  // it at folder/mnt. Where that cannot be done here (no /dev/fuse, no root rights, mkfs.vfat or
  // fusefat missing), Mounted() is false and WhyNot() says why.
  explicit FuseFatVolume(const std::string& folder);
  ~FuseFatVolume();
  FuseFatVolume(const FuseFatVolume&) = delete;
  FuseFatVolume& operator=(const FuseFatVolume&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& WhyNot() const { return whyNot_; }
  const std::string& Root() const { return mountPoint_; }

 private:
  std::string mountPoint_;
  std::string whyNot_;
  bool mounted_ = false;
};

}  // namespace tarvex::testing
