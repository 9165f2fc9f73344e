#include "core/text/name_value_list.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

TEST(NameValueList, NamesEndAtTheChosenEquals) {
  NameValueList first;
  EXPECT_EQ(first.NameOf("汎用=*.bak,a=b"), "汎用");
  EXPECT_EQ(first.ValueOf("汎用=*.bak,a=b"), "*.bak,a=b");
  EXPECT_EQ(first.NameOf("no equals"), "");
  EXPECT_EQ(first.ValueOf("no equals"), "");

  NameValueList last(NameValueList::Split::LastEquals);
  EXPECT_EQ(last.NameOf("/a=b 〓 /c=汎用"), "/a=b 〓 /c");
  EXPECT_EQ(last.ValueOf("/a=b 〓 /c=汎用"), "汎用");
  last.SetValue("/a=b 〓 /c", "すべて");
  EXPECT_EQ(last.Value("/A=B 〓 /C"), "すべて");
  EXPECT_EQ(last.Lines, std::vector<std::string>{"/a=b 〓 /c=すべて"});
}

TEST(NameValueList, LookupIgnoresAsciiCaseOnly) {
  NameValueList list;
  list.Lines = {"plain line", "Docs=*.txt", "docs=*.doc", "Ｄｏｃｓ=wide", "=empty name"};
  EXPECT_EQ(list.IndexOfName("DOCS"), 1);  // the first of equal names
  EXPECT_EQ(list.Value("dOcS"), "*.txt");
  EXPECT_EQ(list.IndexOfName("ｄｏｃｓ"), -1);    // full-width letters are not folded
  EXPECT_EQ(list.IndexOfName("plain line"), -1);  // a line without "=" has no name
  EXPECT_EQ(list.IndexOfName(""), 4);
  EXPECT_EQ(list.Value("missing"), "");

  EXPECT_TRUE(EqualsIgnoringAsciiCase("Abc.TXT", "aBC.txt"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("abc", "abcd"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("a[", "a{"));  // no folding outside A-Z
}

TEST(NameValueList, SetValueReplacesAppendsAndRemoves) {
  NameValueList list;
  list.Lines = {"A=1", "B=2", "a=3"};
  list.SetValue("a", "9");  // the first line with the name, spelt as given now
  EXPECT_EQ(list.Lines, (std::vector<std::string>{"a=9", "B=2", "a=3"}));
  list.SetValue("C", "x=y");
  EXPECT_EQ(list.Lines.back(), "C=x=y");
  list.SetValue("b", "");
  EXPECT_EQ(list.Lines, (std::vector<std::string>{"a=9", "a=3", "C=x=y"}));
  list.SetValue("missing", "");
  EXPECT_EQ(list.Lines.size(), 3u);
}

}  // namespace
}  // namespace tarvex
