#include "core/textcompare/blank_text.h"

namespace tarvex {
namespace {

constexpr std::string_view FullWidthSpace = "\xE3\x80\x80";

// The length of the blank at text[at], or 0.
std::size_t BlankAt(std::string_view text, std::size_t at) {
  if (text[at] == ' ' || text[at] == '\t') return 1;
  return text.substr(at, FullWidthSpace.size()) == FullWidthSpace ? FullWidthSpace.size() : 0;
}

}  // namespace

std::string WithoutBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t blank = BlankAt(text, i);
    if (blank > 0) {
      i += blank;
    } else {
      out += text[i++];
    }
  }
  return out;
}

bool EqualIgnoringBlanks(std::string_view a, std::string_view b) {
  std::size_t i = 0;
  std::size_t k = 0;
  for (;;) {
    while (i < a.size() && BlankAt(a, i) > 0) i += BlankAt(a, i);
    while (k < b.size() && BlankAt(b, k) > 0) k += BlankAt(b, k);
    if (i == a.size() || k == b.size()) return i == a.size() && k == b.size();
    if (a[i++] != b[k++]) return false;
  }
}

}  // namespace tarvex
