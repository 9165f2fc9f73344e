#pragma once
// Everything the scan and the commands do to the disk, reads included, behind one interface: they
// take a FileOperations, and a test puts a failure (a full disk, a refusing trash, a file that
// appears, a folder that cannot be listed, a file system without hard links) into any one step.
//
// Every path is a root folder held open and a path relative to it; each step walks from the
// root's descriptor without following a link and acts on the last name relative to the folder it
// reached, so nothing outside the root is ever read, written or trashed through a link, however
// one was swapped in.

#include <cstdint>
#include <functional>
#include <string>

#include "core/fs/copy_temporary.h"
#include "core/fs/directory_entry.h"
#include "core/fs/file_recorder.h"
#include "core/fs/file_result.h"
#include "core/fs/root_folder.h"
#include "core/fs/trash.h"

namespace tarvex {

// Whether a copy replaces whatever destination it finds (the copy-all commands) or only one older
// than the source (the newest-only commands), decided on what is on the disk at that moment.
enum class CopyWhen { Always, SourceNewer };

class FileOperations {
 public:
  virtual ~FileOperations() = default;

  // Opens a root folder (an absolute path; a link at the root itself is followed) for the reads
  // and writes below it, and tells which folder it is.
  virtual FileResult OpenRoot(const std::string& path, RootFolder& root) = 0;

  // Moves the file at relative to the trash; never deletes it for good.
  virtual FileResult RecycleFile(const RootFolder& root, const std::string& relative) = 0;

  // Creates every missing level of the folder relative below the root (never the root itself);
  // ok when it is a real folder at the end. A level that is a file or a link fails.
  virtual FileResult ForceFolderPath(const RootFolder& root, const std::string& relative) = 0;

  // Copies the regular file at relative below sourceRoot to the same relative path below
  // destinationRoot and never replaces a file: the copy is written beside the destination as a
  // temporary (unnamed where the file system allows it) and given the source's modification time
  // and permission bits, and flushed to the disk where it is to replace a file (a new file waits
  // for FlushVolume). Only then is it placed: at a free name without
  // replacing anything; over an existing destination by swapping the two names in one step
  // (RENAME_EXCHANGE), so that the name holds the old or the new file at every instant, after
  // which the old file goes to the trash recorded under its own path. Where the file system cannot
  // swap names (FAT, exFAT, some network file systems) the old file goes to the trash first and
  // the copy is placed after it. Missing folders of the destination are made, never its root. With
  // CopyWhen::SourceNewer a destination that is not older than the source, checked before the copy
  // and again right before the old one would go, is left alone (step NotNewer). A source whose
  // size or times moved during the copy fails it. On failure no partial or temporary file is left
  // and the old destination is where it was: a trash that refuses it after the swap gets it
  // swapped back; when placing fails after the trash took it, it is brought back, and only when
  // its name was taken meanwhile does it stay in the trash.
  virtual FileResult CopyOneFile(const RootFolder& sourceRoot, const RootFolder& destinationRoot,
                                 const std::string& relative, CopyWhen when) = 0;

  // Writes what the copies left in memory on the root's volume to the disk (syncfs); a failure
  // there may concern any file written since the last flush.
  virtual FileResult FlushVolume(const RootFolder& root) = 0;

  // The reads below a root; relative "" is the root itself. A listing that cannot be made or fails
  // part way gives a failure with step OpenFolder and the reason.
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

  // The steps that take a command back (never replacing or deleting anything outside the trash).
  // Moves the file at relative to the trash only while it is still the file identity names.
  virtual FileResult TrashIfUnchanged(const RootFolder& root, const std::string& relative,
                                      const FileIdentity& identity) = 0;
  // Brings the trash item back to relative, whose folder must exist and whose name must be free;
  // its record goes with it.
  virtual FileResult RestoreTrashItem(const TrashLocation& item, const RootFolder& root,
                                      const std::string& relative) = 0;
  // Removes the folder at relative when it is empty.
  virtual FileResult RemoveEmptyFolder(const RootFolder& root, const std::string& relative) = 0;

  // While set, every file created, folder made and file trashed is reported to it as it happens.
  void SetRecorder(FileRecorder* recorder) { recorder_ = recorder; }
  FileRecorder* Recorder() const { return recorder_; }

 private:
  FileRecorder* recorder_ = nullptr;
};

// The real thing: POSIX calls and the freedesktop trash. The steps of the copy are virtual, each
// acting on a folder descriptor and a name, so that a test double can fail any one of them; path
// is the destination as a person reads it, for messages.
class PosixFileOperations : public FileOperations {
 public:
  FileResult OpenRoot(const std::string& path, RootFolder& root) override;
  FileResult RecycleFile(const RootFolder& root, const std::string& relative) override;
  FileResult ForceFolderPath(const RootFolder& root, const std::string& relative) override;
  FileResult CopyOneFile(const RootFolder& sourceRoot, const RootFolder& destinationRoot,
                         const std::string& relative, CopyWhen when) override;
  FileResult FlushVolume(const RootFolder& root) override;
  FileResult ListDirectory(const RootFolder& root, const std::string& relative,
                           std::uint32_t attrMask,
                           const std::function<void(const DirectoryEntry&)>& onEntry) override;
  bool ReadDirectoryEntry(const RootFolder& root, const std::string& relative,
                          DirectoryEntry& entry) override;
  bool FolderExists(const RootFolder& root, const std::string& relative) override;
  bool IsPathAbsent(const RootFolder& root, const std::string& relative) override;
  FileResult TrashIfUnchanged(const RootFolder& root, const std::string& relative,
                              const FileIdentity& identity) override;
  FileResult RestoreTrashItem(const TrashLocation& item, const RootFolder& root,
                              const std::string& relative) override;
  FileResult RemoveEmptyFolder(const RootFolder& root, const std::string& relative) override;

