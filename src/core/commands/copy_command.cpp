#include "core/commands/copy_command.h"

#include "core/commands/command_journal.h"
#include "core/commands/command_text.h"
#include "core/commands/row_loop.h"
#include "core/scan/folder_scan.h"
#include "core/text/display_path.h"
#include "core/text/format_text.h"

namespace tarvex {
namespace {

// Makes one side of the entry say what the disk holds now: the file's directory entry when a
// listing with the mask would show it, absent when nothing is there. Something the mask hides (a
// link that took the file's place) or a path that cannot be looked at leaves the side as it was.
// True when the side was rewritten.
bool ReadSideBack(FileOperations& files, PathList& list, std::int32_t index, Side side,
                  const RootFolder& root, const std::string& relative, std::uint32_t attrMask) {
  DirectoryEntry found;
  if (files.ReadDirectoryEntry(root, relative, found)) {
    if ((found.Attr & attrMask) != found.Attr) return false;
    list.SetSide(index, side, found);
    return true;
  }
  if (!files.IsPathAbsent(root, relative)) return false;
  list.ClearSide(index, side);
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
  const Side from = SourceSide(command.Direction);
  const Side to = OtherSide(from);
  if (entry.Status == OnlyOn(to)) return false;
  // An absent side has the time 0, so a file found only on the source side is always newer.
  if (command.NewestOnly && !(entry.Time(from) > entry.Time(to))) return false;
  return !entry.Ignored;
}

CommandResult CopyCommand::Run(const CopyCommandInfo& command, const CommandScope& scope) {
  RowLoop loop;
  loop.FirstRow = scope.FirstRow;
  loop.LastRow = scope.LastRow;
  if (!ClampRows(scope.List, loop.FirstRow, loop.LastRow)) return CommandResult();
  // Both roots must still be the folders the list was made of, or nothing is touched.
  PerSide<RootFolder> roots;
  if (!OpenScannedRoot(files_, scope, Side::Main, roots) ||
      !OpenScannedRoot(files_, scope, Side::Sub, roots)) {
    CommandResult changed;
    changed.RootChanged = true;
    return changed;
  }
  const JournalScope journaling(files_, settings_.Journal, roots);

  const char* prefix = command.LogPrefix;
  const std::int32_t rows = loop.LastRow - loop.FirstRow + 1;
  loop.Texts.LogHeader = FormatText("%sコピー (%d～%d)", prefix, loop.FirstRow, loop.LastRow);
  loop.Texts.Running = FormatText("%sコピーしています。(%d)", prefix, rows);
  loop.Texts.Finished = [prefix](std::int32_t files) {
    return FormatText("%s%dファイルコピーしました。", prefix, files);
  };
  loop.Texts.Closing = [prefix](std::int32_t files) {
    return FormatText("%s%dファイルコピー", prefix, files);
  };
  LogRowLoopHeader(progress_, loop);

  ProgressDialogState dialog;
  dialog.OkEnabled = false;
  dialog.CancelEnabled = true;
  dialog.Line1 = "Source File";
  dialog.Line2.clear();
  dialog.Line2Bold = true;
  dialog.Line3 = "Destinetion File";
  dialog.Line3Bold = false;
  loop.EachRow = [&](std::int32_t r, CommandResult& result) {
    const PathEntry entry = scope.List[r - 1];
    if (!IsSelectedForCopy(entry, command)) return false;
    if (command.NewestOnly && scope.List.IgnoreHourShift &&
        IsHourShift(entry.Time(Side::Main), entry.Time(Side::Sub)))
      return false;  // as equal times are
    if (command.NewestOnly && settings_.Content != nullptr &&
        IsSameContent(entry, settings_.Content->Of(entry))) {
      // A stick whose times moved is not copied again file by file.
      progress_.AddLine(FormatText(
          "　%d:%s 内容が同じためコピーしません", r,
          DisplayPath(SidePath(scope.Root(SourceSide(command.Direction)), entry.Path)).c_str()));
      return true;
    }
    // A folder copies nothing but counts on the bar.
    if (!IsFolder(entry.Attr)) CopyRow(command, scope, roots, r, entry, dialog, result);
    return true;
  };
  // The copies that replaced nothing were not flushed one by one: the command is finished once
  // they are on the disk, and a write that failed there is said in the log.
  loop.AfterRows = [&](CommandResult& result) {
    if (result.Files == 0) return;
    const Side to = DestinationSide(command.Direction);
    if (const FileResult flushed = files_.FlushVolume(roots[to]); !flushed)
      progress_.AddLine("　" + DisplayPath(flushed.Reason));
  };
  // The bold line under the header, which held the file being copied, tells what went wrong.
  loop.ShowOutcome = [](ProgressDialogState& finished, const CommandResult&,
                        const std::string& note) { finished.Line2 = "    " + note; };
  loop.BarEndsAtRowReached = true;
  return RunRowLoop(progress_, dialog, loop);
}

void CopyCommand::CopyRow(const CopyCommandInfo& command, const CommandScope& scope,
                          const PerSide<RootFolder>& roots, std::int32_t r, const PathEntry& entry,
                          ProgressDialogState& dialog, CommandResult& result) {
  PathList& list = scope.List;
  const std::int32_t index = r - 1;
  const Side from = SourceSide(command.Direction);
  const Side to = OtherSide(from);
  PerSide<std::string> paths;
  for (const Side side : BothSides) paths[side] = SidePath(scope.Root(side), entry.Path);
  // The top label always holds the main side; the arrow tells the direction.
  dialog.Line1 = PathForLabel(progress_, ProgressLine::Line1, paths.Main);
  dialog.Line3 = PathForLabel(progress_, ProgressLine::Line3, paths.Sub);
  dialog.Line2 = FormatText("    %s　%d", command.Arrow, result.Files + 1);
  progress_.UpdateDialog(dialog);

  // The copy itself puts the old destination into the trash, and only once the new one is
  // complete beside it; a refusing trash is a failed copy like any other.
  const FileResult copied =
      files_.CopyOneFile(roots[from], roots[to], entry.Path,
                         command.NewestOnly ? CopyWhen::SourceNewer : CopyWhen::Always);
  const std::string shownSource = DisplayPath(paths[from]);
  const std::string shownDestination = DisplayPath(paths[to]);
  if (copied) {
    progress_.AddLine(FormatText("　%d:%s → %s", r, shownSource.c_str(), shownDestination.c_str()));
    ++result.Files;
    if (settings_.Content != nullptr) settings_.Content->Set(entry, ContentVerdict::Same);
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
  bool changed =
      ReadSideBack(files_, list, index, to, roots[to], entry.Path, settings_.ScanAttrMask);
  if (!copied) {
    changed |=
        ReadSideBack(files_, list, index, from, roots[from], entry.Path, settings_.ScanAttrMask);
  }
  if (changed) RecompareEntry(list, index);
}

}  // namespace tarvex
