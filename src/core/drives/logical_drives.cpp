#include "core/drives/logical_drives.h"

#include <gio/gunixmounts.h>

#include <algorithm>
#include <string_view>

namespace tarvex {

namespace {

bool IsAtOrBelow(std::string_view path, std::string_view folder) {
  return path == folder ||
         (path.starts_with(folder) && path.size() > folder.size() && path[folder.size()] == '/');
}

bool HasHiddenComponent(std::string_view path) { return path.find("/.") != std::string_view::npos; }

}  // namespace

bool IsStorageMount(const MountEntry& mount) {
  const std::string_view path = mount.Path;
  // The root holds everything, whatever its type (an overlay in a container).
  if (path == "/") return true;
  if (!path.starts_with('/')) return false;
  for (const std::string_view area : {"/proc", "/sys", "/dev"}) {
    if (IsAtOrBelow(path, area)) return false;
  }
  // /run holds the session's helpers (document portal, gvfs); removable media may mount below
  // /run/media.
  if (IsAtOrBelow(path, "/run") && !IsAtOrBelow(path, "/run/media")) return false;
  // Snap packages are loop-mounted images that come and go with every update.
  if (IsAtOrBelow(path, "/snap") || IsAtOrBelow(path, "/var/lib/snapd")) return false;
  // Hidden mount points belong to programs (AppImage's /tmp/.mount_*, ~/.cache/doc, .gvfs).
  if (HasHiddenComponent(path)) return false;
  if (g_unix_is_system_fs_type(mount.FsType.c_str())) return false;
  if (g_unix_is_system_device_path(mount.Device.c_str())) return false;
  return true;
}

int AppendStorageMounts(std::vector<std::string>& list, const std::vector<MountEntry>& mounts) {
  std::vector<std::string> found;
  for (const MountEntry& mount : mounts) {
    if (IsStorageMount(mount)) found.push_back(mount.Path);
  }
  // Mounts stacked on one mount point name one volume the user sees.
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  list.insert(list.end(), found.begin(), found.end());
  return static_cast<int>(found.size());
}

int ListLogicalDrives(std::vector<std::string>& list) {
  std::vector<MountEntry> mounts;
  GList* entries = g_unix_mounts_get(nullptr);
  for (GList* item = entries; item != nullptr; item = item->next) {
    auto* entry = static_cast<GUnixMountEntry*>(item->data);
    const char* path = g_unix_mount_get_mount_path(entry);
    const char* type = g_unix_mount_get_fs_type(entry);
    const char* device = g_unix_mount_get_device_path(entry);
    mounts.push_back({path ? path : "", type ? type : "", device ? device : ""});
  }
  g_list_free_full(entries, reinterpret_cast<GDestroyNotify>(g_unix_mount_free));
  return AppendStorageMounts(list, mounts);
}

}  // namespace tarvex
