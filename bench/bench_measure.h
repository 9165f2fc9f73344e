#pragma once
// What every benchmark measures the same way: the median of alternated rounds, the process's own
// memory figures, and sources read once so that both sides start from a warm page cache.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace tarvex::bench {

inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A line of /proc/self/status in bytes ("VmHWM", "VmRSS"); 0 where it cannot be read.
inline std::int64_t StatusBytes(const char* field) {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return 0;
  char line[256];
  long long kb = 0;
  const std::size_t length = std::strlen(field);
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
      kb = std::atoll(line + length + 1);
      break;
    }
  }
  std::fclose(status);
  return kb * 1024;
}

inline void ReadOnce(const std::string& path) {
  static std::vector<char> buffer(1 << 20);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  while (::read(fd, buffer.data(), buffer.size()) > 0) {
  }
  ::close(fd);
}

}  // namespace tarvex::bench
