#include "core/fs/path.h"

namespace tarvex {

bool IsAbsolutePath(const std::string& path) { return !path.empty() && path.front() == '/'; }

std::string JoinPath(const std::string& root, const std::string& relative) {
  if (!root.empty() && root.back() == '/') return root + relative;
  return root + "/" + relative;
}

std::string SidePath(const std::string& root, const std::string& relative) {
  if (root.empty()) return relative;
  return JoinPath(root, relative);
}

}  // namespace tarvex
