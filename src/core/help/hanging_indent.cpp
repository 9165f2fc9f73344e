#include "core/help/hanging_indent.h"

#include "core/text/display_columns.h"
#include "core/text/utf8.h"

namespace tarvex {

namespace {

bool IsSpace(std::string_view c) { return c == " " || c == "　"; }

bool IsDigit(std::string_view c) {
  if (c.size() == 1) return c[0] >= '0' && c[0] <= '9';
  // "０" to "９" are U+FF10 to U+FF19: EF BC 90 to EF BC 99.
  return c.size() == 3 && c.substr(0, 2) == "\xEF\xBC" &&
         static_cast<unsigned char>(c[2]) >= 0x90 && static_cast<unsigned char>(c[2]) <= 0x99;
}

}  // namespace

std::string HangingIndent(std::string_view line) {
  const auto charAt = [line](std::size_t pos) {
    return pos < line.size() ? line.substr(pos, Utf8CharLength(line, pos)) : std::string_view();
  };
  std::string indent;
  std::size_t pos = 0;
  while (pos < line.size() && IsSpace(charAt(pos))) {
    indent += charAt(pos);
    pos += charAt(pos).size();
  }
  const std::string_view first = charAt(pos);
  if (first == "・" || first == "●") {
    indent += "　";
    pos += first.size();
  } else if (first == "(" || first == "（") {
    const std::string_view digit = charAt(pos + first.size());
    const std::string_view close = charAt(pos + first.size() + digit.size());
    if (IsDigit(digit) && (close == ")" || close == "）")) {
      const std::size_t numberEnd = pos + first.size() + digit.size() + close.size();
      indent += BlankedText(line.substr(pos, numberEnd - pos));
      pos = numberEnd;
      if (const std::string_view space = charAt(pos); IsSpace(space)) {
        indent += BlankedText(space);
        pos += space.size();
      }
    }
  }
  if (pos >= line.size()) return {};
  return indent;
}

}  // namespace tarvex
