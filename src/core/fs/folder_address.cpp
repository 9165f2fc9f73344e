#include "core/fs/folder_address.h"

#include <optional>
#include <vector>

#include "core/text/percent_encoding.h"

namespace tarvex {

namespace {

// False when an escape is broken or decodes to a zero byte, which no path can hold.
bool PercentDecode(std::string_view text, std::string& out) {
  std::optional<std::string> decoded = PercentDecoded(text);
  if (!decoded || decoded->find('\0') != std::string::npos) return false;
  out = std::move(*decoded);
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char c = text[i];
    const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != prefix[i]) return false;
  }
  return true;
}

}  // namespace

std::string FolderFromText(std::string_view text, std::string_view home) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  std::string path;
  if (StartsWithNoCase(text, "file:")) {
    std::string_view rest = text.substr(5);
    if (rest.starts_with("//")) {
      rest.remove_prefix(2);
      const std::size_t slash = rest.find('/');
      if (slash == std::string_view::npos) return {};
      const std::string_view host = rest.substr(0, slash);
      if (!host.empty() && host != "localhost") return {};
      rest.remove_prefix(slash);
    }
    // A query or fragment is no part of a file's address.
    rest = rest.substr(0, rest.find_first_of("?#"));
    if (!PercentDecode(rest, path)) return {};
  } else if (text == "~" || text.starts_with("~/")) {
    path = std::string(home) + std::string(text.substr(1));
  } else {
    path = text;
  }
  if (!path.starts_with('/') || path.find('\0') != std::string::npos) return {};

  std::vector<std::string_view> names;
  const std::string_view all = path;
  for (std::size_t pos = 1; pos <= all.size();) {
    const std::size_t slash = std::min(all.find('/', pos), all.size());
    const std::string_view name = all.substr(pos, slash - pos);
    pos = slash + 1;
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!names.empty()) names.pop_back();
      continue;
    }
    names.push_back(name);
  }
  std::string result;
  for (const std::string_view name : names) {
    result += '/';
    result += name;
  }
  return result.empty() ? "/" : result;
}

std::string FileAddressOf(std::string_view path) { return "file://" + PercentEncoded(path); }

}  // namespace tarvex
