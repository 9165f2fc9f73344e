#pragma once
// The outcome of one file operation, in a form that a log line can show.

#include <string>
#include <utility>

namespace tarvex {

// The step of a file operation that failed.
enum class FileStep {
  None,             // nothing failed
  OpenFolder,       // a root, or a folder below it, could not be opened or listed
  OpenSource,       // the source is missing, unreadable or not a regular file
  CreateFolder,     // a folder level of the destination could not be made
  CreateTemporary,  // no temporary copy could be made beside the destination
  CopyData,         // reading, writing or flushing the copy failed (a full disk, a short copy)
  SetAttributes,    // the modification time or the permission bits could not be set
  NotNewer,         // a newest-only copy found the destination as new as the source or newer
  Trash,            // the trash did not take the file (the file stays where it was)
  Place,            // the finished copy could not be moved into place (e.g. a file appeared)
};

struct FileResult {
  bool Ok = false;
  FileStep Step = FileStep::None;
  int Error = 0;       // the errno value behind a failure, 0 on success
  std::string Reason;  // what failed and why, for the message log; empty on success

  explicit operator bool() const { return Ok; }

  static FileResult Success() { return FileResult{true, FileStep::None, 0, {}}; }
  static FileResult Failure(FileStep step, int error, std::string reason) {
    return FileResult{false, step, error, std::move(reason)};
  }
};

}  // namespace tarvex
