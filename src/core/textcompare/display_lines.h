#pragma once
// The rows of one side as the compare view shows them. Text rows are already UTF-8 where the file
// decoded whole (see file_encoding.h), and keep the file's bytes where it did not; dump rows keep
// the bytes. What is shown is decoded here, in one encoding for the whole file.

#include <string>
#include <vector>

#include "core/textcompare/compare_rows.h"

namespace tarvex {

enum class DisplayEncoding { Utf8, Cp932 };

// UTF-8 when all of the file's bytes (in hex mode: the bytes that the dump rows spell) are valid
// UTF-8, else CP932 (Shift_JIS).
DisplayEncoding ChooseDisplayEncoding(const CompareSide& side, CompareMode mode);

// Every row's text in UTF-8, decoded in the file's encoding; a byte that does not decode shows as
// U+FFFD. Text mode: a tab moves to the next multiple of 8 columns (a full-width character takes
// two), and other control characters show as their pictures. Hex mode: the hexadecimal part is
// kept; the text column of a CP932 file is the dump's own, decoded; that of a UTF-8 file shows
// each character that starts in the row whole, and a non-printing byte as ".".
std::vector<std::string> DisplayLines(const CompareSide& side, CompareMode mode);

}  // namespace tarvex
