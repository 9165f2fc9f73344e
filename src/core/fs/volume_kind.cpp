#include "core/fs/volume_kind.h"

#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <iterator>

namespace tarvex {
namespace {

constexpr long MsdosMagic = 0x4d44;
constexpr long ExfatMagic = 0x2011BAB0;
constexpr long FuseMagic = 0x65735546;

}  // namespace

bool IsFatFileSystemType(std::string_view type) {
  if (const std::size_t dot = type.find('.'); dot != std::string_view::npos) {
    const std::string_view base = type.substr(0, dot);
    if (base != "fuse" && base != "fuseblk") return false;
    type = type.substr(dot + 1);
    if (type == "fusefat" || type == "fat") return true;
  }
  return type == "vfat" || type == "msdos" || type == "exfat";
}

std::string MountTypeOf(std::string_view mountinfo, unsigned major, unsigned minor) {
  const std::string device = std::to_string(major) + ":" + std::to_string(minor);
  while (!mountinfo.empty()) {
    const std::size_t end = mountinfo.find('\n');
    const std::string_view line = mountinfo.substr(0, end);
    mountinfo = end == std::string_view::npos ? std::string_view() : mountinfo.substr(end + 1);
    // "36 35 98:0 / /mnt rw - ext3 /dev/root rw": the third field is the device.
    const std::size_t first = line.find(' ');
    const std::size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
    if (second == std::string_view::npos) continue;
    const std::size_t third = line.find(' ', second + 1);
    if (line.substr(second + 1, third - second - 1) != device) continue;
    const std::size_t dash = line.find(" - ");
    if (dash == std::string_view::npos) continue;
    const std::string_view rest = line.substr(dash + 3);
    return std::string(rest.substr(0, rest.find(' ')));
  }
  return {};
}

bool IsOnFatVolume(const std::string& folder) {
  struct statfs fs {};
  if (::statfs(folder.c_str(), &fs) != 0) return false;
  const auto type = static_cast<long>(fs.f_type);
  if (type == MsdosMagic || type == ExfatMagic) return true;
  if (type != FuseMagic) return false;
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return false;
  std::ifstream in("/proc/self/mountinfo");
  const std::string mountinfo{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  return IsFatFileSystemType(MountTypeOf(mountinfo, major(st.st_dev), minor(st.st_dev)));
}

}  // namespace tarvex
