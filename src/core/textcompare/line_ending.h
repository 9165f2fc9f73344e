#pragma once
// The line ending that a text uses: one kind throughout, several kinds mixed, or none at all.

#include <string_view>

namespace tarvex {

enum class LineEnding { None, Lf, CrLf, Cr, Mixed };

// The kinds of line end in text (CR LF, a lone CR, a lone LF) taken together.
LineEnding DetectLineEnding(std::string_view text);

// "LF", "CRLF", "CR", "混在" (mixed), "改行なし" (none).
const char* LineEndingName(LineEnding ending);

}  // namespace tarvex
