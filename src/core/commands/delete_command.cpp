#include "core/commands/delete_command.h"

#include "core/commands/command_journal.h"
#include "core/commands/command_text.h"
#include "core/commands/row_loop.h"
#include "core/scan/folder_scan.h"
#include "core/text/display_path.h"
#include "core/text/format_text.h"

namespace tarvex {

const DeleteCommandInfo& DeleteCommandFor(std::string_view menuItem) {
  for (std::size_t i = 0; i + 1 < DeleteCommandTable.size(); ++i) {
    if (menuItem == DeleteCommandTable[i].MenuItem) return DeleteCommandTable[i];
  }
  return DeleteCommandTable.back();
}

std::int32_t CountFilesToDelete(const PathList& list, const DeleteCommandInfo& command,
                                std::int32_t first, std::int32_t last) {
  std::int32_t count = 0;
  if (!ClampRows(list, first, last)) return 0;
  for (std::int32_t r = first; r <= last; ++r) {
    const PathEntry& entry = list[r - 1];
    if (IsFolder(entry.Attr)) continue;
    for (const Side side : BothSides) count += command.Takes(side) && entry.Exists(side);
  }
  return count;
}

std::string DeleteConfirmationNames(const PathList& list, const DeleteCommandInfo& command,
                                    std::int32_t first, std::int32_t last, int maxShown) {
  std::string names;
  int shown = 0;
  int rest = 0;
  if (!ClampRows(list, first, last)) return names;
  for (std::int32_t r = first; r <= last; ++r) {
    const PathEntry& entry = list[r - 1];
    if (IsFolder(entry.Attr)) continue;
    if (!(command.Takes(Side::Main) && entry.Exists(Side::Main)) &&
        !(command.Takes(Side::Sub) && entry.Exists(Side::Sub)))
      continue;
    if (shown >= maxShown) {
      ++rest;
      continue;
    }
    if (shown++ > 0) names += '\n';
    names += DisplayPath(entry.Path);
  }
  if (rest > 0) names += FormatText("\nほか %d 件", rest);
  return names;
}

namespace {

// Moves one side's file of grid row r to the trash and logs it. True when the file is gone
// afterwards, so that its side may be cleared.
class SideRemover {
 public:
  SideRemover(FileOperations& files, CommandProgress& progress, CommandResult& result)
      : files_(files), progress_(progress), result_(result) {}

  bool Remove(std::int32_t row, bool exists, const RootFolder& root, const std::string& relative) {
    if (!exists) return true;  // the row already shows the side as absent
    const std::string path = root.PathOf(relative);
    DirectoryEntry found;
    if (!files_.ReadDirectoryEntry(root, relative, found)) {
      if (files_.IsPathAbsent(root, relative)) return true;  // gone meanwhile
    } else if (IsFolder(found.Attr)) {
      // The row is a file, so a folder on this side is not what the count promised; trashing it
      // would take a whole tree along.
      return Failed(row, path, "ファイルではなくフォルダです");
    }
    const FileResult trashed = files_.RecycleFile(root, relative);
    if (trashed) {
      progress_.AddLine(FormatText("　%d:%s → ごみ箱", row, DisplayPath(path).c_str()));
      ++result_.Files;
      return true;
    }
    if (files_.IsPathAbsent(root, relative)) return true;  // somebody else removed it meanwhile
    return Failed(row, path, trashed.Reason);
  }

 private:
  bool Failed(std::int32_t row, const std::string& path, const std::string& reason) {
    progress_.AddLine(FormatText("　%d:%s → ごみ箱 失敗", row, DisplayPath(path).c_str()));
    if (!reason.empty()) progress_.AddLine("　　" + DisplayPath(reason));
    ++result_.Failed;
    return false;
  }

