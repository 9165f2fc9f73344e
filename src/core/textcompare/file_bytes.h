#pragma once
// The whole content of one file, read once with POSIX calls, for the text compare.

#include <cstdint>
#include <string>

namespace tarvex {

enum class ReadStatus {
  Ok,
  CannotOpen,  // missing, unreadable, or not a regular file (a folder, a FIFO, a device)
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
// Other programs may go on reading and writing the file meanwhile.
FileBytes ReadFileBytes(const std::string& path, std::int64_t maxBytes = -1);

// True when a regular file is at path; a link is followed, as ReadFileBytes follows it.
bool RegularFileExists(const std::string& path);

}  // namespace tarvex