  // Copies everything from the start of sourceFd to the start of destinationFd: copy_file_range,
  // with a read/write loop where the kernel cannot copy between the two files.
  virtual FileResult CopyFileData(int sourceFd, int destinationFd);
  // MoveToTrashAs of name in folder, recorded as originalName (path) there.
  virtual FileResult TrashEntry(int folder, const std::string& name,
                                const std::string& originalName, const std::string& path,
                                TrashedItem& trashed);
  // An unnamed temporary (O_TMPFILE) in folder; fails where the file system has none.
  virtual FileResult CreateUnnamedTemporary(int folder, UniqueFd& file);
  // Gives the unnamed file the name (linkat); fails with EEXIST, changing nothing, when it exists.
  virtual FileResult LinkUnnamed(int file, int folder, const std::string& name,
                                 const std::string& path);
  // The three ways of moving from to to without replacing a file, tried in this order by
  // MoveNoReplace: renameat2 with RENAME_NOREPLACE (EINVAL where the file system lacks the flag),
  // a hard link and the removal of from (EPERM where it has no hard links, as FAT and exFAT),
  // and a rename after checking that to is absent, the last resort of such file systems.
  virtual FileResult RenameNoReplace(int fromFolder, const std::string& from, int toFolder,
                                     const std::string& to, const std::string& path);
  virtual FileResult LinkNoReplace(int fromFolder, const std::string& from, int toFolder,
                                   const std::string& to, const std::string& path);
  virtual FileResult RenameOverAbsent(int fromFolder, const std::string& from, int toFolder,
                                      const std::string& to, const std::string& path);
  // Swaps the two names in folder in one step (renameat2 with RENAME_EXCHANGE); EINVAL, ENOSYS or
  // EOPNOTSUPP where the file system cannot.
  virtual FileResult ExchangeNames(int folder, const std::string& first, const std::string& second,
                                   const std::string& path);

  FileResult MoveNoReplace(int fromFolder, const std::string& from, int toFolder,
                           const std::string& to, const std::string& path);
  // Brings an item back from the trash to name in folder, never over a file, and forgets its
  // record.
  FileResult RestoreFromTrash(TrashedItem& trashed, int folder, const std::string& name,
                              const std::string& path);

 private:
  // The steps of CopyOneFile, in their order.
  struct CopyJob;
  FileResult CheckCopyRequest(const CopyJob& job);
  FileResult OpenCopySource(const RootFolder& sourceRoot, CopyJob& job);
  FileResult OpenDestinationFolder(const RootFolder& destinationRoot, CopyJob& job);
  // What is at the destination's name, and for CopyWhen::SourceNewer whether it is older.
  FileResult CheckDestination(CopyJob& job);
  FileResult WriteCopy(CopyJob& job);
  // The copy has the source's size, and the source did not move while it was read.
  FileResult VerifyCopy(CopyJob& job);
  // The source's mode bits and times.
  FileResult StampCopy(CopyJob& job);
  // Flushed to the disk when it replaces a file; a named temporary closed.
  FileResult FlushCopy(CopyJob& job);
  // Places the copy at a free name, or over the old destination.
  FileResult ReplaceDestination(CopyJob& job);
  FileResult PlaceAtFreeName(CopyJob& job);
  // Gives an unnamed copy a temporary name beside the destination.
  FileResult NameTemporaryCopy(CopyJob& job);
  // The copy and the old file swap names, then the old one goes to the trash.
  FileResult ExchangeThenTrash(CopyJob& job);
  // Puts the old file back at its name after a trash that refused it; the copy's name is its
  // temporary one again.
  FileResult SwapBack(CopyJob& job, const std::string& oldAside, FileResult refused);
  // Where names cannot be swapped: the old destination to the trash, the copy into place, the old
  // one back if that fails.
  FileResult TrashThenPlace(CopyJob& job);
  // Removes the copy's temporary name, when it is still the copy that holds it.
  void DiscardTemporary(CopyJob& job);
  // Reports the placed copy, and an old destination the trash took, to the recorder.
  void RecordCopy(const CopyJob& job);

  FileResult CreateTemporary(int folder, const std::string& name, const std::string& path,
                             CopyTemporary& temporary);
  FileResult PlaceTemporary(CopyTemporary& temporary, int folder, const std::string& name,
                            const std::string& path);
};

}  // namespace tarvex
