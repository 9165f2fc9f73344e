#include "core/text/comma_text.h"

namespace tarvex {

namespace {

// Blanks and every byte below them separate items; a NUL byte is just another separator here.
bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 0x20; }

bool NeedsQuotes(std::string_view item) {
  for (char c : item) {
    if (IsBlankOrControl(c) || c == ',' || c == '"') return true;
  }
  return false;
}

}  // namespace

std::string WriteCommaText(const std::vector<std::string>& items) {
  if (items.size() == 1 && items[0].empty()) return "\"\"";
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += ',';
    const std::string& item = items[i];
    if (!NeedsQuotes(item)) {
      text += item;
      continue;
    }
    text += '"';
    for (char c : item) {
      if (c == '"') text += '"';
      text += c;
    }
    text += '"';
  }
  return text;
}

std::vector<std::string> ReadCommaText(std::string_view text) {
  std::vector<std::string> items;
  std::size_t p = 0;
  const std::size_t n = text.size();
  while (p < n && IsBlankOrControl(text[p])) ++p;
  while (p < n) {
    std::string item;
    if (text[p] == '"') {
      ++p;
      // An unclosed quote runs to the end of the text and keeps every byte of it.
      while (p < n) {
        if (text[p] == '"') {
          if (p + 1 < n && text[p + 1] == '"') {
            item += '"';
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        item += text[p++];
      }
    } else {
      const std::size_t start = p;
      while (p < n && !IsBlankOrControl(text[p]) && text[p] != ',') ++p;
      item.assign(text.substr(start, p - start));
    }
    items.push_back(std::move(item));
    while (p < n && IsBlankOrControl(text[p])) ++p;
    if (p < n && text[p] == ',') {
      if (p + 1 == n) items.emplace_back();
      ++p;
      while (p < n && IsBlankOrControl(text[p])) ++p;
    }
  }
  return items;
}

}  // namespace tarvex
