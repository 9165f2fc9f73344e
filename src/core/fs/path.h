#pragma once
// Paths as the file system takes them: "/" between names, a root is an absolute path.

#include <string>
#include <string_view>

namespace tarvex {

bool IsAbsolutePath(const std::string& path);

// Joins a root and a relative path with "/"; a root that already ends in "/" gets none.
std::string JoinPath(const std::string& root, std::string_view relative);

// The path of an entry on one side. A root that is not an absolute path (an empty folder edit)
// names no folder: its paths stay relative, so that the file operations refuse them instead of
// acting on "/" or the current folder.
std::string SidePath(const std::string& root, std::string_view relative);

}  // namespace tarvex
