#include "core/help/help_layout.h"

#include "core/text/display_columns.h"
#include "core/text/utf8.h"

namespace tarvex {

namespace {

// Byte offsets of the ends of the first 1, 2, ... characters of text.
std::vector<std::size_t> CharacterEnds(std::string_view text) {
  std::vector<std::size_t> ends;
  for (std::size_t i = 0; i < text.size();) {
    i += Utf8CharLength(text, i);
    ends.push_back(i);
  }
  return ends;
}

std::string_view CutAtCharacter(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  std::size_t end = 0;
  while (end < text.size()) {
    const std::size_t next = end + Utf8CharLength(text, end);
    if (next > maxBytes) break;
    end = next;
  }
  return text.substr(0, end);
}

bool StartsWithCommaOrFullStop(std::string_view text) {
  return text.starts_with("、") || text.starts_with("。");
}

}  // namespace

std::size_t FitPiece(std::string_view text, int availableWidth, const TextWidth& width) {
  const std::vector<std::size_t> ends = CharacterEnds(text);
  if (ends.empty()) return 0;
  // Widths grow with the prefix, so the last fitting prefix is found by halving.
  std::size_t fits = 1;  // at least one character
  std::size_t lo = 2;
  std::size_t hi = ends.size();
  while (lo <= hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    if (width(text.substr(0, ends[mid - 1])) < availableWidth) {
      fits = mid;
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return ends[fits - 1];
}

std::vector<std::string> WrapLine(std::string_view line, std::string_view indent,
                                  int availableWidth, const TextWidth& width) {
  if (line.empty() || width(line) < availableWidth) return {std::string(line)};
  const int indentColumns = DisplayColumns(indent);
  std::vector<std::string> pieces;
  std::string text(line);
  while (!text.empty()) {
    const std::size_t pieceBytes = FitPiece(text, availableWidth, width);
    std::string piece = text.substr(0, pieceBytes);
    std::string_view rest = CutAtCharacter(std::string_view(text).substr(pieceBytes), MaxRestBytes);
    // The whole run moves, so that no line starts with either mark even after "。。" or "、、".
    while (StartsWithCommaOrFullStop(rest)) {
      piece += rest.substr(0, 3);
      rest.remove_prefix(3);
    }
    std::string next;
    if (!rest.empty() && DisplayColumns(piece) > indentColumns) next = indent;
    next += rest;
    pieces.push_back(std::move(piece));
    text = std::move(next);
  }
  return pieces;
}

std::vector<std::string> Reflow(const std::vector<std::string>& sourceLines,
                                const std::vector<std::string>& indents, int availableWidth,
                                const TextWidth& width,
                                std::vector<std::size_t>* firstDisplayLine) {
  std::vector<std::string> lines;
  if (firstDisplayLine) firstDisplayLine->clear();
  for (std::size_t i = 0; i < sourceLines.size(); ++i) {
    if (firstDisplayLine) firstDisplayLine->push_back(lines.size());
    const std::string_view indent = i < indents.size() ? std::string_view(indents[i]) : "";
    for (std::string& piece : WrapLine(sourceLines[i], indent, availableWidth, width)) {
      lines.push_back(std::move(piece));
    }
  }
  return lines;
}

}  // namespace tarvex
