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

#include "core/list/list_column.h"
#include "core/list/path_sort.h"
#include "core/scan/path_list.h"
#include "sort_peer.h"

using namespace tarvex;
using namespace tarvex::bench;

namespace {

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
        const double peerSeconds = Seconds([&] {
          Peer(peer, sortcol, sortup, [&](PathList& l, bool up) { PathPeer(l, up, collate); });
        });
        checksum += peer[0].CreatedIndex;
        std::printf("%-10s %-5s %12.3f %12.3f %7.2f\n", names[sortcol], sortup ? "up" : "down",
                    oursSeconds, peerSeconds, oursSeconds / peerSeconds);
      }
    }
  }
  std::printf("\n(checksum %ld)\n", checksum);
  return 0;
}
