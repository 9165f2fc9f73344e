#pragma once
// Moving files to the freedesktop.org trash.

#include <string>

#include "core/fs/file_result.h"

namespace tarvex {

// Moves one file (or whatever the absolute path names; a link is moved, not followed) to the trash
// through GIO: the home trash under $XDG_DATA_HOME/Trash for files on the home volume, the volume's
// own .Trash-$uid otherwise, each with its .trashinfo record. Never deletes for good: when GIO
// refuses (no trash possible on that volume, no rights, missing file, a relative path), the file
// stays where it is and the result is a failure with step Trash and GIO's message in the reason.
FileResult RecycleFile(const std::string& path);

}  // namespace tarvex
