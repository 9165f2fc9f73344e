#include "core/scan/folder_scan.h"

#include <chrono>

#include "core/fs/copy_temporary.h"
#include "core/fs/path.h"
#include "core/scan/entry_store.h"
#include "core/scan/path_index.h"
#include "core/text/format_text.h"

namespace tarvex {

namespace {

// The counter label cannot show more than a screen refresh or so; a million repaints would cost
// more than the scan.
constexpr auto CounterInterval = std::chrono::milliseconds(50);

// Unwinds the scan when the user stops it.
struct ScanStopped {};

class FolderScanner {
 public:
  FolderScanner(PathList& list, const std::string& mainRoot, const std::string& subRoot,
                const ScanOptions& options, const FilterSet& filter, FileOperations& files,
                const ScanCounterCallback& onCounter, const ScanStopCheck& shouldStop)
      : list_(list),
        mainRoot_(mainRoot),
        subRoot_(subRoot),
        options_(options),
        filter_(filter),
        files_(files),
        onCounter_(onCounter),
        shouldStop_(shouldStop),
        index_(options.CaseInsensitivePairing) {}

  ScanReport Run() {
    list_.Clear();
    list_.IgnoreHourShift = options_.IgnoreHourShift;
    list_.MainRootIdentity = OpenRoot(mainRoot_, mainFolder_);
    list_.SubRootIdentity = OpenRoot(subRoot_, subFolder_);
    RunPass(Side::Main);
    RunPass(Side::Sub);
    index_.Clear();
    entries_.MoveInto(list_.Entries);
    list_.PathCount = static_cast<std::int32_t>(list_.Entries.size());
    return std::move(report_);
  }

 private:
  // Positions count the roots as 0, as CreatedIndex and ParentIndex do: the entry at position c
  // is entries_[c - 1].
  PathEntry& At(std::int32_t c) { return entries_[static_cast<std::size_t>(c - 1)]; }
  std::int32_t Positions() const { return static_cast<std::int32_t>(entries_.size()) + 1; }

  void RunPass(Side pass) {
    pass_ = pass;
    for (std::int32_t c = 0; c < Positions(); ++c) {
      ListFolder(c);
      if (!options_.SubFolder) break;
    }
    ReportCounter(true);
  }

  // A root that is not an absolute path (empty, or the computer's display name in the tree) names
  // no folder; listing it would read the current folder instead.
  FolderIdentity OpenRoot(const std::string& path, RootFolder& folder) {
    if (!IsAbsolutePath(path)) return FolderIdentity{};
    if (const FileResult opened = files_.OpenRoot(path, folder); !opened) {
      report_.UnreadableFolders.push_back({path, opened.Reason});
    }
    return folder.Identity();
  }

  const RootFolder& Folder(Side side) const {
    return side == Side::Main ? mainFolder_ : subFolder_;
  }

  void ListFolder(std::int32_t c) {
    if (c != 0 && !IsFolder(At(c).Attr)) return;
    const RootFolder& own = Folder(pass_);
    const RootFolder& other = Folder(OtherSide(pass_));
    if (!own.IsOpen()) return;
    const std::string relative = c == 0 ? std::string() : At(c).Path.str();
    const std::string prefix = c == 0 ? std::string() : relative + "/";
    if (options_.OneSideDir && c != 0 && (!other.IsOpen() || !files_.FolderExists(other, relative)))
      return;
    const std::uint64_t prefixHash = index_.Continue(PathIndex::Start(), prefix);
    const FileResult listed =
        files_.ListDirectory(own, relative, options_.AttrMask,
                             [&](const DirectoryEntry& d) { Accept(d, prefix, prefixHash, c); });
    // A folder of the other side only is not there to be read on this one.
    const bool sideExists = c == 0 || At(c).Exists(pass_);
    if (!listed && sideExists) {
      report_.UnreadableFolders.push_back({own.PathOf(relative), listed.Reason});
    }
  }

