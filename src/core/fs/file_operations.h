#pragma once
// Everything the scan and the commands do to the disk, reads included, behind one interface: they
// take a FileOperations, and a test puts a failure (a full disk, a refusing trash, a file that
// appears, a folder that cannot be listed) into any one step.

#include <cstdint>
#include <functional>
#include <string>

#include "core/fs/directory_entry.h"
#include "core/fs/file_result.h"

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

  // The reads, as the free functions of the same names describe them.
  virtual bool ListDirectory(const std::string& folder, std::uint32_t attrMask,
                             const std::function<void(const DirectoryEntry&)>& onEntry) = 0;
  virtual bool ReadDirectoryEntry(const std::string& path, DirectoryEntry& entry) = 0;
  virtual bool FolderExists(const std::string& path) = 0;
  virtual bool IsPathAbsent(const std::string& path) = 0;
};

// The real thing: POSIX calls, and GIO for the trash.
class PosixFileOperations : public FileOperations {
 public:
  FileResult RecycleFile(const std::string& path) override;
  FileResult ForceFolderPath(const std::string& folder) override;
  FileResult CopyOneFile(const std::string& source, const std::string& destination) override;
  // copy_file_range, with a read/write loop where the kernel cannot copy between the two files.
  FileResult CopyFileData(int sourceFd, int destinationFd) override;
  // renameat2 with RENAME_NOREPLACE; LinkNoReplace where the file system lacks that flag.
  FileResult RenameNoReplace(const std::string& from, const std::string& to) override;
  bool ListDirectory(const std::string& folder, std::uint32_t attrMask,
                     const std::function<void(const DirectoryEntry&)>& onEntry) override;
  bool ReadDirectoryEntry(const std::string& path, DirectoryEntry& entry) override;
  bool FolderExists(const std::string& path) override;
  bool IsPathAbsent(const std::string& path) override;

  // link() to the new name, then unlink() of the old: fails with EEXIST when to exists.
  static FileResult LinkNoReplace(const std::string& from, const std::string& to);
};

// Creates the missing levels of an absolute folder path one by one (mode 0777 less the umask).
// Fails when the path is relative, when a level exists as something other than a folder, or when a
// level cannot be made; the levels made before the failure stay.
FileResult ForceFolderPath(const std::string& folder);

}  // namespace tarvex
