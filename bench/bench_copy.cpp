// Copies 200 files of 1 MB and one of 1 GB with CopyOneFile and with "cp --preserve=timestamps",
// in the same run and from the same warm sources, and prints both times and their ratio.
// Usage: bench_copy [folder]   (default: the temporary folder)

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/fs/file_operations.h"

namespace {

constexpr std::uint64_t MiB = 1u << 20;
constexpr int SmallCount = 200;
constexpr std::uint64_t BigWanted = 1024 * MiB;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

bool WriteData(const std::string& path, std::uint64_t size, std::mt19937_64& random) {
  std::vector<std::uint64_t> block(MiB / sizeof(std::uint64_t));
  for (auto& word : block) word = random();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  for (std::uint64_t done = 0; done < size;) {
    block[0] = random();  // no two blocks alike
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(MiB, size - done));
    if (::write(fd, block.data(), n) != static_cast<ssize_t>(n)) {
      ::close(fd);
      return false;
    }
    done += n;
  }
  ::close(fd);
  const struct timespec times[2] = {{1500000000, 250000000}, {1500000000, 250000000}};
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

void ReadOnce(const std::string& path) {
  std::vector<char> buffer(MiB);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  while (::read(fd, buffer.data(), buffer.size()) > 0) {
  }
  ::close(fd);
}

int Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string base = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  std::string pattern = base + "/tarvex-bench-copy-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror(pattern.c_str());
    return 1;
  }
  const std::string root = pattern + "/";

  // Sources plus two full copies must fit, with room to spare for everybody else.
  struct statvfs fs {};
  ::statvfs(root.c_str(), &fs);
  const std::uint64_t freeBytes = static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize;
  const std::uint64_t smallTotal = SmallCount * MiB;
  const std::uint64_t reserve = 2048 * MiB;
  std::uint64_t big = BigWanted;
  if (freeBytes < 3 * (smallTotal + big) + reserve) {
    const std::uint64_t room =
        freeBytes > 3 * smallTotal + reserve ? (freeBytes - 3 * smallTotal - reserve) / 3 : 0;
    big = room / MiB * MiB;
    std::printf("free space %llu MB is short: big file shrunk to %llu MB\n",
                static_cast<unsigned long long>(freeBytes / MiB),
                static_cast<unsigned long long>(big / MiB));
  }

  const std::string source = root + "source/";
  const std::string ours = root + "copy-tarvex/";
  const std::string theirs = root + "copy-cp/";
  for (const auto& dir : {source, ours, theirs}) ::mkdir(dir.c_str(), 0755);
  std::vector<std::string> names;
  std::mt19937_64 random(42);
  for (int i = 0; i < SmallCount; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "small-%03d.bin", i);
    names.emplace_back(name);
  }
  if (big > 0) names.emplace_back("big.bin");
  for (const auto& name : names) {
    if (!WriteData(source + name, name == "big.bin" ? big : MiB, random)) {
      std::perror(name.c_str());
      return 1;
    }
  }
  // Both copies start from the same state: sources in the page cache, nothing dirty.
  ::sync();
  for (const auto& name : names) ReadOnce(source + name);

  tarvex::PosixFileOperations ops;
  auto start = std::chrono::steady_clock::now();
  int failures = 0;
  // The roots are opened once per command, as the copy command does.
  tarvex::RootFolder sourceRoot;
  tarvex::RootFolder copyRoot;
  if (sourceRoot.Open(source) != 0 || copyRoot.Open(ours) != 0) {
    std::perror(root.c_str());
    return 1;
  }
  for (const auto& name : names) {
    if (!ops.CopyOneFile(sourceRoot, copyRoot, name, tarvex::CopyWhen::Always)) ++failures;
  }
  const double oursSeconds = Seconds(start);
  ::sync();

  std::vector<std::string> cp = {"cp", "--preserve=timestamps"};
  for (const auto& name : names) cp.push_back(source + name);
  cp.push_back(theirs);
  start = std::chrono::steady_clock::now();
  const int cpStatus = Run(cp);
  const double cpSeconds = Seconds(start);
  start = std::chrono::steady_clock::now();
  ::sync();  // CopyOneFile flushes every file before it is placed; cp leaves that to the kernel
  const double syncSeconds = Seconds(start);

  std::printf("files: %d x 1 MB + 1 x %llu MB in %s\n", SmallCount,
              static_cast<unsigned long long>(big / MiB), root.c_str());
  std::printf("CopyOneFile:                      %8.3f s (%d failed)\n", oursSeconds, failures);
  std::printf("cp --preserve=timestamps:         %8.3f s (exit %d)\n", cpSeconds, cpStatus);
  std::printf("cp --preserve=timestamps + sync:  %8.3f s\n", cpSeconds + syncSeconds);
  std::printf("ratio CopyOneFile / cp:           %8.2f\n", oursSeconds / cpSeconds);
  std::printf("ratio CopyOneFile / (cp + sync):  %8.2f   (goal: at most 1.3)\n",
              oursSeconds / (cpSeconds + syncSeconds));

  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return failures == 0 && cpStatus == 0 ? 0 : 1;
}
