// The list tab with a million entries, offscreen: the sort of the real page (paths in the
// locale's collation) by each column against std::stable_sort of the same keys in the same run,
// the fill of the real grid with its first paint, and the time from the end of a scan until the
// first screen of rows is painted.

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
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "app/list/list_locale.h"
#include "app/list/list_page.h"
#include "app/list/path_grid_view.h"
#include "app/services/message_boxes.h"
#include "app/window/fm_main.h"
#include "app/window/program_start.h"
#include "core/list/list_column.h"
#include "core/list/shown_list.h"
#include "core/scan/path_list.h"
#include "core/settings/settings.h"
#include "core/text/text_encoding.h"
#include "sort_peer.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

class PrintingBoxes : public MessageBoxes {
 public:
  void Information(const QString&, const QString& text) override { Print(text); }
  void Error(const QString&, const QString& text) override { Print(text); }
  bool Confirm(const QString&, const QString& text) override {
    Print(text);
    return false;
  }
  bool OkCancel(const QString&, const QString& text) override {
    Print(text);
    return false;
  }

 private:
  static void Print(const QString& text) {
    std::fprintf(stderr, "message box: %s\n", text.toUtf8().constData());
  }
};

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
      const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
      };
      std::printf("%-19s %9.3f %12.3f %7.2f %7d  ratio\n", name, median(ours), median(peer),
                  median(ours) / median(peer), rows);
    };
    narrow("status 違いのみ", StatusChoice::Different, "");
    narrow("search \"_123\"", StatusChoice::All, "_123");
  }
  std::printf("\n(checksum %ld)\n", checksum);
  return 0;
}
