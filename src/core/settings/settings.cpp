#include "core/settings/settings.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>
#include <system_error>
#include <vector>

#include "core/fs/user_folders.h"
#include "core/text/comma_text.h"

namespace tarvex {

namespace {

constexpr const char* MainWindowName = "FMMain";
constexpr const char* OptionSection = "option";
constexpr const char* CompareListSection = "CompareList";
constexpr const char* FilterNameSection = "FilterName";
constexpr const char* ItemIndexKey = "ItemIndex";
constexpr int DefaultLimit = 50;
constexpr int MaxHistory = 50;
constexpr int MaxFilterSets = 50;
constexpr int MaxTableLines = 50;

int EffectiveLimit(int limit) { return limit <= 0 ? DefaultLimit : limit; }

// A value with a line break cannot be one line of the file; such an item (a folder name can hold
// one) is left out rather than ending the whole list at that point.
bool IsStorable(std::string_view value) {
  return value.find_first_of("\r\n") == std::string_view::npos;
}

// Only a key that is not there ends a list. A value may be the sentinel's text itself (a filter
// set or a folder named so), so a second read with another default tells the two apart.
bool ReadListItem(const ProfileFile& file, std::string_view section, int i, std::string& value) {
  const std::string key = std::to_string(i);
  value = file.ReadString(section, key, NotDataSentinel);
  return value != NotDataSentinel || file.ReadString(section, key, "") == NotDataSentinel;
}

}  // namespace

std::string PositionSection(std::string_view windowName) {
  std::string section(windowName);
  section += "_Position";
  return section;
}

int LoadComboItems(const ProfileFile& file, ComboItems& combo, std::string_view section,
                   std::string_view defaultsCommaText, int limit) {
  limit = EffectiveLimit(limit);
  combo.Items.clear();
  combo.ItemIndex = -1;
  std::string value;
  for (int i = 0; i < limit && ReadListItem(file, section, i, value); ++i) {
    combo.Items.push_back(value);
  }
  if (combo.Items.empty() && !defaultsCommaText.empty()) {
    combo.Items = ReadCommaText(defaultsCommaText);
  }
  const int index = file.ReadInteger(section, ItemIndexKey, 0);
  if (index >= 0 && index < static_cast<int>(combo.Items.size())) combo.ItemIndex = index;
  return static_cast<int>(combo.Items.size());
}

int SaveComboItems(ProfileFile& file, const ComboItems& combo, std::string_view section,
                   int limit) {
  limit = EffectiveLimit(limit);
  if (!file.EraseSection(section)) return -1;
  std::vector<const std::string*> kept;
  int selected = -1;
  for (std::size_t i = 0; i < combo.Items.size() && static_cast<int>(kept.size()) < limit; ++i) {
    if (!IsStorable(combo.Items[i])) continue;
    if (static_cast<int>(i) == combo.ItemIndex) selected = static_cast<int>(kept.size());
    kept.push_back(&combo.Items[i]);
  }
  if (!file.WriteInteger(section, ItemIndexKey, selected)) return -1;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (!file.WriteString(section, std::to_string(i), *kept[i])) return -1;
  }
  return static_cast<int>(kept.size());
}

void LoadStringList(const ProfileFile& file, std::vector<std::string>& lines,
                    std::string_view section, int limit) {
  limit = EffectiveLimit(limit);
  lines.clear();
  std::string value;
  for (int i = 0; i < limit; ++i) {
    if (ReadListItem(file, section, i, value)) lines.push_back(value);
  }
}

int SaveStringList(ProfileFile& file, const std::vector<std::string>& lines,
                   std::string_view section, int limit) {
  limit = EffectiveLimit(limit);
  if (!file.EraseSection(section)) return -1;
  int written = 0;
  for (std::size_t i = 0; i < lines.size() && written < limit; ++i) {
    if (!IsStorable(lines[i])) continue;
    if (!file.WriteString(section, std::to_string(written), lines[i])) return -1;
    ++written;
  }
  return written;
}

void LoadFormPosition(const ProfileFile& file, std::string_view windowName, WindowRect& rect) {
  const std::string section = PositionSection(windowName);
  const int top = file.ReadInteger(section, "top", rect.Top);
  const int left = file.ReadInteger(section, "left", rect.Left);
  const int height = file.ReadInteger(section, "height", rect.Height);
  const int width = file.ReadInteger(section, "width", rect.Width);
  rect.Top = top;
  rect.Left = left;
  rect.Height = height;
  rect.Width = width;
}

