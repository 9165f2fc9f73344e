#include "core/text/comma_text.h"

#include <gtest/gtest.h>

namespace tarvex {
namespace {

using Items = std::vector<std::string>;

std::string Show(const Items& items) {
  std::string s = "[";
  for (const auto& item : items) s += "<" + item + ">";
  return s + "]";
}

TEST(CommaText, Reading) {
  const struct {
    std::string text;
    Items expected;
  } cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"*.bak,*.xlk", {"*.bak", "*.xlk"}},
      {"*.bak *.xlk", {"*.bak", "*.xlk"}},  // blanks separate as commas do
      {"  *.bak ,  *.xlk  ", {"*.bak", "*.xlk"}},
      {"\t*.a\r\n*.b\x01", {"*.a", "*.b"}},  // control characters too
      {"*.bak,,*.tmp", {"*.bak", "", "*.tmp"}},
      {"a, ,b", {"a", "", "b"}},
      {"*.bak,", {"*.bak", ""}},  // a trailing comma adds one empty item
      {"*.bak, ", {"*.bak"}},     // ... only when it is the last character
      {",", {"", ""}},
      {",a", {"", "a"}},
      {"\"\"", {""}},
      {"\"a b\",c", {"a b", "c"}},
      {"\"a,b\"", {"a,b"}},
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"a\"b", {"a\"b"}},      // a quote inside an item is an ordinary byte
      {"\"a\"b", {"a", "b"}},  // after the closing quote a new item begins
      {"\"abc", {"abc"}},      // an unclosed quote runs to the end, nothing lost
      {"日本.txt,*.雑", {"日本.txt", "*.雑"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Show(ReadCommaText(c.text)), Show(c.expected)) << "text: " << c.text;
  }
}

TEST(CommaText, Writing) {
  const struct {
    Items items;
    std::string expected;
  } cases[] = {
      {{}, ""},
      {{""}, "\"\""},
      {{"*.bak", "*.xlk"}, "*.bak,*.xlk"},
      {{"a b"}, "\"a b\""},
      {{"a,b"}, "\"a,b\""},
      {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
      {{"a\tb", "c"}, "\"a\tb\",c"},
      {{"a", "", "b"}, "a,,b"},
      {{"", ""}, ","},
      {{"日本.txt"}, "日本.txt"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WriteCommaText(c.items), c.expected) << Show(c.items);
  }
}

TEST(CommaText, WrittenListsReadBackUnchanged) {
  const Items cases[] = {
      {},
      {""},
      {"", ""},
      {"", "a"},
      {"a", ""},
      {"a", "", "", "b"},
      {" lead", "trail ", "in side"},
      {"\"", "\"\"", "a\"b"},
      {"x\x01y", "tab\there", std::string("nul\0byte", 8)},
      {"*.bak", "*.xlk", "*.wbk", "*.$td", "*.ac$", "*.sv$", "*.mnc", "*.mnr"},
      {"日本 語", "～*.txt"},
  };
  for (const auto& items : cases) {
    EXPECT_EQ(Show(ReadCommaText(WriteCommaText(items))), Show(items))
        << "written: " << WriteCommaText(items);
  }
}

}  // namespace
}  // namespace tarvex
