#include "core/text/line_split.h"

#include <algorithm>

namespace tarvex {

bool NextLine(std::string_view& rest, std::string_view& line) {
  if (rest.empty()) return false;
  // One pass over the bytes; find_first_of would look each byte up in the set of two.
  const auto stop =
      std::find_if(rest.begin(), rest.end(), [](char c) { return c == '\r' || c == '\n'; });
  const std::size_t end =
      stop == rest.end() ? std::string_view::npos : static_cast<std::size_t>(stop - rest.begin());
  line = rest.substr(0, end);
  if (end == std::string_view::npos) {
    rest = {};
  } else {
    const bool crlf = rest[end] == '\r' && end + 1 < rest.size() && rest[end + 1] == '\n';
    rest.remove_prefix(end + (crlf ? 2 : 1));
  }
  return true;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  ForEachLine(text, [&lines](std::string_view line) { lines.push_back(line); });
  return lines;
}

}  // namespace tarvex
