#pragma once
// A path as a person reads it, for every place that shows one: the list, the report, the compare
// tab, the logs and the progress dialog.

#include <string>
#include <string_view>

namespace tarvex {

// Each name decoded on its own (UTF-8, else CP932), so a folder named in one encoding does not
// garble a file named in the other; control characters (a line break) shown as their pictures
// ("␊"), so that a name never breaks a row or a log line. For display only, never for access.
std::string DisplayPath(std::string_view path);

}  // namespace tarvex
