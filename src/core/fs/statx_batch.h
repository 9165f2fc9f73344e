#pragma once
// The statx of many names of one folder at once. Through io_uring where the kernel offers it: one
// system call for a whole batch, and the kernel's workers look the names up side by side, which
// costs less than a call per name (and hides the round trips of a network file system). Where
// io_uring is missing or refused (an old kernel, a container's seccomp policy), one statx after
// the other. Both ways give the same results.

#include <sys/stat.h>

#include <cstddef>
#include <span>

namespace tarvex {

// The largest batch that one Run hands to the kernel at a time; larger ones go in pieces.
inline constexpr std::size_t StatxBatchSize = 128;

// For each names[i] (relative to folder, a link not followed, no automount), the type, mode,
// modification time and size into results[i] and 0 into errors[i], or the errno value into
// errors[i]. The names and the folder stay valid until the call returns: no request outlives it.
void StatxNames(int folder, std::span<const char* const> names, std::span<struct statx> results,
                std::span<int> errors);

// Tests: false makes every later call on this thread take the plain way; true tries io_uring again.
void AllowStatxRing(bool allowed);
// True when the calls on this thread go through io_uring (after a first call has tried it).
bool StatxRingInUse();

}  // namespace tarvex
