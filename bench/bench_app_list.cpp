// The list tab with a million entries, offscreen: the sort of the real page (paths in the
// locale's collation) by each column against std::stable_sort of the same keys in the same run,
// the fill of the real grid with its first paint, and the time from the end of a scan until the
// first screen of rows is painted.
//   bench_app_list                      the sorts, fills and narrowing on a random list
//   bench_app_list narrow               the narrowing only
//   bench_app_list tab work [rounds]    the list tab from the scan of work/main and work/sub (the
//                                       trees bench_scan builds) to the painted grid, runs
//                                       alternated with find, and the growth of the peak RSS

#include <malloc.h>

#include <QApplication>
#include <QCollator>
#include <QCollatorSortKey>
#include <QEvent>
#include <QLocale>
#include <QTabWidget>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "app/list/list_locale.h"
#include "app/list/list_page.h"
#include "app/list/path_grid_view.h"
#include "app/list/path_list_model.h"
#include "app/services/message_boxes.h"
#include "app/window/fm_main.h"
#include "app/window/program_start.h"
#include "bench_measure.h"
#include "core/filter/filter_set.h"
#include "core/list/list_column.h"
#include "core/list/shown_list.h"
#include "core/scan/path_list.h"
#include "core/settings/settings.h"
#include "core/text/text_encoding.h"
#include "printing_boxes.h"
#include "sort_peer.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

// Counts the paints of a widget.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int Paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++Paints;
    return false;
  }
};

// The keys the page prepares (see SortPathListCollated), then a stable sort of the indices.
template <class Key>
void SortIndicesByKeys(PathList& list, bool sortup, const std::vector<Key>& keys) {
  std::vector<std::int32_t> order(static_cast<std::size_t>(list.PathCount));
  for (std::int32_t i = 0; i < list.PathCount; ++i) order[static_cast<std::size_t>(i)] = i;
  const auto key = [&](std::int32_t i) -> const Key& { return keys[static_cast<std::size_t>(i)]; };
  if (sortup)
    std::stable_sort(order.begin(), order.end(),
                     [&](std::int32_t a, std::int32_t b) { return key(a).compare(key(b)) > 0; });
  else
    std::stable_sort(order.begin(), order.end(),
                     [&](std::int32_t a, std::int32_t b) { return key(a).compare(key(b)) < 0; });
  Gather(list, order);
}

void PathPeer(PathList& list, bool sortup, const QCollator& collator) {
  const std::size_t n = static_cast<std::size_t>(list.PathCount);
  if (collator.locale().language() == QLocale::C) {
    std::vector<QString> keys;
    keys.reserve(n);
    for (std::int32_t i = 0; i < list.PathCount; ++i)
      keys.push_back(QString::fromStdString(DisplayText(list[i].Path)).toCaseFolded());
    SortIndicesByKeys(list, sortup, keys);
  } else {
    std::vector<QCollatorSortKey> keys;
    keys.reserve(n);
    for (std::int32_t i = 0; i < list.PathCount; ++i)
      keys.push_back(collator.sortKey(QString::fromStdString(DisplayText(list[i].Path))));
    SortIndicesByKeys(list, sortup, keys);
  }
}

void SetSort(ListPage& page, int sortcol, bool sortup) {
  Settings settings;
  settings.sortcol = sortcol;
  settings.sortup = sortup;
  page.ApplySettings(settings);
}

// Fills the grid and lets the window paint until the grid's viewport has been painted.
double FillAndPaint(ListPage& page, PaintCounter& paints) {
  return Seconds([&] {
    page.FillPathGrid();
    const int before = paints.Paints;
    QApplication::processEvents();
    if (paints.Paints == before) page.SGPath()->viewport()->repaint();
  });
}

