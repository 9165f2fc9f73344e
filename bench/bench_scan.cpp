// Scans two trees of N files each (default 100,000) and compares the time with find(1) listing
// the same trees with times and sizes and with scan_floor (getdents64 + statx), runs alternated in
// the same run. Also reports the heap per entry after the scan (mapped blocks included) and the
// growth of the peak resident size during the first scan.
//   bench_scan [files-per-tree] [work-folder] [rounds]

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/scan/folder_scan.h"

#include "bench_measure.h"

using namespace tarvex;
using Clock = std::chrono::steady_clock;

using namespace tarvex::bench;

namespace {

void MakeFile(const std::string& path, int size, long long mtime) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
  if (size > 0 && ftruncate(fd, size) != 0) std::perror("ftruncate");
  const timespec times[2] = {{static_cast<time_t>(mtime), 0}, {static_cast<time_t>(mtime), 0}};
  futimens(fd, times);
  close(fd);
}

// root/dXX/eYY/file-Z.dat; about one file in ten differs in time or size, one in forty exists
// on one side only.
void BuildTrees(const std::string& mainRoot, const std::string& subRoot, int files) {
  const long long t0 = 1700000000;
  mkdir(mainRoot.c_str(), 0755);
  mkdir(subRoot.c_str(), 0755);
  const int perFolder = 100;
  for (int i = 0; i < files; ++i) {
    const int folder = i / perFolder;
    const std::string rel = "d" + std::to_string(folder / 10) + "/e" + std::to_string(folder % 10);
    if (i % perFolder == 0) {
      for (const auto& root : {mainRoot, subRoot}) {
        mkdir((root + "/d" + std::to_string(folder / 10)).c_str(), 0755);
        mkdir((root + "/" + rel).c_str(), 0755);
      }
    }
    const std::string name = "/" + rel + "/file-" + std::to_string(i) + ".dat";
    const int size = 100 + i % 900;
    if (i % 40 != 1) MakeFile(mainRoot + name, size, t0 + i % 1000);
    if (i % 40 != 2) {
      const bool differs = i % 10 == 3;
      MakeFile(subRoot + name, differs && i % 20 == 3 ? size + 1 : size,
               t0 + i % 1000 + (differs && i % 20 != 3 ? 60 : 0));
    }
  }
}

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Heap in use, the blocks that malloc maps on its own for large requests included.
std::int64_t HeapBytes() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}

// The folder of this program, where scan_floor is built beside it.
std::string OwnFolder() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return ".";
  std::string own(path, static_cast<std::size_t>(length));
  return own.substr(0, own.rfind('/'));
}

double TimeCommand(const std::string& command) {
  const auto start = Clock::now();
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(1);
  }
  return Seconds(Clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
  std::string work = argc > 2 ? argv[2] : "/tmp/tarvex-bench-scan";
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
  const std::string mainRoot = work + "/main", subRoot = work + "/sub";
  mkdir(work.c_str(), 0755);
  struct stat st;
  if (stat((mainRoot + "/.built-" + std::to_string(files)).c_str(), &st) != 0) {
    std::printf("building two trees of %d files in %s ...\n", files, work.c_str());
    std::fflush(stdout);
    std::system(("rm -rf '" + mainRoot + "' '" + subRoot + "'").c_str());
    BuildTrees(mainRoot, subRoot, files);
    MakeFile(mainRoot + "/.built-" + std::to_string(files), 0, 0);
  }
  const FilterSet filter{"すべて", {}, {"*.*"}, {}};
  ScanOptions options;
  options.SubFolder = true;
  const std::string trees = " '" + mainRoot + "' '" + subRoot + "'";
  const std::string findCommand = "find" + trees + " -printf '%T@ %s %p\\n' > /dev/null";
  const std::string floorCommand = "'" + OwnFolder() + "/scan_floor'" + trees + " > /dev/null";
  // The same floor with its lookups batched through io_uring, as the scan makes them where the
  // kernel allows it: what the scan adds over its own way of listing.
  const std::string ringFloorCommand =
      "'" + OwnFolder() + "/scan_floor' --ring" + trees + " > /dev/null";
  // Warms the caches so that the first round is like the others.
  TimeCommand(findCommand);

  std::vector<double> findTimes, floorTimes, ringFloorTimes, scanTimes;
  std::int64_t heapGrowth = 0, peakGrowth = 0;
  std::int32_t count = 0;
  int callbacks = 0;
  for (int round = 0; round < rounds; ++round) {
    // The scan first in the first round: the peak it reaches is its own.
    const std::int64_t rssBefore = StatusBytes("VmRSS");
    const std::int64_t heapBefore = HeapBytes();
    {
      PathList list;
      const auto start = Clock::now();
      ScanFolders(list, mainRoot, subRoot, options, filter,
                  [&](const std::string&) { ++callbacks; });
      scanTimes.push_back(Seconds(Clock::now() - start));
      count = list.PathCount;
      if (round == 0) {
        heapGrowth = HeapBytes() - heapBefore;
        peakGrowth = StatusBytes("VmHWM") - rssBefore;
      }
    }
    findTimes.push_back(TimeCommand(findCommand));
    floorTimes.push_back(TimeCommand(floorCommand));
    ringFloorTimes.push_back(TimeCommand(ringFloorCommand));
  }
  const double find = Median(findTimes), floor = Median(floorTimes), scan = Median(scanTimes);
  const double perEntry = static_cast<double>(std::max<std::int32_t>(count, 1));
  std::printf("entries %d, counter callbacks %d (%d rounds, medians, runs alternated)\n", count,
              callbacks, rounds);
  std::printf("find  %.3f s\nfloor %.3f s (getdents64 + statx, one thread)\nscan  %.3f s\n", find,
              floor, scan);
  std::printf("floor with io_uring %.3f s (the same, statx in batches of 128)\n",
              Median(ringFloorTimes));
  std::printf("ratio scan/floor %.2f (goal <= 1.15)\n", scan / floor);
  std::printf("ratio scan/floor-with-io_uring %.2f\n", scan / Median(ringFloorTimes));
  std::printf("ratio scan/find %.2f (goal <= 0.8 for the painted list)\n", scan / find);
  std::printf("heap per entry after the scan %.0f bytes, mapped blocks included (goal < 100)\n",
              static_cast<double>(heapGrowth) / perEntry);
  std::printf("peak RSS growth per entry during the scan %.0f bytes\n",
              static_cast<double>(peakGrowth) / perEntry);
  return 0;
}
