#pragma once
// The user's base folders after the XDG base directory rules, for the files that Tarvex keeps
// outside the two compared trees.

#include <string>

namespace tarvex {

// $HOME, else the home folder of the user's account; empty when neither is known.
std::string HomeFolder();

// The value of the environment variable (such as "XDG_CONFIG_HOME") when it is an absolute path,
// else the home folder followed by homeRelative (such as "/.config"): a relative value is to be
// ignored, as if it were unset.
std::string XdgBaseFolder(const char* variable, const char* homeRelative);

// Creates the folder and its missing parents, each new one private to the user; true when the
// path names a folder afterwards.
bool MakeFolders(const std::string& path);

}  // namespace tarvex
