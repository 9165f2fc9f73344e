#include "core/report/xml_text.h"

#include "core/text/utf8.h"

namespace tarvex {

namespace {

constexpr std::string_view Replacement = "\xEF\xBF\xBD";

bool IsForbiddenControl(unsigned char c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r'; }

// U+FFFE or U+FFFF: the only code points of a valid UTF-8 text, besides the controls, that XML
// 1.0 refuses.
bool IsForbiddenNonCharacter(std::string_view character) {
  return character == "\xEF\xBF\xBE" || character == "\xEF\xBF\xBF";
}

std::string XmlText(std::string_view text, bool escapeInCell) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    // Runs of printable ASCII, tabs and line ends, most of a report, go over as they are.
    std::size_t plain = pos;
    while (plain < text.size()) {
      const auto c = static_cast<unsigned char>(text[plain]);
      if (c >= 0x80 || IsForbiddenControl(c)) break;
      ++plain;
    }
    out.append(text, pos, plain - pos);
    pos = plain;
    if (pos == text.size()) break;
    const std::size_t length = Utf8CharLength(text, pos);
    const std::string_view character = text.substr(pos, length);
    const auto first = static_cast<unsigned char>(character[0]);
    pos += length;
    if (length == 1 && first >= 0x80) {
      out += Replacement;
    } else if (length == 1 && IsForbiddenControl(first)) {
      if (escapeInCell) {
        out += character;  // the library escapes it
      } else {
        out += Replacement;
      }
    } else if (IsForbiddenNonCharacter(character)) {
      if (escapeInCell) {
        out += character.back() == '\xBE' ? "_xFFFE_" : "_xFFFF_";
      } else {
        out += Replacement;
      }
    } else {
      out += character;
    }
  }
  return out;
}

}  // namespace

std::string CellXmlText(std::string_view text) { return XmlText(text, true); }

bool XmlHoldsValidUtf8(std::string_view utf8) {
  for (std::size_t pos = 0; pos < utf8.size(); ++pos) {
    const auto c = static_cast<unsigned char>(utf8[pos]);
    if (IsForbiddenControl(c)) return false;
    // In valid UTF-8, EF BF BE and EF BF BF can only be those two characters.
    if (c == 0xEF && IsForbiddenNonCharacter(utf8.substr(pos, 3))) return false;
  }
  return true;
}

std::string AttributeXmlText(std::string_view text) { return XmlText(text, false); }

}  // namespace tarvex
