#include "core/fs/file_operations.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <utility>
#include <vector>

#include "core/fs/trash.h"
#include "core/fs/unique_fd.h"

namespace tarvex {
namespace {

// Large enough for the kernel to copy at full speed, small enough to start the write-back of one
// piece while the next is copied, so that a final fsync has little left to wait for. A file of
// one piece is left to the kernel's own write-back.
constexpr std::size_t CopyChunk = 8u << 20;
constexpr std::size_t FallbackBuffer = 1u << 20;

std::string ErrorText(int error) { return std::generic_category().message(error); }

FileResult Fail(FileStep step, int error, const std::string& what) {
  return FileResult::Failure(step, error, what + " (" + ErrorText(error) + ")");
}

FileResult ReadWriteLoop(int from, int to, off_t inOffset, off_t outOffset) {
  std::vector<char> buffer(FallbackBuffer);
  for (;;) {
    const ssize_t got = ::pread(from, buffer.data(), buffer.size(), inOffset);
    if (got < 0) {
      if (errno == EINTR) continue;
      return Fail(FileStep::CopyData, errno, "コピー元を読めません");
    }
    if (got == 0) return FileResult::Success();
    inOffset += got;
    for (ssize_t done = 0; done < got;) {
      const ssize_t put =
          ::pwrite(to, buffer.data() + done, static_cast<std::size_t>(got - done), outOffset);
      if (put < 0) {
        if (errno == EINTR) continue;
        return Fail(FileStep::CopyData, errno, "コピーを書き込めません");
      }
      // A write that takes nothing and reports no error can only mean the medium is full.
      if (put == 0) return Fail(FileStep::CopyData, ENOSPC, "コピーを書き込めません");
      done += put;
      outOffset += put;
    }
  }
}

// True where a file system refuses one way of placing as a whole, so that the next may be tried.
bool LacksRenameFlag(int error) {
  return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}
bool LacksHardLinks(int error) {
  return error == EPERM || error == ENOSYS || error == EOPNOTSUPP || error == EMLINK;
}

// Where a removal of one's own temporary must not hide the failure that made it necessary.
void UnlinkKeepingErrno(int folder, const std::string& name) {
  const int saved = errno;
  ::unlinkat(folder, name.c_str(), 0);
  errno = saved;
}

bool SameTime(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// The unnamed file is named through its /proc link: linkat with AT_EMPTY_PATH would need a
// privilege. Without /proc only named temporaries can be placed.
bool CanLinkUnnamed() {
  static const bool can = ::access("/proc/self/fd", X_OK) == 0;
  return can;
}

// Walks (and makes) the folders of relative below the root, one name at a time, never through a
// link; a name that is a file or a link stops it.
UniqueFd MakeFoldersBelow(const RootFolder& root, std::string_view relative, FileResult& result,
                          FileRecorder* recorder) {
  result = FileResult::Success();
  if (!root.IsOpen() || !IsRelativeBelowRoot(relative)) {
    result = Fail(FileStep::CreateFolder, EINVAL, "フォルダのパスが正しくありません");
    return UniqueFd();
  }
  UniqueFd current(::openat(root.Fd(), ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
  std::size_t start = 0;
  while (current && start < relative.size()) {
    std::size_t slash = relative.find('/', start);
    if (slash == std::string_view::npos) slash = relative.size();
    const std::string name(relative.substr(start, slash - start));
    start = slash + 1;
    const std::string shown = root.PathOf(relative.substr(0, slash));
    const int flags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    UniqueFd next(::openat(current.get(), name.c_str(), flags));
    if (!next && errno == ENOENT) {
      // EEXIST: made meanwhile by somebody else; the open below decides.
      if (::mkdirat(current.get(), name.c_str(), 0777) == 0) {
        if (recorder != nullptr) recorder->FolderCreated(root, relative.substr(0, slash));
      } else if (errno != EEXIST) {
        result = Fail(FileStep::CreateFolder, errno, "フォルダを作成できません: " + shown);
        return UniqueFd();
      }
      next = UniqueFd(::openat(current.get(), name.c_str(), flags));
    }
    if (!next) {
      if (errno == ENOTDIR || errno == ELOOP) {
        result = Fail(FileStep::CreateFolder, ENOTDIR,
                      "フォルダの位置にファイルかリンクがあります: " + shown);
      } else {
        result = Fail(FileStep::CreateFolder, errno, "フォルダを開けません: " + shown);
      }
      return UniqueFd();
    }
    current = std::move(next);
  }
  if (!current) result = Fail(FileStep::CreateFolder, errno, "フォルダを開けません");
  return current;
}

}  // namespace

FileResult PosixFileOperations::OpenRoot(const std::string& path, RootFolder& root) {
  if (const int error = root.Open(path); error != 0) {
    return Fail(FileStep::OpenFolder, error, "フォルダを開けません");
  }
  return FileResult::Success();
}

FileResult PosixFileOperations::ListDirectory(
    const RootFolder& root, const std::string& relative, std::uint32_t attrMask,
    const std::function<void(const DirectoryEntry&)>& onEntry) {
  UniqueFd folder = OpenBelow(root, relative, O_RDONLY | O_DIRECTORY);
  if (!folder) return Fail(FileStep::OpenFolder, errno, "フォルダを読めません");
  if (const int error = ListDirectoryAt(std::move(folder), attrMask, onEntry); error != 0) {
    return Fail(FileStep::OpenFolder, error, "フォルダを最後まで読めません");
  }
  return FileResult::Success();
}

bool PosixFileOperations::ReadDirectoryEntry(const RootFolder& root, const std::string& relative,
                                             DirectoryEntry& entry) {
  if (relative.empty()) {
    struct stat st {};
    if (!root.IsOpen() || ::fstat(root.Fd(), &st) != 0) return false;
    FillDirectoryEntry(st, entry);
    entry.Name.clear();
    return true;
  }
  std::string name;
  const UniqueFd folder = OpenParentBelow(root, relative, name);
  return folder && ReadDirectoryEntryAt(folder.get(), name, entry);
}

bool PosixFileOperations::FolderExists(const RootFolder& root, const std::string& relative) {
  return static_cast<bool>(OpenBelow(root, relative, O_PATH | O_DIRECTORY));
}

bool PosixFileOperations::IsPathAbsent(const RootFolder& root, const std::string& relative) {
  // A name on the way that is a file or a link is no folder below the root: nothing of the
  // tree is at the path.
  const auto gone = [](int error) { return error == ENOENT || error == ENOTDIR || error == ELOOP; };
  if (relative.empty()) return false;
  std::string name;
  const UniqueFd folder = OpenParentBelow(root, relative, name);
  if (!folder) return gone(errno);
  struct stat st {};
  return ::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 && gone(errno);
}

FileResult PosixFileOperations::RecycleFile(const RootFolder& root, const std::string& relative) {
  std::string name;
  const UniqueFd folder = OpenParentBelow(root, relative, name);
  if (!folder) return Fail(FileStep::Trash, errno, "ごみ箱へ移せません: フォルダを開けません");
  TrashedItem trashed;
  FileResult gone = TrashEntry(folder.get(), name, name, root.PathOf(relative), trashed);
  if (gone && Recorder() != nullptr) Recorder()->FileTrashed(root, relative, trashed);
  return gone;
}

FileResult PosixFileOperations::ForceFolderPath(const RootFolder& root,
                                                const std::string& relative) {
  FileResult result;
  MakeFoldersBelow(root, relative, result, Recorder());
  return result;
}

FileResult PosixFileOperations::TrashIfUnchanged(const RootFolder& root,
                                                 const std::string& relative,
                                                 const FileIdentity& identity) {
  std::string name;
  const UniqueFd folder = OpenParentBelow(root, relative, name);
  FileIdentity now;
  if (!folder || !ReadFileIdentity(folder.get(), name, now)) {
    return Fail(FileStep::Trash, errno, "ファイルがありません");
  }
  if (now != identity) {
    return FileResult::Failure(FileStep::Trash, EEXIST, "後から変更されたファイルです");
  }
  TrashedItem trashed;
  return TrashEntry(folder.get(), name, name, root.PathOf(relative), trashed);
}

FileResult PosixFileOperations::RestoreTrashItem(const TrashLocation& item, const RootFolder& root,
                                                 const std::string& relative) {
  TrashedItem trashed;
  trashed.Files = UniqueFd(::open(item.FilesFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  trashed.Info = UniqueFd(::open(item.InfoFolder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  trashed.Name = item.Name;
  FileIdentity inTrash;
  if (!trashed.Files || !ReadFileIdentity(trashed.Files.get(), item.Name, inTrash)) {
    return Fail(FileStep::Place, errno, "ごみ箱にありません");
  }
  // The trash may have been emptied and the name given to another item since.
  if (inTrash.Device != item.Identity.Device || inTrash.Inode != item.Identity.Inode) {
    return FileResult::Failure(FileStep::Place, ENOENT, "ごみ箱の同じ名前は別のファイルです");
  }
  std::string name;
  const UniqueFd folder = OpenParentBelow(root, relative, name);
  if (!folder) return Fail(FileStep::Place, errno, "戻す先のフォルダを開けません");
  FileResult back = RestoreFromTrash(trashed, folder.get(), name, root.PathOf(relative));
  if (!back && back.Error == EEXIST) back.Reason = "戻す先に別のファイルがあります";
  return back;
}

FileResult PosixFileOperations::RemoveEmptyFolder(const RootFolder& root,
                                                  const std::string& relative) {
  std::string name;
  const UniqueFd folder = OpenParentBelow(root, relative, name);
  if (!folder || ::unlinkat(folder.get(), name.c_str(), AT_REMOVEDIR) != 0) {
    if (errno == ENOTEMPTY || errno == EEXIST) {
      return FileResult::Failure(FileStep::CreateFolder, errno, "フォルダが空ではありません");
    }
    return Fail(FileStep::CreateFolder, errno, "フォルダを削除できません");
  }
  return FileResult::Success();
}

FileResult PosixFileOperations::TrashEntry(int folder, const std::string& name,
                                           const std::string& originalName, const std::string& path,
                                           TrashedItem& trashed) {
  return MoveToTrashAs(folder, name, originalName, path, trashed);
}

FileResult PosixFileOperations::CreateUnnamedTemporary(int folder, UniqueFd& file) {
  if (!CanLinkUnnamed()) return Fail(FileStep::CreateTemporary, EOPNOTSUPP, "/proc がありません");
  file = UniqueFd(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
  if (!file) return Fail(FileStep::CreateTemporary, errno, "一時ファイルを作れません");
  return FileResult::Success();
}

FileResult PosixFileOperations::LinkUnnamed(int file, int folder, const std::string& name,
                                            const std::string& path) {
  const std::string link = "/proc/self/fd/" + std::to_string(file);
  if (::linkat(AT_FDCWD, link.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
    return Fail(FileStep::Place, errno, "コピーを置けません: " + path);
  }
  return FileResult::Success();
}

FileResult PosixFileOperations::RenameNoReplace(int fromFolder, const std::string& from,
                                                int toFolder, const std::string& to,
                                                const std::string& path) {
  if (::renameat2(fromFolder, from.c_str(), toFolder, to.c_str(), RENAME_NOREPLACE) != 0) {
    return Fail(FileStep::Place, errno, "コピーを置けません: " + path);
  }
  return FileResult::Success();
}

FileResult PosixFileOperations::LinkNoReplace(int fromFolder, const std::string& from, int toFolder,
                                              const std::string& to, const std::string& path) {
  if (::linkat(fromFolder, from.c_str(), toFolder, to.c_str(), 0) != 0) {
    return Fail(FileStep::Place, errno, "コピーを置けません: " + path);
  }
  ::unlinkat(fromFolder, from.c_str(), 0);
  return FileResult::Success();
}

FileResult PosixFileOperations::RenameOverAbsent(int fromFolder, const std::string& from,
                                                 int toFolder, const std::string& to,
                                                 const std::string& path) {
  // The file system offers no way to refuse a replacement: the name is checked right before,
  // so only a file made between these two calls could be replaced.
  struct stat st {};
  if (::fstatat(toFolder, to.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
    return Fail(FileStep::Place, EEXIST, "コピーを置けません: " + path);
  }
  if (errno != ENOENT) return Fail(FileStep::Place, errno, "コピーを置けません: " + path);
  if (::renameat(fromFolder, from.c_str(), toFolder, to.c_str()) != 0) {
    return Fail(FileStep::Place, errno, "コピーを置けません: " + path);
  }
  return FileResult::Success();
}

FileResult PosixFileOperations::ExchangeNames(int folder, const std::string& first,
                                              const std::string& second, const std::string& path) {
  if (::renameat2(folder, first.c_str(), folder, second.c_str(), RENAME_EXCHANGE) != 0) {
    return Fail(FileStep::Place, errno, "コピーを置けません: " + path);
  }
  return FileResult::Success();
}

FileResult PosixFileOperations::MoveNoReplace(int fromFolder, const std::string& from, int toFolder,
                                              const std::string& to, const std::string& path) {
  FileResult moved = RenameNoReplace(fromFolder, from, toFolder, to, path);
  if (moved || !LacksRenameFlag(moved.Error)) return moved;
  moved = LinkNoReplace(fromFolder, from, toFolder, to, path);
  if (moved || !LacksHardLinks(moved.Error)) return moved;
  return RenameOverAbsent(fromFolder, from, toFolder, to, path);
}

FileResult PosixFileOperations::RestoreFromTrash(TrashedItem& trashed, int folder,
                                                 const std::string& name, const std::string& path) {
  FileResult back = MoveNoReplace(trashed.Files.get(), trashed.Name, folder, name, path);
  if (back) ForgetTrashRecord(trashed);
  return back;
}

FileResult PosixFileOperations::CreateTemporary(int folder, const std::string& name,
                                                const std::string& path, CopyTemporary& temporary) {
  if (CreateUnnamedTemporary(folder, temporary.File)) return FileResult::Success();
  // A name of our own, created exclusively so that it can never be a file of somebody else's.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string candidate = CopyTemporaryName(name, RandomTemporarySuffix());
    temporary.File = UniqueFd(::openat(folder, candidate.c_str(),
                                       O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (temporary.File) {
      temporary.Name = candidate;
      return FileResult::Success();
    }
    if (errno != EEXIST) break;
  }
  const std::string where = path.substr(0, path.rfind('/') + 1);
  return Fail(FileStep::CreateTemporary, errno, "コピー先に書き込めません: " + where);
}

FileResult PosixFileOperations::PlaceTemporary(CopyTemporary& temporary, int folder,
                                               const std::string& name, const std::string& path) {
  if (temporary.Name.empty()) return LinkUnnamed(temporary.File.get(), folder, name, path);
  FileResult placed = MoveNoReplace(folder, temporary.Name, folder, name, path);
  if (placed) temporary.Name.clear();
  return placed;
}

// What the steps of one copy share.
struct PosixFileOperations::CopyJob {
  const RootFolder* DestinationRoot = nullptr;
  std::string Relative;
  CopyWhen When = CopyWhen::Always;
  std::string Destination;  // as a person reads it, for messages
  std::string Name;         // the file's name in both folders
  UniqueFd Source;
  struct stat SourceStat {};
  UniqueFd Folder;  // the destination's folder
  bool DestinationExists = false;
  CopyTemporary Temporary;
  // The finished copy's device and inode, which tell it from anything that takes its name later.
  struct stat CopyStat {};
  TrashedItem Trashed;
};

FileResult PosixFileOperations::CopyOneFile(const RootFolder& sourceRoot,
                                            const RootFolder& destinationRoot,
                                            const std::string& relative, CopyWhen when) {
  CopyJob job;
  job.DestinationRoot = &destinationRoot;
  job.Relative = relative;
  job.When = when;
  job.Destination = destinationRoot.PathOf(relative);
  if (FileResult ok = CheckCopyRequest(job); !ok) return ok;
  if (FileResult ok = OpenCopySource(sourceRoot, job); !ok) return ok;
  // The folders come after the source check, so a missing source leaves no empty folders behind.
  if (FileResult ok = OpenDestinationFolder(destinationRoot, job); !ok) return ok;
  if (FileResult ok = CheckDestination(job); !ok) return ok;
  if (FileResult ok = CreateTemporary(job.Folder.get(), job.Name, job.Destination, job.Temporary);
      !ok) {
    return ok;
  }
  FileResult done = WriteCopy(job);
  if (done) done = VerifyCopy(job);
  if (done) done = StampCopy(job);
  // The copy is complete: only now may the old destination go.
  if (done) done = CheckDestination(job);
  if (done) done = FlushCopy(job);
  if (done) done = ReplaceDestination(job);
  // Every failure after the temporary was made removes it, so none is ever left behind.
  if (!done) DiscardTemporary(job);
  if (done) RecordCopy(job);
  return done;
}

void PosixFileOperations::RecordCopy(const CopyJob& job) {
  FileRecorder* recorder = Recorder();
  if (recorder == nullptr) return;
  // The old file first: taking the command back removes the copy before the old one returns.
  if (job.Trashed.Files) recorder->FileTrashed(*job.DestinationRoot, job.Relative, job.Trashed);
  FileIdentity placed;
  if (ReadFileIdentity(job.Folder.get(), job.Name, placed) &&
      placed.Inode == static_cast<std::uint64_t>(job.CopyStat.st_ino)) {
    recorder->FileCreated(*job.DestinationRoot, job.Relative, placed);
  }
}

FileResult PosixFileOperations::CheckCopyRequest(const CopyJob& job) {
  if (job.Relative.empty() || !IsRelativeBelowRoot(job.Relative)) {
    return Fail(FileStep::CreateFolder, EINVAL,
                "コピー先のパスが正しくありません: " + job.Destination);
  }
  return FileResult::Success();
}

FileResult PosixFileOperations::OpenCopySource(const RootFolder& sourceRoot, CopyJob& job) {
  // O_NOFOLLOW: a link is not copied as the file it points to. O_NONBLOCK: a FIFO must not hang
  // the open; it is refused below like any other non-regular file.
  const UniqueFd sourceFolder = OpenParentBelow(sourceRoot, job.Relative, job.Name);
  if (sourceFolder) {
    job.Source = UniqueFd(::openat(sourceFolder.get(), job.Name.c_str(),
                                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  }
  if (!job.Source) {
    if (errno == ELOOP)
      return Fail(FileStep::OpenSource, ELOOP, "コピー元が通常のファイルではありません");
    return Fail(FileStep::OpenSource, errno, "コピー元を開けません");
  }
  const int in = job.Source.get();
  if (::fstat(in, &job.SourceStat) != 0) {
    return Fail(FileStep::OpenSource, errno, "コピー元を開けません");
  }
  if (!S_ISREG(job.SourceStat.st_mode)) {
    return Fail(FileStep::OpenSource, EINVAL, "コピー元が通常のファイルではありません");
  }
  ::fcntl(in, F_SETFL, ::fcntl(in, F_GETFL) & ~O_NONBLOCK);
  ::posix_fadvise(in, 0, 0, POSIX_FADV_SEQUENTIAL);
  return FileResult::Success();
}

FileResult PosixFileOperations::OpenDestinationFolder(const RootFolder& destinationRoot,
                                                      CopyJob& job) {
  FileResult made;
  job.Folder = MakeFoldersBelow(destinationRoot, ParentPart(job.Relative), made, Recorder());
  return made;
}

FileResult PosixFileOperations::CheckDestination(CopyJob& job) {
  // Checked once before the copy and again right before the old one goes: a folder is not this
  // file's old version, and the source itself must never be sent to the trash.
  struct stat st {};
  job.DestinationExists =
      ::fstatat(job.Folder.get(), job.Name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
  if (!job.DestinationExists) {
    if (errno == ENOENT) return FileResult::Success();
    return Fail(FileStep::Place, errno, "コピー先を調べられません: " + job.Destination);
  }
  if (S_ISDIR(st.st_mode)) {
    return Fail(FileStep::Place, EISDIR, "コピー先はフォルダです: " + job.Destination);
  }
  if (st.st_dev == job.SourceStat.st_dev && st.st_ino == job.SourceStat.st_ino) {
    return Fail(FileStep::Place, EINVAL, "コピー元とコピー先が同じファイルです");
  }
  // The times as the list compares them: local, in 2-second steps.
  if (job.When == CopyWhen::SourceNewer &&
      !(PackedLocalTime(job.SourceStat.st_mtim.tv_sec) > PackedLocalTime(st.st_mtim.tv_sec))) {
    return FileResult::Failure(FileStep::NotNewer, EEXIST,
                               "コピー先がコピー元と同じ時刻か、より新しくなっています");
  }
  return FileResult::Success();
}

FileResult PosixFileOperations::WriteCopy(CopyJob& job) {
  FileResult data = CopyFileData(job.Source.get(), job.Temporary.File.get());
  if (!data) data.Step = FileStep::CopyData;
  return data;
}

FileResult PosixFileOperations::VerifyCopy(CopyJob& job) {
  struct stat& copyStat = job.CopyStat;
  struct stat sourceNow {};
  if (::fstat(job.Temporary.File.get(), &copyStat) != 0 ||
      ::fstat(job.Source.get(), &sourceNow) != 0) {
    return Fail(FileStep::CopyData, errno, "コピーを確かめられません");
  }
  // A source rewritten while it was read would give a copy with the new time and partly old
  // bytes, which would then pass for equal for ever.
  const struct stat& before = job.SourceStat;
  if (sourceNow.st_size != before.st_size || !SameTime(sourceNow.st_mtim, before.st_mtim) ||
      !SameTime(sourceNow.st_ctim, before.st_ctim)) {
    return Fail(FileStep::CopyData, EAGAIN, "コピー中にコピー元が変わりました");
  }
  // A copy shorter than its source (a short write reported as success) must not take the place
  // of the old file.
  if (copyStat.st_size != sourceNow.st_size) {
    return Fail(FileStep::CopyData, EIO, "コピーの大きさがコピー元と違います");
  }
  return FileResult::Success();
}

FileResult PosixFileOperations::StampCopy(CopyJob& job) {
  const int copy = job.Temporary.File.get();
  // We own the new file, so a refusal means the file system keeps no Unix modes (FAT sticks):
  // the copy is still good there. The time is different: without it the copy would look newer.
  if (::fchmod(copy, job.SourceStat.st_mode & 0777) != 0 && errno != EPERM && errno != EOPNOTSUPP &&
      errno != ENOSYS) {
    return Fail(FileStep::SetAttributes, errno, "属性を設定できません");
  }
  const struct timespec times[2] = {job.SourceStat.st_atim, job.SourceStat.st_mtim};
  if (::futimens(copy, times) != 0) {
    return Fail(FileStep::SetAttributes, errno, "更新日時を設定できません");
  }
  return FileResult::Success();
}

FileResult PosixFileOperations::FlushCopy(CopyJob& job) {
  // Over an old file the copy must be on the disk before the names change: the old file's last
  // good version then never depends on data still in memory. At a free name nothing is replaced;
  // a killed process leaves the written pages to the kernel all the same, and the command flushes
  // the volume once at its end (FlushVolume).
  if (job.DestinationExists && ::fsync(job.Temporary.File.get()) != 0)
    return Fail(FileStep::CopyData, errno, "コピーを書き込めません");
  // A named temporary is complete once closed; an unnamed one stays open until it has its name.
  if (!job.Temporary.Name.empty() && job.Temporary.File.Close() != 0)
    return Fail(FileStep::CopyData, errno, "コピーを書き込めません");
  return FileResult::Success();
}

FileResult PosixFileOperations::FlushVolume(const RootFolder& root) {
  // The root is held as a path descriptor, which syncfs does not take.
  const UniqueFd folder = OpenBelow(root, "", O_RDONLY | O_DIRECTORY);
  if (!folder || ::syncfs(folder.get()) != 0)
    return Fail(FileStep::CopyData, errno, "コピー先を書き込めません: " + root.Path());
  return FileResult::Success();
}

FileResult PosixFileOperations::ReplaceDestination(CopyJob& job) {
  if (!job.DestinationExists) return PlaceAtFreeName(job);
  if (FileResult named = NameTemporaryCopy(job); !named) return named;
  return ExchangeThenTrash(job);
}

FileResult PosixFileOperations::PlaceAtFreeName(CopyJob& job) {
  FileResult placed = PlaceTemporary(job.Temporary, job.Folder.get(), job.Name, job.Destination);
  if (!placed) placed.Step = FileStep::Place;
  return placed;
}

FileResult PosixFileOperations::NameTemporaryCopy(CopyJob& job) {
  if (!job.Temporary.Name.empty()) return FileResult::Success();
  FileResult linked;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string candidate = CopyTemporaryName(job.Name, RandomTemporarySuffix());
    linked = LinkUnnamed(job.Temporary.File.get(), job.Folder.get(), candidate, job.Destination);
    if (linked) {
      job.Temporary.Name = candidate;
      return linked;
    }
    if (linked.Error != EEXIST) break;
  }
  linked.Step = FileStep::Place;
  return linked;
}

FileResult PosixFileOperations::ExchangeThenTrash(CopyJob& job) {
  const int folder = job.Folder.get();
  FileResult swapped = ExchangeNames(folder, job.Temporary.Name, job.Name, job.Destination);
  if (!swapped) {
    if (LacksRenameFlag(swapped.Error)) return TrashThenPlace(job);
    swapped.Step = FileStep::Place;
    return swapped;
  }
  // The copy has the destination's name now, and the temporary name holds the old file, which
  // must therefore never be discarded as the copy's.
  const std::string oldAside = std::exchange(job.Temporary.Name, std::string());
  FileResult gone = TrashEntry(folder, oldAside, job.Name, job.Destination, job.Trashed);
  if (gone) return gone;
  gone.Step = FileStep::Trash;
  return SwapBack(job, oldAside, std::move(gone));
}

FileResult PosixFileOperations::SwapBack(CopyJob& job, const std::string& oldAside,
                                         FileResult refused) {
  if (ExchangeNames(job.Folder.get(), oldAside, job.Name, job.Destination)) {
    job.Temporary.Name = oldAside;
  } else {
    // The copy keeps the name; the old file is not lost, only hidden under the temporary name.
    const std::string aside = job.Destination.substr(0, job.Destination.rfind('/') + 1) + oldAside;
    refused.Reason += "。元のファイルは " + aside + " にあります";
  }
  return refused;
}

FileResult PosixFileOperations::TrashThenPlace(CopyJob& job) {
  const int folder = job.Folder.get();
  if (FileResult gone = TrashEntry(folder, job.Name, job.Name, job.Destination, job.Trashed);
      !gone) {
    gone.Step = FileStep::Trash;
    return gone;
  }
  FileResult placed = PlaceAtFreeName(job);
  if (!placed) {
    // The destination's name must not end up empty: the old file comes back from the trash,
    // unless a file took the name meanwhile.
    const FileResult back = RestoreFromTrash(job.Trashed, folder, job.Name, job.Destination);
    placed.Reason += back ? "。元のファイルを戻しました" : "。元のファイルはごみ箱にあります";
  }
  return placed;
}

void PosixFileOperations::DiscardTemporary(CopyJob& job) {
  if (job.Temporary.Name.empty()) return;
  // Once the copy is finished (and may have been swapped with the old file) only the copy itself
  // is ever removed, never a file that took its name meanwhile.
  if (job.CopyStat.st_ino != 0) {
    struct stat st {};
    if (::fstatat(job.Folder.get(), job.Temporary.Name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        st.st_dev != job.CopyStat.st_dev || st.st_ino != job.CopyStat.st_ino) {
      return;
    }
  }
  UnlinkKeepingErrno(job.Folder.get(), job.Temporary.Name);
}

FileResult PosixFileOperations::CopyFileData(int sourceFd, int destinationFd) {
  off_t inOffset = 0;
  off_t outOffset = 0;
  for (;;) {
    const ssize_t copied =
        ::copy_file_range(sourceFd, &inOffset, destinationFd, &outOffset, CopyChunk, 0);
    if (copied > 0) {
      // Start writing this piece out now; a flush at the end then waits for little.
      if (static_cast<std::size_t>(copied) == CopyChunk)
        ::sync_file_range(destinationFd, outOffset - copied, copied, SYNC_FILE_RANGE_WRITE);
      continue;
    }
    if (copied == 0) {
      // Some files report no size to the kernel's copy (generated content): read them to the end.
      if (inOffset == 0) return ReadWriteLoop(sourceFd, destinationFd, inOffset, outOffset);
      return FileResult::Success();
    }
    if (errno == EINTR) continue;
    // No copy offload between these two files (other file system types, old kernels): copy by hand
    // from where the kernel stopped.
    if (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL ||
        errno == EBADF || errno == EPERM) {
      return ReadWriteLoop(sourceFd, destinationFd, inOffset, outOffset);
    }
    return Fail(FileStep::CopyData, errno, "コピーを書き込めません");
  }
}

}  // namespace tarvex
