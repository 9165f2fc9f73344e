#include "core/fs/path.h"

namespace tarvex {

bool IsAbsolutePath(const std::string& path) { return !path.empty() && path.front() == '/'; }

std::string JoinPath(const std::string& root, std::string_view relative) {
  std::string joined;
  joined.reserve(root.size() + 1 + relative.size());
  joined.append(root);
  if (root.empty() || root.back() != '/') joined.push_back('/');
  return joined.append(relative);
}

std::string SidePath(const std::string& root, std::string_view relative) {
  if (root.empty()) return std::string(relative);
  return JoinPath(root, relative);
}

}  // namespace tarvex
