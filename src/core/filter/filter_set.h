#pragma once
// Named filter sets: which files are listed, and which listed files the copy commands leave alone.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/filter/wildcard.h"

namespace tarvex {

// An ordered list of wildcard patterns, each parsed the first time a text reaches it, so an
// invalid pattern is noticed only when a name gets that far.
class PatternList {
 public:
  PatternList() = default;
  PatternList(std::vector<std::string> patterns);  // NOLINT: implicit on purpose
  PatternList(std::initializer_list<std::string> patterns);

  const std::vector<std::string>& Patterns() const { return patterns_; }
  bool Empty() const { return patterns_.empty(); }

  // Index of the first pattern in list order that matches the whole text, or -1. An empty pattern
  // matches nothing. Throws MaskError from the first invalid pattern reached.
  int FirstMatch(std::string_view text) const;

 private:
  std::vector<std::string> patterns_;
  mutable std::vector<std::unique_ptr<WildcardPattern>> compiled_;
};

struct FilterSet {
  std::string Name;
  PatternList HidePatterns;
  PatternList SelectPatterns;
  PatternList IgnorePatterns;
};

enum FileNameCheck { NameShown = 0, NameHidden = 1, NameNotSelected = 2 };

// Applied to the bare name of every file (never a folder) found on either side.
FileNameCheck CheckFileName(const FilterSet& filter, std::string_view name);

// True when the entry is a file whose relative path (folders joined by "/") matches an ignore
// pattern. Folders are never ignored.
bool IsCopyIgnored(const FilterSet& filter, std::string_view relativePath, std::uint32_t attr);

}  // namespace tarvex
