// Scans two trees of N files each (default 100,000) and compares the time with find(1) listing
// the same trees with times and sizes, in the same run. Also reports heap bytes per entry.
//   bench_scan [files-per-tree] [work-folder]

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/scan/folder_scan.h"

using namespace tarvex;
using Clock = std::chrono::steady_clock;

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

}  // namespace

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
  std::string work = argc > 2 ? argv[2] : "/tmp/tarvex-bench-scan";
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
  const std::string findCommand =
      "find '" + mainRoot + "' '" + subRoot + "' -printf '%T@ %s %p\\n' > /dev/null";

  double bestFind = 1e9, bestScan = 1e9;
  std::size_t heapPerEntry = 0;
  std::int32_t count = 0;
  int callbacks = 0;
  for (int run = 0; run < 3; ++run) {
    auto start = Clock::now();
    if (std::system(findCommand.c_str()) != 0) return 1;
    bestFind = std::min(bestFind, Seconds(Clock::now() - start));

    const auto before = mallinfo2().uordblks;
    PathList list;
    start = Clock::now();
    ScanFolders(list, mainRoot, subRoot, options, filter, [&](const std::string&) { ++callbacks; });
    bestScan = std::min(bestScan, Seconds(Clock::now() - start));
    count = list.PathCount;
    heapPerEntry = (mallinfo2().uordblks - before) / static_cast<std::size_t>(list.PathCount);
  }
  std::printf("entries %d, counter callbacks %d (3 runs)\n", count, callbacks);
  std::printf("find  %.3f s\nscan  %.3f s\nratio scan/find %.2f (goal <= 1.5)\n", bestFind,
              bestScan, bestScan / bestFind);
  std::printf("heap per entry %zu bytes (goal < 300)\n", heapPerEntry);
  return 0;
}
