#include "core/help/help_layout.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/help/hanging_indent.h"
#include "core/text/display_columns.h"
#include "core/text/text_encoding.h"

namespace tarvex {
namespace {

int Columns(std::string_view text) { return DisplayColumns(text); }

struct GoldenCase {
  int Width = 0;
  std::vector<std::string> Input;
  std::vector<std::string> Expected;
};

// See golden/README.md for the format.
GoldenCase ReadGolden(const std::filesystem::path& path) {
  GoldenCase c;
  std::ifstream in(path);
  std::vector<std::string>* section = nullptr;
  for (std::string line; std::getline(in, line);) {
    if (section == nullptr && line.starts_with('#')) continue;
    if (line.starts_with("width ")) {
      c.Width = std::stoi(line.substr(6));
    } else if (line == "--- input") {
      section = &c.Input;
    } else if (line == "--- expected") {
      section = &c.Expected;
    } else if (section != nullptr) {
      if (line.ends_with('|')) line.pop_back();
      section->push_back(line);
    }
  }
  return c;
}

std::vector<std::string> Layout(const std::vector<std::string>& source, int width) {
  std::vector<std::string> indents;
  for (const std::string& line : source) indents.push_back(HangingIndent(line));
  return Reflow(source, indents, width, Columns);
}

std::string Marked(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "|\n";
  return text;
}

TEST(HelpLayout, GoldenCases) {
  const std::filesystem::path folder = TARVEX_HELP_GOLDEN_DIR;
  int cases = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().extension() != ".txt") continue;
    ++cases;
    const GoldenCase c = ReadGolden(entry.path());
    SCOPED_TRACE(entry.path().filename().string());
    ASSERT_GT(c.Width, 0);
    ASSERT_FALSE(c.Input.empty());
    EXPECT_EQ(Marked(Layout(c.Input, c.Width)), Marked(c.Expected));
  }
  EXPECT_GE(cases, 7);
}

TEST(HelpLayout, TheRestOfALongLineIsCutAtAWholeCharacter) {
  // 9999 bytes after the first piece fall inside a three-byte character: the cut goes before it.
  std::string line;
  for (int i = 0; i < 10; ++i) line += "あ";
  line += "a";
  for (int i = 0; i < 4000; ++i) line += "あ";
  const std::vector<std::string> lines = WrapLine(line, "", 21, Columns);
  ASSERT_GT(lines.size(), 2u);
  EXPECT_EQ(lines.front(), line.substr(0, 30));
  std::string shown;
  for (const std::string& piece : lines) {
    EXPECT_TRUE(IsValidUtf8(piece));
    EXPECT_LT(DisplayColumns(piece), 21);
    shown += piece;
  }
  EXPECT_EQ(shown.size(), 30u + 9997u);
  EXPECT_EQ(shown, line.substr(0, shown.size()));
}

TEST(HelpLayout, FirstDisplayLineOfEachSourceLine) {
  const std::vector<std::string> source{"あいうえおかきくけこさ", "", "短い",
                                        "あいうえおかきくけこさしすせそたちつてとな"};
  std::vector<std::size_t> first;
  const std::vector<std::string> lines =
      Reflow(source, std::vector<std::string>(source.size()), 21, Columns, &first);
  EXPECT_EQ(lines.size(), 7u);
  EXPECT_EQ(first, (std::vector<std::size_t>{0, 2, 3, 4}));
}

TEST(HelpLayout, FitPieceTakesTheLongestNarrowerPrefixAndAtLeastOneCharacter) {
  struct Case {
    std::string text;
    int width;
    std::size_t bytes;
  };
  const Case cases[] = {
      {"abc", 3, 2},    {"abc", 4, 3}, {"あいう", 5, 6}, {"あいう", 4, 3},
      {"あいう", 1, 3}, {"", 10, 0},   {"aあ", 3, 1},    {"\xFF\xFEz", 3, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FitPiece(c.text, c.width, Columns), c.bytes) << c.text << " width " << c.width;
  }
}

}  // namespace
}  // namespace tarvex
