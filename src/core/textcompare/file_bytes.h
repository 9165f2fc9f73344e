#pragma once
// The whole content of one file, read once with POSIX calls, for the text compare. The files of a
// comparison lie below the two roots and are reached as every other access below a root: from the
// root's descriptor, with no link followed on the way or at the end.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/fs/root_folder.h"

namespace tarvex {

enum class ReadStatus {
  Ok,
  CannotOpen,  // missing, unreadable, or not a regular file (a folder, a FIFO, a device, a link)
  ReadError,   // opened, but reading failed part way
  TooLarge,    // more bytes than the limit: the file grew since its size was checked
};

struct FileBytes {
  ReadStatus Status = ReadStatus::Ok;
  int Error = 0;  // the errno value behind a failure
  std::string Bytes;

  explicit operator bool() const { return Status == ReadStatus::Ok; }
};

// Reads the regular file at path whole, or up to maxBytes bytes (a negative limit means none).
// Other programs may go on reading and writing the file meanwhile. For a file given by its own
// path; a file below a root is read with ReadFileBytesBelow.
FileBytes ReadFileBytes(const std::string& path, std::int64_t maxBytes = -1);

// ReadFileBytes for the file at relative below root. A path that crosses a link, or ends in one,
// names no file: CannotOpen with ELOOP or ENOTDIR.
FileBytes ReadFileBytesBelow(const RootFolder& root, std::string_view relative,
                             std::int64_t maxBytes = -1);

// True when a regular file is at relative below root, reached as ReadFileBytesBelow reaches it.
bool RegularFileExistsBelow(const RootFolder& root, std::string_view relative);

}  // namespace tarvex
