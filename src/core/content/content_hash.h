#pragma once
// The digest of a file's bytes, read through a descriptor that the caller opened without
// following a link.

#include <array>
#include <atomic>
#include <cstdint>

#include "core/fs/unique_fd.h"

namespace tarvex {

// XXH3-128 of the bytes, low half first.
using ContentDigest = std::array<std::uint64_t, 2>;

// What identifies one state of a file without reading it: when none of these moved, its bytes
// did not either (a write moves the change time, which no user call can set back).
struct FileStamp {
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  std::int64_t Size = 0;
  std::int64_t ModifiedNs = 0;
  std::int64_t ChangedNs = 0;
  bool operator==(const FileStamp&) const = default;
};

// The state of name in the open folder (its own, a link is not followed); a link or anything
// else that is not a regular file fails with ELOOP or EINVAL. Returns 0 or the errno value.
int StampAt(int folder, const char* name, FileStamp& stamp);

// Opens name in the open folder for reading without following a link, without updating the
// access time where the kernel lets us, and without blocking on a pipe that took the file's place.
// Only a regular file is kept: anything else fails with EINVAL. stamp receives the file's state at
// the open, which is what its bytes belong to.
UniqueFd OpenContentAt(int folder, const char* name, FileStamp& stamp);

// Reads fd from its start to its end into digest; knownSize is its size at the open (a short read
// at or beyond it is the end). Returns 0, the errno value of a failed read, or ECANCELED when
// stop became true between two blocks.
int HashFileContent(int fd, std::int64_t knownSize, ContentDigest& digest,
                    const std::atomic<bool>& stop);

}  // namespace tarvex
