#include "core/fs/folder_address.h"

#include <vector>

namespace tarvex {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Empty when an escape is broken or decodes to a zero byte, which no path can hold.
bool PercentDecode(std::string_view text, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0 || (high == 0 && low == 0)) return false;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
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

std::string FileAddressOf(std::string_view path) {
  static constexpr char Hex[] = "0123456789ABCDEF";
  std::string address = "file://";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                       (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' ||
                       c == '~' || c == '/';
    if (plain) {
      address += c;
    } else {
      address += '%';
      address += Hex[byte >> 4];
      address += Hex[byte & 0x0F];
    }
  }
  return address;
}

}  // namespace tarvex
