#include "core/textcompare/file_encoding.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "core/textcompare/line_ending.h"

namespace tarvex {
namespace {

// The files in encodings/ were made from utf8.txt with the iconv tool (iconv -f UTF-8 -t ...);
// the UTF-16 ones got their byte order mark put in front, the _crlf ones their CR by sed.
std::string Fixture(const std::string& name) {
  std::ifstream in(std::string(TARVEX_TEXTCOMPARE_ENCODINGS) + "/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  EXPECT_TRUE(in.good() || in.eof()) << name;
  return bytes.str();
}

TEST(FileEncoding, EachEncodingIsFoundAndDecodes) {
  const std::string utf8 = Fixture("utf8.txt");
  ASSERT_FALSE(utf8.empty());
  const struct {
    const char* file;
    FileEncoding encoding;
    const char* name;
  } cases[] = {
      {"utf8.txt", FileEncoding::Utf8, "UTF-8"},
      {"utf8_bom.txt", FileEncoding::Utf8Bom, "UTF-8 BOM"},
      {"utf16le.txt", FileEncoding::Utf16Le, "UTF-16LE"},
      {"utf16be.txt", FileEncoding::Utf16Be, "UTF-16BE"},
      {"iso2022jp.txt", FileEncoding::Iso2022Jp, "ISO-2022-JP"},
      {"eucjp.txt", FileEncoding::EucJp, "EUC-JP"},
      {"cp932.txt", FileEncoding::Cp932, "Shift_JIS"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string bytes = Fixture(c.file);
    EXPECT_EQ(DetectFileEncoding(bytes), c.encoding);
    EXPECT_STREQ(FileEncodingName(c.encoding), c.name);
    std::string text;
    EXPECT_TRUE(DecodeFileText(bytes, c.encoding, text));
    EXPECT_EQ(text, utf8);  // without the byte order mark
  }
}

TEST(FileEncoding, BytesThatNothingDecodesAreShiftJisAndFailToDecode) {
  // A lead byte at the end: not UTF-8, EUC-JP nor CP932 as a whole.
  const std::string broken = "abc\x93";
  EXPECT_EQ(DetectFileEncoding(broken), FileEncoding::Cp932);
  std::string text = "left over";
  EXPECT_FALSE(DecodeFileText(broken, FileEncoding::Cp932, text));
  EXPECT_TRUE(text.empty());
  // An odd byte count is no UTF-16 text; an escape alone no ISO-2022-JP.
  EXPECT_FALSE(
      DecodeFileText("\xFF\xFE"
                     "a",
                     FileEncoding::Utf16Le, text));
  EXPECT_EQ(DetectFileEncoding("\x1B[0m\x93"), FileEncoding::Cp932);
  EXPECT_EQ(DetectFileEncoding(""), FileEncoding::Utf8);
}

TEST(LineEnding, KindsAloneAndMixed) {
  const struct {
    const char* text;
    LineEnding ending;
    const char* name;
  } cases[] = {
      {"a\nb\n", LineEnding::Lf, "LF"},      {"a\r\nb", LineEnding::CrLf, "CRLF"},
      {"a\rb\r", LineEnding::Cr, "CR"},      {"a\r\nb\n", LineEnding::Mixed, "混在"},
      {"a\nb\r", LineEnding::Mixed, "混在"}, {"one line", LineEnding::None, "改行なし"},
      {"", LineEnding::None, "改行なし"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DetectLineEnding(c.text), c.ending) << c.text;
    EXPECT_STREQ(LineEndingName(c.ending), c.name);
  }
  EXPECT_EQ(DetectLineEnding(Fixture("utf8_mixed.txt")), LineEnding::Mixed);
}

}  // namespace
}  // namespace tarvex
