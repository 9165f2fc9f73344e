#include "core/text/name_value_list.h"

namespace tarvex {

namespace {

char FoldAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

namespace {

std::size_t EqualsPos(std::string_view line, NameValueList::Split split) {
  return split == NameValueList::Split::FirstEquals ? line.find('=') : line.rfind('=');
}

}  // namespace

std::string_view NameValueList::NameOf(std::string_view line) const {
  const std::size_t eq = EqualsPos(line, split_);
  return eq == std::string_view::npos ? std::string_view() : line.substr(0, eq);
}

std::string_view NameValueList::ValueOf(std::string_view line) const {
  const std::size_t eq = EqualsPos(line, split_);
  return eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1);
}

int NameValueList::IndexOfName(std::string_view name) const {
  for (std::size_t i = 0; i < Lines.size(); ++i) {
    const std::string_view line = Lines[i];
    // A line without "=" has no name, not even the empty one.
    if (EqualsPos(line, split_) == std::string_view::npos) continue;
    if (EqualsIgnoringAsciiCase(NameOf(line), name)) return static_cast<int>(i);
  }
  return -1;
}

std::string NameValueList::Value(std::string_view name) const {
  const int i = IndexOfName(name);
  return i < 0 ? std::string() : std::string(ValueOf(Lines[static_cast<std::size_t>(i)]));
}

void NameValueList::SetValue(std::string_view name, std::string_view value) {
  const int i = IndexOfName(name);
  if (value.empty()) {
    if (i >= 0) Lines.erase(Lines.begin() + i);
    return;
  }
  std::string line;
  line.reserve(name.size() + 1 + value.size());
  line.append(name).append("=").append(value);
  if (i >= 0) {
    Lines[static_cast<std::size_t>(i)] = std::move(line);
  } else {
    Lines.push_back(std::move(line));
  }
}

}  // namespace tarvex
