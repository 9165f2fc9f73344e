#include "support/fuse_fat.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

extern char** environ;

namespace tarvex::testing {
namespace {

// The tools live in the sbin folders, which a test's PATH may lack.
std::string FindTool(const char* name) {
  for (const char* folder : {"/usr/sbin/", "/sbin/", "/usr/bin/", "/bin/"}) {
    const std::string path = std::string(folder) + name;
    if (::access(path.c_str(), X_OK) == 0) return path;
  }
  return {};
}

// Runs the program with its output thrown away; true when it ends with 0.
bool Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t child = -1;
  const int spawned = ::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  return spawned == 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

}  // namespace

FuseFatVolume::FuseFatVolume(const std::string& folder) {
  std::string base = folder;
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  const std::string image = base + "/fat.img";
  mountPoint_ = base + "/mnt";
  const std::string mkfs = FindTool("mkfs.vfat");
  const std::string fusefat = FindTool("fusefat");
  if (::access("/dev/fuse", R_OK | W_OK) != 0) {
    whyNot_ = "no usable /dev/fuse";
  } else if (::geteuid() != 0) {
    whyNot_ = "mounting needs root rights";
  } else if (mkfs.empty() || fusefat.empty()) {
    whyNot_ = "mkfs.vfat (dosfstools) or fusefat is not installed";
  }
  if (!whyNot_.empty()) return;
  const int fd = ::open(image.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const bool sized = fd >= 0 && ::ftruncate(fd, 16 << 20) == 0;
  if (fd >= 0) ::close(fd);
  if (!sized || ::mkdir(mountPoint_.c_str(), 0755) != 0) {
    whyNot_ = "cannot make the image or its mount point";
    return;
  }
  if (!Run({mkfs, "-n", "TARVEX", image})) {
    whyNot_ = "mkfs.vfat failed";
    return;
  }
  if (!Run({fusefat, "-o", "rw+", image, mountPoint_})) {
    whyNot_ = "fusefat could not mount the image";
    return;
  }
  struct stat inside {};
  struct stat around {};
  mounted_ = ::stat(mountPoint_.c_str(), &inside) == 0 && ::stat(base.c_str(), &around) == 0 &&
             inside.st_dev != around.st_dev;
  if (!mounted_) whyNot_ = "the mount did not appear";
}

FuseFatVolume::~FuseFatVolume() {
  if (!mounted_) return;
  // Lazily where something still holds it open, so that the test's folder can go.
  if (::umount2(mountPoint_.c_str(), 0) != 0) ::umount2(mountPoint_.c_str(), MNT_DETACH);
}

}  // namespace tarvex::testing
