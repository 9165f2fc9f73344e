#pragma once
// Takes back the last copy or delete from its journal: the files it made go to the trash (only
// while they are still the files it made), the files it trashed come back to their free places,
// the folders it made are removed when empty. Nothing is ever replaced or deleted for good; what
// cannot be taken back is logged with its reason.

#include <cstdint>
#include <string>

#include "core/commands/command_journal.h"
#include "core/commands/command_progress.h"
#include "core/commands/command_scope.h"
#include "core/fs/file_operations.h"

namespace tarvex {

// The files the command acted on (a copy over an old file counts once).
std::int32_t JournalFileCount(const JournalRecord& record);

// "<caption> <time> の <n> ファイルを元に戻します" for the confirmation; the time is HH:MM, with
// the date in front when the command was not run today (today: YYYY-MM-DD).
std::string UndoConfirmationText(const JournalRecord& record, const std::string& today);

class UndoCommand {
 public:
  UndoCommand(FileOperations& files, CommandProgress& progress, CommandSettings settings = {})
      : files_(files), progress_(progress), settings_(settings) {}

  // Opens the journal's roots (each must still be the folder the command worked on, or nothing is
  // done: RootChanged) and takes the entries back, newest first, with the dialog, the log and 中止
  // as for the other commands. Each entry done is noted in the journal, and a run to the end marks
  // it finished, so that the next undo takes the command before it.
  CommandResult Run(JournalRecord& record);

 private:
  void UndoEntry(const JournalRecord& record, std::size_t index, const PerSide<RootFolder>& roots,
                 std::int32_t row, ProgressDialogState& dialog, CommandResult& result);

  FileOperations& files_;
  CommandProgress& progress_;
  CommandSettings settings_;
};

}  // namespace tarvex
