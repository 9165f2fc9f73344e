// Copies sets of files into an empty folder with Tarvex and with "cp -a" followed by "sync", the
// two alternated in every round from the same warm sources, and prints the medians and their
// ratio. Tarvex copies three ways: CopyOneFile per file, the engine's copy command alone (a list
// from a scan, a progress that shows nothing) and, where the application is built, the window's
// command path (the list tab's row menu, offscreen, copywait 0). Every own run ends with a sync
// as the peer's does, so both are timed until the copies are on the disk.
// Usage: bench_copy [--rounds N] [--big] [--only TEXT] [folder]   (default: 3 rounds, every way,
//   the temporary folder). --big adds one file of 1 GB (shrunk to the free space), copied with
//   CopyOneFile only; --only runs the ways whose name holds TEXT ("window", "engine", ...).

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
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
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/commands/command_progress.h"
#include "core/commands/copy_command.h"
#include "core/fs/file_operations.h"
#include "core/scan/folder_scan.h"

#ifdef TARVEX_BENCH_WINDOW
#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QTemporaryDir>

#include "app/folder/folder_page.h"
#include "app/folder/folder_tree_view.h"
#include "app/list/list_page.h"
#include "app/list/path_grid_view.h"
#include "app/list/path_list_model.h"
#include "app/services/message_boxes.h"
#include "app/window/fm_main.h"
#include "app/window/program_start.h"
#include "printing_boxes.h"
#endif
#include "bench_measure.h"

using namespace tarvex::bench;

