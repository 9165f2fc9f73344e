#include "core/list/path_search.h"

#include <gtest/gtest.h>

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
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Text) + " in " + c.Path);
    EXPECT_EQ(PathSearch(c.Text).Matches(c.Path), c.Kept);
  }
}

}  // namespace
}  // namespace tarvex
