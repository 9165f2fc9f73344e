#include "core/content/content_check.h"

#include <fcntl.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

#include "core/content/content_hash.h"
#include "core/fs/path.h"
#include "core/text/display_path.h"
#include "core/text/format_text.h"

namespace tarvex {
namespace {

constexpr auto ProgressInterval = std::chrono::milliseconds(50);

struct SideRead {
  FileStamp Stamp;
  ContentDigest Digest{};
  bool FromDisk = false;
};

// One candidate and what the workers found for it; each slot is written by one worker only.
struct Job {
  std::int32_t Index = 0;
  PerSide<SideRead> Sides;
  ContentVerdict Verdict = ContentVerdict::Unchecked;
  Side FailedSide = Side::Main;
  int Error = 0;
};

std::string ReasonOf(int error) {
  if (error == ELOOP || error == ENOTDIR) return "シンボリックリンクは読みません";
  if (error == EINVAL) return "通常のファイルではありません";
  return std::generic_category().message(error);
}

// The folder of the last file a worker looked at, held open on both sides: files come folder by
// folder in list order, so most of them are reached with one call from there.
struct OpenFolders {
  std::string Parent;
  bool Valid = false;
  PerSide<UniqueFd> Fds;
  PerSide<int> Errors{};
};

class Checker {
 public:
  Checker(const PathList& list, const PerSide<RootFolder>& roots, const HashCache& cache,
          const std::atomic<bool>& stop)
      : list_(list), roots_(roots), cache_(cache), stop_(stop) {}

  void Run(Job& job, OpenFolders& folders) const {
    const PathEntry& entry = list_[job.Index];
    const std::string_view parent = ParentPart(entry.Path);
    if (!folders.Valid || folders.Parent != parent) {
      folders.Parent.assign(parent);
      folders.Valid = true;
      for (const Side side : BothSides) {
        // Every name on the way must be a real folder; a link there fails, it is never entered.
        folders.Fds[side] = OpenBelow(roots_[side], parent, O_PATH | O_DIRECTORY);
        folders.Errors[side] = folders.Fds[side] ? 0 : errno;
      }
    }
    const std::string name(parent.empty() ? std::string_view(entry.Path)
                                          : entry.Path.view().substr(parent.size() + 1));
    for (const Side side : BothSides) {
      if (folders.Errors[side] != 0) return Fail(job, side, folders.Errors[side]);
      if (const int error = StampAt(folders.Fds[side].get(), name.c_str(), job.Sides[side].Stamp))
        return Fail(job, side, error);
    }
    if (Decided(job)) return;
    // Only what the cache does not know is opened and read; the state at the open is what the
    // digest belongs to.
    PerSide<UniqueFd> fds;
    for (const Side side : BothSides) {
      SideRead& read = job.Sides[side];
      if (const auto known = cache_.Find(read.Stamp)) {
        read.Digest = *known;
        continue;
      }
      fds[side] = OpenContentAt(folders.Fds[side].get(), name.c_str(), read.Stamp);
      if (!fds[side]) return Fail(job, side, errno);
    }
    if (Decided(job)) return;
    for (const Side side : BothSides) {
      if (!fds[side]) continue;
      SideRead& read = job.Sides[side];
      const int error = HashFileContent(fds[side].get(), read.Stamp.Size, read.Digest, stop_);
      if (error == ECANCELED) return;  // stays Unchecked
      if (error != 0) return Fail(job, side, error);
      read.FromDisk = true;
    }
    job.Verdict = job.Sides.Main.Digest == job.Sides.Sub.Digest ? ContentVerdict::Same
                                                                : ContentVerdict::Different;
  }

 private:
  // A verdict from the two states alone: other sizes, or one file seen from both sides.
  static bool Decided(Job& job) {
    const FileStamp& main = job.Sides.Main.Stamp;
    const FileStamp& sub = job.Sides.Sub.Stamp;
    if (main.Size != sub.Size) {
      job.Verdict = ContentVerdict::Different;
      return true;
    }
    // A hard link, or the same tree twice: the bytes are the same by themselves.
    if (main.Device == sub.Device && main.Inode == sub.Inode) {
      job.Verdict = ContentVerdict::Same;
      return true;
    }
    return false;
  }

  static void Fail(Job& job, Side side, int error) {
    job.Verdict = ContentVerdict::Unreadable;
    job.FailedSide = side;
    job.Error = error;
  }

