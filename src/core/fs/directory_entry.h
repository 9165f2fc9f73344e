#pragma once
// What a directory listing yields for one name, and the listing of an open folder; the scan and
// the commands reach them through FileOperations.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/fs/unique_fd.h"

struct stat;
struct statx;

namespace tarvex {

struct DirectoryEntry {
  std::string Name;  // without folder part
  std::uint32_t Attr = 0;
  double Time = 0;        // local modification time in 2-second steps, days since 1899-12-30
  std::int64_t Size = 0;  // folders report 0
};

// Lists the open folder in the order the file system delivers it, leaving out "." and ".." and
// every entry whose attributes fall outside attrMask; the callback's entry is reused between
// calls. Takes the descriptor (opened for reading). Returns 0, or the errno value of a listing that
// failed part way.
int ListDirectoryAt(UniqueFd folder, std::uint32_t attrMask,
                    const std::function<void(const DirectoryEntry&)>& onEntry);

// The directory entry of name in the folder (its own attributes; a link is not followed).
bool ReadDirectoryEntryAt(int folder, const std::string& name, DirectoryEntry& entry);

// The entry that a stat result gives for name.
void FillDirectoryEntry(const struct stat& st, DirectoryEntry& entry);
// The same from a statx result that holds at least the type, mode, time and size.
void FillDirectoryEntry(const struct statx& sx, DirectoryEntry& entry);

// Folder, archive and read-only bits of a stat mode; AttrSpecial for anything else.
std::uint32_t AttributesFromMode(unsigned mode);

// The modification time as the list holds it: local time, rounded down to an even second, as
// days since 1899-12-30.
double PackedLocalTime(std::int64_t unixSeconds);

}  // namespace tarvex
