#pragma once
// The loop over the selected rows that the copy and delete commands share: the dialog in its
// running state, a turn for pending events and the cancel check at the start of every row, the bar,
// and the end (finished dialog, closing log line, beep). What differs between the commands comes
// in as texts and callbacks.

#include <cstdint>
#include <functional>
#include <string>

#include "core/commands/command_progress.h"
#include "core/commands/command_scope.h"

namespace tarvex {

struct RowLoopTexts {
  std::string LogHeader;  // the log line under the blank one that opens the command
  std::string Running;    // the dialog's header while the loop runs
  // The dialog's header at the end, and the closing log line before the outcome is added to it,
  // each from the number of files done.
  std::function<std::string(std::int32_t files)> Finished;
  std::function<std::string(std::int32_t files)> Closing;
};

struct RowLoop {
  std::int32_t FirstRow = 1;  // grid rows, both shown by the list
  std::int32_t LastRow = 1;
  RowLoopTexts Texts;
  // The work of grid row r, counting into the result; false for a row that leaves no trace, not
  // even on the bar.
  std::function<bool(std::int32_t row, CommandResult& result)> EachRow;
  // Runs once after the last row (also after a stop), before the finished dialog; may be empty.
  std::function<void(CommandResult& result)> AfterRows;
  // Puts the note on failures and a stop (OutcomeNote of the result, never empty here) into the
  // finished dialog.
  std::function<void(ProgressDialogState& dialog, const CommandResult& result,
                     const std::string& note)>
      ShowOutcome;
  // The finished bar stands at the row the loop reached (full after a whole run), not where the
  // last row that counted left it.
  bool BarEndsAtRowReached = false;
};

// The blank line and the header line that open the command in the log.
void LogRowLoopHeader(CommandProgress& progress, const RowLoop& loop);

// Shows the dialog, as the command prepared it, in the running state (grey header, the bar at 0 of
// the row count), clears the cancel flag and runs the rows; 中止 is seen at the start of a row.
// Ends with the finished dialog, the closing log line and the beep; the result says the loop ran
// and makes the first row current.
CommandResult RunRowLoop(CommandProgress& progress, ProgressDialogState& dialog,
                         const RowLoop& loop);

}  // namespace tarvex
