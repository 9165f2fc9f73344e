#pragma once
// Reads the files that both sides hold with equal sizes and tells whether their bytes are the
// same, on worker threads, with a cache of digests so that unchanged files are not read again.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/content/content_results.h"
#include "core/content/hash_cache.h"
#include "core/scan/path_list.h"

namespace tarvex {

struct UnreadableContent {
  std::string Path;    // the file as a person reads it
  std::string Reason;  // why, for the message log
};

struct ContentCheckReport {
  std::int32_t Candidates = 0;
  std::int32_t Checked = 0;      // candidates with a verdict other than Unchecked
  std::int32_t FilesRead = 0;    // files read from the disk rather than found in the cache
  std::int32_t HiddenCount = 0;  // Same by time and size, different bytes
  std::vector<UnreadableContent> Unreadable;
  bool Stopped = false;  // the user stopped the check; the rows not reached say 未確認
};

// Called on the calling thread with the candidates done and their total, at most every 50 ms
// and at the end of every batch.
using ContentProgress = std::function<void(std::int32_t done, std::int32_t total)>;
// Asked on the calling thread after each progress call and while a batch runs: true stops the
// check (a file being read is left half way).
using ContentStopCheck = std::function<bool()>;

struct ContentCheckOptions {
  unsigned Threads = 0;            // 0: one per core
  std::int32_t BatchFiles = 4096;  // candidates handed out between two merges into the cache
};

// Resets results for list and gives every candidate (IsContentCandidate) of entries 0 to
// PathCount - 1 its verdict. Each file is opened below its root as the scan reaches it (no link
// followed, a root that is no longer the folder the scan listed is not read) and read only: the
// access time stays where the kernel allows. Digests found in cache by the file's state are used
// without reading; new ones are stored in it.
ContentCheckReport CheckContents(const PathList& list, const std::string& mainRoot,
                                 const std::string& subRoot, HashCache& cache,
                                 ContentResults& results, const ContentProgress& onProgress = {},
                                 const ContentStopCheck& shouldStop = {},
                                 const ContentCheckOptions& options = {});

// The counter label's text while the check runs.
std::string ContentCounterText(std::int32_t done, std::int32_t total);

}  // namespace tarvex
