#include "core/text/line_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvex {
namespace {

TEST(SplitLines, EveryTerminatorEndsALineAndAFinalOneAddsNone) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\n", {"a"}},
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"a\r\r\nb", {"a", "", "b"}},  // CR then CR LF: an empty line between
      {"\n\n", {"", ""}},
      {"a\n\r", {"a", ""}},  // LF then a lone CR: two terminators
      {std::string("x\0y\r\n", 5), {std::string("x\0y", 3)}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> got;
    for (std::string_view line : SplitLines(c.text)) got.emplace_back(line);
    EXPECT_EQ(got, c.lines) << "text: " << testing::PrintToString(c.text);
  }
}

}  // namespace
}  // namespace tarvex
