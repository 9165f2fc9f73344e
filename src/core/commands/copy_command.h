#pragma once
// The four copy commands of the list's pop-up menu: which rows they take and the loop that copies
// the files, shows the progress, writes the log and updates the entries in place.

#include <array>
#include <string_view>

#include "core/commands/command_progress.h"
#include "core/commands/command_scope.h"
#include "core/fs/file_operations.h"
#include "core/scan/side.h"

namespace tarvex {

enum class CopyDirection { MainToSub, SubToMain };

constexpr Side SourceSide(CopyDirection direction) {
  return direction == CopyDirection::MainToSub ? Side::Main : Side::Sub;
}
constexpr Side DestinationSide(CopyDirection direction) { return OtherSide(SourceSide(direction)); }

struct CopyCommandInfo {
  const char* MenuItem;  // objectName of the pop-up item
  const char* Caption;
  CopyDirection Direction;
  bool NewestOnly;
  const char* LogPrefix;
  const char* Arrow;
};

// In menu order.
inline constexpr std::array<CopyCommandInfo, 4> CopyCommandTable = {{
    {"PMMNewMainToSub", "メインの最新 → サブへ コピー", CopyDirection::MainToSub, true,
     "メインの最新からサブへ", "↓"},
    {"PMMNewSubToMain", "メインへ ← サブの最新 コピー", CopyDirection::SubToMain, true,
     "サブの最新からメインへ", "↑"},
    {"PMMMainToSub", "メインの全部 → サブへ コピー", CopyDirection::MainToSub, false,
     "メインからサブへ", "↓"},
    {"PMMSubToMain", "メイン へ ← サブの全部 コピー", CopyDirection::SubToMain, false,
     "サブからメインへ", "↑"},
}};

// The command of a pop-up item: the first three by name, anything else is PMMSubToMain.
const CopyCommandInfo& CopyCommandFor(std::string_view menuItem);

// True when the command copies this entry: not absent on the source side, for the newest-only
// commands strictly newer on the source side (equal times never are), and not ignored. Folders
// pass too; they copy nothing but count on the bar.
bool IsSelectedForCopy(const PathEntry& entry, const CopyCommandInfo& command);

class CopyCommand {
 public:
  CopyCommand(FileOperations& files, CommandProgress& progress, CommandSettings settings = {})
      : files_(files), progress_(progress), settings_(settings) {}

  // Copies the selected rows' files, one row at a time: the existing destination goes to the
  // trash only once the copy beside it is complete, missing folders are made, each file gets a log
  // line (a failed one its 失敗 line and then the reason, indented), and the destination side of
  // its entry is read back from the disk (after a failure the source side too, which may be what
  // vanished). 中止 is seen at the start of a row. Ends with the finished dialog, the closing log
  // line and the beep.
  CommandResult Run(const CopyCommandInfo& command, const CommandScope& scope);

 private:
  // Copies the file of grid row r and reads its sides back.
  void CopyRow(const CopyCommandInfo& command, const CommandScope& scope,
               const PerSide<RootFolder>& roots, std::int32_t r, const PathEntry& entry,
               ProgressDialogState& dialog, CommandResult& result);

  FileOperations& files_;
  CommandProgress& progress_;
  CommandSettings settings_;
};

}  // namespace tarvex
