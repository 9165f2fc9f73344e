#include "core/settings/compare_pair.h"

#include <algorithm>

#include "core/text/name_value_list.h"

namespace tarvex {

std::string MakeComparePair(std::string_view mainFolder, std::string_view subFolder) {
  std::string pair(mainFolder);
  pair += ComparePairSeparator;
  pair += subFolder;
  return pair;
}

void SplitComparePair(std::string_view pair, std::string& mainFolder, std::string& subFolder) {
  const std::size_t at = pair.find(ComparePairSeparator);
  if (at == std::string_view::npos) {
    mainFolder.clear();
    subFolder.clear();
    return;
  }
  mainFolder.assign(pair.substr(0, at));
  subFolder.assign(pair.substr(at + ComparePairSeparator.size()));
}

int FindHistoryEntry(const ComboItems& history, std::string_view text) {
  for (std::size_t i = 0; i < history.Items.size(); ++i) {
    if (history.Items[i] == text) return static_cast<int>(i);
  }
  return -1;
}

void BringToTop(ComboItems& history, std::string_view text) {
  int index = FindHistoryEntry(history, text);
  if (index < 0) {
    history.Items.emplace_back(text);
    index = static_cast<int>(history.Items.size()) - 1;
  }
  std::rotate(history.Items.begin(), history.Items.begin() + index,
              history.Items.begin() + index + 1);
  history.ItemIndex = 0;
}

void DeleteHistoryEntry(ComboItems& history, int index) {
  if (index >= 0 && index < static_cast<int>(history.Items.size())) {
    history.Items.erase(history.Items.begin() + index);
  }
  history.ItemIndex = -1;
}

std::optional<int> PairFilterSetIndex(const Settings& settings, const std::string& pair) {
  const std::string name = settings.PairFilterMap.Value(pair);
  if (name.empty()) return std::nullopt;
  const std::vector<std::string>& names = settings.FilterNames.Items;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (EqualsIgnoringAsciiCase(names[i], name)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace tarvex