  void Accept(const DirectoryEntry& d, const std::string& prefix, std::uint64_t prefixHash,
              std::int32_t parent) {
    if (!IsFolder(d.Attr) && CheckFileName(filter_, d.Name) != NameShown) return;
    // A copy killed before it was placed may leave its named temporary: never a file of the user's.
    if (!IsFolder(d.Attr) && IsCopyTemporaryName(d.Name)) return;
    const std::uint64_t hash = index_.Continue(prefixHash, d.Name);
    // The sub pass merges into the entry of the same path that the main pass made.
    const std::int32_t found =
        pass_ == Side::Sub ? index_.Find(entries_, hash, prefix, d.Name) : -1;
    if (found >= 0) {
      PathEntry& e = entries_[static_cast<std::size_t>(found)];
      PathList::SetSide(e, pass_, d);
      if (options_.DirIgnore && IsFolder(e.Attr)) {
        e.Status = Same;
        ++list_.SameCount;
      } else {
        list_.CompareEntry(e);
      }
    } else {
      Append(d, prefix, parent, hash);
    }
    ReportCounter(false);
  }

  void Append(const DirectoryEntry& d, const std::string& prefix, std::int32_t parent,
              std::uint64_t hash) {
    PathEntry& e = entries_.emplace_back();
    e.Path = list_.Arena.Add(prefix, d.Name);
    e.Attr = d.Attr;
    e.CreatedIndex = Positions() - 1;
    e.ParentIndex = parent;
    e.Ignored = IsCopyIgnored(filter_, e.Path, e.Attr);
    PathList::SetSide(e, pass_, d);
    list_.CompareEntry(e);
    if (IsFolder(d.Attr)) ++list_.FolderCount;
    index_.Add(entries_, static_cast<std::int32_t>(entries_.size()) - 1, hash);
  }

  void ReportCounter(bool force) {
    if (!force && (++sinceCheck_ & 63) != 0) return;
    const auto now = std::chrono::steady_clock::now();
    if (onCounter_ && (force || now - lastReport_ >= CounterInterval)) {
      lastReport_ = now;
      onCounter_(
          ScanCounterText(pass_ == Side::Sub, Positions() - 1, list_.FolderCount, list_.SameCount));
    }
    if (shouldStop_ && shouldStop_()) throw ScanStopped{};
  }

  PathList& list_;
  const std::string& mainRoot_;
  const std::string& subRoot_;
  const ScanOptions& options_;
  const FilterSet& filter_;
  FileOperations& files_;
  const ScanCounterCallback& onCounter_;
  const ScanStopCheck& shouldStop_;
  EntryStore entries_;
  PathIndex index_;
  RootFolder mainFolder_;
  RootFolder subFolder_;
  ScanReport report_;
  Side pass_ = Side::Main;
  unsigned sinceCheck_ = 0;
  std::chrono::steady_clock::time_point lastReport_{};
};

}  // namespace

std::string UnreadableFoldersMessage(std::size_t count) {
  return FormatText(
      "%d個のフォルダを読めませんでした。その中のファイルは片方にしかないように見えることがあります"
      "（フォルダはメッセージのタブにあります）。",
      static_cast<int>(count));
}

std::string ScanCounterText(bool subPass, std::int32_t paths, std::int32_t folders,
                            std::int32_t same) {
  return subPass ? FormatText("全パス=%d　ディレクトリ=%d  同じパス=%d    ", paths, folders, same)
                 : FormatText("全パス=%d　ディレクトリ=%d  同じパス=%d            ", paths, folders,
                              same);
}

ScanReport ScanFolders(PathList& list, const std::string& mainRoot, const std::string& subRoot,
                       const ScanOptions& options, const FilterSet& filter, FileOperations& files,
                       const ScanCounterCallback& onCounter, const ScanStopCheck& shouldStop) {
  PathList fresh;
  ScanReport report;
  try {
    report = FolderScanner(fresh, mainRoot, subRoot, options, filter, files, onCounter, shouldStop)
                 .Run();
  } catch (const MaskError&) {
    list.Clear();
    throw;
  } catch (const ScanStopped&) {
    ScanReport stopped;
    stopped.Stopped = true;
    return stopped;
  }
  list = std::move(fresh);
  return report;
}

ScanReport ScanFolders(PathList& list, const std::string& mainRoot, const std::string& subRoot,
                       const ScanOptions& options, const FilterSet& filter,
                       const ScanCounterCallback& onCounter) {
  PosixFileOperations files;
  return ScanFolders(list, mainRoot, subRoot, options, filter, files, onCounter);
}

}  // namespace tarvex
