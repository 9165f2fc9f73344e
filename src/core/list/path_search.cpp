#include "core/list/path_search.h"

#include "core/text/display_path.h"
#include "core/text/text_encoding.h"

namespace tarvex {

namespace {

void FoldInPlace(std::string& folded) {
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
}

// Most paths read as they are stored: valid UTF-8 without control characters. Those skip the
// decoding name by name, which made a search of a million rows several times slower.
bool ReadsAsStored(std::string_view path) {
  for (const char c : path) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) return false;
  }
  return IsValidUtf8(path);
}

}  // namespace

std::string FoldLatinCase(std::string_view text) {
  std::string folded(text);
  FoldInPlace(folded);
  return folded;
}

PathSearch::PathSearch(std::string_view text) : text_(FoldLatinCase(text)) {
  if (text_.find_first_of("*?") != std::string::npos) pattern_.emplace("*" + text_ + "*");
}

bool PathSearch::Matches(std::string_view path) const {
  if (text_.empty()) return true;
  // One buffer per thread, so that a million rows cost no allocation each.
  thread_local std::string shown;
  if (ReadsAsStored(path)) {
    shown.assign(path);
  } else {
    shown = DisplayPath(path);
  }
  FoldInPlace(shown);
  if (!pattern_) return shown.find(text_) != std::string::npos;
  return pattern_->IsValid() && pattern_->Matches(shown);
}

}  // namespace tarvex
