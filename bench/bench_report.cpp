// Exports a list of 1,000,000 rows (and one of 10,000) through the xlsx report backend, without
// opening it, and writes the same nine cells of every row as CSV with plain stdio in the same run
// (the dates rearranged as the report does, the path split into folder and name). The two are
// alternated, several rounds. Prints both medians, their ratio, the report's size and the growth
// of the peak resident memory during each export: the report's should not grow with the rows.
// Usage: bench_report [--rounds N] [folder]   (default: 3 rounds, the temporary folder)

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/list/list_column.h"
#include "core/list/shown_list.h"
#include "core/report/list_report.h"
#include "core/report/xlsx_spreadsheet.h"
#include "core/scan/path_list.h"

#include "bench_measure.h"

using namespace tarvex::bench;

namespace {

using tarvex::PathEntry;

constexpr std::int32_t BigRows = 1000000;
constexpr std::int32_t SmallRows = 10000;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
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
  const long before = static_cast<long>(StatusBytes("VmRSS") / 1024);
  const auto start = std::chrono::steady_clock::now();
  work();
  Measured m;
  m.Seconds = Seconds(start);
  m.PeakGrowthKb = static_cast<long>(StatusBytes("VmHWM") / 1024) - before;
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

void PutCsvCell(std::FILE* out, const std::string& text, bool last) {
  std::fputc('"', out);
  for (const char ch : text) {
    if (ch == '"') std::fputc('"', out);
    std::fputc(ch, out);
  }
  std::fputs(last ? "\"\n" : "\",", out);
}

// The peer: the nine cells the report writes per row, one CSV line per row, through stdio.
void WriteCsv(const tarvex::ShownList& shown, const std::string& path) {
  std::FILE* out = std::fopen(path.c_str(), "wb");
  if (out == nullptr) return;
  for (std::int32_t r = 0; r < shown.Rows(); ++r) {
    const std::string shownPath = shown.DisplayCellText(r, tarvex::ColumnPath);
    const std::size_t slash = shownPath.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    PutCsvCell(out, shown.CellText(r, tarvex::ColumnRow), false);
    PutCsvCell(out, shownPath, false);
    PutCsvCell(out, tarvex::RearrangeDateText(shown.CellText(r, tarvex::ColumnMainTime)), false);
    PutCsvCell(out, shown.CellText(r, tarvex::ColumnMainSize), false);
    PutCsvCell(out, shown.CellText(r, tarvex::ColumnMarks), false);
    PutCsvCell(out, shown.CellText(r, tarvex::ColumnSubSize), false);
    PutCsvCell(out, tarvex::RearrangeDateText(shown.CellText(r, tarvex::ColumnSubTime)), false);
    PutCsvCell(out, shownPath.substr(0, nameStart), false);
    PutCsvCell(out, shownPath.substr(nameStart), true);
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
  std::string base = tmp != nullptr && *tmp ? tmp : "/tmp";
  int rounds = 3;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--rounds" && i + 1 < argc) {
      rounds = std::max(1, std::atoi(argv[++i]));
    } else {
      base = arg;
    }
  }
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

  std::printf("medians of %d alternated rounds; the peer writes the report's nine cells as CSV\n",
              rounds);
  std::printf(
      "rows      report s  csv s    ratio  report peak growth  csv peak growth  xlsx size\n");
  for (const std::int32_t rows : {SmallRows, BigRows}) {
    list.PathCount = rows;
    shown.Fill(&list, false);
    std::vector<double> ours;
    std::vector<double> peer;
    long oursPeak = 0;
    long peerPeak = 0;
    long long size = 0;
    const std::string csv = folder + "/peer.csv";
    const auto own = [&] {
      tarvex::XlsxSpreadsheetServer server(folder, opener);
      const Measured m = Measure([&] { tarvex::ExportListReport(shown, server); });
      ours.push_back(m.Seconds);
      oursPeak = std::max(oursPeak, m.PeakGrowthKb);
      size = FileSize(server.ReportPath());
      ::unlink(server.ReportPath().c_str());
    };
    const auto other = [&] {
      const Measured m = Measure([&] { WriteCsv(shown, csv); });
      peer.push_back(m.Seconds);
      peerPeak = std::max(peerPeak, m.PeakGrowthKb);
      ::unlink(csv.c_str());
    };
    for (int round = 0; round < rounds; ++round) {
      if (round % 2 == 0) {
        own();
        other();
      } else {
        other();
        own();
      }
    }
    const double o = Median(ours);
    const double p = Median(peer);
    std::printf("%7d  %8.3f  %7.3f  %6.2f  %15ld kB  %12ld kB  %7.1f MB   ratio report / csv\n",
                rows, o, p, o / p, oursPeak, peerPeak, static_cast<double>(size) / 1e6);
    std::fflush(stdout);
  }
  std::filesystem::remove_all(folder);
  return 0;
}
