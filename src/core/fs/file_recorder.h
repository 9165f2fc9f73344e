#pragma once
// What a command did to the disk, reported by the file operations at the moment they do it, so that
// a journal of the command holds exactly what happened, also when the program dies half way.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/fs/root_folder.h"
#include "core/fs/trash.h"

namespace tarvex {

// Tells one file from anything that later takes its name or changes it.
struct FileIdentity {
  std::uint64_t Device = 0;
  std::uint64_t Inode = 0;
  std::int64_t Size = 0;
  std::int64_t MtimeSeconds = 0;
  std::int64_t MtimeNanoseconds = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of name in folder (a link is not followed); false when it cannot be read.
bool ReadFileIdentity(int folder, const std::string& name, FileIdentity& identity);

// Where an item lies in the trash, as paths that outlive the command's descriptors.
struct TrashLocation {
  std::string FilesFolder;  // the trash's "files" folder
  std::string InfoFolder;   // its "info" folder
  std::string Name;         // the item in "files"; its record is Name + ".trashinfo"
  FileIdentity Identity;    // the item as it went in
};

// The trash location of an item that has just been trashed; false when it cannot be told.
bool LocateTrashed(const TrashedItem& trashed, TrashLocation& location);

class FileRecorder {
 public:
  virtual ~FileRecorder() = default;
  // A file below the root went to the trash (a deleted file, or an old destination of a copy).
  virtual void FileTrashed(const RootFolder& root, std::string_view relative,
                           const TrashedItem& trashed) = 0;
  // A copy placed a new file at relative.
  virtual void FileCreated(const RootFolder& root, std::string_view relative,
                           const FileIdentity& identity) = 0;
  // A folder that was not there was made.
  virtual void FolderCreated(const RootFolder& root, std::string_view relative) = 0;
};

}  // namespace tarvex
