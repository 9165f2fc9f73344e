// The content check of two trees of 10,000 files and 2 GB each against "rsync -rcn" (a checksum
// dry run) of the same pair, in the same run: first with no digest cache, then with the cache
// that the first run left (saved to a file and loaded back, as after a restart). Both read from
// the page cache: the trees are read once before the first timing and no cache is dropped, and
// rsync runs right before each of our runs in the same warm state.
// Usage: bench_content [folder]   (default: the temporary folder)

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/content/content_check.h"
#include "core/scan/folder_scan.h"

#include "bench_measure.h"

using namespace tarvex::bench;

namespace {

constexpr std::uint64_t MiB = 1u << 20;
constexpr int FileCount = 10'000;
constexpr int FolderCount = 100;
constexpr std::uint64_t TreeWanted = 2048 * MiB;
constexpr int ChangedEvery = 97;
constexpr int Rounds = 3;  // about 1 % of the files differ in one byte, size and time kept

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

bool WriteFile(const std::string& path, const std::vector<char>& bytes, std::size_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool ok = ::write(fd, bytes.data(), size) == static_cast<ssize_t>(size);
  ::close(fd);
  const decltype(stat::st_mtim) times[2] = {{1500000000, 0}, {1500000000, 0}};
  return ok && ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

int Run(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t child = ::fork();
  if (child == 0) {
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    ::dup2(null, 1);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// "median 0.812 s (0.790 0.812 0.905)"
std::string Times(const std::vector<double>& values) {
  std::string text;
  char number[32];
  std::snprintf(number, sizeof number, "median %.3f s (", Median(values));
  text = number;
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::snprintf(number, sizeof number, i == 0 ? "%.3f" : " %.3f", values[i]);
    text += number;
  }
  return text + ")";
}

double TimeRsync(const std::string& main, const std::string& sub, int& status) {
  const auto start = std::chrono::steady_clock::now();
  status = Run({"rsync", "-rcn", main + "/", sub + "/"});
  return Seconds(start);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string base = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  std::string pattern = base + "/tarvex-bench-content-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror(pattern.c_str());
    return 1;
  }
  const std::string root = pattern;

  // Two trees must fit, with room to spare for everybody else.
  struct statvfs fs {};
  ::statvfs(root.c_str(), &fs);
  const std::uint64_t freeBytes = static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize;
  const std::uint64_t reserve = 4096 * MiB;
  std::uint64_t tree = TreeWanted;
  if (freeBytes < 2 * tree + reserve) {
    tree = freeBytes > reserve ? (freeBytes - reserve) / 2 / MiB * MiB : 0;
    std::printf("free space %llu MB is short: each tree shrunk to %llu MB\n",
                static_cast<unsigned long long>(freeBytes / MiB),
                static_cast<unsigned long long>(tree / MiB));
  }

  const std::string main = root + "/main";
  const std::string sub = root + "/sub";
  ::mkdir(main.c_str(), 0755);
  ::mkdir(sub.c_str(), 0755);
  std::mt19937_64 random(42);
  const std::uint64_t average = tree / FileCount;
  std::vector<char> bytes(2 * average + 1);
  std::vector<std::string> paths;
  for (int f = 0; f < FolderCount; ++f) {
    const std::string folder = "/d" + std::to_string(f);
    ::mkdir((main + folder).c_str(), 0755);
    ::mkdir((sub + folder).c_str(), 0755);
  }
  std::uint64_t total = 0;
  for (int i = 0; i < FileCount; ++i) {
    const std::string relative = "/d" + std::to_string(i % FolderCount) + "/f" + std::to_string(i);
    const std::size_t size = static_cast<std::size_t>(random() % (2 * average + 1));
    for (std::size_t k = 0; k + 8 <= size; k += 8) {
      const std::uint64_t word = random();
      std::memcpy(bytes.data() + k, &word, 8);
    }
    if (!WriteFile(main + relative, bytes, size)) {
      std::perror((main + relative).c_str());
      return 1;
    }
    if (i % ChangedEvery == 0 && size > 0) bytes[size - 1] ^= 1;
    if (!WriteFile(sub + relative, bytes, size)) {
      std::perror((sub + relative).c_str());
      return 1;
    }
    total += size;
    paths.push_back(relative);
  }
  ::sync();
  for (const auto& relative : paths) {
    ReadOnce(main + relative);
    ReadOnce(sub + relative);
  }

  tarvex::PathList list;
  tarvex::ScanOptions options;
  options.SubFolder = true;
  tarvex::ScanFolders(list, main, sub, options, tarvex::FilterSet{"all", {}, {"*"}, {}});
  const std::string cachePath = root + "/cache/content-hashes";

  // Alternately, so that both meet the same warm state and the same load from other work on
  // the machine; the medians are compared.
  int rsyncStatus = 0;
  int filesReadFirst = 0, differ = 0, filesReadCached = -1;
  bool saved = true, read = true;
  std::vector<double> rsyncFirst, oursFirst, rsyncCached, oursCached, loads;
  for (int round = 0; round < Rounds; ++round) {
    int status = 0;
    rsyncFirst.push_back(TimeRsync(main, sub, status));
    rsyncStatus |= status;
    tarvex::HashCache cache;
    tarvex::ContentResults results;
    const auto start = std::chrono::steady_clock::now();
    const tarvex::ContentCheckReport first = tarvex::CheckContents(list, main, sub, cache, results);
    oursFirst.push_back(Seconds(start));
    filesReadFirst = first.FilesRead;
    differ = first.HiddenCount;
    saved = saved && cache.Save(cachePath);
  }
  for (int round = 0; round < Rounds; ++round) {
    int status = 0;
    rsyncCached.push_back(TimeRsync(main, sub, status));
    rsyncStatus |= status;
    const auto start = std::chrono::steady_clock::now();
    tarvex::HashCache loaded;
    read = loaded.Load(cachePath) && read;
    loads.push_back(Seconds(start));
    tarvex::ContentResults again;
    const tarvex::ContentCheckReport second = tarvex::CheckContents(list, main, sub, loaded, again);
    oursCached.push_back(Seconds(start));
    filesReadCached = std::max(filesReadCached, second.FilesRead);
  }

  // What no check that trusts a cache can skip: one look at the state of every file, on one thread.
  std::vector<double> floor;
  for (int round = 0; round < Rounds; ++round) {
    const auto start = std::chrono::steady_clock::now();
    struct stat st {};
    for (const auto& relative : paths) {
      ::fstatat(AT_FDCWD, (main + relative).c_str(), &st, AT_SYMLINK_NOFOLLOW);
      ::fstatat(AT_FDCWD, (sub + relative).c_str(), &st, AT_SYMLINK_NOFOLLOW);
    }
    floor.push_back(Seconds(start));
  }

  std::printf("trees: 2 x %d files, %llu MB each, in %s (page cache warm, %u threads, %d rounds)\n",
              FileCount, static_cast<unsigned long long>(total / MiB), root.c_str(),
              std::thread::hardware_concurrency(), Rounds);
  std::printf("rsync -rcn:                    %s (exit %d)\n", Times(rsyncFirst).c_str(),
              rsyncStatus);
  std::printf("content check, no cache:       %s (%d files read, %d differ)\n",
              Times(oursFirst).c_str(), filesReadFirst, differ);
  std::printf("rsync -rcn:                    %s\n", Times(rsyncCached).c_str());
  std::printf("content check, cache loaded:   %s (%d files read; cache load %s)\n",
              Times(oursCached).c_str(), filesReadCached, Times(loads).c_str());
  std::printf("stat of every file, one thread:  %s\n", Times(floor).c_str());
  std::printf("ratio first run / rsync:       %8.3f   (medians; goal: at most 1)\n",
              Median(oursFirst) / Median(rsyncFirst));
  std::printf("ratio cached run / rsync:      %8.3f   (medians; goal: under 0.05)\n",
              Median(oursCached) / Median(rsyncCached));

  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return rsyncStatus == 0 && saved && read && filesReadCached == 0 ? 0 : 1;
}
