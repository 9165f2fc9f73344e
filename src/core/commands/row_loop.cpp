#include "core/commands/row_loop.h"

namespace tarvex {

void LogRowLoopHeader(CommandProgress& progress, const RowLoop& loop) {
  progress.AddLine("");
  progress.AddLine(loop.Texts.LogHeader);
}

CommandResult RunRowLoop(CommandProgress& progress, ProgressDialogState& dialog,
                         const RowLoop& loop) {
  CommandResult result;
  const std::int32_t rows = loop.LastRow - loop.FirstRow + 1;
  dialog.Header = loop.Texts.Running;
  dialog.HeaderGrey = true;
  dialog.BarVisible = true;
  dialog.BarMaximum = rows;
  dialog.BarPosition = 0;
  progress.ShowDialog(dialog);
  progress.ClearCopyCancel();

  std::int32_t reached = rows;
  for (std::int32_t r = loop.FirstRow; r <= loop.LastRow; ++r) {
    progress.ProcessEvents();
    if (progress.CopyCancelRequested()) {
      result.Cancelled = true;
      reached = r - loop.FirstRow + 1;
      break;
    }
    if (!loop.EachRow(r, result)) continue;
    dialog.BarPosition = r - loop.FirstRow + 1;
    progress.UpdateDialog(dialog);
  }

  if (loop.AfterRows) loop.AfterRows(result);
  if (loop.BarEndsAtRowReached) dialog.BarPosition = reached;
  if (const std::string note = OutcomeNote(result); !note.empty())
    loop.ShowOutcome(dialog, result, note);
  FinishCommand(progress, dialog, loop.Texts.Finished(result.Files),
                loop.Texts.Closing(result.Files) + OutcomeLogSuffix(result));
  result.LoopRan = true;
  result.CurrentRow = loop.FirstRow;
  return result;
}

}  // namespace tarvex