  const PathList& list_;
  const PerSide<RootFolder>& roots_;
  const HashCache& cache_;
  const std::atomic<bool>& stop_;
};

// Opens the root and checks that it is still the folder the scan listed.
bool OpenListedRoot(const std::string& path, const FolderIdentity& listed, RootFolder& root) {
  return IsAbsolutePath(path) && root.Open(path) == 0 && listed.Known && root.Identity() == listed;
}

}  // namespace

ContentCheckReport CheckContents(const PathList& list, const std::string& mainRoot,
                                 const std::string& subRoot, HashCache& cache,
                                 ContentResults& results, const ContentProgress& onProgress,
                                 const ContentStopCheck& shouldStop,
                                 const ContentCheckOptions& options) {
  ContentCheckReport report;
  std::int32_t highest = 0;
  for (std::int32_t i = 0; i < list.PathCount; ++i)
    highest = std::max(highest, list[i].CreatedIndex);
  results.Reset(static_cast<std::size_t>(highest) + 1);

  std::vector<Job> jobs;
  for (std::int32_t i = 0; i < list.PathCount; ++i) {
    if (!IsContentCandidate(list[i])) continue;
    results.Set(list[i], ContentVerdict::Unchecked);
    jobs.push_back(Job{i, {}, ContentVerdict::Unchecked, Side::Main, 0});
  }
  report.Candidates = static_cast<std::int32_t>(jobs.size());
  if (jobs.empty()) return report;

  PerSide<RootFolder> roots;
  const PerSide<const std::string*> paths{&mainRoot, &subRoot};
  for (const Side side : BothSides) {
    if (!OpenListedRoot(*paths[side], list.RootIdentity(side), roots[side])) {
      // A root that changed since the scan is not the one the rows describe: nothing is read.
      report.Unreadable.push_back(
          {DisplayPath(*paths[side]), "スキャンしたフォルダではありません"});
      for (const Job& job : jobs) results.Set(list[job.Index], ContentVerdict::Unreadable);
      report.Checked = report.Candidates;
      return report;
    }
  }

  const unsigned threads =
      std::max(1U, options.Threads != 0 ? options.Threads : std::thread::hardware_concurrency());
  const std::int32_t batch = std::max(1, options.BatchFiles);
  std::atomic<bool> stop{false};
  const Checker checker(list, roots, cache, stop);
  auto lastReport = std::chrono::steady_clock::now();
  const auto askStop = [&] {
    if (shouldStop && shouldStop()) stop.store(true);
    return stop.load();
  };

  for (std::int32_t start = 0; start < report.Candidates && !stop.load(); start += batch) {
    const std::int32_t end = std::min(report.Candidates, start + batch);
    std::atomic<std::int32_t> next{start};
    std::atomic<std::int32_t> finished{0};
    unsigned exited = 0;
    std::mutex mutex;
    std::condition_variable wake;
    {
      std::vector<std::jthread> workers;
      for (unsigned t = 0; t < threads; ++t) {
        workers.emplace_back([&] {
          OpenFolders folders;
          for (std::int32_t j = next++; j < end && !stop.load(std::memory_order_relaxed);
               j = next++) {
            checker.Run(jobs[static_cast<std::size_t>(j)], folders);
            finished.fetch_add(1);
          }
          {
            const std::lock_guard lock(mutex);
            ++exited;
          }
          wake.notify_all();
        });
      }
      // The calling thread keeps the counter moving and hears 中止 while the workers read.
      std::unique_lock lock(mutex);
      while (!wake.wait_for(lock, ProgressInterval, [&] { return exited == threads; })) {
        lock.unlock();
        if (onProgress && std::chrono::steady_clock::now() - lastReport >= ProgressInterval) {
          lastReport = std::chrono::steady_clock::now();
          onProgress(start + finished.load(), report.Candidates);
        }
        askStop();
        lock.lock();
      }
    }  // the workers are joined here
    // Between batches only this thread touches the cache.
    for (std::int32_t j = start; j < end; ++j) {
      const Job& job = jobs[static_cast<std::size_t>(j)];
      if (job.Verdict == ContentVerdict::Unchecked) continue;
      for (const Side side : BothSides) {
        const SideRead& read = job.Sides[side];
        if (read.FromDisk) {
          cache.Store(read.Stamp, read.Digest);
          ++report.FilesRead;
        } else if (job.Verdict != ContentVerdict::Unreadable) {
          cache.Touch(read.Stamp);
        }
      }
    }
    if (onProgress) onProgress(std::min(end, start + finished.load()), report.Candidates);
    lastReport = std::chrono::steady_clock::now();
    askStop();
  }

  for (const Job& job : jobs) {
    const PathEntry& entry = list[job.Index];
    results.Set(entry, job.Verdict);
    if (job.Verdict == ContentVerdict::Unchecked) continue;
    ++report.Checked;
    if (IsHiddenDifference(entry, job.Verdict)) ++report.HiddenCount;
    if (job.Verdict == ContentVerdict::Unreadable) {
      report.Unreadable.push_back(
          {DisplayPath(roots[job.FailedSide].PathOf(entry.Path)), ReasonOf(job.Error)});
    }
  }
  report.Stopped = report.Checked < report.Candidates;
  return report;
}

std::string ContentCounterText(std::int32_t done, std::int32_t total) {
  return FormatText("内容を比較しています %d / %d    ", done, total);
}

}  // namespace tarvex
