#pragma once
// Moving files to the freedesktop.org trash, from the folder that holds them: the move is one
// rename relative to that folder's descriptor, so it takes the very file that was reached below a
// root, whatever a link elsewhere says.

#include <string>

#include "core/fs/file_result.h"
#include "core/fs/unique_fd.h"

namespace tarvex {

// Where the trash put an item, so that it can be brought back.
struct TrashedItem {
  UniqueFd Files;    // the trash's "files" folder
  UniqueFd Info;     // its "info" folder
  std::string Name;  // the item's name in "files"; its record is Name + ".trashinfo" in "info"
};

// Moves name in folder (a file, or whatever is there; a link is moved, not followed) to the
// trash: the home trash ($XDG_DATA_HOME/Trash, as GLib knows it) when the file's volume holds it,
// else the volume's own $top/.Trash/$uid or $top/.Trash-$uid. The record (.trashinfo) is written
// first, with path (the path as a person reads it) as its original location; then the one rename.
// Never deletes for good: when no trash can take it (no rights, another volume than the trash, a
// missing file) the file stays where it is and the result is a failure with step Trash.
FileResult MoveToTrash(int folder, const std::string& name, const std::string& path,
                       TrashedItem& trashed);

// MoveToTrash of the item at name in folder, recorded (and named in the trash) as originalName in
// the same folder, which path shows: for an old file that was moved aside under a temporary name,
// so that a restore puts it back where it was.
FileResult MoveToTrashAs(int folder, const std::string& name, const std::string& originalName,
                         const std::string& path, TrashedItem& trashed);

// Removes the record of an item that has been brought back out of the trash.
void ForgetTrashRecord(const TrashedItem& trashed);

// MoveToTrash for an absolute path whose folder part is opened as it stands (links in it are
// followed, as for a root). A relative path or one with a NUL touches nothing.
FileResult RecycleFile(const std::string& path);

}  // namespace tarvex
