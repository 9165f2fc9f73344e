#pragma once
// The list's search text: the rows whose path, as a person reads it, contains the text, ignoring
// the case of Latin letters (full-width ones too). "*" and "?" work as in the filter sets.

#include <optional>
#include <string>
#include <string_view>

#include "core/filter/wildcard.h"

namespace tarvex {

class PathSearch {
 public:
  explicit PathSearch(std::string_view text);

  // An empty text keeps every row.
  bool Active() const { return !text_.empty(); }
  // Whether the path (bytes, decoded here for reading) is kept; a pattern that the filter sets
  // would reject keeps none.
  bool Matches(std::string_view path) const;

 private:
  std::string text_;
  // Without a wildcard the text is looked for as it is, so that a "[" in a name stays a "[".
  std::optional<WildcardPattern> pattern_;
  // Whether the text holds a letter, so that the path must be folded before looking.
  bool folds_ = false;
};

// Latin letters in lower case, the full-width ones included; every other byte as it is.
std::string FoldLatinCase(std::string_view text);

}  // namespace tarvex
