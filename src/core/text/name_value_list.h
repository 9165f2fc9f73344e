#pragma once
// Lists of "name=value" lines whose names compare without regard to the letter case of A to Z.

#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

class NameValueList {
 public:
  // Where a line's name ends. FirstEquals is the stored form of the pattern tables; LastEquals
  // serves the pair map, whose names (folder pairs) may hold "=" while set names never do.
  enum class Split { FirstEquals, LastEquals };

  explicit NameValueList(Split split = Split::FirstEquals) : split_(split) {}

  std::vector<std::string> Lines;

  std::string_view NameOf(std::string_view line) const;
  std::string_view ValueOf(std::string_view line) const;  // empty when the line has no "="
  // Index of the first line with the name, or -1.
  int IndexOfName(std::string_view name) const;
  // The value of the first line with the name; empty when there is none.
  std::string Value(std::string_view name) const;
  // Replaces the value of the first line with the name, or appends a line; an empty value removes
  // that line instead.
  void SetValue(std::string_view name, std::string_view value);

 private:
  Split split_;
};

// Equality of texts with the letters A to Z folded; every other byte compares as it is.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace tarvex
