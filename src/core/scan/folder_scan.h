#pragma once
// The scan of both folder trees into one PathList.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

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
  // Times exactly one hour apart compare as equal (FAT and exFAT across summer time).
  bool IgnoreHourShift = false;
};

// A folder of a side that the scan found but could not list: its files are missing from that side
// of the list and would look one-sided.
struct UnreadableFolder {
  std::string Path;    // the folder as a person reads it
  std::string Reason;  // why, for the message log
};

struct ScanReport {
  std::vector<UnreadableFolder> UnreadableFolders;
  // The user stopped the scan; the list is as it was before it.
  bool Stopped = false;
};

// Receives the counter text while the scan runs, at most every CounterInterval and once at the end
// of each pass.
using ScanCounterCallback = std::function<void(const std::string& text)>;
// Asked at the counter's pace (after each counter text, and every few entries between): true
// stops the scan.
using ScanStopCheck = std::function<bool()>;

// Rebuilds the list: main tree breadth first, then the sub tree merged by relative path. Each root
// is opened once (a link at the root itself is followed) and every folder below it is reached
// from there without following a link, so a link inside a tree is never listed into; the list
// keeps which folders the roots were. A root that is not an absolute path (the empty text
// included) contributes nothing. An invalid pattern throws MaskError and leaves the list empty, so
// no row can refer to a half-built comparison. Every listing and folder test goes through files;
// a root or a listed folder that cannot be read contributes nothing and is named in the report.
// The scan builds a list of its own and puts it in place of list only when it is whole: a scan
// that shouldStop ends leaves list untouched and says Stopped.
ScanReport ScanFolders(PathList& list, const std::string& mainRoot, const std::string& subRoot,
                       const ScanOptions& options, const FilterSet& filter, FileOperations& files,
                       const ScanCounterCallback& onCounter = {},
                       const ScanStopCheck& shouldStop = {});
// The same on the disk itself (PosixFileOperations).
ScanReport ScanFolders(PathList& list, const std::string& mainRoot, const std::string& subRoot,
                       const ScanOptions& options, const FilterSet& filter,
                       const ScanCounterCallback& onCounter = {});

// The message after a scan that could not read count folders (one box, the folders in the log).
std::string UnreadableFoldersMessage(std::size_t count);

// The counter label's text during the main pass (subPass false) and the sub pass.
std::string ScanCounterText(bool subPass, std::int32_t paths, std::int32_t folders,
                            std::int32_t same);

}  // namespace tarvex
