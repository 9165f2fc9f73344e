// Loads and aligns two text files of about 200,000 lines with scattered changes (the whole text
// compare: read, split, code, align, count) and runs GNU diff on the same two files in the same
// run; prints both times and their ratio.
//   bench_align [lines] [work-folder]

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/textcompare/compare_rows.h"
#include "core/textcompare/line_align.h"
#include "core/textcompare/text_compare.h"

using namespace tarvex;
using Clock = std::chrono::steady_clock;

namespace {

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Source-like lines: indented words, braces and blank lines repeat as in real files.
std::string RandomLine(std::mt19937& rng) {
  static const char* words[] = {"int",    "return", "value", "index", "count", "std::string",
                                "if",     "for",    "else",  "name",  "=",     "+",
                                "result", "path",   "size",  "(",     ")",     "const"};
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  switch (pick(10)) {
    case 0:
      return "";
    case 1:
      return std::string(static_cast<std::size_t>(2 * pick(4)), ' ') + "}";
  }
  std::string line(static_cast<std::size_t>(2 * pick(5)), ' ');
  for (int w = 1 + pick(8); w > 0; --w) {
    line += words[pick(static_cast<int>(std::size(words)))];
    line += ' ';
  }
  return line + std::to_string(pick(1000)) + ";";
}

bool WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  return ::close(fd) == 0 && ok;
}

// Runs diff with its output thrown away; returns its exit status. posix_spawn, so that copying
// this process's large heap on fork is not counted against diff.
int RunDiff(const std::string& a, const std::string& b) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  const char* args[] = {"diff", a.c_str(), b.c_str(), nullptr};
  pid_t child = 0;
  const int failed =
      posix_spawnp(&child, "diff", &actions, nullptr, const_cast<char**>(args), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return -1;
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int lineCount = argc > 1 ? std::atoi(argv[1]) : 200000;
  const std::string base = argc > 2 ? argv[2] : std::filesystem::temp_directory_path().string();
  std::string folder = base + "/tarvex-bench-align-XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) {
    std::perror(folder.c_str());
    return 1;
  }
  const std::string mainPath = folder + "/main.txt";
  const std::string subPath = folder + "/sub.txt";

  std::mt19937 rng(4711);
  std::vector<std::string> main;
  main.reserve(static_cast<std::size_t>(lineCount));
  for (int i = 0; i < lineCount; ++i) main.push_back(RandomLine(rng));
  // About one change every 400 lines: a few lines inserted, deleted or changed, or a block moved.
  std::vector<std::string> sub;
  int changes = 0;
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  for (std::size_t i = 0; i < main.size();) {
    if (pick(400) != 0) {
      sub.push_back(main[i++]);
      continue;
    }
    ++changes;
    const auto length = static_cast<std::size_t>(1 + pick(5));
    switch (pick(4)) {
      case 0:
        for (std::size_t k = 0; k < length; ++k) sub.push_back(RandomLine(rng));
        break;
      case 1:
        i += length;
        break;
      case 2:
        for (std::size_t k = 0; k < length && i < main.size(); ++k, ++i) {
          sub.push_back(main[i] + " // changed");
        }
        break;
      default: {  // a block from further down, copied here
        const std::size_t from =
            std::min(main.size(), i + 50 + static_cast<std::size_t>(pick(500)));
        for (std::size_t k = from; k < std::min(main.size(), from + length); ++k)
          sub.push_back(main[k]);
        break;
      }
    }
  }
  if (!WriteLines(mainPath, main) || !WriteLines(subPath, sub)) {
    std::perror("write");
    return 1;
  }
  const auto mainBytes = std::filesystem::file_size(mainPath);
  const auto subBytes = std::filesystem::file_size(subPath);
  std::printf("main %zu lines (%ju bytes), sub %zu lines (%ju bytes), %d changes\n", main.size(),
              static_cast<std::uintmax_t>(mainBytes), sub.size(),
              static_cast<std::uintmax_t>(subBytes), changes);

  constexpr int Runs = 3;
  double loadBest = 1e9, alignBest = 1e9, oursBest = 1e9, diffBest = 1e9;
  std::size_t differing = 0, rows = 0;
  int diffStatus = 0;
  for (int run = 0; run < Runs; ++run) {
    const Clock::time_point start = Clock::now();
    CompareLoad load = LoadCompareRows(mainPath, subPath, INT32_MAX);
    const double loadSeconds = SecondsSince(start);
    if (!load) {
      std::printf("load failed: %s\n", load.FailedPath.c_str());
      return 1;
    }
    const Clock::time_point alignStart = Clock::now();
    AlignRows(load.Rows);
    differing = CountDifferingRows(load.Rows);
    const double alignSeconds = SecondsSince(alignStart);
    const double ours = SecondsSince(start);
    rows = std::max(load.Rows.Main().RowCount(), load.Rows.Sub().RowCount());
    loadBest = std::min(loadBest, loadSeconds);
    alignBest = std::min(alignBest, alignSeconds);
    oursBest = std::min(oursBest, ours);

    const Clock::time_point diffStart = Clock::now();
    diffStatus = RunDiff(mainPath, subPath);
    diffBest = std::min(diffBest, SecondsSince(diffStart));
  }
  std::printf("aligned rows %zu, differing rows %zu\n", rows, differing);
  std::printf("best of %d runs, times in seconds\n", Runs);
  std::printf("load (read, split, code):   %8.3f\n", loadBest);
  std::printf("align and count:            %8.3f\n", alignBest);
  std::printf("text compare, whole:        %8.3f\n", oursBest);
  std::printf("diff (GNU diffutils):       %8.3f   (exit %d)\n", diffBest, diffStatus);
  std::printf("ratio text compare / diff:  %8.2f\n", oursBest / diffBest);

  std::filesystem::remove_all(folder);
  return 0;
}
