#include "core/textcompare/display_lines.h"

#include <iconv.h>

#include <optional>
#include <string_view>

#include "core/text/text_encoding.h"
#include "core/text/utf8.h"
#include "core/textcompare/hex_dump.h"

namespace tarvex {
namespace {

constexpr std::string_view Replacement = "\xEF\xBF\xBD";
constexpr std::size_t TabWidth = 8;

// The dump row's layout: eight bytes of three characters, a blank, eight more, then the text part.
constexpr std::size_t HexPartLength = 49;

std::size_t HexFieldOffset(std::size_t t) { return 3 * t + (t >= 8 ? 1 : 0); }

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The bytes that a dump row spells in its hexadecimal part; nullopt for a row of another form.
std::optional<std::string> DumpRowBytes(std::string_view row) {
  if (row.size() < HexPartLength) return std::nullopt;
  std::string bytes;
  for (std::size_t t = 0; t < 16; ++t) {
    const std::size_t at = HexFieldOffset(t);
    if (row[at] == ' ') break;
    const int hi = HexDigit(row[at]);
    const int lo = HexDigit(row[at + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    bytes += static_cast<char>(hi * 16 + lo);
  }
  return bytes;
}

void AppendCodePoint(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

char32_t DecodeUtf8(std::string_view ch) {
  const auto b0 = static_cast<unsigned char>(ch[0]);
  if (ch.size() == 1) return b0;
  char32_t cp = b0 & (0x7F >> ch.size());
  for (std::size_t i = 1; i < ch.size(); ++i)
    cp = cp << 6 | (static_cast<unsigned char>(ch[i]) & 0x3F);
  return cp;
}

// Wide and full-width characters, as a monospaced Japanese font draws them.
bool IsWide(char32_t cp) {
  static constexpr std::pair<char32_t, char32_t> ranges[] = {
      {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF}, {0x3400, 0x4DBF},
      {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
      {0xFE30, 0xFE4F},   {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F},
      {0x1F900, 0x1F9FF}, {0x20000, 0x3FFFD},
  };
  for (const auto& [first, last] : ranges) {
    if (cp >= first && cp <= last) return true;
  }
  return false;
}

// One iconv conversion, opened once for all the rows of a side.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Appends the converted bytes to out; false (out unchanged) when they do not convert whole.
  bool Convert(std::string_view bytes, std::string& out) {
    if (!ok()) return false;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    const std::size_t start = out.size();
    out.resize(start + bytes.size() * 4 + 4);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* dest = out.data() + start;
    std::size_t outLeft = out.size() - start;
    const std::size_t result = iconv(cd_, &in, &inLeft, &dest, &outLeft);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0) {
      out.resize(start);
      return false;
    }
    out.resize(out.size() - outLeft);
    return true;
  }

 private:
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t cd_;
};

bool IsCp932Lead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

class RowDecoder {
 public:
  explicit RowDecoder(DisplayEncoding encoding) : encoding_(encoding) {}

  // Calls each(utf8, width, source) for every character of bytes.
  template <typename Each>
  void ForEachChar(std::string_view bytes, Each each) {
    std::string ch;
    for (std::size_t i = 0; i < bytes.size();) {
      const auto b = static_cast<unsigned char>(bytes[i]);
      std::size_t len = 1;
      ch.clear();
      if (b < 0x80) {
        ch += static_cast<char>(b);
      } else if (encoding_ == DisplayEncoding::Utf8) {
        len = Utf8CharLength(bytes, i);
        if (len == 1) {
          ch = Replacement;
        } else {
          ch.assign(bytes.substr(i, len));
        }
      } else {
        const bool pair = IsCp932Lead(b) && i + 1 < bytes.size() &&
                          TrailByteSet.Contains(static_cast<unsigned char>(bytes[i + 1]));
        len = pair ? 2 : 1;
        if (!fromCp932_.Convert(bytes.substr(i, len), ch)) {
          len = 1;
          if (!fromCp932_.Convert(bytes.substr(i, 1), ch)) ch = Replacement;
        }
      }
      each(std::string_view(ch), bytes.substr(i, len));
      i += len;
    }
  }

  // The columns a character takes in a monospaced Japanese font: a double-byte character of
  // Shift_JIS takes two, as do wide characters outside it.
  std::size_t Width(std::string_view utf8, std::string_view source) {
    if (utf8.size() == 1) return 1;
    if (encoding_ == DisplayEncoding::Cp932) return source.size();
    std::string encoded;
    if (toCp932_.Convert(utf8, encoded)) return encoded.size();
    return IsWide(DecodeUtf8(utf8)) ? 2 : 1;
  }

  // The whole text at once when nothing in it needs a character of its own.
  bool DecodeWhole(std::string_view bytes, std::string& out) {
    if (encoding_ == DisplayEncoding::Utf8) {
      if (!IsValidUtf8(bytes)) return false;
      out.append(bytes);
      return true;
    }
    return fromCp932_.Convert(bytes, out);
  }

 private:
  DisplayEncoding encoding_;
  Converter fromCp932_{"UTF-8", "CP932"};
  Converter toCp932_{"CP932", "UTF-8"};
};

bool HasControl(std::string_view bytes) {
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) return true;
  }
  return false;
}

std::string TextRow(RowDecoder& decoder, std::string_view bytes) {
  std::string out;
  if (!HasControl(bytes) && decoder.DecodeWhole(bytes, out)) return out;
  out.clear();
  std::size_t column = 0;
  decoder.ForEachChar(bytes, [&](std::string_view ch, std::string_view source) {
    const auto b = static_cast<unsigned char>(ch[0]);
    if (b == '\t') {
      const std::size_t next = (column / TabWidth + 1) * TabWidth;
      out.append(next - column, ' ');
      column = next;
    } else if (ch.size() == 1 && (b < 0x20 || b == 0x7F)) {
      // A line break or an escape inside a line would garble the grid row.
      AppendCodePoint(out, b == 0x7F ? char32_t{0x2421} : char32_t{0x2400} + b);
      ++column;
    } else {
      out.append(ch);
      column += decoder.Width(ch, source);
    }
  });
  return out;
}

std::vector<std::string> HexRowsUtf8(const CompareSide& side, const std::string& bytes) {
  std::vector<std::string> out;
  out.reserve(side.RowCount());
  std::size_t next = 0;  // where the next character starts
  for (std::size_t r = 0; r < side.RowCount(); ++r) {
    const std::string_view row = side.Lines[r];
    std::string shown(row.substr(0, HexPartLength));
    shown += " :  ";
    const std::size_t end = std::min(bytes.size(), 16 * (r + 1));
    // A character that began in the row above is shown there whole; its tail is left out here.
    while (next < end) {
      const std::size_t len = Utf8CharLength(bytes, next);
      const auto b = static_cast<unsigned char>(bytes[next]);
      const bool c1 = len == 2 && b == 0xC2 && static_cast<unsigned char>(bytes[next + 1]) < 0xA0;
      if (len == 1 ? (b >= 0x20 && b < 0x7F) : !c1) {
        shown.append(bytes, next, len);
      } else {
        shown += '.';
      }
      next += len;
    }
    out.push_back(std::move(shown));
  }
  return out;
}

// All the bytes that the dump rows spell; nullopt when a row is not a dump row.
std::optional<std::string> DumpBytes(const CompareSide& side) {
  std::string bytes;
  for (const std::string_view row : side.Lines) {
    const std::optional<std::string> part = DumpRowBytes(row);
    if (!part) return std::nullopt;
    bytes += *part;
  }
  return bytes;
}

}  // namespace

DisplayEncoding ChooseDisplayEncoding(const CompareSide& side, CompareMode mode) {
  if (mode == CompareMode::Hex) {
    const std::optional<std::string> bytes = DumpBytes(side);
    return !bytes || IsValidUtf8(*bytes) ? DisplayEncoding::Utf8 : DisplayEncoding::Cp932;
  }
  // Line ends never split a character of either encoding, so the lines decide as the file would.
  for (std::size_t r = 0; r < side.RowCount(); ++r) {
    if (!side.IsGap(r) && !IsValidUtf8(side.Lines[r])) return DisplayEncoding::Cp932;
  }
  return DisplayEncoding::Utf8;
}

std::vector<std::string> DisplayLines(const CompareSide& side, CompareMode mode) {
  std::vector<std::string> out;
  if (mode == CompareMode::Hex) {
    const std::optional<std::string> bytes = DumpBytes(side);
    if (bytes && IsValidUtf8(*bytes)) return HexRowsUtf8(side, *bytes);
    RowDecoder decoder(bytes ? DisplayEncoding::Cp932 : DisplayEncoding::Utf8);
    out.reserve(side.RowCount());
    for (const std::string_view row : side.Lines) {
      // The hexadecimal part is ASCII; the separator's repeated lead byte and the text column
      // decode together.
      std::string shown(row.substr(0, HexPartLength));
      const std::string_view rest = row.substr(std::min(row.size(), HexPartLength));
      decoder.ForEachChar(rest, [&](std::string_view ch, std::string_view) { shown.append(ch); });
      out.push_back(std::move(shown));
    }
    return out;
  }
  RowDecoder decoder(ChooseDisplayEncoding(side, mode));
  out.reserve(side.RowCount());
  for (const std::string_view line : side.Lines) out.push_back(TextRow(decoder, line));
  return out;
}

}  // namespace tarvex
