#pragma once
// The journal of one copy or delete command: every file it trashed, every file and folder it made,
// written line by line as it happens, so that the command can be taken back later, and so that a
// command that was killed half way leaves a journal of what it did until then.
//
// One text file per command in the journal folder, numbered in order; only the last KeptJournals
// are kept. Each line is a keyword and fields separated by one space, every path and text
// percent-encoded (so any bytes round-trip):
//   tarvex-journal 1
//   caption <text>            the command's menu caption
//   time <YYYY-MM-DDTHH:MM:SS> local start time
//   root main|sub <device> <inode> <path>
//   trashed main|sub <relative> <trash files folder> <trash info folder> <item name>
//       <device> <inode> <size> <mtime s> <mtime ns>
//   created main|sub <relative> <device> <inode> <size> <mtime s> <mtime ns>
//   folder main|sub <relative>
//   undone <entry index>      an entry taken back (an undo that was stopped goes on from there)
//   finished                  the whole command has been taken back

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/fs/file_operations.h"
#include "core/fs/file_recorder.h"
#include "core/fs/root_folder.h"
#include "core/scan/side.h"

namespace tarvex {

inline constexpr int KeptJournals = 20;

// $XDG_STATE_HOME/tarvex (default ~/.local/state/tarvex); empty when no home is known.
std::string JournalFolder();

enum class JournalAction { Trashed, Created, Folder };

struct JournalEntry {
  JournalAction Action = JournalAction::Created;
  Side Where = Side::Main;
  std::string Relative;
  FileIdentity Identity;  // Created: the file as the copy left it
  TrashLocation Trash;    // Trashed: where it went
};

struct JournalRoot {
  std::string Path;
  FolderIdentity Identity;
};

struct JournalRecord {
  std::string File;  // the journal's own path
  std::string Caption;
  std::string Time;  // YYYY-MM-DDTHH:MM:SS
  PerSide<JournalRoot> Roots;
  std::vector<JournalEntry> Entries;
  std::vector<bool> Undone;  // per entry
  bool Finished = false;
};

// Writes the journal of one command. Nothing is written until the first thing happens, so a
// command that did nothing leaves no journal. A journal that cannot be written costs the undo,
// never the command.
class CommandJournal : public FileRecorder {
 public:
  CommandJournal(std::string folder, std::string caption);
  ~CommandJournal() override;
  CommandJournal(const CommandJournal&) = delete;
  CommandJournal& operator=(const CommandJournal&) = delete;

  // The roots the command opened (a side that is not open is left out).
  void SetRoots(const PerSide<RootFolder>& roots);

  void FileTrashed(const RootFolder& root, std::string_view relative,
                   const TrashedItem& trashed) override;
  void FileCreated(const RootFolder& root, std::string_view relative,
                   const FileIdentity& identity) override;
  void FolderCreated(const RootFolder& root, std::string_view relative) override;

  // The journal's path once written; empty before, or when it could not be.
  const std::string& File() const { return file_; }
  bool WriteFailed() const { return writeFailed_; }

 private:
  std::optional<Side> SideOf(const RootFolder& root) const;
  void Append(const std::string& line);

  std::string folder_;
  std::string caption_;
  std::string time_;
  PerSide<JournalRoot> roots_;
  std::string file_;
  int fd_ = -1;
  bool writeFailed_ = false;
};

// While alive, the file operations report to the journal (when there is one) what they do below
// the command's roots.
class JournalScope {
 public:
  JournalScope(FileOperations& files, CommandJournal* journal, const PerSide<RootFolder>& roots)
      : files_(files) {
    if (journal == nullptr) return;
    journal->SetRoots(roots);
    files_.SetRecorder(journal);
  }
  ~JournalScope() { files_.SetRecorder(nullptr); }
  JournalScope(const JournalScope&) = delete;
  JournalScope& operator=(const JournalScope&) = delete;

 private:
  FileOperations& files_;
};

// Reads a journal; lines it does not understand (a line cut short by a kill) are skipped. False
// when the file cannot be read or is no journal.
bool ReadJournal(const std::string& path, JournalRecord& record);

// The newest journal in folder that has not been taken back completely.
std::optional<JournalRecord> LastUndoableJournal(const std::string& folder);

// Notes in the journal's file that entry index was taken back, or that all of it was.
void MarkEntryUndone(const JournalRecord& record, std::size_t index);
void MarkJournalFinished(const JournalRecord& record);

}  // namespace tarvex
