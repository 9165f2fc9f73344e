#include "core/text/display_columns.h"

#include <glib.h>

#include "core/text/utf8.h"

namespace tarvex {

int CharColumns(std::string_view character) {
  if (character.empty()) return 0;
  const std::size_t len = Utf8CharLength(character, 0);
  if (len == 1) return 1;
  const gunichar c = g_utf8_get_char_validated(character.data(), static_cast<gssize>(len));
  if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) return 1;
  return g_unichar_iswide_cjk(c) ? 2 : 1;
}

int DisplayColumns(std::string_view text) {
  int columns = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t len = Utf8CharLength(text, i);
    columns += CharColumns(text.substr(i, len));
    i += len;
  }
  return columns;
}

std::string BlankedText(std::string_view text) {
  std::string blanks;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t len = Utf8CharLength(text, i);
    blanks += CharColumns(text.substr(i, len)) == 2 ? "　" : " ";
    i += len;
  }
  return blanks;
}

}  // namespace tarvex
