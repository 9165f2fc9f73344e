#pragma once
// What a copy or delete command works on, how it is tuned, and what the window needs at its end.

#include <cstdint>
#include <string>

#include "core/content/content_results.h"
#include "core/fs/file_operations.h"
#include "core/fs/path.h"
#include "core/fs/root_folder.h"
#include "core/scan/path_entry.h"
#include "core/scan/path_list.h"
#include "core/scan/side.h"
#include "core/settings/settings.h"

namespace tarvex {

// The list, the two roots (the folder edits' texts, as bytes) and the list entries
// FirstRow - 1..LastRow - 1 that the command acts on, all of them selected and shown rows.
struct CommandScope {
  PathList& List;
  std::string MainRoot;
  std::string SubRoot;
  std::int32_t FirstRow = 1;
  std::int32_t LastRow = 1;

  const std::string& Root(Side side) const { return side == Side::Main ? MainRoot : SubRoot; }
};

class CommandJournal;

struct CommandSettings {
  int CopyWait = DefaultCopyWait;  // pause after each file, in milliseconds
  std::uint32_t ScanAttrMask = DefaultScanAttrMask;
  CommandJournal* Journal = nullptr;  // where the command notes what it did, so it can be undone
  // The content check's verdicts while that option is on: the newest-only copies leave files with
  // the same bytes alone, and a copied file has the same bytes as its source. Null: every row is
  // decided by its times alone.
  ContentResults* Content = nullptr;
};

struct CommandResult {
  // The loop ran: the window refills the list without a rescan, restores the top row it
  // remembered and makes CurrentRow current. False when the command ended before its loop (a
  // delete with nothing to remove, a declined confirmation, an empty selection).
  bool LoopRan = false;
  std::int32_t CurrentRow = 0;
  std::int32_t Files = 0;   // files copied, or moved to the trash
  std::int32_t Failed = 0;  // files that were tried and failed
  bool Cancelled = false;   // 中止 stopped the loop
  // A root that the command acts on has vanished or is no longer the folder the scan listed (an
  // unplugged stick leaves an empty folder in its place): nothing was done, and the window says so
  // with RootChangedText.
  bool RootChanged = false;
};

// Opens the side's root of the scope into roots[side] and checks that it is still the folder that
// the scan listed, by device and inode; false when it is not, or when the scan found none.
bool OpenScannedRoot(FileOperations& files, const CommandScope& scope, Side side,
                     PerSide<RootFolder>& roots);

// What the closing texts add to the count of files done, so that a count of successes never hides
// failures or a stop: the log line's "、%dファイル失敗" and "、中止", the dialog's
// "%dファイル失敗しました。" and "中止しました。", each where it applies; empty otherwise.
std::string OutcomeLogSuffix(const CommandResult& result);
std::string OutcomeNote(const CommandResult& result);

// The selected rows kept to rows that show an entry; false when none is left.
bool ClampRows(const PathList& list, std::int32_t& first, std::int32_t& last);

// Recomputes one entry's status after its sides changed, keeping SameCount the number of Same
// entries: the old Same is taken off before CompareEntry counts the new one.
void RecompareEntry(PathList& list, std::int32_t index);

}  // namespace tarvex
