#pragma once
// The help text laid out for a width: every source line that is not narrower than the width is
// cut into pieces that are, and the continuation pieces get the line's hanging indent. A piece
// never leaves "、" or "。" to start the next one. Widths come from a function, so the viewer
// measures with its font and the tests with display columns.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// The width of a text as it is shown, in any unit (pixels for the viewer).
using TextWidth = std::function<int(std::string_view)>;

// What is kept of the rest of a line after each piece: the first bytes only, ended at a whole
// character.
inline constexpr std::size_t MaxRestBytes = 9999;

// Byte length of the longest prefix of whole characters narrower than availableWidth; at least
// one character of a text that is not empty, so that a width too small for any character still
// makes progress.
std::size_t FitPiece(std::string_view text, int availableWidth, const TextWidth& width);

// The display lines of one source line.
std::vector<std::string> WrapLine(std::string_view line, std::string_view indent,
                                  int availableWidth, const TextWidth& width);

// The display lines of all source lines; indents[i] belongs to sourceLines[i]. When
// firstDisplayLine is given, it receives for each source line the index of its first display
// line.
std::vector<std::string> Reflow(const std::vector<std::string>& sourceLines,
                                const std::vector<std::string>& indents, int availableWidth,
                                const TextWidth& width,
                                std::vector<std::size_t>* firstDisplayLine = nullptr);

}  // namespace tarvex