namespace {

using namespace tarvex;

constexpr std::uint64_t KiB = 1u << 10;
constexpr std::uint64_t MiB = 1u << 20;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

bool WriteData(const std::string& path, std::uint64_t size, std::mt19937_64& random) {
  std::vector<std::uint64_t> block(std::min(size, MiB) / sizeof(std::uint64_t) + 1);
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

// One set of source files: folders of files of one size, as relative paths below its folder.
struct FileSet {
  std::string Name;
  std::string Source;  // ends with "/"
  std::vector<std::string> Files;
  std::uint64_t Size = 0;
};

bool MakeSet(FileSet& set, int folders, int perFolder, std::uint64_t size,
             std::mt19937_64& random) {
  set.Size = size;
  ::mkdir(set.Source.c_str(), 0755);
  for (int d = 0; d < folders; ++d) {
    char folder[32];
    std::snprintf(folder, sizeof folder, folders > 1 ? "d%03d/" : "", d);
    if (folders > 1) ::mkdir((set.Source + folder).c_str(), 0755);
    for (int f = 0; f < perFolder; ++f) {
      char name[64];
      std::snprintf(name, sizeof name, "%sfile-%05d.bin", folder, d * perFolder + f);
      set.Files.emplace_back(name);
      if (!WriteData(set.Source + name, size, random)) {
        std::perror(name);
        return false;
      }
    }
  }
  return true;
}

// What the command shows goes nowhere; the paths are measured as one unit per byte.
class QuietProgress : public CommandProgress {
 public:
  void ProcessEvents() override {}
  bool CopyCancelRequested() override { return false; }
  void ClearCopyCancel() override {}
  void ShowDialog(const ProgressDialogState&) override {}
  void UpdateDialog(const ProgressDialogState&) override {}
  bool ConfirmInDialog(const ProgressDialogState&) override { return true; }
  int PathWidthLimit() override { return 422; }
  int TextWidth(ProgressLine, std::string_view text) override {
    return static_cast<int>(text.size()) * 7;
  }
  void AddLine(const std::string& text) override { lines_ += text.size(); }
  void Pause(int) override {}
  void Beep() override {}

 private:
  std::size_t lines_ = 0;
};

// A way of copying a set into an empty destination folder; false when a file failed.
using Copier = std::function<bool(const FileSet& set, const std::string& destination)>;

// The processor time (user and system) of this process and of its waited-for children.
double CpuSeconds(int who) {
  rusage usage{};
  ::getrusage(who, &usage);
  const auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The processor time of this process spent on the untimed parts of a run (the scan).
double UntimedCpu = 0;

bool CopyWithCp(const FileSet& set, const std::string& destination) {
  const int status = Run({"cp", "-a", set.Source + ".", destination});
  ::sync();
  return status == 0;
}

bool CopyFileByFile(const FileSet& set, const std::string& destination) {
  PosixFileOperations ops;
  RootFolder sourceRoot;
  RootFolder copyRoot;
  if (sourceRoot.Open(set.Source) != 0 || copyRoot.Open(destination) != 0) return false;
  int failures = 0;
  for (const auto& name : set.Files) {
    if (!ops.CopyOneFile(sourceRoot, copyRoot, name, CopyWhen::Always)) ++failures;
  }
  ::sync();
  return failures == 0;
}

// The scan is not timed; the command from opening the roots to its closing line is.
bool CopyWithCommand(const FileSet& set, const std::string& destination, double& untimed) {
  const double cpuStart = CpuSeconds(RUSAGE_SELF);
  const auto start = std::chrono::steady_clock::now();
  PathList list;
  ScanOptions options;
  options.SubFolder = true;
  ScanFolders(list, set.Source, destination, options, FilterSet{"all", {}, {"*"}, {}});
  untimed += Seconds(start);
  UntimedCpu += CpuSeconds(RUSAGE_SELF) - cpuStart;
  PosixFileOperations ops;
  QuietProgress progress;
  CommandSettings settings;
  settings.CopyWait = 0;
  CopyCommand command(ops, progress, settings);
  const CommandResult result =
      command.Run(CopyCommandFor("PMMMainToSub"),
                  CommandScope{list, set.Source, destination, 1, list.PathCount});
  ::sync();
  return result.Failed == 0 && result.Files == static_cast<std::int32_t>(set.Files.size());
}

#ifdef TARVEX_BENCH_WINDOW
// The list tab's row menu on every row, as a person would run it; the scan is not timed.
bool CopyFromWindow(TFMMain& window, const FileSet& set, const std::string& destination,
                    double& untimed) {
  const double cpuStart = CpuSeconds(RUSAGE_SELF);
  const auto start = std::chrono::steady_clock::now();
  const std::string source = set.Source.substr(0, set.Source.size() - 1);
  if (!window.Folders().STVMain()->SelectPath(source) ||
      !window.Folders().STVSub()->SelectPath(destination)) {
    std::fprintf(stderr, "the folder tree cannot select %s\n", destination.c_str());
    return false;
  }
  ListPage& page = *window.ListTab();
  page.UpdatePathList(source, destination, FilterSet{"all", {}, {"*"}, {}},
                      ScanOptions{true, false, false, false, DefaultScanAttrMask});
  QApplication::processEvents();
  PathGridView& grid = *page.SGPath();
  const int rows = page.PathModel()->rowCount();
  grid.clearSelection();
  grid.selectionModel()->select(
      QItemSelection(page.PathModel()->index(0, 0), page.PathModel()->index(rows - 1, 6)),
      QItemSelectionModel::Select | QItemSelectionModel::Rows);
  untimed += Seconds(start);
  UntimedCpu += CpuSeconds(RUSAGE_SELF) - cpuStart;
  page.MenuAction("PMMMainToSub")->trigger();
  ::sync();
  std::size_t copied = 0;
  for (const auto& name : set.Files) {
    struct stat st {};
    if (::stat((destination + "/" + name).c_str(), &st) == 0) ++copied;
  }
  return copied == set.Files.size();
}
#endif

struct Variant {
  const char* Name;
  std::function<bool(const FileSet&, const std::string&, double&)> Copy;
};

// Alternates the variant with the peer, rounds times each, the order swapped every round, each
// run into a fresh folder that is removed (and synced away) before the next. Beside the times
// the processor time of each side (this process for Tarvex, the cp and sync processes for the
// peer; the kernel's write-back threads count for neither): under the load of other builds the
// elapsed times swing far more than the work.
void Compare(const FileSet& set, const Variant& variant, int rounds, const std::string& work) {
  std::vector<double> ours;
  std::vector<double> peer;
  std::vector<double> oursCpu;
  std::vector<double> peerCpu;
  double untimed = 0;
  bool ok = true;
  int run = 0;
  const auto timed = [&](const std::function<bool(const std::string&, double&)>& copy,
                         std::vector<double>& into, std::vector<double>& cpuInto, int who) {
    const std::string destination = work + "run-" + std::to_string(run++);
    ::mkdir(destination.c_str(), 0755);
    ::sync();
    double skip = 0;
    const double cpuBefore = CpuSeconds(who);
    const double untimedCpuBefore = UntimedCpu;
    const auto start = std::chrono::steady_clock::now();
    ok = copy(destination, skip) && ok;
    into.push_back(Seconds(start) - skip);
    cpuInto.push_back(CpuSeconds(who) - cpuBefore - (UntimedCpu - untimedCpuBefore));
    untimed += skip;
    std::error_code ignored;
    std::filesystem::remove_all(destination, ignored);
    ::sync();
  };
  const auto own = [&](const std::string& d, double& skip) { return variant.Copy(set, d, skip); };
  const auto cp = [&](const std::string& d, double&) { return CopyWithCp(set, d); };
  for (int round = 0; round < rounds; ++round) {
    if (round % 2 == 0) {
      timed(cp, peer, peerCpu, RUSAGE_CHILDREN);
      timed(own, ours, oursCpu, RUSAGE_SELF);
    } else {
      timed(own, ours, oursCpu, RUSAGE_SELF);
      timed(cp, peer, peerCpu, RUSAGE_CHILDREN);
    }
  }
  const double o = Median(ours);
  const double p = Median(peer);
  const double oc = Median(oursCpu);
  const double pc = Median(peerCpu);
  std::printf(
      "%-14s %-22s %8.3f s  cp -a + sync %8.3f s  ratio %5.2f   (processor time %.3f s, cp -a + "
      "sync %.3f s, ratio %.2f)%s\n",
      set.Name.c_str(), variant.Name, o, p, o / p, oc, pc, oc / pc, ok ? "" : "  [FAILED COPIES]");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 3;
  bool big = false;
  std::string only;
  std::string base = std::filesystem::temp_directory_path().string();
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--rounds" && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else if (arg == "--only" && i + 1 < argc) {
      only = argv[++i];
    } else if (arg == "--big") {
      big = true;
    } else {
      base = arg;
    }
  }
  std::string pattern = base + "/tarvex-bench-copy-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror(pattern.c_str());
    return 1;
  }
  const std::string root = pattern + "/";
  // The window's journal and settings stay in the bench's folder.
  ::setenv("XDG_STATE_HOME", (root + "state").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (root + "config").c_str(), 1);
  ::setenv("XDG_DATA_HOME", (root + "data").c_str(), 1);

