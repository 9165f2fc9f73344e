#include "core/textcompare/text_loading.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/textcompare/file_bytes.h"
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

TEST(ReadFileBytes, WholeFileOrWhyNot) {
  testing::TempTree tree;
  tree.File("five", "12345");
  tree.Folder("folder");
  EXPECT_EQ(ReadFileBytes(tree.PathOf("five")).Bytes, "12345");
  EXPECT_EQ(ReadFileBytes(tree.PathOf("five"), 5).Bytes, "12345");
  const FileBytes over = ReadFileBytes(tree.PathOf("five"), 4);
  EXPECT_EQ(over.Status, ReadStatus::TooLarge);
  EXPECT_TRUE(over.Bytes.empty());
  EXPECT_EQ(ReadFileBytes(tree.PathOf("folder")).Status, ReadStatus::CannotOpen);
  const FileBytes missing = ReadFileBytes(tree.PathOf("missing"));
  EXPECT_EQ(missing.Status, ReadStatus::CannotOpen);
  EXPECT_EQ(missing.Error, ENOENT);
}

TEST(RegularFileExists, FilesAndLinksToThemOnly) {
  testing::TempTree tree;
  tree.File("file", "x");
  tree.Folder("folder");
  tree.Link("to-file", "file");
  tree.Link("to-folder", "folder");
  tree.Link("dangling", "missing");
  EXPECT_TRUE(RegularFileExists(tree.PathOf("file")));
  EXPECT_TRUE(RegularFileExists(tree.PathOf("to-file")));  // as ReadFileBytes reads it
  for (const char* other : {"folder", "to-folder", "dangling", "missing"})
    EXPECT_FALSE(RegularFileExists(tree.PathOf(other))) << other;
}

}  // namespace
}  // namespace tarvex
