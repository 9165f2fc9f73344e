// The least a listing of folder trees with times and sizes can do on Linux, in one thread: each
// folder opened from its parent's descriptor, its names read with getdents64 and each name given
// one statx for type, mode, time and size. bench_scan runs it beside find as the floor that the
// scan is held to. With --ring, the statx calls of each getdents64 buffer go to the kernel in
// batches of 128 through io_uring, as the scan sends them: the floor of that way.
//   scan_floor [--ring] root...

#include <fcntl.h>
#include <liburing.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
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

io_uring ring;
constexpr unsigned RingDepth = 128;

void ListTreeRing(int folder, Totals& totals) {
  std::vector<char> buffer(32768);
  std::vector<std::string> subfolders;
  std::vector<const char*> names;
  std::vector<struct statx> results;
  for (;;) {
    const long got = ::syscall(SYS_getdents64, folder, buffer.data(), buffer.size());
    if (got <= 0) break;
    names.clear();
    for (long at = 0; at < got;) {
      const auto* d = reinterpret_cast<const LinuxDirent64*>(buffer.data() + at);
      at += d->Length;
      const char* name = d->Name;
      if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
      names.push_back(name);
    }
    results.resize(names.size());
    for (std::size_t start = 0; start < names.size(); start += RingDepth) {
      const std::size_t count = std::min<std::size_t>(RingDepth, names.size() - start);
      for (std::size_t i = start; i < start + count; ++i) {
        io_uring_sqe* sqe = io_uring_get_sqe(&ring);
        io_uring_prep_statx(sqe, folder, names[i], AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                            STATX_TYPE | STATX_MODE | STATX_MTIME | STATX_SIZE, &results[i]);
        io_uring_sqe_set_data64(sqe, i);
      }
      io_uring_submit_and_wait(&ring, static_cast<unsigned>(count));
      for (std::size_t done = 0; done < count; ++done) {
        io_uring_cqe* cqe = nullptr;
        if (io_uring_wait_cqe(&ring, &cqe) != 0) break;
        const std::size_t i = io_uring_cqe_get_data64(cqe);
        const int result = cqe->res;
        io_uring_cqe_seen(&ring, cqe);
        if (result < 0) continue;
        ++totals.Entries;
        totals.TimeSum += results[i].stx_mtime.tv_sec;
        if (S_ISDIR(results[i].stx_mode)) {
          subfolders.emplace_back(names[i]);
        } else if (S_ISREG(results[i].stx_mode)) {
          totals.Bytes += static_cast<std::int64_t>(results[i].stx_size);
        }
      }
    }
  }
  for (const std::string& name : subfolders) {
    const int sub = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (sub < 0) continue;
    ++totals.Folders;
    ListTreeRing(sub, totals);
    ::close(sub);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Totals totals;
  const bool useRing = argc > 1 && std::strcmp(argv[1], "--ring") == 0;
  if (useRing && io_uring_queue_init(RingDepth, &ring, 0) != 0) {
    std::fprintf(stderr, "io_uring is not available here\n");
    return 1;
  }
  for (int i = useRing ? 2 : 1; i < argc; ++i) {
    const int root = ::open(argv[i], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root < 0) {
      std::perror(argv[i]);
      return 1;
    }
    if (useRing) {
      ListTreeRing(root, totals);
    } else {
      ListTree(root, totals);
    }
    ::close(root);
  }
  std::printf("%ld entries, %ld folders, %lld bytes (%lld)\n", totals.Entries, totals.Folders,
              static_cast<long long>(totals.Bytes), static_cast<long long>(totals.TimeSum));
  return 0;
}
