#pragma once
// The encoding of one text file of a comparison, found from its bytes alone: a byte order mark
// decides; else the first encoding that decodes the whole file, in the order UTF-8, ISO-2022-JP,
// EUC-JP, CP932, except that a file which switches to a Japanese set by ISO-2022-JP's escapes is
// ISO-2022-JP although its 7 bits are valid UTF-8 too. A file that none of them decodes whole is
// taken as CP932 and shown with replacement characters where it does not decode.

#include <string>
#include <string_view>

namespace tarvex {

enum class FileEncoding { Utf8, Utf8Bom, Utf16Le, Utf16Be, Iso2022Jp, EucJp, Cp932 };

FileEncoding DetectFileEncoding(std::string_view bytes);

// The name shown beside the file: "UTF-8", "UTF-8 BOM", "UTF-16LE", "UTF-16BE", "ISO-2022-JP",
// "EUC-JP", "Shift_JIS".
const char* FileEncodingName(FileEncoding encoding);

// Whether bytes start with a UTF-16 byte order mark (either order).
bool HasUtf16Bom(std::string_view bytes);

// The file's text in UTF-8 without its byte order mark; false (out empty) when the bytes do not
// decode whole in that encoding.
bool DecodeFileText(std::string_view bytes, FileEncoding encoding, std::string& out);

}  // namespace tarvex
