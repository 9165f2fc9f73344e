#pragma once
// The scan of both folder trees into one PathList.

#include <cstdint>
#include <functional>
#include <string>

#include "core/filter/filter_set.h"
#include "core/fs/file_operations.h"
#include "core/scan/path_list.h"

namespace tarvex {

struct ScanOptions {
  bool SubFolder = false;   // list below the roots too
  bool OneSideDir = false;  // do not list into a folder that the other side lacks
  bool DirIgnore = false;   // a folder found on both sides is Same whatever its time
  // Pairing ignores the letter case of A to Z, for case-insensitive file systems.
  bool CaseInsensitivePairing = false;
  std::uint32_t AttrMask = DefaultScanAttrMask;
};

// Receives the counter text while the scan runs, at most every CounterInterval and once at the end
// of each pass.
using ScanCounterCallback = std::function<void(const std::string& text)>;

// Rebuilds the list: main tree breadth first, then the sub tree merged by relative path. A root
// that is not an absolute path (the empty text included) contributes nothing. An invalid pattern
// throws MaskError and leaves the list empty, so no row can refer to a half-built comparison.
// Every listing and folder test goes through files; a folder it cannot list contributes nothing.
void ScanFolders(PathList& list, const std::string& mainRoot, const std::string& subRoot,
                 const ScanOptions& options, const FilterSet& filter, FileOperations& files,
                 const ScanCounterCallback& onCounter = {});
// The same on the disk itself (PosixFileOperations).
void ScanFolders(PathList& list, const std::string& mainRoot, const std::string& subRoot,
                 const ScanOptions& options, const FilterSet& filter,
                 const ScanCounterCallback& onCounter = {});

// The counter label's text during the main pass (subPass false) and the sub pass.
std::string ScanCounterText(bool subPass, std::int32_t paths, std::int32_t folders,
                            std::int32_t same);

}  // namespace tarvex