  FileOperations& files_;
  CommandProgress& progress_;
  CommandResult& result_;
};

}  // namespace

CommandResult DeleteCommand::Run(const DeleteCommandInfo& command, const CommandScope& scope) {
  RowLoop loop;
  loop.FirstRow = scope.FirstRow;
  loop.LastRow = scope.LastRow;
  if (!ClampRows(scope.List, loop.FirstRow, loop.LastRow)) return CommandResult();
  // The chosen sides' roots must still be the folders the list was made of.
  PerSide<RootFolder> roots;
  for (const Side side : BothSides) {
    if (command.Takes(side) && !OpenScannedRoot(files_, scope, side, roots)) {
      CommandResult changed;
      changed.RootChanged = true;
      return changed;
    }
  }
  const JournalScope journaling(files_, settings_.Journal, roots);

  const char* prefix = command.Prefix;
  const std::int32_t rows = loop.LastRow - loop.FirstRow + 1;
  loop.Texts.LogHeader = FormatText("%s削除 (%d～%d)", prefix, loop.FirstRow, loop.LastRow);
  loop.Texts.Running = FormatText("%s削除しています。(%d)", prefix, rows);
  loop.Texts.Finished = [prefix](std::int32_t files) {
    return FormatText("%s%dファイル削除しました。", prefix, files);
  };
  loop.Texts.Closing = [prefix](std::int32_t files) {
    return FormatText("%s%dファイル削除", prefix, files);
  };
  LogRowLoopHeader(progress_, loop);
  const std::int32_t count = CountFilesToDelete(scope.List, command, loop.FirstRow, loop.LastRow);
  if (count == 0) return CommandResult();

  ProgressDialogState dialog;
  dialog.Header = FormatText("%s削除してよろしいですか？(%d)", prefix, count);
  dialog.HeaderGrey = false;
  dialog.OkEnabled = true;
  dialog.CancelEnabled = true;
  dialog.BarVisible = false;
  dialog.Line2Bold = false;
  dialog.Line3Bold = true;
  dialog.Line1 = command.MainSide ? DisplayPath(JoinPath(scope.MainRoot, "～")) : "";
  dialog.Line2 = command.SubSide ? DisplayPath(JoinPath(scope.SubRoot, "～")) : "";
  dialog.Line3.clear();
  // The header's count alone does not say which files; the user must see what will go.
  dialog.Names = DeleteConfirmationNames(scope.List, command, loop.FirstRow, loop.LastRow);
  if (!progress_.ConfirmInDialog(dialog)) return CommandResult();
  dialog.Names.clear();

  // Every file row leaves each entry with the status its sides give. The first file row does
  // that for the whole list at once (a folder that the scan counted as Same under the folder
  // option gets its time-based status there); after it only the row's own entry can change.
  bool allCompared = false;
  loop.EachRow = [&](std::int32_t r, CommandResult& result) {
    const PathEntry entry = scope.List[r - 1];
    if (IsFolder(entry.Attr)) return false;
    DeleteRow(command, scope, roots, r, entry, dialog, result);
    if (allCompared) {
      RecompareEntry(scope.List, r - 1);
    } else {
      scope.List.CompareAllEntries();
      allCompared = true;
    }
    return true;
  };
  // The bold tally line tells what went wrong as well.
  loop.ShowOutcome = [](ProgressDialogState& finished, const CommandResult& result,
                        const std::string& note) {
    finished.Line3 = FormatText("  %dファイル削除", result.Files) + "　" + note;
  };
  // Both buttons stay enabled while the loop runs: ＯＫ hides the dialog and the loop carries on
  // unseen.
  return RunRowLoop(progress_, dialog, loop);
}

void DeleteCommand::DeleteRow(const DeleteCommandInfo& command, const CommandScope& scope,
                              const PerSide<RootFolder>& roots, std::int32_t r,
                              const PathEntry& entry, ProgressDialogState& dialog,
                              CommandResult& result) {
  // The main side's path on the first line, the sub side's on the second.
  for (const Side side : BothSides) {
    const ProgressLine line = side == Side::Main ? ProgressLine::Line1 : ProgressLine::Line2;
    std::string& label = side == Side::Main ? dialog.Line1 : dialog.Line2;
    label = command.Takes(side)
                ? PathForLabel(progress_, line, SidePath(scope.Root(side), entry.Path))
                : std::string();
  }
  progress_.UpdateDialog(dialog);

  SideRemover remover(files_, progress_, result);
  PerSide<bool> gone;
  for (const Side side : BothSides) {
    gone[side] =
        command.Takes(side) && remover.Remove(r, entry.Exists(side), roots[side], entry.Path);
  }
  dialog.Line3 = FormatText("  %dファイル削除", result.Files);
  progress_.UpdateDialog(dialog);
  progress_.Pause(settings_.CopyWait);

  for (const Side side : BothSides) {
    if (gone[side]) scope.List.ClearSide(r - 1, side);
  }
}

}  // namespace tarvex
