#pragma once
// What a directory listing yields for one name, the listing itself and the other reads of one
// path, as POSIX calls; the scan and the commands reach them through FileOperations.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tarvex {

struct DirectoryEntry {
  std::string Name;  // without folder part
  std::uint32_t Attr = 0;
  double Time = 0;        // local modification time in 2-second steps, days since 1899-12-30
  std::int64_t Size = 0;  // folders report 0
};

// Lists a folder in the order the file system delivers it, leaving out "." and ".." and every
// entry whose attributes fall outside attrMask. The callback's entry is reused between calls.
// Returns false when the folder cannot be opened (missing, no access): it then contributes nothing.
bool ListDirectory(const std::string& folder, std::uint32_t attrMask,
                   const std::function<void(const DirectoryEntry&)>& onEntry);

// Reads the directory entry of one path (its own attributes; links are not followed).
bool ReadDirectoryEntry(const std::string& path, DirectoryEntry& entry);

// True when the path is a folder (a symbolic link is not); a trailing "/" is accepted.
bool FolderExists(const std::string& path);

// True when nothing is at the path (not even a dangling link); false too when it cannot be told.
bool IsPathAbsent(const std::string& path);

// Folder, archive and read-only bits of a stat mode; AttrSpecial for anything else.
std::uint32_t AttributesFromMode(unsigned mode);

// The modification time as the list holds it: local time, rounded down to an even second, as
// days since 1899-12-30.
double PackedLocalTime(std::int64_t unixSeconds);

}  // namespace tarvex
