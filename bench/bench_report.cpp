// Exports a list of 100,000 rows (and one of 10,000) through the xlsx report backend, without
// opening it, and writes the same cell texts as CSV with plain stdio in the same run. Prints both
// times, their ratio, the report's size and the growth of the peak resident memory during each
// export: the report's should not grow with the number of rows.
// Usage: bench_report [folder]   (default: the temporary folder)

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/list/list_column.h"
#include "core/list/shown_list.h"
#include "core/report/list_report.h"
#include "core/report/xlsx_spreadsheet.h"
#include "core/scan/path_list.h"

namespace {

using tarvex::PathEntry;

constexpr std::int32_t BigRows = 100000;
constexpr std::int32_t SmallRows = 10000;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A line of /proc/self/status in kB ("VmRSS", "VmHWM").
long StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  const std::string prefix = std::string(field) + ":";
  for (std::string line; std::getline(status, line);)
    if (line.rfind(prefix, 0) == 0) return std::stol(line.substr(prefix.size()));
  return -1;
}

// Sets the peak back to the current resident size, so that the next peak belongs to what runs
// after it.
void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }

struct Measured {
  double Seconds = 0;
  long PeakGrowthKb = 0;
};

template <class Work>
Measured Measure(Work&& work) {
  ResetPeak();
  const long before = StatusKb("VmRSS");
  const auto start = std::chrono::steady_clock::now();
  work();
  Measured m;
  m.Seconds = Seconds(start);
  m.PeakGrowthKb = StatusKb("VmHWM") - before;
  return m;
}

class NoOpener : public tarvex::FileOpener {
 public:
  void Open(const std::string&) override {}
};

tarvex::PathList MakeList(std::int32_t rows) {
  tarvex::PathList list;
  list.Entries.reserve(static_cast<std::size_t>(rows));
  for (std::int32_t i = 0; i < rows; ++i) {
    PathEntry e;
    char path[96];
    std::snprintf(path, sizeof path, "写真/%03d/アルバム%02d/IMG_%06d.jpg", i / 1000, i / 50 % 20,
                  i);
    e.Path = path;
    e.Attr = tarvex::AttrArchive;
    e.MainExists = i % 7 != 0;
    e.SubExists = i % 5 != 0;
    e.MainTime = 45000 + i % 997 + (i % 43200) * 2 / 86400.0;
    e.SubTime = e.MainTime + (i % 3) * 0.25;
    e.MainSize = 1000 + static_cast<std::int64_t>(i) * 7919;
    e.SubSize = e.MainSize + i % 2;
    list.Entries.push_back(e);
  }
  list.PathCount = rows;
  return list;
}

// The peer: the same cell texts, one CSV line per row, through stdio.
void WriteCsv(const tarvex::ShownList& shown, const std::string& path) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return;
  for (std::int32_t r = 0; r < shown.Rows(); ++r) {
    for (int c = 0; c < tarvex::ListColumnCount; ++c) {
      const std::string text = shown.CellText(r, c);
      std::fputc('"', out);
      for (const char ch : text) {
        if (ch == '"') std::fputc('"', out);
        std::fputc(ch, out);
      }
      std::fputs(c + 1 < tarvex::ListColumnCount ? "\"," : "\"\n", out);
    }
  }
  std::fclose(out);
}

long long FileSize(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

}  // namespace

int main(int argc, char** argv) {
  const char* tmp = std::getenv("TMPDIR");
  std::string base = argc > 1 ? argv[1] : std::string(tmp != nullptr && *tmp ? tmp : "/tmp");
  std::string folder = base + "/tarvex-bench-report-XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }

  tarvex::PathList list = MakeList(BigRows);
  tarvex::ShownList shown;
  shown.MainRoot = "/home/me/写真";
  shown.SubRoot = "/media/me/STICK/写真";
  NoOpener opener;

  std::printf(
      "rows      report s  csv s    ratio  report peak growth  csv peak growth  xlsx size\n");
  for (const std::int32_t rows : {SmallRows, BigRows}) {
    list.PathCount = rows;
    shown.Fill(&list, false);
    tarvex::XlsxSpreadsheetServer server(folder, opener);
    const Measured report = Measure([&] { tarvex::ExportListReport(shown, server); });
    const std::string csv = folder + "/peer.csv";
    const Measured peer = Measure([&] { WriteCsv(shown, csv); });
    std::printf("%7d  %8.3f  %7.3f  %6.1f  %15ld kB  %12ld kB  %7.1f MB\n", rows, report.Seconds,
                peer.Seconds, report.Seconds / peer.Seconds, report.PeakGrowthKb, peer.PeakGrowthKb,
                static_cast<double>(FileSize(server.ReportPath())) / 1e6);
  }
  std::filesystem::remove_all(folder);
  return 0;
}
