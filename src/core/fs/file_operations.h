#pragma once
// Everything the scan and the commands do to the disk, reads included, behind one interface: they
// take a FileOperations, and a test puts a failure (a full disk, a refusing trash, a file that
// appears, a folder that cannot be listed) into any one step.

#include <cstdint>
#include <functional>
#include <string>

#include "core/fs/directory_entry.h"
#include "core/fs/file_result.h"
#include "core/fs/root_folder.h"

namespace tarvex {

class FileOperations {
 public:
  virtual ~FileOperations() = default;

  // Moves one file to the trash; never deletes it for good.
  virtual FileResult RecycleFile(const std::string& path) = 0;

  // Creates every missing level of an absolute "/" folder path; ok when the path is a folder at
  // the end.
  virtual FileResult ForceFolderPath(const std::string& folder) = 0;

  // Copies the regular file at the absolute path source to the absolute path destination and
  // never replaces a file: the copy is written beside the destination under a temporary name,
  // flushed and given the source's modification time and permission bits; only then does an
  // existing destination go to the trash, and the copy is renamed into place without replacing
  // anything. On failure no partial or temporary file is left, and an old destination is still in
  // place unless the trash took it and the rename then failed (step Place: a file appeared at its
  // name meanwhile, or the file system refused); it is then in the trash.
  virtual FileResult CopyOneFile(const std::string& source, const std::string& destination) = 0;

  // The steps of CopyOneFile that move data, so that a test double can fail them.
  // Copies everything from the start of sourceFd to the start of destinationFd.
  virtual FileResult CopyFileData(int sourceFd, int destinationFd) = 0;
  // Renames from to to; fails with EEXIST, changing nothing, when to exists.
  virtual FileResult RenameNoReplace(const std::string& from, const std::string& to) = 0;

  // Opens a root folder (an absolute path; a link at the root itself is followed) for the reads
  // and writes below it, and tells which folder it is.
  virtual FileResult OpenRoot(const std::string& path, RootFolder& root) = 0;

  // The reads below a root, each walking from the root's descriptor without following a link;
  // relative "" is the root itself. A listing that cannot be made or fails part way gives a
  // failure with step OpenFolder and the reason.
  virtual FileResult ListDirectory(const RootFolder& root, const std::string& relative,
                                   std::uint32_t attrMask,
                                   const std::function<void(const DirectoryEntry&)>& onEntry) = 0;
  // The directory entry of the path itself (a link is not followed).
  virtual bool ReadDirectoryEntry(const RootFolder& root, const std::string& relative,
                                  DirectoryEntry& entry) = 0;
  // True when the path is a real folder, reached through real folders.
  virtual bool FolderExists(const RootFolder& root, const std::string& relative) = 0;
  // True when nothing is there, not even a dangling link: also when a name on the way is no
  // real folder (a file, or a link that the walk refuses). False when it cannot be told.
  virtual bool IsPathAbsent(const RootFolder& root, const std::string& relative) = 0;
};

// The real thing: POSIX calls, and the freedesktop trash.
class PosixFileOperations : public FileOperations {
 public:
  FileResult RecycleFile(const std::string& path) override;
  FileResult ForceFolderPath(const std::string& folder) override;
  FileResult CopyOneFile(const std::string& source, const std::string& destination) override;
  // copy_file_range, with a read/write loop where the kernel cannot copy between the two files.
  FileResult CopyFileData(int sourceFd, int destinationFd) override;
  // renameat2 with RENAME_NOREPLACE; LinkNoReplace where the file system lacks that flag.
  FileResult RenameNoReplace(const std::string& from, const std::string& to) override;
  FileResult OpenRoot(const std::string& path, RootFolder& root) override;
  FileResult ListDirectory(const RootFolder& root, const std::string& relative,
                           std::uint32_t attrMask,
                           const std::function<void(const DirectoryEntry&)>& onEntry) override;
  bool ReadDirectoryEntry(const RootFolder& root, const std::string& relative,
                          DirectoryEntry& entry) override;
  bool FolderExists(const RootFolder& root, const std::string& relative) override;
  bool IsPathAbsent(const RootFolder& root, const std::string& relative) override;
  // link() to the new name, then unlink() of the old: fails with EEXIST when to exists.
  static FileResult LinkNoReplace(const std::string& from, const std::string& to);
};

// Creates the missing levels of an absolute folder path one by one (mode 0777 less the umask).
// Fails when the path is relative, when a level exists as something other than a folder, or when a
// level cannot be made; the levels made before the failure stay.
FileResult ForceFolderPath(const std::string& folder);

}  // namespace tarvex