bool SaveFormPosition(ProfileFile& file, std::string_view windowName, const WindowRect& rect) {
  const std::string section = PositionSection(windowName);
  return file.WriteInteger(section, "top", rect.Top) &&
         file.WriteInteger(section, "left", rect.Left) &&
         file.WriteInteger(section, "height", rect.Height) &&
         file.WriteInteger(section, "width", rect.Width);
}

namespace {

// A comma list of positive widths; anything else in it makes the whole list void, so a damaged
// entry gives the first start's widths instead of a column of a stray size.
std::vector<int> ParseWidths(const std::string& text) {
  std::vector<int> widths;
  std::size_t start = 0;
  while (!text.empty() && start <= text.size()) {
    std::size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    const std::string item = text.substr(start, end - start);
    int value = 0;
    const auto [rest, error] = std::from_chars(item.data(), item.data() + item.size(), value);
    if (item.empty() || error != std::errc() || rest != item.data() + item.size() || value <= 0)
      return {};
    widths.push_back(value);
    start = end + 1;
  }
  return widths;
}

std::string JoinWidths(const std::vector<int>& widths) {
  std::string text;
  for (const int width : widths) {
    if (!text.empty()) text += ',';
    text += std::to_string(width);
  }
  return text;
}

}  // namespace

void LoadSettings(const ProfileFile& file, Settings& s) {
  LoadFormPosition(file, MainWindowName, s.Position);

  s.runcount = file.ReadInteger(OptionSection, "runcount", 0);
  // The last folders are informational only; a drive letter means nothing here.
  s.lastmfolder = file.ReadString(OptionSection, "lastmfolder", "");
  s.lastsfolder = file.ReadString(OptionSection, "lastsfolder", "");
  s.sortcol = file.ReadInteger(OptionSection, "sortcol", 1);
  s.sortup = file.ReadBool(OptionSection, "sortup", true);
  s.subfolder = file.ReadBool(OptionSection, "subfolder", false);
  s.dirignore = file.ReadBool(OptionSection, "dirignore", false);
  s.onesidedir = file.ReadBool(OptionSection, "onesidedir", false);
  s.dirhide = file.ReadBool(OptionSection, "dirhide", false);
  s.contentcheck = file.ReadBool(OptionSection, "contentcheck", false);
  s.hourshift = file.ReadBool(OptionSection, "hourshift", false);
  s.liststatus = file.ReadInteger(OptionSection, "liststatus", 0);
  s.listcolwidths = ParseWidths(file.ReadString(OptionSection, "listcolwidths", ""));
  s.compfmax = file.ReadInteger(OptionSection, "compfmax", 1048576);
  s.blankignore = file.ReadBool(OptionSection, "blankignore", false);
  s.copywait =
      std::clamp(file.ReadInteger(OptionSection, "copywait", DefaultCopyWait), 0, MaxCopyWait);
  s.supporturl = file.ReadString(OptionSection, "supporturl", "");

  LoadComboItems(file, s.CompareList, CompareListSection, "", MaxHistory);
  // An entry is a pair text, optionally "=" and its filter set. Set names never hold "=", so the
  // last "=" ends the pair text; a trailing "=" marks a pair text with "=" but no filter set.
  s.PairFilterMap.Lines.clear();
  for (std::string& entry : s.CompareList.Items) {
    const std::size_t eq = entry.rfind('=');
    if (eq == std::string::npos) continue;
    std::string pair = entry.substr(0, eq);
    const std::string setName = entry.substr(eq + 1);
    if (setName.empty()) {
      entry = std::move(pair);
      continue;
    }
    if (pair.empty()) continue;
    if (s.PairFilterMap.IndexOfName(pair) < 0) s.PairFilterMap.SetValue(pair, setName);
    entry = std::move(pair);
  }
  s.CompareList.ItemIndex = s.CompareList.Items.empty() ? -1 : 0;

  LoadComboItems(file, s.FilterNames, FilterNameSection, "", MaxFilterSets);
  LoadStringList(file, s.ExtHideTable.Lines, "ExtHide", MaxTableLines);
  LoadStringList(file, s.ExtSelectTable.Lines, "ExtSelect", MaxTableLines);
  LoadStringList(file, s.ExtIgnoreTable.Lines, "ExtIgnore", MaxTableLines);

  if (s.FilterNames.Items.empty()) {
    s.FilterNames.Items.push_back("すべて");
    s.ExtSelectTable.Lines.push_back("すべて=*");
    s.FilterNames.Items.push_back("汎用");
    s.ExtSelectTable.Lines.push_back("汎用=*");
    s.ExtIgnoreTable.Lines.push_back("汎用=*.bak,*.xlk,*.wbk,*.$td,*.ac$,*.sv$,*.mnc,*.mnr");
    s.FilterNames.ItemIndex = 0;
  }
}

