#include "app/shell/main_state.h"

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
  MainLines.clear();
  SubLines.clear();
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
  Release(MainLines);
  Release(SubLines);
  sharedListsAlive_ = false;
}

tarvex::PathList& MainState::EnsurePathList() {
  if (!PathList) PathList = std::make_unique<tarvex::PathList>();
  return *PathList;
}

}  // namespace tarvex
