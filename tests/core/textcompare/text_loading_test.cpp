#include "core/textcompare/text_loading.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_tree.h"

namespace tarvex {
namespace {

TEST(IsTextFile, ControlBytesOutsideBackspaceToCarriageReturnMakeABinary) {
  const struct {
    std::string bytes;
    bool text;
  } cases[] = {
      {"", false},
      {"plain\r\n", true},
      {"\x08\t\n\v\f\r", true},
      {"\x20\x7F\x80\xFF", true},
      {std::string("a\0b", 3), false},
      {"a\x07", false},
      {"a\x0E", false},
      {"a\x1F", false},
      {"\x1B[0m", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsTextBytes(c.bytes), c.text) << c.bytes;

  testing::TempTree tree;
  tree.File("text.txt", "line\n");
  tree.File("binary.bin", std::string("\x01\x02", 2));
  tree.File("empty.txt", "");
  tree.Folder("folder");
  EXPECT_TRUE(IsTextFile(tree.PathOf("text.txt")));
  EXPECT_FALSE(IsTextFile(tree.PathOf("binary.bin")));
  EXPECT_FALSE(IsTextFile(tree.PathOf("empty.txt")));
  EXPECT_FALSE(IsTextFile(tree.PathOf("folder")));
  EXPECT_FALSE(IsTextFile(tree.PathOf("missing.txt")));
}

TEST(TextLines, TerminatorsAndTheFirstNul) {
  const struct {
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"", {}},
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"a\n", {"a"}},  // a final terminator adds no line
      {"a\n\n", {"a", ""}},
      {"\xE6\x97\xA5\x93\xFA\n", {"\xE6\x97\xA5\x93\xFA"}},  // bytes as they are
      {std::string("a\nb\0c\nd\n", 8), {"a", "b"}},          // the text ends at 0x00
      {std::string("\0a", 2), {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TextLines(c.bytes), c.lines) << ::testing::PrintToString(c.bytes);
  }
}

}  // namespace
}  // namespace tarvex
