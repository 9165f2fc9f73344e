#pragma once
// What survives a run: window position, options, the pair history with the filter set of each
// pair, and every filter set. The window mirrors these values into its widgets.

#include <string>
#include <string_view>
#include <vector>

#include "core/settings/profile_file.h"
#include "core/text/name_value_list.h"

namespace tarvex {

inline constexpr const char* NotDataSentinel = "**NotData**Error";
inline constexpr const char* SettingsWriteErrorText =
    "ｉｎｉファイル書込時にエラーが発生しました。";

// Milliseconds of pause after each copied or deleted file, the settings value copywait; a stored
// value is held to 0..MaxCopyWait, so that no value freezes the window for long.
inline constexpr int DefaultCopyWait = 200;
inline constexpr int MaxCopyWait = 10000;

// The items of a drop-down list and its selected index (-1: nothing selected).
struct ComboItems {
  std::vector<std::string> Items;
  int ItemIndex = -1;
};

struct WindowRect {
  int Left = 409;
  int Top = 112;
  int Width = 720;
  int Height = 690;
};

struct Settings {
  WindowRect Position;  // read defaults are the values held before loading
  int runcount = 0;
  std::string lastmfolder;
  std::string lastsfolder;
  int sortcol = 1;
  bool sortup = true;
  bool subfolder = false;
  bool dirignore = false;
  bool onesidedir = false;
  bool dirhide = false;
  bool contentcheck = false;  // after a scan, read the files of equal size on both sides
  bool hourshift = false;     // times exactly one hour apart compare as equal
  int liststatus = 0;         // the list's 表示 choice, a StatusChoice; 0 shows every row
  // The list's column widths as the user left them, column by column; empty: never stored.
  std::vector<int> listcolwidths;
  int compfmax = 1048576;
  bool blankignore = false;  // the compare tab takes lines that differ only in blanks as equal
  int copywait = DefaultCopyWait;  // pause after each copied or deleted file, in milliseconds
  std::string supporturl;          // the help tab's link; empty: the user guide as a file address
  ComboItems CompareList;          // pair texts, most recent first
  NameValueList PairFilterMap{NameValueList::Split::LastEquals};
  ComboItems FilterNames;
  NameValueList ExtHideTable;
  NameValueList ExtSelectTable;
  NameValueList ExtIgnoreTable;
};

// Section names and the position section of a window named by its instance name.
std::string PositionSection(std::string_view windowName);

// Both return the number of items read or written, or -1 after a failure. A limit of 0 or less
// means 50.
int LoadComboItems(const ProfileFile& file, ComboItems& combo, std::string_view section,
                   std::string_view defaultsCommaText, int limit);
int SaveComboItems(ProfileFile& file, const ComboItems& combo, std::string_view section, int limit);
void LoadStringList(const ProfileFile& file, std::vector<std::string>& lines,
                    std::string_view section, int limit);
int SaveStringList(ProfileFile& file, const std::vector<std::string>& lines,
                   std::string_view section, int limit);

void LoadFormPosition(const ProfileFile& file, std::string_view windowName, WindowRect& rect);
bool SaveFormPosition(ProfileFile& file, std::string_view windowName, const WindowRect& rect);

// Everything, in the stored order; the default filter sets when none are stored.
void LoadSettings(const ProfileFile& file, Settings& settings);
// False when the position or option section could not be written (the caller shows
// SettingsWriteErrorText); list sections that fail are skipped and the save goes on.
bool SaveSettings(ProfileFile& file, Settings& settings);

// The program's path with ".ini"; where that folder is not writable,
// $XDG_CONFIG_HOME/tarvex/tarvex.ini (~/.config when unset).
std::string SettingsPathFor(const std::string& programPath);

}  // namespace tarvex
