#include "core/commands/delete_command.h"

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
    if (command.MainSide && entry.MainExists) ++count;
    if (command.SubSide && entry.SubExists) ++count;
  }
  return count;
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
  CommandResult result;
  PathList& list = scope.List;
  std::int32_t first = scope.FirstRow;
  std::int32_t last = scope.LastRow;
  if (!ClampRows(list, first, last)) return result;
  const std::int32_t rows = last - first + 1;
  // The chosen sides' roots must still be the folders the list was made of.
  RootFolder mainRoot;
  RootFolder subRoot;
  if ((command.MainSide &&
       !OpenScannedRoot(files_, scope.MainRoot, list.MainRootIdentity, mainRoot)) ||
      (command.SubSide && !OpenScannedRoot(files_, scope.SubRoot, list.SubRootIdentity, subRoot))) {
    result.RootChanged = true;
    return result;
  }

  progress_.AddLine("");
  progress_.AddLine(FormatText("%s削除 (%d～%d)", command.Prefix, first, last));
  const std::int32_t count = CountFilesToDelete(list, command, first, last);
  if (count == 0) return result;

  ProgressDialogState dialog;
  dialog.Header = FormatText("%s削除してよろしいですか？(%d)", command.Prefix, count);
  dialog.HeaderGrey = false;
  dialog.OkEnabled = true;
  dialog.CancelEnabled = true;
  dialog.BarVisible = false;
  dialog.Line2Bold = false;
  dialog.Line3Bold = true;
  dialog.Line1 = command.MainSide ? DisplayPath(JoinPath(scope.MainRoot, "～")) : "";
  dialog.Line2 = command.SubSide ? DisplayPath(JoinPath(scope.SubRoot, "～")) : "";
  dialog.Line3.clear();
  if (!progress_.ConfirmInDialog(dialog)) return result;

  dialog.Header = FormatText("%s削除しています。(%d)", command.Prefix, rows);
  dialog.HeaderGrey = true;
  dialog.BarMaximum = rows;
  dialog.BarPosition = 0;
  dialog.BarVisible = true;
  // Both buttons stay enabled: ＯＫ hides the dialog and the loop carries on unseen.
  progress_.ShowDialog(dialog);
  progress_.ClearCopyCancel();

  SideRemover remover(files_, progress_, result);
  // Every file row leaves each entry with the status its sides give. The first file row does
  // that for the whole list at once (a folder that the scan counted as Same under the folder
  // option gets its time-based status there); after it only the row's own entry can change.
  bool allCompared = false;
  for (std::int32_t r = first; r <= last; ++r) {
    progress_.ProcessEvents();
    if (progress_.CopyCancelRequested()) {
      result.Cancelled = true;
      break;
    }
    const std::int32_t index = r - 1;
    const PathEntry entry = list[index];
    if (IsFolder(entry.Attr)) continue;

    const std::string mainPath = SidePath(scope.MainRoot, entry.Path);
    const std::string subPath = SidePath(scope.SubRoot, entry.Path);
    dialog.Line1 =
        command.MainSide ? PathForLabel(progress_, ProgressLine::Line1, mainPath) : std::string();
    dialog.Line2 =
        command.SubSide ? PathForLabel(progress_, ProgressLine::Line2, subPath) : std::string();
    progress_.UpdateDialog(dialog);

    const bool mainGone =
        command.MainSide && remover.Remove(r, entry.MainExists, mainRoot, entry.Path);
    const bool subGone = command.SubSide && remover.Remove(r, entry.SubExists, subRoot, entry.Path);
    dialog.Line3 = FormatText("  %dファイル削除", result.Files);
    progress_.UpdateDialog(dialog);
    progress_.Pause(settings_.CopyWait);

    if (mainGone) list.ClearMainSide(index);
    if (subGone) list.ClearSubSide(index);
    if (allCompared) {
      RecompareEntry(list, index);
    } else {
      list.CompareAllEntries();
      allCompared = true;
    }
    dialog.BarPosition = r - first + 1;
    progress_.UpdateDialog(dialog);
  }

  // The bold tally line tells what went wrong as well.
  if (const std::string note = OutcomeNote(result); !note.empty()) {
    dialog.Line3 = FormatText("  %dファイル削除", result.Files) + "　" + note;
  }
  FinishCommand(
      progress_, dialog, FormatText("%s%dファイル削除しました。", command.Prefix, result.Files),
      FormatText("%s%dファイル削除", command.Prefix, result.Files) + OutcomeLogSuffix(result));

  result.LoopRan = true;
  result.CurrentRow = first;
  return result;
}

}  // namespace tarvex
