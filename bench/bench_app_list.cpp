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
#include <random>
#include <string>
#include <vector>

#include "app/fm_main.h"
#include "app/list_locale.h"
#include "app/list_page.h"
#include "app/message_boxes.h"
#include "app/path_grid_view.h"
#include "app/program_start.h"
#include "core/list_column.h"
#include "core/path_list.h"
#include "core/settings.h"
#include "core/text_encoding.h"

using namespace tarvex;

namespace {

constexpr int EntryCount = 1000000;

class PrintingBoxes : public MessageBoxes {
 public:
  void Information(const QString&, const QString& text) override { Print(text); }
  void Error(const QString&, const QString& text) override { Print(text); }
  bool Confirm(const QString&, const QString& text) override {
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

PathList MakeList(std::mt19937& rng) {
  const char* words[] = {"src",      "Docs",    "images", "backup", "2023",     "2024",
                         "projects", "reports", "old",    "data",   "Build",    "assets",
                         "写真",     "資料",    "Music",  "Videos", "notes",    "tmp",
                         "lib",      "archive", "client", "議事録", "しりょう", "データ",
                         "ＦＵＬＬ", "éte",     "README", "readme"};
  constexpr int WordCount = static_cast<int>(std::size(words));
  const char* extensions[] = {".txt", ".jpg", ".cpp", ".h", ".pdf", ".xlsx", ".png", ".mp3"};
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };

  // A folder tree 1 to 8 levels deep, then files spread over it.
  std::vector<std::string> folders;
  for (int i = 0; i < 60000; ++i) {
    std::string path =
        folders.empty() || pick(10) == 0
            ? std::string(words[pick(WordCount)])
            : folders[static_cast<std::size_t>(pick(static_cast<int>(folders.size())))];
    if (std::count(path.begin(), path.end(), '/') >= 7) path = words[pick(WordCount)];
    path += "/";
    path += words[pick(WordCount)];
    path += std::to_string(pick(100));
    folders.push_back(std::move(path));
  }
  PathList list;
  list.Entries.reserve(EntryCount);
  std::uniform_int_distribution<std::int64_t> seconds(0, 10LL * 365 * 86400 / 2);
  std::lognormal_distribution<double> size(9.0, 2.5);
  for (int i = 0; i < EntryCount; ++i) {
    PathEntry e;
    const bool folder = i < static_cast<int>(folders.size());
    if (folder) {
      e.Path = folders[static_cast<std::size_t>(i)];
      e.Attr = AttrDirectory;
      ++list.FolderCount;
    } else {
      e.Path = folders[static_cast<std::size_t>(pick(static_cast<int>(folders.size())))] + "/" +
               words[pick(WordCount)] + "_" + std::to_string(pick(100000)) + extensions[pick(8)];
      e.Attr = AttrArchive;
      e.Ignored = pick(50) == 0;
    }
    e.CreatedIndex = i;
    const int sides = pick(100);
    e.MainExists = sides < 92;
    e.SubExists = sides < 80 || sides >= 92;
    const double time = 42000 + static_cast<double>(seconds(rng)) * 2 / 86400;
    const std::int64_t bytes = folder ? 0 : static_cast<std::int64_t>(size(rng));
    if (e.MainExists) {
      e.MainTime = time;
      e.MainSize = bytes;
    }
    if (e.SubExists) {
      e.SubTime = pick(10) < 7 ? time : time - pick(1000) * 2.0 / 86400;
      e.SubSize = folder || pick(10) < 7 ? bytes : static_cast<std::int64_t>(size(rng));
    }
    e.Status = ComputeStatus(e);
    if (e.Status == Same) ++list.SameCount;
    list.Entries.push_back(std::move(e));
  }
  std::shuffle(list.Entries.begin(), list.Entries.end(), rng);
  list.PathCount = EntryCount;
  return list;
}

void Gather(PathList& list, const std::vector<std::int32_t>& order) {
  std::vector<PathEntry> sorted;
  sorted.reserve(list.Entries.size());
  for (const std::int32_t i : order)
    sorted.push_back(std::move(list.Entries[static_cast<std::size_t>(i)]));
  list.Entries.swap(sorted);
}

template <class Key>
struct Record {
  Key Value;
  std::int32_t ListPos;
  std::int32_t Index;
};

template <class Key, class HasSide, class KeyOf>
void StableSortPeer(PathList& list, bool sortup, HasSide hasSide, KeyOf keyOf) {
  std::vector<Record<Key>> records;
  std::vector<std::int32_t> lacking;
  records.reserve(list.Entries.size());
  for (std::int32_t i = 0; i < list.PathCount; ++i) {
    if (hasSide(list[i]))
      records.push_back({keyOf(list[i]), list[i].ListPos, i});
    else
      lacking.push_back(i);
  }
  if (sortup)
    std::stable_sort(records.begin(), records.end(), [](const auto& a, const auto& b) {
      return a.Value < b.Value || (a.Value == b.Value && a.ListPos < b.ListPos);
    });
  else
    std::stable_sort(records.begin(), records.end(), [](const auto& a, const auto& b) {
      return a.Value > b.Value || (a.Value == b.Value && a.ListPos < b.ListPos);
    });
  std::vector<std::int32_t> order;
  order.reserve(list.Entries.size());
  for (const auto& r : records) order.push_back(r.Index);
  order.insert(order.end(), lacking.begin(), lacking.end());
  Gather(list, order);
}

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

void Peer(PathList& list, int sortcol, bool sortup, const QCollator& collator) {
  const auto main = [](const PathEntry& e) { return e.MainExists; };
  const auto sub = [](const PathEntry& e) { return e.SubExists; };
  switch (sortcol) {
    case ColumnPath:
      return PathPeer(list, sortup, collator);
    case ColumnMainTime:
      return StableSortPeer<double>(list, sortup, main,
                                    [](const PathEntry& e) { return e.MainTime; });
    case ColumnMainSize:
      return StableSortPeer<std::int64_t>(list, sortup, main,
                                          [](const PathEntry& e) { return e.MainSize; });
    case ColumnMarks:
      return StableSortPeer<std::int32_t>(
          list, sortup, [](const PathEntry&) { return true; },
          [](const PathEntry& e) { return static_cast<std::int32_t>(e.Status); });
    case ColumnSubSize:
      return StableSortPeer<std::int64_t>(list, sortup, sub,
                                          [](const PathEntry& e) { return e.SubSize; });
    default:
      return StableSortPeer<double>(list, sortup, sub,
                                    [](const PathEntry& e) { return e.SubTime; });
  }
}

// Each measurement starts from a consolidated heap: the frees of the step before (a million
// strings or keys) would otherwise be charged to whichever side allocates next.
template <class F>
double Seconds(F&& f) {
  malloc_trim(0);
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
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
  const auto window = StartMainWindow(folder.filePath(QStringLiteral("tarvex.ini")), &boxes);
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

  long checksum = 0;
  for (const bool shown : {false, true}) {
    PathList start = base;
    if (shown) {
      RecordListPositions(start);
    }
    std::printf("\nListPos %s\n", shown ? "from a previous fill" : "all 0 (fresh scan)");
    std::printf("%-10s %-5s %9s %12s %7s %14s\n", "column", "dir", "page sort", "stable_sort",
                "ratio", "fill + paint");
    const char* names[] = {"", "path", "main time", "main size", "status", "sub size", "sub time"};
    for (int sortcol = ColumnPath; sortcol <= ColumnSubTime; ++sortcol) {
      for (const bool sortup : {true, false}) {
        window->State().EnsurePathList() = start;
        SetSort(page, sortcol, sortup);
        const double oursSeconds = Seconds([&] { page.SortPathList(); });
        const double fillSeconds = FillAndPaint(page, paints);
        checksum += (*window->State().PathList)[0].CreatedIndex;

        PathList peer = start;
        const double peerSeconds = Seconds([&] { Peer(peer, sortcol, sortup, collator); });
        checksum += peer[0].CreatedIndex;
        std::printf("%-10s %-5s %9.3f %12.3f %7.2f %14.3f\n", names[sortcol],
                    sortup ? "up" : "down", oursSeconds, peerSeconds, oursSeconds / peerSeconds,
                    fillSeconds);
        std::fflush(stdout);
      }
    }
  }
  std::printf("\n(checksum %ld)\n", checksum);
  return 0;
}
