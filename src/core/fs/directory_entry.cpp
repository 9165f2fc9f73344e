#include "core/fs/directory_entry.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <span>
#include <vector>

#include "core/fs/file_attributes.h"
#include "core/fs/statx_batch.h"

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

void FillDirectoryEntry(const struct statx& sx, DirectoryEntry& entry) {
  entry.Attr = AttributesFromMode(sx.stx_mode);
  entry.Time = PackedLocalTime(static_cast<std::int64_t>(sx.stx_mtime.tv_sec));
  entry.Size = S_ISREG(sx.stx_mode) ? static_cast<std::int64_t>(sx.stx_size) : 0;
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
  // getdents64 on the descriptor itself: a DIR would cost two more calls per folder and a copy.
  struct LinuxDirent64 {
    std::uint64_t Inode;
    std::int64_t Offset;
    unsigned short Length;
    unsigned char Type;
    char Name[1];
  };
  alignas(LinuxDirent64) char buffer[32768];
  // A buffer holds at most this many names (the smallest record is 24 bytes). Their results are
  // 256 bytes each: one block per thread, made once, rather than one per folder.
  constexpr std::size_t MostNames = sizeof buffer / 24;
  thread_local std::vector<struct statx> sharedResults;
  thread_local bool sharedInUse = false;
  std::vector<struct statx> ownResults;
  std::vector<struct statx>& results = sharedInUse ? ownResults : sharedResults;
  const bool usesShared = !sharedInUse;
  sharedInUse = true;
  struct Release {
    bool Shared;
    ~Release() {
      if (Shared) sharedInUse = false;
    }
  } release{usesShared};
  if (results.size() < MostNames) results.resize(MostNames);
  std::vector<const char*> names;
  std::vector<int> errors(MostNames);
  names.reserve(MostNames);
  const int fd = folder.get();
  DirectoryEntry entry;
  for (;;) {
    const long got = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer);
    if (got < 0) return errno;
    if (got == 0) return 0;
    names.clear();
    for (long at = 0; at < got;) {
      const auto* d = reinterpret_cast<const LinuxDirent64*>(buffer + at);
      at += d->Length;
      const char* name = d->Name;
      if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) continue;
      // The type from the directory spares a stat for links and devices, which are never listed.
      if (d->Type != DT_UNKNOWN && d->Type != DT_REG && d->Type != DT_DIR &&
          (attrMask & AttrSpecial) == 0)
        continue;
      names.push_back(name);
    }
    // The names of a buffer are looked up together; they stay in the buffer until then.
    StatxNames(fd, names, std::span(results).first(names.size()),
               std::span(errors).first(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (errors[i] != 0) continue;  // vanished meanwhile
      FillDirectoryEntry(results[i], entry);
      if ((entry.Attr & attrMask) != entry.Attr) continue;
      entry.Name.assign(names[i]);
      onEntry(entry);
    }
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
