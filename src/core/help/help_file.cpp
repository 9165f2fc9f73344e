#include "core/help/help_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "core/text/line_split.h"
#include "core/text/text_encoding.h"

namespace tarvex {

namespace {

bool ReadWholeFile(const std::string& path, std::string& bytes) {
  // O_NONBLOCK: opening a FIFO without a writer would wait for one, and the start with it. It
  // changes nothing for the reads of a regular file.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  // Only a regular file is a text: a folder, a FIFO or a device of that name is as good as none.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  bytes.clear();
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(fd);
      return false;
    }
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return true;
}

}  // namespace

std::vector<std::string> HelpFileCandidates(const std::string& programPath,
                                            std::string_view extName,
                                            const std::string& installedDataDir) {
  const std::size_t slash = programPath.rfind('/');
  const std::string folder =
      slash == std::string::npos ? std::string(".") : programPath.substr(0, slash);
  std::string name = slash == std::string::npos ? programPath : programPath.substr(slash + 1);
  // A leading dot names a hidden file, it does not start an extension.
  if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) {
    name.resize(dot);
  }
  name += '.';
  name += extName;

  // The program's path is a resolved one, so the folder above it can be taken off the text.
  const std::size_t upper = folder.rfind('/');
  const std::string parent = folder.empty()               ? std::string()  // the root's is itself
                             : upper == std::string::npos ? folder + "/.."
                                                          : folder.substr(0, upper);
  std::vector<std::string> candidates{folder + "/" + name, parent + "/share/tarvex/" + name};
  if (!installedDataDir.empty()) candidates.push_back(installedDataDir + "/" + name);
  return candidates;
}

bool ReadHelpLines(const std::string& path, std::vector<std::string>& lines) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes)) return false;
  std::string text = DisplayText(bytes);
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  lines.clear();
  for (std::string_view line : SplitLines(text)) lines.emplace_back(line);
  return true;
}

}  // namespace tarvex