// The list tab's whole work from the scan to the first painted screen of rows, as the user waits
// for it, against find listing the same trees with times and sizes.
int ListTab(ListPage& page, PaintCounter& paints, const std::string& work, int rounds) {
  const std::string mainRoot = work + "/main", subRoot = work + "/sub";
  const std::string findCommand =
      "find '" + mainRoot + "' '" + subRoot + "' -printf '%P %T@ %s\\n' > /dev/null";
  const FilterSet filter{"すべて", {}, {"*.*"}, {}};
  ScanOptions options;
  options.SubFolder = true;
  if (std::system(findCommand.c_str()) != 0) return 1;  // warms the caches
  std::vector<double> tabTimes, findTimes;
  std::int64_t peakGrowth = 0;
  std::int32_t rows = 0;
  for (int round = 0; round < rounds; ++round) {
    const std::int64_t rssBefore = StatusBytes("VmRSS");
    const int before = paints.Paints;
    tabTimes.push_back(Seconds([&] {
      page.UpdatePathList(mainRoot, subRoot, filter, options);
      QApplication::processEvents();
      if (paints.Paints == before) page.SGPath()->viewport()->repaint();
    }));
    if (round == 0) peakGrowth = StatusBytes("VmHWM") - rssBefore;
    rows = page.PathModel()->rowCount();
    findTimes.push_back(Seconds([&] {
      if (std::system(findCommand.c_str()) != 0) std::exit(1);
    }));
  }
  const double tab = Median(tabTimes), find = Median(findTimes);
  std::printf("list tab to painted list, %d rows (%d rounds, medians, runs alternated)\n", rows,
              rounds);
  std::printf("find %.3f s, list tab %.3f s, ratio tab/find %.2f (goal <= 0.8)\n", find, tab,
              tab / find);
  std::printf("peak RSS growth of the first round %.0f MB (goal <= 250 at 1M per side)\n",
              static_cast<double>(peakGrowth) / 1e6);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The target users' locale, whatever the machine runs with: its collation is the costly one.
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  QApplication app(argc, argv);
  QTemporaryDir folder;
  PrintingBoxes boxes;
  const auto window =
      StartMainWindow(folder.filePath(QStringLiteral("tarvex.ini")), {.Boxes = &boxes});
  window->findChild<QTabWidget*>(QStringLiteral("PageControl1"))
      ->setCurrentWidget(window->TSList());
  QApplication::processEvents();
  ListPage& page = *window->ListTab();
  PaintCounter paints(page.SGPath()->viewport());
  if (argc > 2 && std::string(argv[1]) == "tab")
    return ListTab(page, paints, argv[2], argc > 3 ? std::max(1, std::atoi(argv[3])) : 3);
  const QCollator collator = ListPathCollator(QLocale());

  std::mt19937 rng(12345);
  const PathList base = MakeList(rng);
  std::printf("%d entries, locale %s, window %dx%d, %d rows visible; times in seconds\n",
              EntryCount, QLocale().name().toUtf8().constData(), window->width(), window->height(),
              page.SGPath()->viewport()->height() / PathGridView::RowHeight);

  // "narrow" times only the narrowing, without the sorts that take minutes.
  const bool narrowOnly = argc > 1 && std::string(argv[1]) == "narrow";
  long checksum = 0;
  if (!narrowOnly) {
    // From the end of a scan (every ListPos 0, sorted by path from Z to A as at start) until the
    // grid has painted its first screen of rows.
    {
      window->State().EnsurePathList() = base;
      SetSort(page, ColumnPath, true);
      const int before = paints.Paints;
      double sortSeconds = 0, fillSeconds = 0;
      const double total = Seconds([&] {
        sortSeconds = Seconds([&] { page.SortPathList(); });
        fillSeconds = FillAndPaint(page, paints);
      });
      std::printf("\nend of scan to first painted rows: %.3f (sort %.3f, fill and paint %.3f)%s\n",
                  total, sortSeconds, fillSeconds,
                  paints.Paints > before ? "" : "  [grid not painted!]");
    }

    for (const bool shown : {false, true}) {
      PathList start = base;
      if (shown) {
        RecordListPositions(start);
      }
      std::printf("\nListPos %s\n", shown ? "from a previous fill" : "all 0 (fresh scan)");
      std::printf("%-10s %-5s %9s %12s %7s %14s\n", "column", "dir", "page sort", "stable_sort",
                  "ratio", "fill + paint");
      const char* names[] = {"",       "path",     "main time", "main size",
                             "status", "sub size", "sub time"};
      for (int sortcol = ColumnPath; sortcol <= ColumnSubTime; ++sortcol) {
        for (const bool sortup : {true, false}) {
          window->State().EnsurePathList() = start;
          SetSort(page, sortcol, sortup);
          const double oursSeconds = Seconds([&] { page.SortPathList(); });
          const double fillSeconds = FillAndPaint(page, paints);
          checksum += (*window->State().PathList)[0].CreatedIndex;

          PathList peer = start;
          const double peerSeconds = Seconds([&] {
            Peer(peer, sortcol, sortup, [&](PathList& l, bool up) { PathPeer(l, up, collator); });
          });
          checksum += peer[0].CreatedIndex;
          std::printf("%-10s %-5s %9.3f %12.3f %7.2f %14.3f\n", names[sortcol],
                      sortup ? "up" : "down", oursSeconds, peerSeconds, oursSeconds / peerSeconds,
                      fillSeconds);
          std::fflush(stdout);
        }
      }
    }
  }
  // Narrowing the shown rows: the engine's fill by a status choice and by a search text, against
  // picking the same paths with std::copy_if and std::string::find.
  {
    const PathList& list = base;
    std::vector<const PathEntry*> entries;
    for (const PathEntry& e : list.Entries) entries.push_back(&e);
    std::printf("\nnarrowing %d rows  %9s %12s %7s %7s\n", list.PathCount, "ShownList", "copy_if",
                "ratio", "rows");
    // Five rounds, ours and the peer's alternating, medians: neither side gets the warmer caches.
    const auto narrow = [&](const char* name, StatusChoice choice, const std::string& text) {
      std::vector<double> ours, peer;
      int rows = 0;
      for (int round = 0; round < 5; ++round) {
        ShownList shown;
        shown.Status = choice;
        shown.Search = text;
        ours.push_back(Seconds([&] { shown.Fill(&list, false); }));
        std::vector<const PathEntry*> picked;
        peer.push_back(Seconds([&] {
          picked.reserve(list.Entries.size());
          std::copy_if(entries.begin(), entries.end(), std::back_inserter(picked),
                       [&](const PathEntry* e) -> bool {
                         if (choice == StatusChoice::Different && e->Status == Same) return false;
                         return text.empty() || e->Path.find(text) != std::string::npos;
                       });
        }));
        rows = shown.Rows();
        checksum += shown.Rows() + static_cast<long>(picked.size());
      }
      std::printf("%-19s %9.3f %12.3f %7.2f %7d  ratio\n", name, Median(ours), Median(peer),
                  Median(ours) / Median(peer), rows);
    };
    narrow("status 違いのみ", StatusChoice::Different, "");
    narrow("search \"_123\"", StatusChoice::All, "_123");
  }
  std::printf("\n(checksum %ld)\n", checksum);
  return 0;
}
