#include "core/textcompare/file_encoding.h"

#include <iconv.h>

#include <algorithm>

#include "core/text/text_encoding.h"

namespace tarvex {
namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view Utf16LeBom = "\xFF\xFE";
constexpr std::string_view Utf16BeBom = "\xFE\xFF";

// The whole of bytes converted by iconv from the encoding named from; false when any of it does
// not convert (an invalid or incomplete sequence).
bool ConvertWhole(std::string_view bytes, const char* from, std::string& out) {
  out.clear();
  const iconv_t cd = iconv_open("UTF-8", from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  // Every encoding here takes at most 3 UTF-8 bytes per source byte, and 4 per 2 source bytes.
  out.resize(bytes.size() * 3 + 8);
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  char* dest = out.data();
  std::size_t outLeft = out.size();
  bool ok = iconv(cd, &in, &inLeft, &dest, &outLeft) != static_cast<std::size_t>(-1) &&
            inLeft == 0 &&
            // A stateful encoding must end in its initial state.
            iconv(cd, nullptr, nullptr, &dest, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  out.resize(ok ? out.size() - outLeft : 0);
  return ok;
}

// An escape sequence that switches ISO-2022-JP to JIS X 0208 (ESC $ @, ESC $ B) or to the JIS
// Roman or half-width kana set (ESC ( J, ESC ( I).
bool HasJisDesignation(std::string_view bytes) {
  for (std::size_t at = bytes.find('\x1B'); at != std::string_view::npos;
       at = bytes.find('\x1B', at + 1)) {
    const std::string_view seq = bytes.substr(at + 1, 2);
    if (seq == "$@" || seq == "$B" || seq == "(J" || seq == "(I") return true;
  }
  return false;
}

// A byte that iconv's EUC-JP takes as a C1 control character; text never has one, but Shift_JIS
// lead bytes are such bytes, so without this test many Shift_JIS files would pass as EUC-JP.
bool HasC1Byte(std::string_view bytes) {
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x80 && b <= 0xA0 && b != 0x8E && b != 0x8F) return true;
  }
  return false;
}

}  // namespace

bool HasUtf16Bom(std::string_view bytes) {
  return bytes.starts_with(Utf16LeBom) || bytes.starts_with(Utf16BeBom);
}

FileEncoding DetectFileEncoding(std::string_view bytes) {
  if (bytes.starts_with(Utf8Bom)) return FileEncoding::Utf8Bom;
  if (bytes.starts_with(Utf16LeBom)) return FileEncoding::Utf16Le;
  if (bytes.starts_with(Utf16BeBom)) return FileEncoding::Utf16Be;
  std::string decoded;
  // ISO-2022-JP is 7-bit and so always valid UTF-8 too: its switch to a Japanese character set
  // tells it apart, which plain UTF-8 text never has.
  const bool utf8 = IsValidUtf8(bytes);
  if (utf8 && !HasJisDesignation(bytes)) return FileEncoding::Utf8;
  if (ConvertWhole(bytes, "ISO-2022-JP", decoded)) return FileEncoding::Iso2022Jp;
  if (utf8) return FileEncoding::Utf8;
  if (!HasC1Byte(bytes) && ConvertWhole(bytes, "EUC-JP", decoded)) return FileEncoding::EucJp;
  return FileEncoding::Cp932;
}

const char* FileEncodingName(FileEncoding encoding) {
  switch (encoding) {
    case FileEncoding::Utf8:
      return "UTF-8";
    case FileEncoding::Utf8Bom:
      return "UTF-8 BOM";
    case FileEncoding::Utf16Le:
      return "UTF-16LE";
    case FileEncoding::Utf16Be:
      return "UTF-16BE";
    case FileEncoding::Iso2022Jp:
      return "ISO-2022-JP";
    case FileEncoding::EucJp:
      return "EUC-JP";
    case FileEncoding::Cp932:
      return "Shift_JIS";
  }
  return "";
}

bool DecodeFileText(std::string_view bytes, FileEncoding encoding, std::string& out) {
  out.clear();
  switch (encoding) {
    case FileEncoding::Utf8:
      if (!IsValidUtf8(bytes)) return false;
      out.assign(bytes);
      return true;
    case FileEncoding::Utf8Bom:
      bytes.remove_prefix(std::min(bytes.size(), Utf8Bom.size()));
      if (!IsValidUtf8(bytes)) return false;
      out.assign(bytes);
      return true;
    case FileEncoding::Utf16Le:
      return ConvertWhole(bytes.substr(std::min(bytes.size(), Utf16LeBom.size())), "UTF-16LE", out);
    case FileEncoding::Utf16Be:
      return ConvertWhole(bytes.substr(std::min(bytes.size(), Utf16BeBom.size())), "UTF-16BE", out);
    case FileEncoding::Iso2022Jp:
      return ConvertWhole(bytes, "ISO-2022-JP", out);
    case FileEncoding::EucJp:
      return ConvertWhole(bytes, "EUC-JP", out);
    case FileEncoding::Cp932:
      return ConvertWhole(bytes, "CP932", out);
  }
  return false;
}

}  // namespace tarvex
