#include "core/list/path_search.h"

#include "core/text/display_path.h"

namespace tarvex {

std::string FoldLatinCase(std::string_view text) {
  std::string folded(text);
  for (std::size_t i = 0; i < folded.size(); ++i) {
    char& c = folded[i];
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    } else if (c == '\xEF' && i + 2 < folded.size() && folded[i + 1] == '\xBC' &&
               folded[i + 2] >= '\xA1' && folded[i + 2] <= '\xBA') {
      // Ａ..Ｚ (U+FF21..U+FF3A) to ａ..ｚ (U+FF41..U+FF5A).
      folded[i + 1] = '\xBD';
      folded[i + 2] = static_cast<char>(folded[i + 2] - '\xA1' + '\x81');
      i += 2;
    }
  }
  return folded;
}

PathSearch::PathSearch(std::string_view text) : text_(FoldLatinCase(text)) {
  if (text_.find_first_of("*?") != std::string::npos) pattern_.emplace("*" + text_ + "*");
}

bool PathSearch::Matches(std::string_view path) const {
  if (text_.empty()) return true;
  const std::string shown = FoldLatinCase(DisplayPath(path));
  if (!pattern_) return shown.find(text_) != std::string::npos;
  return pattern_->IsValid() && pattern_->Matches(shown);
}

}  // namespace tarvex
