#include "core/fs/trash.h"

#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <ctime>
#include <system_error>

#include "core/fs/path.h"
#include "core/fs/write_all.h"
#include "core/text/format_text.h"
#include "core/text/percent_encoding.h"

namespace tarvex {
namespace {

constexpr const char* InfoSuffix = ".trashinfo";
constexpr int MaxCandidates = 10000;

FileResult Refused(int error, const std::string& why) {
  return FileResult::Failure(
      FileStep::Trash, error,
      "ごみ箱へ移せません: " + why + " (" + std::generic_category().message(error) + ")");
}

// One level made unless it is there, then opened without following a link.
UniqueFd MakeAndOpen(int at, const std::string& name) {
  if (::mkdirat(at, name.c_str(), 0700) != 0 && errno != EEXIST) return UniqueFd();
  return UniqueFd(::openat(at, name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

struct TrashFolder {
  UniqueFd Files;
  UniqueFd Info;
  UniqueFd Top;  // the volume's top for a volume trash; empty for the home trash
};

bool OpenFilesAndInfo(int trash, TrashFolder& out) {
  out.Files = MakeAndOpen(trash, "files");
  out.Info = MakeAndOpen(trash, "info");
  return out.Files && out.Info;
}

// Every missing level of an absolute path, 0700 as the XDG folders are made.
bool MakeFolders(const std::string& path) {
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
    if (slash == std::string::npos) return true;
  }
}

// The home trash, when it is on the file's volume (a rename cannot leave a volume). It is made on
// first use, so the volume is that of the nearest folder above it that exists.
bool OpenHomeTrash(dev_t device, TrashFolder& out) {
  const char* data = g_get_user_data_dir();
  if (data == nullptr || data[0] != '/') return false;
  const std::string trash = JoinPath(data, "Trash");
  std::string probe = trash;
  struct stat st {};
  while (::stat(probe.c_str(), &st) != 0) {
    if (errno != ENOENT || probe.size() <= 1) return false;
    const std::size_t slash = probe.rfind('/');
    probe.resize(slash == 0 ? 1 : slash);
  }
  if (st.st_dev != device || !MakeFolders(trash)) return false;
  const UniqueFd folder(::open(trash.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  return folder && OpenFilesAndInfo(folder.get(), out);
}

// The top folder of the volume that holds folder: going up until the device changes or there is
// no parent.
UniqueFd VolumeTop(int folder) {
  UniqueFd current(::openat(folder, ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
  struct stat here {};
  if (!current || ::fstat(current.get(), &here) != 0) return UniqueFd();
  for (;;) {
    UniqueFd parent(::openat(current.get(), "..", O_PATH | O_DIRECTORY | O_CLOEXEC));
    struct stat up {};
    if (!parent || ::fstat(parent.get(), &up) != 0) return current;
    if (up.st_dev != here.st_dev || up.st_ino == here.st_ino) return current;
    current = std::move(parent);
    here = up;
  }
}

// A trash folder of ours in at: a real folder (no link) owned by us.
bool OpenOwnTrash(int at, const std::string& name, TrashFolder& out) {
  const UniqueFd trash = MakeAndOpen(at, name);
  struct stat st {};
  if (!trash || ::fstat(trash.get(), &st) != 0 || st.st_uid != ::geteuid()) return false;
  return OpenFilesAndInfo(trash.get(), out);
}

bool OpenVolumeTrash(int folder, TrashFolder& out) {
  out.Top = VolumeTop(folder);
  if (!out.Top) return false;
  const std::string uid = std::to_string(::geteuid());
  // $top/.Trash/$uid only where .Trash is a real folder with the sticky bit, without which other
  // users could rename our folder in it away; otherwise $top/.Trash-$uid.
  struct stat st {};
  if (::fstatat(out.Top.get(), ".Trash", &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode) &&
      (st.st_mode & S_ISVTX) != 0) {
    const UniqueFd shared(
        ::openat(out.Top.get(), ".Trash", O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (shared && OpenOwnTrash(shared.get(), uid, out)) return true;
  }
  return OpenOwnTrash(out.Top.get(), ".Trash-" + uid, out);
}

std::string FolderPathOf(int fd) {
  std::string path(PATH_MAX, '\0');
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t got = ::readlink(link.c_str(), path.data(), path.size());
  if (got <= 0 || static_cast<std::size_t>(got) >= path.size()) return {};
  path.resize(static_cast<std::size_t>(got));
  return path;
}

// The original location as a record holds it: for a volume trash relative to the volume's top
// (so the volume may be mounted elsewhere), else the absolute path; percent-encoded bytes but "/"
// and the unreserved characters.
std::string RecordedPath(const TrashFolder& trash, int folder, const std::string& name,
                         const std::string& path) {
  std::string location = path;
  if (trash.Top) {
    const std::string top = FolderPathOf(trash.Top.get());
    const std::string here = FolderPathOf(folder);
    if (!top.empty() && !here.empty()) {
      const std::string full = JoinPath(here, name);
      const std::string prefix = top == "/" ? top : top + "/";
      if (full.rfind(prefix, 0) == 0) location = full.substr(prefix.size());
    }
  }
  return PercentEncoded(location);
}

// The longest prefix of name that fits in bytes and does not end inside a UTF-8 sequence.
std::string FittingPrefix(const std::string& name, std::size_t bytes) {
  if (name.size() <= bytes) return name;
  std::size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
  return name.substr(0, end);
}

}  // namespace

FileResult MoveToTrash(int folder, const std::string& name, const std::string& path,
                       TrashedItem& trashed) {
  return MoveToTrashAs(folder, name, name, path, trashed);
}

FileResult MoveToTrashAs(int folder, const std::string& name, const std::string& originalName,
                         const std::string& path, TrashedItem& trashed) {
  struct stat item {};
  if (::fstatat(folder, name.c_str(), &item, AT_SYMLINK_NOFOLLOW) != 0) {
    return Refused(errno, "ファイルがありません");
  }
  TrashFolder trash;
  errno = 0;
  if (!OpenHomeTrash(item.st_dev, trash) && !OpenVolumeTrash(folder, trash)) {
    return Refused(errno != 0 ? errno : ENOTSUP, "このボリュームにごみ箱を作れません");
  }

  // The record's name reserves the item's name in the trash: made exclusively, so two trashings
  // of one name never meet. A name too long for its record is shortened; the record keeps it.
  const std::string base =
      FittingPrefix(originalName, NAME_MAX - std::char_traits<char>::length(InfoSuffix) - 6);
  const std::string record =
      "[Trash Info]\nPath=" + RecordedPath(trash, folder, originalName, path) +
      "\nDeletionDate=" + LocalTimeNowText() + "\n";
  std::string chosen;
  for (int n = 1; n <= MaxCandidates && chosen.empty(); ++n) {
    const std::string candidate = n == 1 ? base : base + "." + std::to_string(n);
    struct stat st {};
    if (::fstatat(trash.Files.get(), candidate.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) continue;
    const std::string infoName = candidate + InfoSuffix;
    UniqueFd info(::openat(trash.Info.get(), infoName.c_str(),
                           O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!info) {
      if (errno == EEXIST) continue;
      return Refused(errno, "ごみ箱に書き込めません");
    }
    if (!WriteAll(info.get(), record) || info.Close() != 0) {
      const int error = errno;
      ::unlinkat(trash.Info.get(), infoName.c_str(), 0);
      return Refused(error, "ごみ箱に書き込めません");
    }
    chosen = candidate;
  }
  if (chosen.empty()) return Refused(EEXIST, "ごみ箱に空いた名前がありません");

  int moved =
      ::renameat2(folder, name.c_str(), trash.Files.get(), chosen.c_str(), RENAME_NOREPLACE);
  if (moved != 0 && (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) {
    // FAT and exFAT know no RENAME_NOREPLACE; the name was checked free just above, and the
    // record's exclusive creation keeps other trashings off it.
    moved = ::renameat(folder, name.c_str(), trash.Files.get(), chosen.c_str());
  }
  if (moved != 0) {
    const int error = errno;
    ::unlinkat(trash.Info.get(), (chosen + InfoSuffix).c_str(), 0);
    return Refused(error, error == EXDEV ? "ごみ箱が別のボリュームにあります" : "移せません");
  }
  trashed.Files = std::move(trash.Files);
  trashed.Info = std::move(trash.Info);
  trashed.Name = chosen;
  return FileResult::Success();
}

void ForgetTrashRecord(const TrashedItem& trashed) {
  if (trashed.Info) ::unlinkat(trashed.Info.get(), (trashed.Name + InfoSuffix).c_str(), 0);
}

FileResult RecycleFile(const std::string& path) {
  // A NUL inside the text would make the call act on a shorter, different path, and a relative
  // path on a file of the current folder.
  if (!IsAbsolutePath(path) || path.find('\0') != std::string::npos) {
    return FileResult::Failure(FileStep::Trash, EINVAL,
                               "ごみ箱へ移せません: パスが正しくありません");
  }
  const std::size_t slash = path.rfind('/');
  const std::string name = path.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") {
    return FileResult::Failure(FileStep::Trash, EINVAL,
                               "ごみ箱へ移せません: パスが正しくありません");
  }
  const std::string folderPath = slash == 0 ? "/" : path.substr(0, slash);
  const UniqueFd folder(::open(folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!folder) return Refused(errno, "フォルダを開けません");
  TrashedItem trashed;
  return MoveToTrash(folder.get(), name, path, trashed);
}

}  // namespace tarvex
