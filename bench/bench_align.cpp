// The whole text compare (read, split, code, align, count) of pairs of files against GNU diff of
// the same two files in the same run: about 1 MB (30,000 lines) with 1% and with 30% of the
// lines changed, about 10 MB with 1% changed, and a pair whose lines mostly repeat (blank lines,
// braces), and a pair of 30,000 different lines per side that all share one line code. Prints
// both times and their ratio for each pair; then the changes within a line of a screenful of rows
// against the time of one frame. Both sides are timed the way diff is: a fresh process for each
// run (this program started again with --once, which loads, aligns and counts one pair), the two
// alternated, the median of the runs. The in-process time of the same work is printed beside it.
//   bench_align [work-folder]
//   bench_align --once main-file sub-file   (prints the rows that differ)

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "core/textcompare/compare_rows.h"
#include "core/textcompare/intraline_diff.h"
#include "core/textcompare/line_align.h"
#include "core/textcompare/text_compare.h"

#include "bench_measure.h"

using namespace tarvex;
using Clock = std::chrono::steady_clock;

using namespace tarvex::bench;

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
  for (int w = 2 + pick(9); w > 0; --w) {
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

// Runs a program with its output thrown away; returns its exit status. posix_spawn, so that
// copying this process's large heap on fork is counted against neither side.
int RunQuietly(const char* program, const std::vector<std::string>& arguments) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  std::vector<char*> args{const_cast<char*>(program)};
  for (const std::string& a : arguments) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t child = 0;
  const int failed = posix_spawnp(&child, program, &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) return -1;
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The whole text compare of one pair in this process: load, align, count.
bool CompareOnce(const RootFolder& mainRoot, const std::string& mainName, const RootFolder& subRoot,
                 const std::string& subName, std::size_t& rows, std::size_t& differing) {
  CompareLoad load = LoadCompareRows(mainRoot, mainName, subRoot, subName, INT32_MAX);
  if (!load) {
    std::printf("load failed: %s\n", load.FailedPath.c_str());
    return false;
  }
  AlignRows(load.Rows);
  differing = CountDifferingRows(load.Rows);
  rows = std::max(load.Rows.Main().RowCount(), load.Rows.Sub().RowCount());
  return true;
}

// bench_align --once main sub: what each fresh process of the measured side does.
int CompareInFreshProcess(const std::string& mainPath, const std::string& subPath) {
  const auto folderOf = [](const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
  };
  const auto nameOf = [](const std::string& path) { return path.substr(path.rfind('/') + 1); };
  RootFolder mainRoot;
  RootFolder subRoot;
  if (mainRoot.Open(folderOf(mainPath)) != 0 || subRoot.Open(folderOf(subPath)) != 0) return 2;
  std::size_t rows = 0, differing = 0;
  if (!CompareOnce(mainRoot, nameOf(mainPath), subRoot, nameOf(subPath), rows, differing)) return 2;
  std::printf("%zu\n", differing);
  return differing == 0 ? 0 : 1;
}

// Lines of a file whose lines mostly repeat: blank lines, braces, a few common statements, and now
// and then a line of its own.
std::string RepeatingLine(std::mt19937& rng) {
  static const char* lines[] = {"",           "{",      "}",         "  }",
                                "    }",      "  {",    "  return;", "    break;",
                                "  } else {", "#endif", "  // ...",  "    return 0;"};
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  if (pick(20) == 0) return RandomLine(rng);
  return lines[pick(static_cast<int>(std::size(lines)))];
}

// Line number `index` of a family of different lines that all share one line code. A character's
// weight in the code repeats every 239 positions, and between two blanks a character adds its
// value times a fixed amount; so two characters 239 apart whose values keep one sum may change
// freely. Three such slots give 58^3 lines.
std::string SharedCodeLine(int index) {
  constexpr int Period = 239;
  constexpr int Choices = 58;  // 'A' + k with 'z' - k
  std::string line(static_cast<std::size_t>(Period + 7), ' ');
  for (int slot = 0; slot < 3; ++slot) {
    const int k = index % Choices;
    index /= Choices;
    const auto at = static_cast<std::size_t>(1 + 2 * slot);
    line[at] = static_cast<char>('A' + k);
    line[at + Period] = static_cast<char>('z' - k);
  }
  return line;
}

struct Pair {
  const char* Name;
  int Lines;
  double ChangedShare;  // of the main lines, about
  bool Repeating;
  bool SharedCode = false;  // all lines of both sides different, all of one code
};

// The sub file: the main lines with changes at about the given share of them: a changed line,
// a few lines inserted or deleted, or a block copied from further down.
std::vector<std::string> ChangedCopy(const std::vector<std::string>& main, double share,
                                     std::mt19937& rng, bool repeating) {
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  std::bernoulli_distribution changeHere(share / 2);  // a change touches two lines on average
  auto line = [&] { return repeating ? RepeatingLine(rng) : RandomLine(rng); };
  std::vector<std::string> sub;
  sub.reserve(main.size() + main.size() / 10);
  for (std::size_t i = 0; i < main.size();) {
    if (!changeHere(rng)) {
      sub.push_back(main[i++]);
      continue;
    }
    const auto length = static_cast<std::size_t>(1 + pick(3));
    switch (pick(8)) {
      case 0:
        for (std::size_t k = 0; k < length; ++k) sub.push_back(line());
        break;
      case 1:
        i += length;
        break;
      case 2: {
        const std::size_t from =
            std::min(main.size(), i + 50 + static_cast<std::size_t>(pick(500)));
        for (std::size_t k = from; k < std::min(main.size(), from + length); ++k)
          sub.push_back(main[k]);
        break;
      }
      default:
        for (std::size_t k = 0; k < length && i < main.size(); ++k, ++i)
          sub.push_back(main[i] + " // changed");
        break;
    }
  }
  return sub;
}

}  // namespace

