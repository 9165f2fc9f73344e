#pragma once
// A shown list made of chosen entries, for the report tests.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/list/shown_list.h"
#include "core/scan/path_list.h"

namespace tarvex::testing {

inline constexpr double May6th2024 = 45418 + (7 * 3600 + 8 * 60 + 10) / 86400.0;     // 07:08:10
inline constexpr double Dec31st1999 = 36525 + (23 * 3600 + 59 * 60 + 58) / 86400.0;  // 23:59:58

inline PathEntry Entry(std::string path, bool folder = false) {
  PathEntry e;
  e.Path = std::move(path);
  e.Attr = folder ? AttrDirectory : AttrArchive;
  return e;
}
inline PathEntry& Main(PathEntry& e, double time, std::int64_t size) {
  e.MainExists = true;
  e.MainTime = time;
  e.MainSize = size;
  return e;
}
inline PathEntry& Sub(PathEntry& e, double time, std::int64_t size) {
  e.SubExists = true;
  e.SubTime = time;
  e.SubSize = size;
  return e;
}

// The list and what shows it; the roots are "/home/me/main" and "/media/me/STICK/backup".
class ReportTestList {
 public:
  PathList List;
  ShownList Shown;

  void Show(std::vector<PathEntry> entries) {
    List.Entries = std::move(entries);
    List.PathCount = static_cast<std::int32_t>(List.Entries.size());
    Shown.MainRoot = "/home/me/main";
    Shown.SubRoot = "/media/me/STICK/backup";
    Shown.Fill(&List, false);
  }
};

}  // namespace tarvex::testing
