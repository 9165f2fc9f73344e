#include "core/commands/copy_command.h"

#include "core/scan/folder_scan.h"
#include "core/text/display_path.h"
#include "core/text/format_text.h"

namespace tarvex {
namespace {

// Makes one side of the entry say what the disk holds now: the file's directory entry when a
// listing with the mask would show it, absent when nothing is there. Something the mask hides (a
// link that took the file's place) or a path that cannot be looked at leaves the side as it was.
// True when the side was rewritten.
bool ReadSideBack(FileOperations& files, PathList& list, std::int32_t index, bool mainSide,
                  const RootFolder& root, const std::string& relative, std::uint32_t attrMask) {
  DirectoryEntry found;
  if (files.ReadDirectoryEntry(root, relative, found)) {
    if ((found.Attr & attrMask) != found.Attr) return false;
    mainSide ? list.SetMainSide(index, found) : list.SetSubSide(index, found);
    return true;
  }
  if (!files.IsPathAbsent(root, relative)) return false;
  mainSide ? list.ClearMainSide(index) : list.ClearSubSide(index);
  return true;
}

}  // namespace

const CopyCommandInfo& CopyCommandFor(std::string_view menuItem) {
  for (std::size_t i = 0; i + 1 < CopyCommandTable.size(); ++i) {
    if (menuItem == CopyCommandTable[i].MenuItem) return CopyCommandTable[i];
  }
  return CopyCommandTable.back();
}

bool IsSelectedForCopy(const PathEntry& entry, const CopyCommandInfo& command) {
  const bool toSub = command.Direction == CopyDirection::MainToSub;
  if (entry.Status == (toSub ? SubOnly : MainOnly)) return false;
  // An absent side has the time 0, so a file found only on the source side is always newer.
  if (command.NewestOnly &&
      !(toSub ? entry.MainTime > entry.SubTime : entry.SubTime > entry.MainTime)) {
    return false;
  }
  return !entry.Ignored;
}

CommandResult CopyCommand::Run(const CopyCommandInfo& command, const CommandScope& scope) {
  CommandResult result;
  PathList& list = scope.List;
  std::int32_t first = scope.FirstRow;
  std::int32_t last = scope.LastRow;
  if (!ClampRows(list, first, last)) return result;
  const std::int32_t rows = last - first + 1;
  const bool toSub = command.Direction == CopyDirection::MainToSub;
  // Both roots must still be the folders the list was made of, or nothing is touched.
  RootFolder mainRoot;
  RootFolder subRoot;
  if (!OpenScannedRoot(files_, scope.MainRoot, list.MainRootIdentity, mainRoot) ||
      !OpenScannedRoot(files_, scope.SubRoot, list.SubRootIdentity, subRoot)) {
    result.RootChanged = true;
    return result;
  }

  progress_.AddLine("");
  progress_.AddLine(FormatText("%sコピー (%d～%d)", command.LogPrefix, first, last));

  ProgressDialogState dialog;
  dialog.Header = FormatText("%sコピーしています。(%d)", command.LogPrefix, rows);
  dialog.HeaderGrey = true;
  dialog.OkEnabled = false;
  dialog.CancelEnabled = true;
  dialog.BarVisible = true;
  dialog.BarMaximum = rows;
  dialog.BarPosition = 0;
  dialog.Line1 = "Source File";
  dialog.Line2.clear();
  dialog.Line2Bold = true;
  dialog.Line3 = "Destinetion File";
  dialog.Line3Bold = false;
  progress_.ShowDialog(dialog);
  progress_.ClearCopyCancel();

  std::int32_t reached = rows;
  for (std::int32_t r = first; r <= last; ++r) {
    progress_.ProcessEvents();
    if (progress_.CopyCancelRequested()) {
      result.Cancelled = true;
      reached = r - first + 1;
      break;
    }
    const std::int32_t index = r - 1;
    const PathEntry entry = list[index];
    if (!IsSelectedForCopy(entry, command)) continue;

    if (!IsFolder(entry.Attr)) {
      const std::string mainPath = SidePath(scope.MainRoot, entry.Path);
      const std::string subPath = SidePath(scope.SubRoot, entry.Path);
      // The top label always holds the main side; the arrow tells the direction.
      dialog.Line1 = PathForLabel(progress_, ProgressLine::Line1, mainPath);
      dialog.Line3 = PathForLabel(progress_, ProgressLine::Line3, subPath);
      dialog.Line2 = FormatText("    %s　%d", command.Arrow, result.Files + 1);
      progress_.UpdateDialog(dialog);

      const std::string& source = toSub ? mainPath : subPath;
      const std::string& destination = toSub ? subPath : mainPath;
      const RootFolder& sourceRoot = toSub ? mainRoot : subRoot;
      const RootFolder& destinationRoot = toSub ? subRoot : mainRoot;
      // The copy itself puts the old destination into the trash, and only once the new one is
      // complete beside it; a refusing trash is a failed copy like any other.
      const FileResult copied =
          files_.CopyOneFile(sourceRoot, destinationRoot, entry.Path,
                             command.NewestOnly ? CopyWhen::SourceNewer : CopyWhen::Always);
      const std::string shownSource = DisplayPath(source);
      const std::string shownDestination = DisplayPath(destination);
      if (copied) {
        progress_.AddLine(
            FormatText("　%d:%s → %s", r, shownSource.c_str(), shownDestination.c_str()));
        ++result.Files;
      } else if (copied.Step == FileStep::NotNewer) {
        // The destination became newer since the scan: what is on the disk decides, not the row.
        progress_.AddLine(FormatText("　%d:%s → %s コピーしません", r, shownSource.c_str(),
                                     shownDestination.c_str()));
        progress_.AddLine("　　" + copied.Reason);
      } else {
        progress_.AddLine(
            FormatText("　%d:%s → %s 失敗", r, shownSource.c_str(), shownDestination.c_str()));
        if (!copied.Reason.empty()) progress_.AddLine("　　" + DisplayPath(copied.Reason));
        ++result.Failed;
      }
      progress_.Pause(settings_.CopyWait);

      // The row shows what is on the disk now. After a failure the source is read too: it may be
      // what vanished.
      bool changed = ReadSideBack(files_, list, index, !toSub, destinationRoot, entry.Path,
                                  settings_.ScanAttrMask);
      if (!copied) {
        changed |= ReadSideBack(files_, list, index, toSub, sourceRoot, entry.Path,
                                settings_.ScanAttrMask);
      }
      if (changed) RecompareEntry(list, index);
    }
    dialog.BarPosition = r - first + 1;
    progress_.UpdateDialog(dialog);
  }

  dialog.BarPosition = reached;
  // The bold line under the header, which held the file being copied, tells what went wrong.
  if (const std::string note = OutcomeNote(result); !note.empty()) dialog.Line2 = "    " + note;
  FinishCommand(
      progress_, dialog,
      FormatText("%s%dファイルコピーしました。", command.LogPrefix, result.Files),
      FormatText("%s%dファイルコピー", command.LogPrefix, result.Files) + OutcomeLogSuffix(result));

  result.LoopRan = true;
  result.CurrentRow = first;
  return result;
}

}  // namespace tarvex
