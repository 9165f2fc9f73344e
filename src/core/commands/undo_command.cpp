#include "core/commands/undo_command.h"

#include <set>
#include <utility>

#include "core/commands/row_loop.h"
#include "core/fs/path.h"
#include "core/text/display_path.h"
#include "core/text/format_text.h"

namespace tarvex {
namespace {

using PlaceKey = std::pair<Side, std::string>;

std::set<PlaceKey> TrashedPlaces(const JournalRecord& record) {
  std::set<PlaceKey> places;
  for (const JournalEntry& entry : record.Entries) {
    if (entry.Action == JournalAction::Trashed) places.emplace(entry.Where, entry.Relative);
  }
  return places;
}

}  // namespace

std::int32_t JournalFileCount(const JournalRecord& record) {
  std::set<PlaceKey> places = TrashedPlaces(record);
  for (const JournalEntry& entry : record.Entries) {
    if (entry.Action == JournalAction::Created) places.emplace(entry.Where, entry.Relative);
  }
  return static_cast<std::int32_t>(places.size());
}

std::string UndoConfirmationText(const JournalRecord& record, const std::string& today) {
  // Time is YYYY-MM-DDTHH:MM:SS.
  std::string when = record.Time.size() >= 16 ? record.Time.substr(11, 5) : record.Time;
  if (record.Time.size() >= 16 && record.Time.compare(0, 10, today) != 0) {
    when = record.Time.substr(0, 10) + " " + when;
  }
  return FormatText("%s %s の %d ファイルを元に戻します", record.Caption.c_str(), when.c_str(),
                    JournalFileCount(record));
}

CommandResult UndoCommand::Run(JournalRecord& record) {
  // Only the roots that the journal's entries act on are needed, and each must be the folder
  // that the command worked on.
  PerSide<RootFolder> roots;
  for (const Side side : BothSides) {
    bool used = false;
    for (const JournalEntry& entry : record.Entries) used |= entry.Where == side;
    if (!used) continue;
    const JournalRoot& root = record.Roots[side];
    if (!root.Identity.Known || !IsAbsolutePath(root.Path) ||
        !files_.OpenRoot(root.Path, roots[side]) || !(roots[side].Identity() == root.Identity)) {
      CommandResult changed;
      changed.RootChanged = true;
      return changed;
    }
  }

  RowLoop loop;
  loop.FirstRow = 1;
  loop.LastRow = static_cast<std::int32_t>(record.Entries.size());
  if (loop.LastRow == 0) return CommandResult();
  loop.Texts.LogHeader = FormatText("元に戻す: %s %s", record.Caption.c_str(), record.Time.c_str());
  loop.Texts.Running = FormatText("元に戻しています。(%d)", loop.LastRow);
  loop.Texts.Finished = [](std::int32_t files) {
    return FormatText("%dファイル元に戻しました。", files);
  };
  loop.Texts.Closing = [](std::int32_t files) { return FormatText("%dファイル元に戻す", files); };
  LogRowLoopHeader(progress_, loop);

  ProgressDialogState dialog;
  dialog.OkEnabled = false;
  dialog.CancelEnabled = true;
  dialog.Line2Bold = true;
  // Newest first: a copy's new file leaves before the old one comes back, files before folders.
  loop.EachRow = [&](std::int32_t r, CommandResult& result) {
    const std::size_t index = record.Entries.size() - static_cast<std::size_t>(r);
    if (record.Undone[index]) return false;
    UndoEntry(record, index, roots, r, dialog, result);
    record.Undone[index] = true;
    MarkEntryUndone(record, index);
    return true;
  };
  loop.ShowOutcome = [](ProgressDialogState& finished, const CommandResult&,
                        const std::string& note) { finished.Line2 = "    " + note; };
  loop.BarEndsAtRowReached = true;
  CommandResult result = RunRowLoop(progress_, dialog, loop);
  if (!result.Cancelled) {
    record.Finished = true;
    MarkJournalFinished(record);
  }
  return result;
}

void UndoCommand::UndoEntry(const JournalRecord& record, std::size_t index,
                            const PerSide<RootFolder>& roots, std::int32_t row,
                            ProgressDialogState& dialog, CommandResult& result) {
  const JournalEntry& entry = record.Entries[index];
  const RootFolder& root = roots[entry.Where];
  const std::string shown = DisplayPath(root.PathOf(entry.Relative));
  dialog.Line1 = PathForLabel(progress_, ProgressLine::Line1, root.PathOf(entry.Relative));
  dialog.Line2 = FormatText("    %d", result.Files + 1);
  dialog.Line3.clear();
  progress_.UpdateDialog(dialog);

  FileResult done;
  std::string line;
  bool counts = true;
  switch (entry.Action) {
    case JournalAction::Created:
      done = files_.TrashIfUnchanged(root, entry.Relative, entry.Identity);
      line = FormatText("　%d:%s → ごみ箱", row, shown.c_str());
      // A copy over an old file counts once, when the old one is back.
      counts = TrashedPlaces(record).count({entry.Where, entry.Relative}) == 0;
      break;
    case JournalAction::Trashed:
      done = files_.RestoreTrashItem(entry.Trash, root, entry.Relative);
      line = FormatText("　%d:ごみ箱 → %s", row, shown.c_str());
      break;
    case JournalAction::Folder:
      done = files_.RemoveEmptyFolder(root, entry.Relative);
      line = FormatText("　%d:%s フォルダを削除", row, shown.c_str());
      counts = false;
      break;
  }
  if (done) {
    progress_.AddLine(line);
    if (counts) ++result.Files;
  } else {
    progress_.AddLine(line + " 失敗");
    if (!done.Reason.empty()) progress_.AddLine("　　" + DisplayPath(done.Reason));
    ++result.Failed;
  }
  progress_.Pause(settings_.CopyWait);
}

}  // namespace tarvex
