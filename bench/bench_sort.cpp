// Sorting a large file list by each column: SortPathList against std::stable_sort of the same keys
// (same records, same comparison, same reordering of the entries), in the same run.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/list_column.h"
#include "core/path_list.h"
#include "core/path_sort.h"

using namespace tarvex;

namespace {

constexpr int EntryCount = 1000000;

PathList MakeList(std::mt19937& rng) {
  const char* words[] = {"src",     "docs",   "images", "backup", "2023",   "2024",    "projects",
                         "reports", "old",    "data",   "build",  "assets", "写真",    "資料",
                         "Music",   "Videos", "notes",  "tmp",    "lib",    "archive", "client"};
  const char* extensions[] = {".txt", ".jpg", ".cpp", ".h", ".pdf", ".xlsx", ".png", ".mp3"};
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };

  // A folder tree 1 to 8 levels deep, then files spread over it.
  std::vector<std::string> folders;
  for (int i = 0; i < 60000; ++i) {
    std::string path = folders.empty() || pick(10) == 0 ? std::string(words[pick(21)])
                                                        : folders[pick((int)folders.size())];
    if (std::count(path.begin(), path.end(), '/') >= 7) path = words[pick(21)];
    path += "/";
    path += words[pick(21)];
    path += std::to_string(pick(100));
    folders.push_back(std::move(path));
  }
  PathList list;
  list.Entries.reserve(EntryCount);
  std::uniform_int_distribution<std::int64_t> seconds(0, 10LL * 365 * 86400 / 2);
  std::lognormal_distribution<double> size(9.0, 2.5);
  for (int i = 0; i < EntryCount; ++i) {
    PathEntry e;
    const bool folder = i < (int)folders.size();
    if (folder) {
      e.Path = folders[i];
      e.Attr = AttrDirectory;
    } else {
      e.Path = folders[pick((int)folders.size())] + "/" + words[pick(21)] + "_" +
               std::to_string(pick(100000)) + extensions[pick(8)];
      e.Attr = AttrArchive;
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
    list.Entries.push_back(std::move(e));
  }
  std::shuffle(list.Entries.begin(), list.Entries.end(), rng);
  list.PathCount = EntryCount;
  return list;
}

template <class Key>
struct Record {
  Key Value;
  std::int32_t ListPos;
  std::int32_t Index;
};

void Gather(PathList& list, const std::vector<std::int32_t>& order) {
  std::vector<PathEntry> sorted;
  sorted.reserve(list.Entries.size());
  for (const std::int32_t i : order) sorted.push_back(std::move(list.Entries[i]));
  list.Entries.swap(sorted);
}

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

void PathPeer(PathList& list, bool sortup, const PathCollation& collate) {
  struct PathRecord {
    std::string_view Path;
    std::int32_t Index;
  };
  std::vector<PathRecord> records;
  records.reserve(list.Entries.size());
  for (std::int32_t i = 0; i < list.PathCount; ++i) records.push_back({list[i].Path, i});
  if (sortup)
    std::stable_sort(records.begin(), records.end(),
                     [&](const auto& a, const auto& b) { return collate(a.Path, b.Path) > 0; });
  else
    std::stable_sort(records.begin(), records.end(),
                     [&](const auto& a, const auto& b) { return collate(a.Path, b.Path) < 0; });
  std::vector<std::int32_t> order;
  order.reserve(records.size());
  for (const auto& r : records) order.push_back(r.Index);
  Gather(list, order);
}

void Peer(PathList& list, int sortcol, bool sortup, const PathCollation& collate) {
  const auto main = [](const PathEntry& e) { return e.MainExists; };
  const auto sub = [](const PathEntry& e) { return e.SubExists; };
  switch (sortcol) {
    case ColumnPath:
      return PathPeer(list, sortup, collate);
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

template <class F>
double Seconds(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  std::mt19937 rng(12345);
  PathList base = MakeList(rng);
  const PathCollation collate = CompareAsciiNoCase;
  const char* names[] = {"", "path", "main time", "main size", "status", "sub size", "sub time"};
  std::printf("%d entries; times in seconds\n", EntryCount);
  long checksum = 0;
  for (const bool shown : {true, false}) {
    // After a fill every ListPos differs; right after a scan they are all 0 and ties abound.
    if (shown) {
      RecordListPositions(base);
    } else {
      for (auto& e : base.Entries) e.ListPos = 0;
    }
    std::printf("\nListPos %s\n", shown ? "from a previous fill" : "all 0 (fresh scan)");
    std::printf("%-10s %-5s %12s %12s %7s\n", "column", "dir", "SortPathList", "stable_sort",
                "ratio");
    for (int sortcol = ColumnPath; sortcol <= ColumnSubTime; ++sortcol) {
      for (const bool sortup : {true, false}) {
        PathList ours = base;
        const double oursSeconds = Seconds([&] { SortPathList(ours, sortcol, sortup, collate); });
        checksum += ours[0].CreatedIndex;
        ours = PathList();
        PathList peer = base;
        const double peerSeconds = Seconds([&] { Peer(peer, sortcol, sortup, collate); });
        checksum += peer[0].CreatedIndex;
        std::printf("%-10s %-5s %12.3f %12.3f %7.2f\n", names[sortcol], sortup ? "up" : "down",
                    oursSeconds, peerSeconds, oursSeconds / peerSeconds);
      }
    }
  }
  std::printf("\n(checksum %ld)\n", checksum);
  return 0;
}