bool SaveSettings(ProfileFile& file, Settings& s) {
  if (!SaveFormPosition(file, MainWindowName, s.Position)) return false;

  // The count stays at the largest value it can hold rather than wrap to a negative one.
  if (s.runcount < std::numeric_limits<int>::max()) ++s.runcount;
  const bool optionsWritten =
      file.WriteInteger(OptionSection, "runcount", s.runcount) &&
      file.WriteString(OptionSection, "lastmfolder", s.lastmfolder) &&
      file.WriteString(OptionSection, "lastsfolder", s.lastsfolder) &&
      file.WriteInteger(OptionSection, "sortcol", s.sortcol) &&
      file.WriteBool(OptionSection, "sortup", s.sortup) &&
      file.WriteBool(OptionSection, "subfolder", s.subfolder) &&
      file.WriteBool(OptionSection, "dirignore", s.dirignore) &&
      file.WriteBool(OptionSection, "onesidedir", s.onesidedir) &&
      file.WriteBool(OptionSection, "dirhide", s.dirhide) &&
      file.WriteBool(OptionSection, "contentcheck", s.contentcheck) &&
      file.WriteBool(OptionSection, "hourshift", s.hourshift) &&
      file.WriteInteger(OptionSection, "liststatus", s.liststatus) &&
      file.WriteInteger(OptionSection, "compfmax", s.compfmax) &&
      file.WriteBool(OptionSection, "blankignore", s.blankignore) &&
      file.WriteInteger(OptionSection, "copywait", s.copywait) &&
      file.WriteString(OptionSection, "supporturl", s.supporturl) &&
      (s.listcolwidths.empty() ||
       file.WriteString(OptionSection, "listcolwidths", JoinWidths(s.listcolwidths)));
  if (!optionsWritten) return false;

  // The joined form is built on a copy: the history in memory stays as it was, so a second save
  // (the drive watcher's restart) writes the same entries again.
  ComboItems history;
  history.Items.reserve(s.CompareList.Items.size());
  for (const std::string& pair : s.CompareList.Items) {
    const std::string setName = s.PairFilterMap.Value(pair);
    std::string entry = pair;
    if (!setName.empty()) {
      entry += "=" + setName;
    } else if (pair.find('=') != std::string::npos) {
      entry += "=";
    }
    history.Items.push_back(std::move(entry));
  }
  history.ItemIndex = history.Items.empty() ? -1 : 0;
  SaveComboItems(file, history, CompareListSection, MaxHistory);
  SaveComboItems(file, s.FilterNames, FilterNameSection, MaxFilterSets);
  SaveStringList(file, s.ExtHideTable.Lines, "ExtHide", MaxTableLines);
  SaveStringList(file, s.ExtSelectTable.Lines, "ExtSelect", MaxTableLines);
  SaveStringList(file, s.ExtIgnoreTable.Lines, "ExtIgnore", MaxTableLines);
  return true;
}

std::string SettingsPathFor(const std::string& programPath) {
  const std::size_t slash = programPath.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = programPath.rfind('.');
  // A leading dot names a hidden file, it does not start an extension.
  const bool hasExtension = dot != std::string::npos && dot > nameStart;
  std::string besideProgram = programPath.substr(0, hasExtension ? dot : programPath.size());
  besideProgram += ".ini";

  const std::string folder =
      slash == std::string::npos ? std::string(".") : programPath.substr(0, slash == 0 ? 1 : slash);
  if (::access(folder.c_str(), W_OK) == 0) return besideProgram;

  const std::string tarvexFolder = XdgBaseFolder("XDG_CONFIG_HOME", "/.config") + "/tarvex";
  MakeFolders(tarvexFolder);
  return tarvexFolder + "/tarvex.ini";
}

}  // namespace tarvex
