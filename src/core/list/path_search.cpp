#include "core/list/path_search.h"

#include <cstdint>
#include <cstring>

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
  // Eight bytes at a time: whether any is below 0x20 or is 0x7F, and whether any has the high bit.
  constexpr std::uint64_t Ones = 0x0101010101010101u;
  constexpr std::uint64_t Highs = 0x8080808080808080u;
  const auto hasBelow = [](std::uint64_t x, std::uint64_t n) {
    return (x - Ones * n) & ~x & Highs;
  };
  std::uint64_t control = 0;
  std::uint64_t high = 0;
  std::size_t i = 0;
  for (; i + 8 <= path.size(); i += 8) {
    std::uint64_t x = 0;
    std::memcpy(&x, path.data() + i, sizeof x);
    high |= x & Highs;
    control |= hasBelow(x, 0x20) | hasBelow(x ^ (Ones * 0x7F), 1);
  }
  for (; i < path.size(); ++i) {
    const auto b = static_cast<unsigned char>(path[i]);
    high |= b & 0x80u;
    control |= static_cast<std::uint64_t>(b < 0x20 || b == 0x7F);
  }
  if (control != 0) return false;
  return high == 0 || IsValidUtf8(path);
}

// Whether folding can change what the text matches: only when it holds a (folded) letter. Both
// texts being UTF-8, a match starts on a character, so the bytes of other characters never meet
// a folded letter's bytes.
bool HasFoldedLetter(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c >= 'a' && c <= 'z') return true;
    if (c == '\xEF' && i + 2 < text.size() && text[i + 1] == '\xBD' && text[i + 2] >= '\x81' &&
        text[i + 2] <= '\x9A')
      return true;
  }
  return false;
}

}  // namespace

std::string FoldLatinCase(std::string_view text) {
  std::string folded(text);
  FoldInPlace(folded);
  return folded;
}

PathSearch::PathSearch(std::string_view text) : text_(FoldLatinCase(text)) {
  if (text_.find_first_of("*?") != std::string::npos) pattern_.emplace("*" + text_ + "*");
  folds_ = HasFoldedLetter(text_);
}

bool PathSearch::Matches(std::string_view path) const {
  if (text_.empty()) return true;
  // One buffer per thread, so that a million rows cost no allocation each.
  thread_local std::string shown;
  if (ReadsAsStored(path)) {
    if (!pattern_ && !folds_) return path.find(text_) != std::string_view::npos;
    shown.assign(path);
  } else {
    shown = DisplayPath(path);
  }
  FoldInPlace(shown);
  if (!pattern_) return shown.find(text_) != std::string::npos;
  return pattern_->IsValid() && pattern_->Matches(shown);
}

}  // namespace tarvex
