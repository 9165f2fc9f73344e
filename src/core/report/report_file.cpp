#include "core/report/report_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "core/fs/user_folders.h"
#include "core/text/display_path.h"
#include "core/text/format_text.h"

namespace tarvex {

namespace {

constexpr int MaxNameTries = 10000;

[[noreturn]] void ThrowFileError(const char* what, const std::string& path, int error) {
  throw std::runtime_error(
      FormatText("%s: %s\n%s", what, DisplayPath(path).c_str(), std::strerror(error)));
}

// Takes the name without ever replacing a file: EEXIST when it is taken.
int TakeName(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  // A file system without the no-replace rename: a hard link fails on an existing name too.
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  ::unlink(from.c_str());
  return 0;
}

}  // namespace

std::string ReportFolder() { return XdgBaseFolder("XDG_CACHE_HOME", "/.cache") + "/tarvex"; }

std::string CreateReportTemporary(const std::string& folder) {
  const ReportTemporary temporary = OpenReportTemporary(folder);
  ::close(temporary.Fd);
  return temporary.Path;
}

ReportTemporary OpenReportTemporary(const std::string& folder) {
  if (!MakeFolders(folder)) ThrowFileError("一覧の保存先フォルダを作成できません", folder, errno);
  ReportTemporary temporary{folder + "/.tarvex-list-XXXXXX", -1};
  temporary.Fd = ::mkostemp(temporary.Path.data(), O_CLOEXEC);
  if (temporary.Fd < 0) ThrowFileError("一覧の一時ファイルを作成できません", folder, errno);
  return temporary;
}

std::string PlaceReportFile(const std::string& temporary, const std::string& folder,
                            std::time_t when) {
  std::tm local{};
  ::localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string stem = folder + "/tarvex-list-" + stamp;
  for (int n = 1; n <= MaxNameTries; ++n) {
    std::string path = stem + (n == 1 ? std::string() : FormatText("-%d", n)) + ".xlsx";
    const int error = TakeName(temporary, path);
    if (error == 0) return path;
    if (error != EEXIST) ThrowFileError("一覧のファイルを保存できません", path, error);
  }
  ThrowFileError("一覧のファイルを保存できません", stem + ".xlsx", EEXIST);
}

}  // namespace tarvex
