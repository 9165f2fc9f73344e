#include "app/log/log_format.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "support/qt_printers.h"

namespace tarvex {
namespace {

struct FormatCase {
  const char16_t* Format;
  std::vector<LogArg> Args;
  const char16_t* Expected;
};

TEST(FormatLogTextTest, FillsTextsAndIntegersInOrder) {
  const std::vector<FormatCase> cases = {
      {u"パス切り替え %s", {QStringLiteral("/a 〓 /b")}, u"パス切り替え /a 〓 /b"},
      {u"　%d:%s → %s", {12, QStringLiteral("/m/x"), QStringLiteral("/s/x")}, u"　12:/m/x → /s/x"},
      {u"%s%dファイルコピー",
       {QStringLiteral("メイン → サブ "), 0},
       u"メイン → サブ 0ファイルコピー"},
      {u"%d～%d", {-1, 5000000000LL}, u"-1～5000000000"},
      {u"100%% %s", {"utf8 テキスト"}, u"100% utf8 テキスト"},
      {u"余分な引数 %s", {QStringLiteral("a"), 7}, u"余分な引数 a"},
      {u"引数なし", {}, u"引数なし"},
      {u"", {}, u""},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(FormatLogText(c.Format, c.Args), QString::fromUtf16(c.Expected))
        << QString::fromUtf16(c.Format).toStdString();
  }
}

TEST(FormatLogTextTest, MismatchedOrMissingArgumentsThrow) {
  const std::vector<FormatCase> cases = {
      {u"%d", {QStringLiteral("text")}, nullptr},
      {u"%s", {3}, nullptr},
      {u"%s %s", {QStringLiteral("one")}, nullptr},
      {u"%x", {3}, nullptr},
      {u"末尾の %", {}, nullptr},
  };
  for (const FormatCase& c : cases) {
    EXPECT_THROW(FormatLogText(c.Format, c.Args), std::invalid_argument)
        << QString::fromUtf16(c.Format).toStdString();
  }
}

}  // namespace
}  // namespace tarvex
