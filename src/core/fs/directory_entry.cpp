#include "core/fs/directory_entry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <memory>

#include "core/fs/file_attributes.h"

namespace tarvex {

namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

constexpr std::int64_t DaysFrom1899To1970 = 25569;

}  // namespace

void FillDirectoryEntry(const struct stat& st, DirectoryEntry& entry) {
  entry.Attr = AttributesFromMode(st.st_mode);
  entry.Time = PackedLocalTime(static_cast<std::int64_t>(st.st_mtim.tv_sec));
  entry.Size = S_ISREG(st.st_mode) ? static_cast<std::int64_t>(st.st_size) : 0;
}

std::uint32_t AttributesFromMode(unsigned mode) {
  std::uint32_t attr;
  if (S_ISDIR(mode)) {
    attr = AttrDirectory;
  } else if (S_ISREG(mode)) {
    attr = AttrArchive;
  } else {
    return AttrSpecial;
  }
  if ((mode & S_IWUSR) == 0) attr |= AttrReadOnly;
  return attr;
}

double PackedLocalTime(std::int64_t unixSeconds) {
  const auto t = static_cast<std::time_t>(unixSeconds);
  std::tm local{};
  if (localtime_r(&t, &local) == nullptr) return 0;
  const std::int64_t days =
      DaysFromCivil(local.tm_year + 1900LL, static_cast<unsigned>(local.tm_mon + 1),
                    static_cast<unsigned>(local.tm_mday));
  // Rounded down to the even second, as the classic directory entries keep it.
  const int seconds = local.tm_hour * 3600 + local.tm_min * 60 + (local.tm_sec & ~1);
  return static_cast<double>(days + DaysFrom1899To1970) + seconds / 86400.0;
}

int ListDirectoryAt(UniqueFd folder, std::uint32_t attrMask,
                    const std::function<void(const DirectoryEntry&)>& onEntry) {
  // The callback may throw (an invalid pattern ends the scan); the folder must still be closed.
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(::fdopendir(folder.get()), ::closedir);
  if (!dir) return errno;
  folder.Release();
  const int fd = ::dirfd(dir.get());
  DirectoryEntry entry;
  for (;;) {
    errno = 0;
    const dirent* d = ::readdir(dir.get());
    if (d == nullptr) return errno;
    const char* name = d->d_name;
    if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
    // The type from the directory spares a stat for links and devices, which are never listed.
    if (d->d_type != DT_UNKNOWN && d->d_type != DT_REG && d->d_type != DT_DIR &&
        (attrMask & AttrSpecial) == 0)
      continue;
    struct stat st;
    if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;  // vanished meanwhile
    FillDirectoryEntry(st, entry);
    if ((entry.Attr & attrMask) != entry.Attr) continue;
    entry.Name.assign(name);
    onEntry(entry);
  }
}

bool ReadDirectoryEntryAt(int folder, const std::string& name, DirectoryEntry& entry) {
  struct stat st;
  if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
  FillDirectoryEntry(st, entry);
  entry.Name = name;
  return true;
}

}  // namespace tarvex
