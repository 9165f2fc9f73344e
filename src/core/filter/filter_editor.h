#pragma once
// The commits of the filter tab: adding, renaming and deleting filter sets and storing the three
// pattern lists of the active set, on the settings held in memory (they reach the file at close).
// The tab turns its clicks and focus changes into these calls and shows what they return.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/settings/settings.h"

namespace tarvex {

// The select list of a new set, and what an emptied select list becomes: every file. On this
// platform that is "*", as many names have no extension.
inline constexpr const char* EveryFilePattern = "*";

// What the memos of a new set hold.
struct FilterLists {
  std::vector<std::string> Hide;
  std::vector<std::string> Select;
  std::vector<std::string> Ignore;
};
FilterLists NewFilterSetLists();

// Blanks and control characters off both ends, as a typed name is taken.
std::string TrimFilterName(const std::string& text);

class FilterEditor {
 public:
  // Works on settings' FilterNames (the items of the filter combo and its selection), the three
  // pattern tables and PairFilterMap; log receives the log lines. Both outlive the editor.
  FilterEditor(Settings& settings, std::function<void(const std::string&)> log);

  // -1 while no rename is under way, else the position of the set under rename.
  int FilterRenameIndex() const { return renameIndex_; }
  bool Editing() const { return editing_; }

  // The tab was shown: no rename is under way.
  void TabShown();
  // 追加: the combo becomes editable with nothing selected. True when the memos are to show the
  // lists of a new set (an addition, not a rename).
  bool BeginAdd();
  // 名前変更: the set at the selected position is to be renamed (an addition when none is
  // selected); BeginAdd follows.
  void BeginRename(int selected);

  struct CommitResult {
    // A refusal's message; the names and tables are then as they were before 追加 or 名前変更.
    std::optional<std::string> Refusal;
    // A new name was appended: the filter choice boxes get it at their end now.
    std::optional<std::string> Appended;
  };
  // The combo lost the focus with this text. The committed (or, for an empty name, the first) set
  // moves to the top and is selected; the editor returns to browsing.
  CommitResult Commit(const std::string& text);

  // Removes the set at the position (its stored lists and pair bindings stay) and selects the
  // first set left, or none.
  void Delete(int index);

  // The memos' exit: store the lines under the name. A hide list holding "*.*" or "*" is refused
  // (false) and stores nothing; an empty select list becomes the every-file list, which lines
  // receives. Nothing is stored under an empty name (no set is selected).
  bool StoreHide(const std::string& name, const std::vector<std::string>& lines);
  void StoreSelect(const std::string& name, std::vector<std::string>& lines);
  void StoreIgnore(const std::string& name, const std::vector<std::string>& lines);

 private:
  void MoveToTop(int index);
  void Finish();

  Settings& settings_;
  std::function<void(const std::string&)> log_;
  int renameIndex_ = -1;
  bool editing_ = false;
  int selectedBeforeEdit_ = -1;
};

// The message of a refused hide list, and of the refused names.
inline constexpr const char* HideEveryFileRefusalText = "表示しないフィルタに*.*は指定出来ません。";
inline constexpr const char* DuplicateFilterNameText = "同じ名前のフィルタが既にあります。";
inline constexpr const char* EqualsInFilterNameText = "フィルタ名に「=」は使えません。";

}  // namespace tarvex
