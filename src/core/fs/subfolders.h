#pragma once
// The folders of one folder, as the folder trees offer them for picking a root.

#include <string>
#include <vector>

namespace tarvex {

// Names of the folders in folder, in the order the file system delivers them. A symbolic link to
// a folder counts, since a root may be a link; "." and ".." do not. Empty when the folder cannot
// be listed.
std::vector<std::string> ListSubfolders(const std::string& folder);

}  // namespace tarvex
