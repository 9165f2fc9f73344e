#include "core/textcompare/line_ending.h"

namespace tarvex {

LineEnding DetectLineEnding(std::string_view text) {
  LineEnding found = LineEnding::None;
  for (std::size_t i = 0; i < text.size(); ++i) {
    LineEnding here;
    if (text[i] == '\n') {
      here = LineEnding::Lf;
    } else if (text[i] != '\r') {
      continue;
    } else if (i + 1 < text.size() && text[i + 1] == '\n') {
      here = LineEnding::CrLf;
      ++i;
    } else {
      here = LineEnding::Cr;
    }
    if (found == LineEnding::None) {
      found = here;
    } else if (found != here) {
      return LineEnding::Mixed;
    }
  }
  return found;
}

const char* LineEndingName(LineEnding ending) {
  switch (ending) {
    case LineEnding::None:
      return "改行なし";
    case LineEnding::Lf:
      return "LF";
    case LineEnding::CrLf:
      return "CRLF";
    case LineEnding::Cr:
      return "CR";
    case LineEnding::Mixed:
      return "混在";
  }
  return "";
}

}  // namespace tarvex
