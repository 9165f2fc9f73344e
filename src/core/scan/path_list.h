#pragma once
// The comparison rows of the current folder pair and the entry operations.

#include <cstdint>
#include <vector>

#include "core/fs/directory_entry.h"
#include "core/fs/root_folder.h"
#include "core/scan/path_arena.h"
#include "core/scan/path_entry.h"
#include "core/scan/side.h"

namespace tarvex {

// Entries at PathCount and beyond are parked (the list view hides folders there); every operation
// stops at PathCount.
class PathList {
 public:
  // The bytes of the paths that the scan made; declared first, it outlives the entries.
  PathArena Arena;
  std::vector<PathEntry> Entries;
  std::int32_t PathCount = 0;
  std::int32_t FolderCount = 0;
  std::int32_t SameCount = 0;
  // Times one hour apart compare as equal (ComputeStatus); set by the scan, kept by Clear.
  bool IgnoreHourShift = false;
  // The folders that the last scan listed as its roots; a command acts on a root only while it is
  // still that folder (an unplugged stick leaves another, empty one in its place).
  FolderIdentity MainRootIdentity;
  FolderIdentity SubRootIdentity;
  const FolderIdentity& RootIdentity(Side side) const {
    return side == Side::Main ? MainRootIdentity : SubRootIdentity;
  }

  PathEntry& operator[](std::int32_t index) { return Entries[static_cast<std::size_t>(index)]; }
  const PathEntry& operator[](std::int32_t index) const {
    return Entries[static_cast<std::size_t>(index)];
  }

  void Clear();

  // Marks the side as existing with the time and size of d; Attr and Path stay as they are.
  void SetSide(std::int32_t index, Side side, const DirectoryEntry& d);
  static void SetSide(PathEntry& e, Side side, const DirectoryEntry& d);
  // The side absent: not existing, time and size 0.
  void ClearSide(std::int32_t index, Side side);
  void SetMainSide(std::int32_t index, const DirectoryEntry& d) { SetSide(index, Side::Main, d); }
  void SetSubSide(std::int32_t index, const DirectoryEntry& d) { SetSide(index, Side::Sub, d); }
  void ClearMainSide(std::int32_t index) { ClearSide(index, Side::Main); }
  void ClearSubSide(std::int32_t index) { ClearSide(index, Side::Sub); }
  // Sets the status from the two sides; a Same result counts in SameCount.
  void CompareEntry(std::int32_t index);
  void CompareEntry(PathEntry& e);
  // SameCount from 0, then CompareEntry for every valid entry in order.
  void CompareAllEntries();
};

}  // namespace tarvex
