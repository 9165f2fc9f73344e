#pragma once
// Texts that the copy and delete commands show: their fixed texts formatted, and paths decoded for
// display.

#include <string>
#include <string_view>

#include "core/text/format_text.h"

namespace tarvex {

// A command whose root has vanished or is another folder than the scan listed.
inline constexpr const char* RootChangedText =
    "フォルダが見つからないか、スキャンした時と違うフォルダです。最新の状態に更新してください。";

// A path as a person reads it: each name decoded on its own (UTF-8, else CP932), so a folder named
// in one encoding does not garble a file named in the other; control characters (a line break)
// shown as their pictures ("␊"). For display only, never for access.
std::string DisplayPath(std::string_view path);

}  // namespace tarvex
