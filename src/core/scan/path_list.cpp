#include "core/scan/path_list.h"

namespace tarvex {

void PathList::Clear() {
  Entries.clear();
  PathCount = 0;
  FolderCount = 0;
  SameCount = 0;
  MainRootIdentity = FolderIdentity{};
  SubRootIdentity = FolderIdentity{};
}

void PathList::SetMainSide(std::int32_t index, const DirectoryEntry& d) {
  PathEntry& e = (*this)[index];
  e.MainExists = true;
  e.MainTime = d.Time;
  e.MainSize = d.Size;
}

void PathList::SetSubSide(std::int32_t index, const DirectoryEntry& d) {
  PathEntry& e = (*this)[index];
  e.SubExists = true;
  e.SubTime = d.Time;
  e.SubSize = d.Size;
}

void PathList::ClearMainSide(std::int32_t index) {
  PathEntry& e = (*this)[index];
  e.MainExists = false;
  e.MainTime = 0;
  e.MainSize = 0;
}

void PathList::ClearSubSide(std::int32_t index) {
  PathEntry& e = (*this)[index];
  e.SubExists = false;
  e.SubTime = 0;
  e.SubSize = 0;
}

void PathList::CompareEntry(std::int32_t index) {
  PathEntry& e = (*this)[index];
  e.Status = ComputeStatus(e);
  if (e.Status == Same) ++SameCount;
}

void PathList::CompareAllEntries() {
  SameCount = 0;
  for (std::int32_t i = 0; i < PathCount; ++i) CompareEntry(i);
}

}  // namespace tarvex
