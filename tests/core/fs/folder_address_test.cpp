#include "core/fs/folder_address.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvex {
namespace {

TEST(FolderAddressTest, TextNamesAnAbsolutePath) {
  const struct {
    const char* text;
    std::string path;  // empty: refused
  } cases[] = {
      {"/home/me/Data", "/home/me/Data"},
      {"  /home/me/Data/\n", "/home/me/Data"},  // pasted with a line break
      {"/home//me///Data//", "/home/me/Data"},
      {"/", "/"},
      {"///", "/"},
      {"/a/./b/../c", "/a/c"},
      {"/..", "/"},
      {"~", "/home/me"},
      {"~/", "/home/me"},
      {"~/写真/2024", "/home/me/写真/2024"},
      {"~other/x", ""},  // another user's home is not looked up
      {"Data/x", ""},    // relative
      {"", ""},
      {"file:///home/me/a%20b/%E5%86%99", "/home/me/a b/写"},
      {"file:///srv/bad-%FF", "/srv/bad-\xff"},  // not UTF-8: the byte survives
      {"FILE://localhost/srv/x/", "/srv/x"},
      {"file:/srv/x", "/srv/x"},
      {"file:///srv/x?query#part", "/srv/x"},
      {"file://server/share", ""},  // another host
      {"file:///srv/%2", ""},       // broken escape
      {"file:///srv/%00x", ""},     // a zero byte names no file
      {"smb://server/share", ""},
      {"/srv/ bad\xff name", "/srv/ bad\xff name"},  // typed bytes are taken as they are
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FolderFromText(c.text, "/home/me"), c.path) << c.text;
  }
}

TEST(FolderAddressTest, AddressOfAPathEncodesEveryOtherByteAndDecodesBack) {
  EXPECT_EQ(FileAddressOf("/home/me/a b/写"), "file:///home/me/a%20b/%E5%86%99");
  EXPECT_EQ(FileAddressOf("/srv/100%_~x-y.z#"), "file:///srv/100%25_~x-y.z%23");
  for (const std::string path : {"/", "/srv/bad-\xff/x", "/a?b/%41"}) {
    EXPECT_EQ(FolderFromText(FileAddressOf(path), "/home/me"), path);
  }
}

}  // namespace
}  // namespace tarvex
