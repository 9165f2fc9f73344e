#include "core/commands/command_progress.h"

#include "core/fs/path_shortening.h"
#include "core/text/display_path.h"

namespace tarvex {

std::string PathForLabel(CommandProgress& progress, ProgressLine line, std::string_view path) {
  // Decoded first, so that what is measured is what the label draws; "/" never occurs inside a
  // character of either encoding, so the shortening still cuts only between names.
  return ShortenPathToWidth(DisplayPath(path), progress.PathWidthLimit(),
                            [&](std::string_view text) { return progress.TextWidth(line, text); });
}

void FinishCommand(CommandProgress& progress, ProgressDialogState& dialog, std::string header,
                   const std::string& logLine) {
  dialog.HeaderGrey = false;
  dialog.Header = std::move(header);
  dialog.OkEnabled = true;
  dialog.CancelEnabled = false;
  progress.UpdateDialog(dialog);
  progress.AddLine(logLine);
  progress.Beep();
}

}  // namespace tarvex
