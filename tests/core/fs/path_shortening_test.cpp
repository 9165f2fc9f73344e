#include "core/fs/path_shortening.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvex {
namespace {

// One unit per character: a UTF-8 sequence counts once, any other byte once.
int CharacterCount(std::string_view text) {
  int count = 0;
  for (const char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++count;
  }
  return count;
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const std::size_t length = b < 0x80         ? 1
                               : (b >> 5) == 6  ? 2
                               : (b >> 4) == 14 ? 3
                               : (b >> 3) == 30 ? 4
                                                : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

TEST(DropFirstFolder, OneStepPerCall) {
  const struct {
    std::string folder, expected;
  } cases[] = {
      {"/", ""},
      {"/home/foo/Documents/", "/.../foo/Documents/"},
      {"/.../foo/Documents/", "/.../Documents/"},
      {"/.../Documents/", "/.../"},
      {"/.../", "/"},
      {".../", ""},
      {"a/b/", ".../b/"},
      {".../b/", ".../"},
      {"", ""},
      // A folder whose name begins with a dot is a folder, not the marker: it goes whole, and the
      // next folder stays.
      {"/.a/b/c/", "/.../b/c/"},
      {"/.config/x/", "/.../x/"},
      {"/..../x/", "/.../x/"},
      {"/ユーザー/書類/", "/.../書類/"},
      {"/caf\xe9/\x83\x5c/", "/.../\x83\x5c/"},
  };
  for (const auto& c : cases) EXPECT_EQ(DropFirstFolder(c.folder), c.expected) << c.folder;
}

// The sequence of results that ever smaller widths give, down to the bare name.
std::vector<std::string> AllSteps(const std::string& path) {
  std::vector<std::string> steps;
  for (int width = CharacterCount(path); width >= 0; --width) {
    const std::string shortened = ShortenPathToWidth(path, width, CharacterCount);
    if (steps.empty() || steps.back() != shortened) steps.push_back(shortened);
  }
  return steps;
}

TEST(ShortenPathToWidth, DropsOneLeadingFolderPerStepDownToTheName) {
  const struct {
    std::string path;
    std::vector<std::string> steps;
  } cases[] = {
      {"/home/foo/Documents/file.txt",
       {"/home/foo/Documents/file.txt", "/.../foo/Documents/file.txt", "/.../Documents/file.txt",
        "/.../file.txt", ".../file.txt", "file.txt"}},
      {"/file.txt", {"/file.txt", "file.txt"}},
      {"file.txt", {"file.txt"}},
      {"relative/dir/f", {"relative/dir/f", ".../dir/f", ".../f", "f"}},
      // A ":" is part of a name, not a drive; a step that comes out longer is passed over.
      {"/c:/x/f", {"/c:/x/f", "/.../f", ".../f", "f"}},
      {"/ユーザー/山田/旅行.jpg",
       {"/ユーザー/山田/旅行.jpg", "/.../山田/旅行.jpg", "/.../旅行.jpg", ".../旅行.jpg",
        "旅行.jpg"}},
  };
  for (const auto& c : cases) EXPECT_EQ(AllSteps(c.path), c.steps) << c.path;
}

TEST(ShortenPathToWidth, StopsAtTheFirstResultThatFitsAndNeverCutsTheName) {
  const std::string path = "/home/foo/Documents/file.txt";
  const struct {
    int width;
    std::string expected;
  } cases[] = {
      {100, path},
      {28, path},  // exactly its own width
      {27, "/.../foo/Documents/file.txt"},
      {13, "/.../file.txt"},
      {12, ".../file.txt"},
      {3, "file.txt"},
      {-1, "file.txt"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShortenPathToWidth(path, c.width, CharacterCount), c.expected) << c.width;
  }
}

TEST(ShortenPathToWidth, MeasuresWholeUtf8CharactersOnly) {
  const std::string path = "/ユーザー/山田/ドキュメント/報告書.txt";
  std::vector<std::string> measured;
  const auto measure = [&measured](std::string_view text) {
    measured.emplace_back(text);
    return CharacterCount(text) * 2;  // a wide font
  };
  EXPECT_EQ(ShortenPathToWidth(path, 24, measure), "/.../報告書.txt");
  ASSERT_FALSE(measured.empty());
  for (const auto& text : measured) EXPECT_TRUE(IsValidUtf8(text)) << text;
}

TEST(ShortenPathToWidth, NamesThatAreNotUtf8AreKeptByteForByte) {
  const std::string path = "/caf\xe9/\x83\x5c/na\xffme";
  EXPECT_EQ(ShortenPathToWidth(path, 10, CharacterCount), "/.../na\xffme");
  EXPECT_EQ(ShortenPathToWidth(path, 0, CharacterCount), "na\xffme");
}

}  // namespace
}  // namespace tarvex
