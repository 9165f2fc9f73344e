#include "core/session/main_state.h"

#include <utility>

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
  CompareRows = tarvex::CompareRows();
  DriveList.clear();
  NewDriveList.clear();
  sharedListsAlive_ = true;
}

void MainState::OpenSettings(std::string path) {
  SettingsPath = std::move(path);
  SettingsFile = std::make_unique<tarvex::ProfileFile>(SettingsPath);
  Settings.PairFilterMap.Lines.clear();
}

void MainState::CloseSettings() {
  SettingsFile.reset();
  Release(Settings.PairFilterMap.Lines);
}

void MainState::ReleaseSharedLists() {
  CloseSettings();
  Release(DriveList);
  Release(NewDriveList);
  Release(Settings.ExtSelectTable.Lines);
  Release(Settings.ExtIgnoreTable.Lines);
  Release(Settings.ExtHideTable.Lines);
  CompareRows = tarvex::CompareRows();
  sharedListsAlive_ = false;
}

tarvex::PathList& MainState::EnsurePathList() {
  if (!PathList) PathList = std::make_unique<tarvex::PathList>();
  return *PathList;
}

}  // namespace tarvex
