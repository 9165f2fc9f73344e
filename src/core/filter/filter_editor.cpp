#include "core/filter/filter_editor.h"

#include <algorithm>
#include <utility>

#include "core/text/comma_text.h"
#include "core/text/format_text.h"
#include "core/text/name_value_list.h"

namespace tarvex {

namespace {

int FindName(const std::vector<std::string>& names, const std::string& name, int skip = -1) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (static_cast<int>(i) != skip && EqualsIgnoringAsciiCase(names[i], name))
      return static_cast<int>(i);
  }
  return -1;
}

// Stores the list as comma text; an empty list leaves no line.
void Store(NameValueList& table, const std::string& name, const std::vector<std::string>& lines) {
  table.SetValue(name, WriteCommaText(lines));
}

bool IsEmptyText(const std::vector<std::string>& lines) {
  for (const std::string& line : lines)
    if (!TrimFilterName(line).empty()) return false;
  return true;
}

}  // namespace

FilterLists NewFilterSetLists() { return FilterLists{{}, {EveryFilePattern}, {}}; }

std::string TrimFilterName(const std::string& text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  auto begin = std::find_if_not(text.begin(), text.end(), blank);
  auto end = std::find_if_not(text.rbegin(), std::make_reverse_iterator(begin), blank).base();
  return std::string(begin, end);
}

FilterEditor::FilterEditor(Settings& settings, std::function<void(const std::string&)> log)
    : settings_(settings), log_(std::move(log)) {}

void FilterEditor::TabShown() { renameIndex_ = -1; }

bool FilterEditor::BeginAdd() {
  if (!editing_) selectedBeforeEdit_ = settings_.FilterNames.ItemIndex;
  editing_ = true;
  settings_.FilterNames.ItemIndex = -1;
  return renameIndex_ == -1;
}

void FilterEditor::BeginRename(int selected) {
  const int count = static_cast<int>(settings_.FilterNames.Items.size());
  renameIndex_ = selected >= 0 && selected < count ? selected : -1;
}

FilterEditor::CommitResult FilterEditor::Commit(const std::string& text) {
  CommitResult result;
  std::vector<std::string>& names = settings_.FilterNames.Items;
  const std::string name = TrimFilterName(text);
  int target = 0;
  if (!name.empty()) {
    // A name with "=" could never be found again in the tables, which end a name at the first
    // "="; a rename onto another set's name would overwrite that set's lists.
    if (name.find('=') != std::string::npos) {
      result.Refusal = EqualsInFilterNameText;
    } else if (renameIndex_ >= 0 && FindName(names, name, renameIndex_) >= 0) {
      result.Refusal = DuplicateFilterNameText;
    }
    if (result.Refusal) {
      settings_.FilterNames.ItemIndex =
          selectedBeforeEdit_ < static_cast<int>(names.size()) ? selectedBeforeEdit_ : -1;
      Finish();
      return result;
    }
    if (renameIndex_ >= 0) {
      const std::string oldName = names[static_cast<std::size_t>(renameIndex_)];
      for (NameValueList* table :
           {&settings_.ExtHideTable, &settings_.ExtSelectTable, &settings_.ExtIgnoreTable}) {
        const std::string value = table->Value(oldName);
        const int line = table->IndexOfName(oldName);
        if (line >= 0) table->Lines.erase(table->Lines.begin() + line);
        table->SetValue(name, value);
      }
      log_(FormatText("フィルタ名変更 %s → %s", oldName.c_str(), name.c_str()));
      names[static_cast<std::size_t>(renameIndex_)] = name;
      NameValueList& pairs = settings_.PairFilterMap;
      for (std::string& line : pairs.Lines) {
        if (pairs.ValueOf(line) == oldName) line = std::string(pairs.NameOf(line)) + "=" + name;
      }
    }
    target = FindName(names, name);
    if (target < 0) {
      names.push_back(name);
      target = static_cast<int>(names.size()) - 1;
      log_(FormatText("フィルタ名追加 %s", name.c_str()));
      const FilterLists lists = NewFilterSetLists();
      Store(settings_.ExtHideTable, name, lists.Hide);
      Store(settings_.ExtSelectTable, name, lists.Select);
      Store(settings_.ExtIgnoreTable, name, lists.Ignore);
      result.Appended = name;
    }
  }
  MoveToTop(target);
  Finish();
  return result;
}

void FilterEditor::MoveToTop(int index) {
  std::vector<std::string>& names = settings_.FilterNames.Items;
  if (index >= 0 && index < static_cast<int>(names.size())) {
    std::rotate(names.begin(), names.begin() + index, names.begin() + index + 1);
  }
  settings_.FilterNames.ItemIndex = names.empty() ? -1 : 0;
}

void FilterEditor::Finish() {
  editing_ = false;
  renameIndex_ = -1;
  selectedBeforeEdit_ = -1;
}

void FilterEditor::Delete(int index) {
  std::vector<std::string>& names = settings_.FilterNames.Items;
  if (index < 0 || index >= static_cast<int>(names.size())) return;
  names.erase(names.begin() + index);
  settings_.FilterNames.ItemIndex = names.empty() ? -1 : 0;
}

bool FilterEditor::StoreHide(const std::string& name, const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    if (line == "*.*" || line == EveryFilePattern) return false;
  }
  if (!name.empty()) Store(settings_.ExtHideTable, name, lines);
  return true;
}

void FilterEditor::StoreSelect(const std::string& name, std::vector<std::string>& lines) {
  if (IsEmptyText(lines)) lines = NewFilterSetLists().Select;
  if (!name.empty()) Store(settings_.ExtSelectTable, name, lines);
}

void FilterEditor::StoreIgnore(const std::string& name, const std::vector<std::string>& lines) {
  if (!name.empty()) Store(settings_.ExtIgnoreTable, name, lines);
}

}  // namespace tarvex
