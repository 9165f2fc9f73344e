#pragma once
// What the sort benchmarks share: a large random file list, and std::stable_sort of the same keys
// as the peer that the list's own sort is measured against.

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/list/list_column.h"
#include "core/scan/path_list.h"

namespace tarvex::bench {

inline constexpr int EntryCount = 1000000;

inline PathList MakeList(std::mt19937& rng) {
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

inline void Gather(PathList& list, const std::vector<std::int32_t>& order) {
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
inline void StableSortPeer(PathList& list, bool sortup, HasSide hasSide, KeyOf keyOf) {
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

// Each measurement starts from a consolidated heap: the frees of the step before (a million
// strings or keys) would otherwise be charged to whichever side allocates next.
template <class F>
double Seconds(F&& f) {
  malloc_trim(0);
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The peer for every column but the path, whose collation each benchmark brings.
template <class PathPeer>
void Peer(PathList& list, int sortcol, bool sortup, PathPeer pathPeer) {
  const auto main = [](const PathEntry& e) { return e.MainExists; };
  const auto sub = [](const PathEntry& e) { return e.SubExists; };
  switch (sortcol) {
    case ColumnPath:
      return pathPeer(list, sortup);
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

}  // namespace tarvex::bench
