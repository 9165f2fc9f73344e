#pragma once
// The three delete commands of the list's pop-up menu: they count what they would remove, ask, and
// move the selected rows' files to the trash, updating the entries in place.

#include <array>
#include <string_view>

#include "core/commands/command_progress.h"
#include "core/commands/command_scope.h"
#include "core/fs/file_operations.h"
#include "core/scan/side.h"

namespace tarvex {

struct DeleteCommandInfo {
  const char* MenuItem;  // objectName of the pop-up item
  const char* Caption;
  bool MainSide;
  bool SubSide;
  const char* Prefix;

  constexpr bool Takes(Side side) const { return side == Side::Main ? MainSide : SubSide; }
};

// In menu order.
inline constexpr std::array<DeleteCommandInfo, 3> DeleteCommandTable = {{
    {"PMMDelFileMain", "メインのファイルを削除する", true, false, "メインのファイルを"},
    {"PMMDelFileSub", "サブのファイルを削除する", false, true, "サブのファイルを"},
    {"PMMDelFileAll", "両方のファイルを削除する", true, true, "両方のファイルを"},
}};

// The command of a pop-up item: the first two by name, anything else is PMMDelFileAll.
const DeleteCommandInfo& DeleteCommandFor(std::string_view menuItem);

// The files the command would move: each chosen side that exists, over the rows first..last,
// folders left out. Ignore patterns play no part here.
std::int32_t CountFilesToDelete(const PathList& list, const DeleteCommandInfo& command,
                                std::int32_t first, std::int32_t last);

// The paths (relative to the roots) of the file rows first..last with a file on a chosen side,
// one a line, the first maxShown of them; then "ほか N 件" for the rest.
std::string DeleteConfirmationNames(const PathList& list, const DeleteCommandInfo& command,
                                    std::int32_t first, std::int32_t last, int maxShown = 5);

class DeleteCommand {
 public:
  DeleteCommand(FileOperations& files, CommandProgress& progress, CommandSettings settings = {})
      : files_(files), progress_(progress), settings_(settings) {}

  // Logs the header; with nothing to remove it ends there. Otherwise asks in the dialog, then
  // moves each chosen existing file to the trash, one row at a time, with a log line per file.
  // A side is cleared only when its file is really gone; a file the trash refuses, or a folder
  // found where the row has a file, stays, is logged as failed with the reason on the next line
  // and keeps its side. The statuses afterwards are those that recomputing every
  // entry after each file row gives. 中止 is seen at the start of a row.
  CommandResult Run(const DeleteCommandInfo& command, const CommandScope& scope);

 private:
  // Moves the chosen sides' files of grid row r to the trash and clears the sides that are gone.
  void DeleteRow(const DeleteCommandInfo& command, const CommandScope& scope,
                 const PerSide<RootFolder>& roots, std::int32_t r, const PathEntry& entry,
                 ProgressDialogState& dialog, CommandResult& result);

  FileOperations& files_;
  CommandProgress& progress_;
  CommandSettings settings_;
};

}  // namespace tarvex
