#pragma once
// The state that the main window's handlers share, held once for the process by the window.
//
// Lifetimes:
// - SettingsPath: set in FormCreate, kept to program end.
// - SettingsFile: open from FormCreate (OpenSettings) to FormCloseQuery (CloseSettings).
// - Settings: its values (position, options, history, filter names) live to program end; its
//   PairFilterMap and the three pattern tables are shared lists, created empty in FormCreate and
//   released in FormCloseQuery together with the drive lists and the text-compare rows.
// - PathList: from the first scan (EnsurePathList) to program end.
// - ScanAttrMask: set in FormShow, kept to program end.
// - Shown: from window creation to program end; it points into PathList after a fill.
// After ReleaseSharedLists no handler may use the released lists; SharedListsAlive tells.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/content/content_results.h"
#include "core/list/shown_list.h"
#include "core/scan/path_list.h"
#include "core/session/list_guard.h"
#include "core/settings/profile_file.h"
#include "core/settings/settings.h"
#include "core/textcompare/compare_rows.h"

namespace tarvex {

class MainState {
 public:
  std::string SettingsPath;
  std::unique_ptr<tarvex::ProfileFile> SettingsFile;
  tarvex::Settings Settings;

  std::vector<std::string> DriveList;     // drives present at start
  std::vector<std::string> NewDriveList;  // drives found by the latest check
  tarvex::CompareRows CompareRows;        // rows of the two text files being compared

  std::unique_ptr<tarvex::PathList> PathList;  // null until the first scan
  // The content check's verdicts for PathList; empty while that option is off or before a check,
  // emptied whenever a scan rebuilds the list.
  tarvex::ContentResults Content;
  std::uint32_t ScanAttrMask = 0;

  // Set by the progress dialog's 中止; a copy or delete loop stops at its next row.
  bool CopyCancelRequested = false;
  // A copy or delete loop, a scan or a sort is running: commands, sorts and rescans that would
  // change the PathList under it are ignored, and closing waits for its end.
  tarvex::ListGuard ListGuard;
  // What the list tab shows of the PathList.
  tarvex::ShownList Shown;

  // FormCreate: every shared list starts empty.
  void CreateSharedLists();
  // Binds the settings file (a missing file reads as empty) and starts an empty PairFilterMap.
  void OpenSettings(std::string path);
  // Closes the settings file and releases PairFilterMap.
  void CloseSettings();
  // FormCloseQuery: CloseSettings, then the other shared lists.
  void ReleaseSharedLists();
  bool SharedListsAlive() const { return sharedListsAlive_; }

  tarvex::PathList& EnsurePathList();

 private:
  bool sharedListsAlive_ = false;
};

}  // namespace tarvex