  std::mt19937_64 random(42);
  std::vector<FileSet> sets(2);
  sets[0].Name = "20000 x 4 KB";
  sets[0].Source = root + "small/";
  sets[1].Name = "200 x 1 MB";
  sets[1].Source = root + "medium/";
  if (!MakeSet(sets[0], 100, 200, 4 * KiB, random) || !MakeSet(sets[1], 1, 200, MiB, random))
    return 1;
  if (big) {
    struct statvfs fs {};
    ::statvfs(root.c_str(), &fs);
    const std::uint64_t freeBytes = static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize;
    const std::uint64_t reserve = 2048 * MiB;
    // The source and one copy at a time, with room to spare for everybody else.
    const std::uint64_t size =
        std::min<std::uint64_t>(1024 * MiB, freeBytes > reserve ? (freeBytes - reserve) / 2 : 0) /
        MiB * MiB;
    FileSet set;
    set.Name = std::to_string(size / MiB) + " MB";
    set.Source = root + "big/";
    if (size == 0 || !MakeSet(set, 1, 1, size, random)) return 1;
    sets.push_back(std::move(set));
  }
  // Both sides start from the same state: sources in the page cache, nothing dirty.
  ::sync();
  for (const FileSet& set : sets)
    for (const auto& name : set.Files) ReadOnce(set.Source + name);

  std::vector<Variant> variants = {
      {"CopyOneFile per file",
       [](const FileSet& set, const std::string& d, double&) { return CopyFileByFile(set, d); }},
      {"engine copy command", [](const FileSet& set, const std::string& d,
                                 double& untimed) { return CopyWithCommand(set, d, untimed); }},
  };
#ifdef TARVEX_BENCH_WINDOW
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  QTemporaryDir settingsFolder;
  PrintingBoxes boxes;
  const auto window =
      StartMainWindow(settingsFolder.filePath(QStringLiteral("tarvex.ini")), {.Boxes = &boxes});
  window->State().Settings.copywait = 0;
  variants.push_back(
      {"window command path", [&](const FileSet& set, const std::string& d, double& untimed) {
         return CopyFromWindow(*window, set, d, untimed);
       }});
#endif

  std::printf("medians of %d alternated rounds; every run copies into an empty folder in %s\n",
              rounds, root.c_str());
  for (const FileSet& set : sets) {
    for (const Variant& variant : variants) {
      const bool smallSetOnly = std::strcmp(variant.Name, "CopyOneFile per file") != 0;
      if (smallSetOnly && &set != &sets[0]) continue;
      if (std::string(variant.Name).find(only) == std::string::npos) continue;
      Compare(set, variant, rounds, root);
    }
  }

  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return 0;
}