// The changes within a line are computed only for the rows being painted: a screenful of 50
// differing rows of 120 characters (Japanese and ASCII words, a few units changed in each) is
// measured against the time of one frame at 60 Hz, which is what it must fit into.
void ScreenfulOfChangedRows(std::mt19937& rng) {
  constexpr int Rows = 50;
  constexpr int Width = 120;
  constexpr int Rounds = 200;
  const std::u32string alphabet = U"あいうえおかきくけこ漢字表示比較文書 abcdefgh_0123";
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::vector<std::pair<std::u32string, std::u32string>> rows;
  for (int r = 0; r < Rows; ++r) {
    std::u32string main;
    for (int c = 0; c < Width; ++c) main += alphabet[pick(rng)];
    std::u32string sub = main;
    for (int k = 0; k < 4; ++k) sub[pick(rng) % sub.size()] = alphabet[pick(rng)];
    rows.emplace_back(std::move(main), std::move(sub));
  }
  double best = 1e9;
  std::size_t marked = 0;
  for (int round = 0; round < Rounds; ++round) {
    const Clock::time_point start = Clock::now();
    marked = 0;
    for (const auto& [main, sub] : rows) marked += DiffLineTexts(main, sub).Main.size();
    best = std::min(best, SecondsSince(start));
  }
  constexpr double Frame = 1.0 / 60;
  std::printf("%-36s %9d %9d %7d %7zu %9.5f %9.5f %7.3f   (one frame at 60 Hz as the peer)\n",
              "changes within 50 rows x 120 chars", Width, Width, Rows, marked, best, Frame,
              best / Frame);
}

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--once") == 0)
    return CompareInFreshProcess(argv[2], argv[3]);
  const std::string base = argc > 1 ? argv[1] : std::filesystem::temp_directory_path().string();
  std::string folder = base + "/tarvex-bench-align-XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) {
    std::perror(folder.c_str());
    return 1;
  }
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const std::string mainPath = folder + "/main.txt";
  const std::string subPath = folder + "/sub.txt";
  RootFolder root;
  if (const int error = root.Open(folder); error != 0) {
    std::fprintf(stderr, "%s: %s\n", folder.c_str(), std::strerror(error));
    return 1;
  }
  const Pair pairs[] = {
      {"1 MB, 1% changed", 30000, 0.01, false},
      {"1 MB, 30% changed", 30000, 0.30, false},
      {"10 MB, 1% changed", 300000, 0.01, false},
      {"1 MB, repeating lines, 1% changed", 120000, 0.01, true},
      {"7 MB, all lines of one code, none equal", 30000, 1.0, false, true},
  };
  constexpr int Runs = 7;
  std::printf(
      "a fresh process per run on both sides (this program with --once, and diff), alternated; "
      "medians of %d runs, times in seconds\n",
      Runs);
  std::printf("%-36s %9s %9s %7s %7s %9s %9s %7s\n", "pair", "main KB", "sub KB", "rows", "differ",
              "compare", "diff", "ratio");
  std::mt19937 rng(4711);
  for (const Pair& pair : pairs) {
    std::vector<std::string> main;
    std::vector<std::string> sub;
    main.reserve(static_cast<std::size_t>(pair.Lines));
    if (pair.SharedCode) {
      for (int i = 0; i < pair.Lines; ++i) {
        main.push_back(SharedCodeLine(i));
        sub.push_back(SharedCodeLine(pair.Lines + i));
      }
    } else {
      for (int i = 0; i < pair.Lines; ++i)
        main.push_back(pair.Repeating ? RepeatingLine(rng) : RandomLine(rng));
      sub = ChangedCopy(main, pair.ChangedShare, rng, pair.Repeating);
    }
    if (!WriteLines(mainPath, main) || !WriteLines(subPath, sub)) {
      std::perror("write");
      return 1;
    }
    std::vector<double> ours, diffs, inProcess;
    std::size_t differing = 0, rows = 0;
    const auto own = [&] {
      const Clock::time_point start = Clock::now();
      const int status = RunQuietly(self.c_str(), {"--once", mainPath, subPath});
      ours.push_back(SecondsSince(start));
      return status == 0 || status == 1;
    };
    const auto peer = [&] {
      const Clock::time_point start = Clock::now();
      const int status = RunQuietly("diff", {mainPath, subPath});
      diffs.push_back(SecondsSince(start));
      return status == 0 || status == 1;
    };
    for (int run = 0; run < Runs; ++run) {
      const bool ran = run % 2 == 0 ? own() && peer() : peer() && own();
      if (!ran) {
        std::printf("a compare process failed\n");
        return 1;
      }
      const Clock::time_point start = Clock::now();
      if (!CompareOnce(root, "main.txt", root, "sub.txt", rows, differing)) return 1;
      inProcess.push_back(SecondsSince(start));
    }
    const double o = Median(ours);
    const double d = Median(diffs);
    std::printf("%-36s %9.0f %9.0f %7zu %7zu %9.4f %9.4f %7.2f   (in-process %.4f)\n", pair.Name,
                static_cast<double>(std::filesystem::file_size(mainPath)) / 1024,
                static_cast<double>(std::filesystem::file_size(subPath)) / 1024, rows, differing, o,
                d, o / d, Median(inProcess));
  }
  std::filesystem::remove_all(folder);
  ScreenfulOfChangedRows(rng);
  return 0;
}
