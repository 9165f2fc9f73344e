#include "core/text/display_path.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvex {
namespace {

TEST(DisplayPath, EachNameDecodedOnItsOwnWithControlsAsPictures) {
  // CP932 bytes of 報告書 and あ; the UTF-8 bytes of 報告書 read as CP932 would be 蝣ｱ蜻頑嶌.
  const std::string cp932Report = "\x95\xF1\x8D\x90\x8F\x91";
  const std::string cp932A = "\x82\xA0";
  const struct {
    std::string bytes;
    std::string shown;
  } cases[] = {
      {"報告書/" + cp932A + ".txt", "報告書/あ.txt"},
      {cp932Report + "/あ.txt", "報告書/あ.txt"},
      {"/home/me/報告書/" + cp932A + "/", "/home/me/報告書/あ/"},  // a root; a folder row's "/"
      {"報告書/あ.txt", "報告書/あ.txt"},                          // all UTF-8: as it was
      {cp932Report + "/" + cp932A + ".txt", "報告書/あ.txt"},      // all CP932: as it was
      {"\x83\x5C/x", "ソ/x"},  // a trail byte equal to the backslash code stays in its name
      {"a\xFF/b", "a\xEF\xBF\xBD/b"},
      {"a\nb/c\td\x7F", "a␊b/c␉d␡"},  // a line break never breaks a row or a log line
      {"", ""},
      {"/", "/"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DisplayPath(c.bytes), c.shown) << ::testing::PrintToString(c.bytes);
  }
}

}  // namespace
}  // namespace tarvex
