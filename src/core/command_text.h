#pragma once
// Texts that the copy and delete commands show: printf formatting of their fixed texts, and paths
// decoded for display.

#include <string>
#include <string_view>

namespace tarvex {

// printf into a string; the commands' texts use "%s" with UTF-8 texts and "%d" with int.
std::string FormatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A path as a person reads it: each name decoded on its own (UTF-8, else CP932), so a folder named
// in one encoding does not garble a file named in the other; control characters (a line break)
// shown as their pictures ("␊"). For display only, never for access.
std::string DisplayPath(std::string_view path);

}  // namespace tarvex
