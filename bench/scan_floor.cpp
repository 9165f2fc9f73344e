// The least a listing of folder trees with times and sizes can do on Linux, in one thread: each
// folder opened from its parent's descriptor, its names read with getdents64 and each name given
// one statx for type, mode, time and size. bench_scan runs it beside find as the floor that the
// scan is held to.
//   scan_floor root...

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

struct LinuxDirent64 {
  std::uint64_t Inode;
  std::int64_t Offset;
  unsigned short Length;
  unsigned char Type;
  char Name[1];
};

struct Totals {
  long Entries = 0;
  long Folders = 0;
  std::int64_t Bytes = 0;
  std::int64_t TimeSum = 0;  // keeps the fields read, so no call can be left out
};

void ListTree(int folder, Totals& totals) {
  std::vector<char> buffer(32768);
  std::vector<std::vector<char>> subfolders;
  for (;;) {
    const long got = ::syscall(SYS_getdents64, folder, buffer.data(), buffer.size());
    if (got <= 0) break;
    for (long at = 0; at < got;) {
      const auto* d = reinterpret_cast<const LinuxDirent64*>(buffer.data() + at);
      at += d->Length;
      const char* name = d->Name;
      if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
      struct statx sx;
      if (::statx(folder, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                  STATX_TYPE | STATX_MODE | STATX_MTIME | STATX_SIZE, &sx) != 0)
        continue;
      ++totals.Entries;
      totals.TimeSum += sx.stx_mtime.tv_sec;
      if (S_ISDIR(sx.stx_mode)) {
        subfolders.emplace_back(name, name + std::strlen(name) + 1);
      } else if (S_ISREG(sx.stx_mode)) {
        totals.Bytes += static_cast<std::int64_t>(sx.stx_size);
      }
    }
  }
  for (const std::vector<char>& name : subfolders) {
    const int sub = ::openat(folder, name.data(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (sub < 0) continue;
    ++totals.Folders;
    ListTree(sub, totals);
    ::close(sub);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Totals totals;
  for (int i = 1; i < argc; ++i) {
    const int root = ::open(argv[i], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root < 0) {
      std::perror(argv[i]);
      return 1;
    }
    ListTree(root, totals);
    ::close(root);
  }
  std::printf("%ld entries, %ld folders, %lld bytes (%lld)\n", totals.Entries, totals.Folders,
              static_cast<long long>(totals.Bytes), static_cast<long long>(totals.TimeSum));
  return 0;
}
