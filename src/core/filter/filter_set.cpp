#include "core/filter/filter_set.h"

#include "core/fs/file_attributes.h"

namespace tarvex {

PatternList::PatternList(std::vector<std::string> patterns) : patterns_(std::move(patterns)) {}

PatternList::PatternList(std::initializer_list<std::string> patterns) : patterns_(patterns) {}

int PatternList::FirstMatch(std::string_view text) const {
  if (compiled_.size() != patterns_.size()) compiled_.resize(patterns_.size());
  for (std::size_t i = 0; i < patterns_.size(); ++i) {
    if (patterns_[i].empty()) continue;
    auto& compiled = compiled_[i];
    if (!compiled) compiled = std::make_unique<WildcardPattern>(patterns_[i]);
    if (compiled->Matches(text)) return static_cast<int>(i);
  }
  return -1;
}

FileNameCheck CheckFileName(const FilterSet& filter, std::string_view name) {
  if (filter.HidePatterns.FirstMatch(name) >= 0) return NameHidden;
  if (filter.SelectPatterns.FirstMatch(name) >= 0) return NameShown;
  return NameNotSelected;
}

bool IsCopyIgnored(const FilterSet& filter, std::string_view relativePath, std::uint32_t attr) {
  if (IsFolder(attr)) return false;
  return filter.IgnorePatterns.FirstMatch(relativePath) >= 0;
}

}  // namespace tarvex
