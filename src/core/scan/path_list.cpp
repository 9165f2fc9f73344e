#include "core/scan/path_list.h"

// The entries of a million-file tree are most of the program's memory.
static_assert(sizeof(tarvex::PathEntry) <= 64);

namespace tarvex {

void PathList::Clear() {
  Entries.clear();
  Arena.Clear();
  PathCount = 0;
  FolderCount = 0;
  SameCount = 0;
  MainRootIdentity = FolderIdentity{};
  SubRootIdentity = FolderIdentity{};
}

void PathList::SetSide(std::int32_t index, Side side, const DirectoryEntry& d) {
  SetSide((*this)[index], side, d);
}

void PathList::SetSide(PathEntry& e, Side side, const DirectoryEntry& d) {
  e.Exists(side) = true;
  e.Time(side) = d.Time;
  e.Size(side) = d.Size;
}

void PathList::ClearSide(std::int32_t index, Side side) {
  PathEntry& e = (*this)[index];
  e.Exists(side) = false;
  e.Time(side) = 0;
  e.Size(side) = 0;
}

void PathList::CompareEntry(std::int32_t index) { CompareEntry((*this)[index]); }

void PathList::CompareEntry(PathEntry& e) {
  e.Status = ComputeStatus(e, IgnoreHourShift);
  if (e.Status == Same) ++SameCount;
}

void PathList::CompareAllEntries() {
  SameCount = 0;
  for (std::int32_t i = 0; i < PathCount; ++i) CompareEntry(i);
}

}  // namespace tarvex
