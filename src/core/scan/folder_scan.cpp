#include "core/scan/folder_scan.h"

#include <chrono>

#include "core/fs/copy_temporary.h"
#include "core/fs/path.h"
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
    PathEntry root;
    root.Path = mainRoot_;
    root.Attr = AttrDirectory;
    list_.Entries.push_back(std::move(root));
    list_.PathCount = 1;

    RunPass(Side::Main);
    list_[0].Path = subRoot_;
    list_[0].Attr = AttrDirectory;
    RunPass(Side::Sub);

    // CreatedIndex and ParentIndex keep counting the provisional root.
    list_.Entries.erase(list_.Entries.begin());
    --list_.PathCount;
    return std::move(report_);
  }

 private:
  void RunPass(Side pass) {
    pass_ = pass;
    for (std::int32_t c = 0; c < list_.PathCount; ++c) {
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
    if (!IsFolder(list_[c].Attr)) return;
    const RootFolder& own = Folder(pass_);
    const RootFolder& other = Folder(OtherSide(pass_));
    if (!own.IsOpen()) return;
    const std::string relative = c == 0 ? std::string() : list_[c].Path;
    const std::string prefix = c == 0 ? std::string() : relative + "/";
    if (options_.OneSideDir && c != 0 && (!other.IsOpen() || !files_.FolderExists(other, relative)))
      return;
    const FileResult listed = files_.ListDirectory(
        own, relative, options_.AttrMask, [&](const DirectoryEntry& d) { Accept(d, prefix, c); });
    // A folder of the other side only is not there to be read on this one.
    const bool sideExists = c == 0 || list_[c].Exists(pass_);
    if (!listed && sideExists) {
      report_.UnreadableFolders.push_back({own.PathOf(relative), listed.Reason});
    }
  }

  void Accept(const DirectoryEntry& d, const std::string& prefix, std::int32_t parent) {
    if (!IsFolder(d.Attr) && CheckFileName(filter_, d.Name) != NameShown) return;
    // A copy killed before it was placed may leave its named temporary: never a file of the user's.
    if (!IsFolder(d.Attr) && IsCopyTemporaryName(d.Name)) return;
    // The sub pass merges into the entry of the same path that the main pass made.
    const std::int32_t i = pass_ == Side::Sub ? FindEntry(prefix, d.Name) : -1;
    if (i >= 0) {
      list_.SetSide(i, pass_, d);
      if (options_.DirIgnore && IsFolder(list_[i].Attr)) {
        list_[i].Status = Same;
        ++list_.SameCount;
      } else {
        list_.CompareEntry(i);
      }
    } else {
      Append(d, prefix, parent);
    }
    ReportCounter(false);
  }

  std::int32_t FindEntry(const std::string& prefix, const std::string& name) {
    relative_.assign(prefix).append(name);
    return index_.Find(list_.Entries, relative_);
  }

  void Append(const DirectoryEntry& d, const std::string& prefix, std::int32_t parent) {
    const std::int32_t index = list_.PathCount;
    NewPathEntry(index, d, prefix, parent);
    ++list_.PathCount;
    list_.SetSide(index, pass_, d);
    list_.CompareEntry(index);
    if (IsFolder(d.Attr)) ++list_.FolderCount;
    index_.Add(list_.Entries, index);
  }

  void NewPathEntry(std::int32_t index, const DirectoryEntry& d, const std::string& prefix,
                    std::int32_t parent) {
    PathEntry e;
    e.Path.reserve(prefix.size() + d.Name.size());
    e.Path.assign(prefix).append(d.Name);
    e.Attr = d.Attr;
    e.CreatedIndex = index;
    e.ParentIndex = parent;
    e.Ignored = IsCopyIgnored(filter_, e.Path, e.Attr);
    e.Status = Same;
    list_.Entries.push_back(std::move(e));
  }

  void ReportCounter(bool force) {
    if (!force && (++sinceCheck_ & 63) != 0) return;
    const auto now = std::chrono::steady_clock::now();
    if (onCounter_ && (force || now - lastReport_ >= CounterInterval)) {
      lastReport_ = now;
      onCounter_(ScanCounterText(pass_ == Side::Sub, list_.PathCount - 1, list_.FolderCount,
                                 list_.SameCount));
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
  PathIndex index_;
  RootFolder mainFolder_;
  RootFolder subFolder_;
  ScanReport report_;
  Side pass_ = Side::Main;
  std::string relative_;
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
