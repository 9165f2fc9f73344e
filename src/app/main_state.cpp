#include "app/main_state.h"

namespace tarvex {

namespace {

template <typename List>
void Release(List& list) {
  List().swap(list);
}

}  // namespace

void MainState::CreateSharedLists() {
  Settings.ExtSelectTable.Lines.clear();
  Settings.ExtIgnoreTable.Lines.clear();
  Settings.ExtHideTable.Lines.clear();
  MainLines.clear();
  SubLines.clear();
  Settings.PairFilterMap.Lines.clear();
  DriveList.clear();
  NewDriveList.clear();
  sharedListsAlive_ = true;
}

void MainState::ReleaseSharedLists() {
  Release(Settings.PairFilterMap.Lines);
  Release(DriveList);
  Release(NewDriveList);
  Release(Settings.ExtSelectTable.Lines);
  Release(Settings.ExtIgnoreTable.Lines);
  Release(Settings.ExtHideTable.Lines);
  Release(MainLines);
  Release(SubLines);
  sharedListsAlive_ = false;
}

tarvex::PathList& MainState::EnsurePathList() {
  if (!PathList) PathList = std::make_unique<tarvex::PathList>();
  return *PathList;
}

}  // namespace tarvex
