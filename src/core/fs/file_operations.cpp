#include "core/fs/file_operations.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <vector>

#include "core/fs/trash.h"
#include "core/fs/unique_fd.h"

namespace tarvex {
namespace {

// Large enough for the kernel to copy at full speed, small enough to start the write-back of one
// piece while the next is copied, so that the final fsync has little left to wait for.
constexpr std::size_t CopyChunk = 8u << 20;
constexpr std::size_t FallbackBuffer = 1u << 20;
constexpr const char* TemporaryMarker = ".tarvex-";

std::string ErrorText(int error) { return std::generic_category().message(error); }

FileResult Fail(FileStep step, int error, const std::string& what) {
  return FileResult::Failure(step, error, what + " (" + ErrorText(error) + ")");
}

bool HasNul(const std::string& text) { return text.find('\0') != std::string::npos; }

// The longest prefix of name that fits in bytes and does not end inside a UTF-8 sequence.
std::string FittingPrefix(const std::string& name, std::size_t bytes) {
  if (name.size() <= bytes) return name;
  std::size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  return name.substr(0, end);
}

// Makes an empty file ".<name>.tarvex-XXXXXX" in folder (which ends with "/"), created
// exclusively so that it can never be a file of somebody else's.
UniqueFd CreateTemporary(const std::string& folder, const std::string& name, std::string& path) {
  constexpr std::size_t fixed = 1 + std::char_traits<char>::length(TemporaryMarker) + 6;
  std::string pattern =
      folder + "." + FittingPrefix(name, NAME_MAX - fixed) + TemporaryMarker + "XXXXXX";
  UniqueFd fd(::mkostemp(pattern.data(), O_CLOEXEC));
  if (fd) path = pattern;
  return fd;
}

// Removes our own temporary file after a failure, keeping the failure's errno for the caller.
void RemoveTemporary(const std::string& path) {
  const int saved = errno;
  ::unlink(path.c_str());
  errno = saved;
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

}  // namespace

FileResult ForceFolderPath(const std::string& folder) {
  if (folder.empty() || folder[0] != '/' || HasNul(folder)) {
    return Fail(FileStep::CreateFolder, EINVAL, "フォルダのパスが正しくありません: " + folder);
  }
  std::string head;
  std::size_t pos = 1;
  while (pos <= folder.size()) {
    std::size_t next = folder.find('/', pos);
    if (next == std::string::npos) next = folder.size();
    if (next > pos) {  // empty levels ("//") add nothing
      head += '/';
      head.append(folder, pos, next - pos);
      struct stat st {};
      // stat, not lstat: a link to a folder is a way through, as it is for every later open.
      if (::stat(head.c_str(), &st) != 0) {
        if (errno != ENOENT)
          return Fail(FileStep::CreateFolder, errno, "フォルダを調べられません: " + head);
        // EEXIST: made meanwhile by somebody else; the stat below decides.
        if (::mkdir(head.c_str(), 0777) != 0 && errno != EEXIST) {
          return Fail(FileStep::CreateFolder, errno, "フォルダを作成できません: " + head);
        }
        if (::stat(head.c_str(), &st) != 0) {
          return Fail(FileStep::CreateFolder, errno, "フォルダを作成できません: " + head);
        }
      }
      if (!S_ISDIR(st.st_mode)) {
        return Fail(FileStep::CreateFolder, ENOTDIR, "フォルダの位置にファイルがあります: " + head);
      }
    }
    pos = next + 1;
  }
  return FileResult::Success();
}

FileResult PosixFileOperations::RecycleFile(const std::string& path) {
  return tarvex::RecycleFile(path);
}

FileResult PosixFileOperations::ForceFolderPath(const std::string& folder) {
  return tarvex::ForceFolderPath(folder);
}

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

FileResult PosixFileOperations::CopyFileData(int sourceFd, int destinationFd) {
  off_t inOffset = 0;
  off_t outOffset = 0;
  for (;;) {
    const ssize_t copied =
        ::copy_file_range(sourceFd, &inOffset, destinationFd, &outOffset, CopyChunk, 0);
    if (copied > 0) {
      // Start writing this piece out now; fsync at the end then waits for little.
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

FileResult PosixFileOperations::LinkNoReplace(const std::string& from, const std::string& to) {
  if (::link(from.c_str(), to.c_str()) != 0) {
    return Fail(FileStep::Place, errno, "コピーを置けません: " + to);
  }
  ::unlink(from.c_str());
  return FileResult::Success();
}

FileResult PosixFileOperations::RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return FileResult::Success();
  }
  // EINVAL: the file system does not know the flag. Never fall back to a plain rename, which
  // would replace a file that appeared meanwhile.
  if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP) return LinkNoReplace(from, to);
  return Fail(FileStep::Place, errno, "コピーを置けません: " + to);
}

FileResult PosixFileOperations::CopyOneFile(const std::string& source,
                                            const std::string& destination) {
  const std::size_t slash = destination.rfind('/');
  if (HasNul(source) || HasNul(destination) || destination.empty() || destination[0] != '/' ||
      slash + 1 == destination.size()) {
    return Fail(FileStep::CreateFolder, EINVAL, "コピー先のパスが正しくありません: " + destination);
  }
  // A relative source would be read from whatever the current folder is.
  if (source.empty() || source[0] != '/') {
    return Fail(FileStep::OpenSource, EINVAL, "コピー元のパスが正しくありません: " + source);
  }
  const std::string folder = destination.substr(0, slash + 1);
  const std::string name = destination.substr(slash + 1);
  if (name == "." || name == "..") {
    return Fail(FileStep::CreateFolder, EINVAL, "コピー先のパスが正しくありません: " + destination);
  }

  // O_NOFOLLOW: a link is not copied as the file it points to. O_NONBLOCK: a FIFO must not hang
  // the open; it is refused below like any other non-regular file.
  UniqueFd in(::open(source.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!in) {
    if (errno == ELOOP)
      return Fail(FileStep::OpenSource, ELOOP, "コピー元が通常のファイルではありません");
    return Fail(FileStep::OpenSource, errno, "コピー元を開けません");
  }
  struct stat sourceStat {};
  if (::fstat(in.get(), &sourceStat) != 0) {
    return Fail(FileStep::OpenSource, errno, "コピー元を開けません");
  }
  if (!S_ISREG(sourceStat.st_mode)) {
    return Fail(FileStep::OpenSource, EINVAL, "コピー元が通常のファイルではありません");
  }
  ::fcntl(in.get(), F_SETFL, ::fcntl(in.get(), F_GETFL) & ~O_NONBLOCK);
  ::posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

  // The folders come after the source check, so a missing source leaves no empty folders behind.
  if (FileResult made = ForceFolderPath(folder); !made) return made;

  struct stat destinationStat {};
  if (::lstat(destination.c_str(), &destinationStat) == 0) {
    // A folder of the same name is not this file's old version; trashing a whole tree as a side
    // effect of copying one file is not what anybody asked for.
    if (S_ISDIR(destinationStat.st_mode)) {
      return Fail(FileStep::Place, EISDIR, "コピー先はフォルダです: " + destination);
    }
    // Copying a file onto itself would send the only original to the trash.
    if (destinationStat.st_dev == sourceStat.st_dev &&
        destinationStat.st_ino == sourceStat.st_ino) {
      return Fail(FileStep::Place, EINVAL, "コピー元とコピー先が同じファイルです");
    }
  }

  std::string temporary;
  UniqueFd out = CreateTemporary(folder, name, temporary);
  if (!out) return Fail(FileStep::CreateTemporary, errno, "コピー先に書き込めません: " + folder);

  // Every failure from here on removes the temporary file, so none is ever left behind.
  auto failed = [&temporary](FileResult result) {
    RemoveTemporary(temporary);
    return result;
  };

  if (FileResult data = CopyFileData(in.get(), out.get()); !data) {
    data.Step = FileStep::CopyData;
    return failed(data);
  }
  // A copy shorter than its source (a short write reported as success, a source that changed
  // meanwhile) must not take the place of the old file.
  struct stat copyStat {};
  struct stat sourceNow {};
  if (::fstat(out.get(), &copyStat) != 0 || ::fstat(in.get(), &sourceNow) != 0) {
    return failed(Fail(FileStep::CopyData, errno, "コピーを確かめられません"));
  }
  if (copyStat.st_size != sourceNow.st_size) {
    return failed(Fail(FileStep::CopyData, EIO, "コピーの大きさがコピー元と違います"));
  }
  // We own the new file, so a refusal means the file system keeps no Unix modes (FAT sticks):
  // the copy is still good there. The time is different: without it the copy would look newer.
  if (::fchmod(out.get(), sourceStat.st_mode & 0777) != 0 && errno != EPERM &&
      errno != EOPNOTSUPP && errno != ENOSYS) {
    return failed(Fail(FileStep::SetAttributes, errno, "属性を設定できません"));
  }
  const struct timespec times[2] = {sourceNow.st_atim, sourceNow.st_mtim};
  if (::futimens(out.get(), times) != 0) {
    return failed(Fail(FileStep::SetAttributes, errno, "更新日時を設定できません"));
  }
  if (::fsync(out.get()) != 0)
    return failed(Fail(FileStep::CopyData, errno, "コピーを書き込めません"));
  if (out.Close() != 0) return failed(Fail(FileStep::CopyData, errno, "コピーを書き込めません"));

  // The copy is complete: only now may the old destination go.
  if (::lstat(destination.c_str(), &destinationStat) == 0) {
    if (S_ISDIR(destinationStat.st_mode)) {
      return failed(Fail(FileStep::Place, EISDIR, "コピー先はフォルダです: " + destination));
    }
    if (FileResult trashed = RecycleFile(destination); !trashed) {
      trashed.Step = FileStep::Trash;
      return failed(trashed);
    }
  }
  if (FileResult placed = RenameNoReplace(temporary, destination); !placed) {
    placed.Step = FileStep::Place;
    return failed(placed);
  }
  return FileResult::Success();
}

}  // namespace tarvex
