#include "core/list/path_search.h"

#include <gtest/gtest.h>

#include <random>

#include "core/text/display_path.h"

namespace tarvex {
namespace {

TEST(PathSearch, KeepsPathsThatContainTheTextIgnoringLatinCase) {
  struct Case {
    const char* Text;
    const char* Path;
    bool Kept;
  };
  const Case cases[] = {
      {"", "any/path.txt", true},
      {"REPORT", "docs/Report.txt", true},
      {"資料", "会議/資料2024.xlsx", true},
      {"資料", "会議/議事録.txt", false},
      {"ａｂｃ", "x/ＡＢＣ.txt", true},  // full-width letters fold as well
      {"*.TXT", "docs/readme.txt", true},
      {"2024*.xlsx", "会議/資料2024.xlsx", true},
      {"資?", "会議/資料.txt", true},
      {"*.txt", "docs/readme.md", false},
      {"[1]", "photo[1].jpg", true},                   // without a wildcard a "[" is a "["
      {"[1*", "photo[1].jpg", false},                  // a set that never closes keeps nothing
      {"\xE8\xB3\x87", "\x8E\x91\x97\xBF.txt", true},  // a CP932 name is read as it is shown
      {"会議/資", "会議/\x8E\x91\x97\xBF.txt", true},  // each name decoded on its own
      {"\xE2\x90\x8A", "a\nb.txt", true},              // a line break is read as its picture
      {"\n", "a\nb.txt", false},
      {"_1.", "DOCS/A_1.TXT", true},  // a text without letters, in a path with capitals
      {"_1.", "docs/a_2.txt", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Text) + " in " + c.Path);
    EXPECT_EQ(PathSearch(c.Text).Matches(c.Path), c.Kept);
  }
}

// The search's shortcuts for paths that read as stored give what the plain way gives: decode the
// path for display, fold it and look for the folded text.
TEST(PathSearch, AgreesWithDecodingAndFoldingEveryPath) {
  const char* pieces[] = {"a",    "A",    "_",  "1",        "/",  "\x7F", "\n", "\x1F",
                          "\x80", "\xFF", "あ", "\x82\xA0", "Ｂ", "ｂ",   "ｱ",  "\xE3\x81"};
  const char* texts[] = {"a", "_1", "ab", "あ", "ｂ", "ｱ", "\xE2\x90\x8A", "\xEF\xBF\xBD", "1/a"};
  std::mt19937 rng(7);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(pieces) - 1);
  std::uniform_int_distribution<int> length(0, 24);
  for (int n = 0; n < 20000; ++n) {
    std::string path;
    for (int k = length(rng); k > 0; --k) path += pieces[piece(rng)];
    const std::string shown = FoldLatinCase(DisplayPath(path));
    for (const char* text : texts) {
      const bool expected = shown.find(FoldLatinCase(text)) != std::string::npos;
      ASSERT_EQ(PathSearch(text).Matches(path), expected) << text << " in " << path;
    }
  }
}

}  // namespace
}  // namespace tarvex
