#include "core/drives/logical_drives.h"

#include <dirent.h>
#include <gio/gunixmounts.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace tarvex {

namespace {

constexpr int MaxStackedDevices = 4;

bool IsAtOrBelow(std::string_view path, std::string_view folder) {
  return path == folder ||
         (path.starts_with(folder) && path.size() > folder.size() && path[folder.size()] == '/');
}

bool IsDirectlyBelow(std::string_view path, std::string_view folder) {
  if (!IsAtOrBelow(path, folder) || path.size() <= folder.size() + 1) return false;
  return path.find('/', folder.size() + 1) == std::string_view::npos;
}

bool HasHiddenComponent(std::string_view path) { return path.find("/.") != std::string_view::npos; }

std::string FirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

std::string Resolved(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return {};
  std::string result = real;
  std::free(real);
  return result;
}

bool HotPluggable(const std::string& blockFolder, int depth) {
  std::string folder = Resolved(blockFolder);
  if (folder.empty()) return false;
  // A partition's folder lies in its disk's, which tells how the disk is attached.
  if (::access((folder + "/partition").c_str(), F_OK) == 0) {
    folder.resize(folder.rfind('/'));
  }
  if (FirstLine(folder + "/removable") == "1") return true;
  // A disk on USB calls itself fixed, yet it comes and goes with its cable.
  if (folder.find("/usb") != std::string::npos) return true;
  if (FirstLine(folder + "/device/type") == "SD") return true;
  if (depth >= MaxStackedDevices) return false;
  bool found = false;
  if (DIR* slaves = ::opendir((folder + "/slaves").c_str())) {
    while (const dirent* entry = ::readdir(slaves)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      if (HotPluggable(folder + "/slaves/" + name, depth + 1)) {
        found = true;
        break;
      }
    }
    ::closedir(slaves);
  }
  return found;
}

bool IsHotPluggableDevicePath(const std::string& device) {
  struct stat st {};
  if (!device.starts_with("/dev/") || ::stat(device.c_str(), &st) != 0 || !S_ISBLK(st.st_mode)) {
    return false;
  }
  return IsHotPluggableBlockDevice("/sys/dev/block/" + std::to_string(major(st.st_rdev)) + ":" +
                                   std::to_string(minor(st.st_rdev)));
}

// Each GVfs mount is a folder of the daemon's one FUSE mount, not a mount of its own. Only the
// names are read: looking into one could reach a slow server.
void AppendGvfsMounts(std::vector<MountEntry>& mounts, const MountEntry& fuseMount) {
  DIR* folder = ::opendir(fuseMount.Path.c_str());
  if (folder == nullptr) return;
  while (const dirent* entry = ::readdir(folder)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    mounts.push_back({fuseMount.Path + "/" + name, fuseMount.FsType, fuseMount.Device, false});
  }
  ::closedir(folder);
}

}  // namespace

bool IsStorageMount(const MountEntry& mount, std::string_view gvfsFolder) {
  const std::string_view path = mount.Path;
  // The root holds everything, whatever its type (an overlay in a container).
  if (path == "/") return true;
  if (!path.starts_with('/')) return false;
  // What the user connected (a server, a phone) shows below the GVfs folder; the folder itself
  // is the daemon's.
  if (!gvfsFolder.empty() && IsAtOrBelow(path, gvfsFolder))
    return IsDirectlyBelow(path, gvfsFolder);
  // Hidden mount points belong to programs (AppImage's /tmp/.mount_*, ~/.cache/doc, .gvfs).
  if (HasHiddenComponent(path)) return false;
  // Memory and pseudo file systems (tmpfs, proc, a container's overlay, autofs), "none" devices.
  if (g_unix_is_system_fs_type(mount.FsType.c_str()) ||
      g_unix_is_system_device_path(mount.Device.c_str())) {
    return false;
  }
  // Where the desktop and the administrator mount volumes.
  for (const std::string_view area : {"/media", "/run/media", "/mnt"}) {
    if (IsAtOrBelow(path, area)) return true;
  }
  // A stick or a USB disk is the user's wherever it is mounted; any other mount elsewhere (a
  // program's FUSE or loop mount, a snap, /home on its own partition) is part of the system.
  return mount.Removable;
}

int AppendStorageMounts(std::vector<std::string>& list, const std::vector<MountEntry>& mounts,
                        std::string_view gvfsFolder) {
  std::vector<std::string> found;
  for (const MountEntry& mount : mounts) {
    if (IsStorageMount(mount, gvfsFolder)) found.push_back(mount.Path);
  }
  // Mounts stacked on one mount point name one volume the user sees.
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  list.insert(list.end(), found.begin(), found.end());
  return static_cast<int>(found.size());
}

bool IsHotPluggableBlockDevice(const std::string& blockFolder) {
  return HotPluggable(blockFolder, 0);
}

int ListLogicalDrives(std::vector<std::string>& list) {
  const std::string gvfsFolder = std::string(g_get_user_runtime_dir()) + "/gvfs";
  std::vector<MountEntry> mounts;
  GList* entries = g_unix_mounts_get(nullptr);
  for (GList* item = entries; item != nullptr; item = item->next) {
    auto* entry = static_cast<GUnixMountEntry*>(item->data);
    const char* path = g_unix_mount_get_mount_path(entry);
    const char* type = g_unix_mount_get_fs_type(entry);
    const char* device = g_unix_mount_get_device_path(entry);
    MountEntry mount{path ? path : "", type ? type : "", device ? device : "", false};
    mount.Removable = IsHotPluggableDevicePath(mount.Device);
    if (mount.Path == gvfsFolder) AppendGvfsMounts(mounts, mount);
    mounts.push_back(std::move(mount));
  }
  g_list_free_full(entries, reinterpret_cast<GDestroyNotify>(g_unix_mount_free));
  return AppendStorageMounts(list, mounts, gvfsFolder);
}

}  // namespace tarvex
