#include "app/list/list_locale.h"

#include <gtest/gtest.h>

#include <QCollator>
#include <QLocale>
#include <random>
#include <string>
#include <vector>

#include "app/list/path_sort_keys.h"
#include "core/list/list_column.h"
#include "core/text/display_path.h"
#include "core/text/utf8.h"

namespace tarvex {
namespace {

TEST(LocaleListTextFormat, TakesTheSeparatorsOfTheLocalesShortFormats) {
  struct Case {
    const char* Locale;
    const char* Date;
    const char* Time;
  };
  const Case cases[] = {
      {"C", "/", ":"},      // "d MMM yyyy": no separator between numbers
      {"ja_JP", "/", ":"},  // "yyyy/MM/dd", "H:mm"
      {"en_US", "/", ":"},  // "h:mm AP": the AM/PM mark is no field of the time
      {"de_DE", ".", ":"}, {"fi_FI", ".", "."},
      {"hu_HU", ".", ":"},  // "yyyy. MM. dd.": blanks around the separator dropped
      {"ko_KR", ".", ":"},  // "yy. M. d.", "AP h:mm"
      {"sv_SE", "-", ":"}, {"nl_NL", "-", ":"},
  };
  for (const Case& c : cases) {
    const QLocale locale(QString::fromLatin1(c.Locale));
    const ListTextFormat format = LocaleListTextFormat(locale);
    EXPECT_EQ(format.DateSeparator, c.Date) << c.Locale;
    EXPECT_EQ(format.TimeSeparator, c.Time) << c.Locale;
    EXPECT_EQ(format.ThousandsSeparator, locale.groupSeparator().toStdString()) << c.Locale;
  }
  EXPECT_EQ(LocaleListTextFormat(QLocale::c()).ThousandsSeparator, ",");
  EXPECT_EQ(LocaleListTextFormat(QLocale(QLocale::Japanese)).ThousandsSeparator, ",");
  EXPECT_EQ(LocaleListTextFormat(QLocale(QLocale::German)).ThousandsSeparator, ".");
}

std::vector<std::int32_t> Ids(const PathList& list) {
  std::vector<std::int32_t> ids;
  for (const auto& e : list.Entries) ids.push_back(e.CreatedIndex);
  return ids;
}

// Names that collations disagree on: letter case, accents, kana and kanji, digits, punctuation,
// bytes that are no UTF-8 (shown as CP932), and control characters (shown as their pictures).
PathList RandomNames(std::mt19937& rng, int n) {
  const char* names[] = {"a",
                         "A",
                         "b.txt",
                         "B.TXT",
                         "\xC3\xA9t\xC3\xA9",
                         "ete",
                         "Zebra",
                         "写真",
                         "しゃしん",
                         "シャシン",
                         "資料",
                         "10",
                         "9",
                         "_x",
                         "x-y",
                         "x y",
                         "\x95\x5C\x8E\xA6",
                         "\x83\x5C",
                         "line\nbreak",
                         "del\x7F",
                         "\xEF\xBB\xBF"
                         "bom",
                         "\xF0\x9F\x98\x80"
                         "smile",
                         "\xEF\xBF\xBF"};
  auto pick = [&](int count) { return std::uniform_int_distribution<int>(0, count - 1)(rng); };
  PathList list;
  for (int i = 0; i < n; ++i) {
    PathEntry e;
    e.CreatedIndex = i;
    e.Path = names[pick(static_cast<int>(std::size(names)))];
    for (int depth = pick(3); depth > 0; --depth)
      e.Path += std::string("/") + names[pick(static_cast<int>(std::size(names)))];
    e.Attr = pick(4) == 0 ? AttrDirectory : AttrArchive;
    e.ListPos = pick(n);
    list.Entries.push_back(std::move(e));
  }
  list.PathCount = n;
  return list;
}

TEST(SortPathListCollated, GivesTheOrderOfComparingTheShownPathsInTheCollator) {
  std::mt19937 rng(17);
  for (const char* localeName : {"C", "ja_JP", "en_US", "de_DE"}) {
    const QCollator collator = ListPathCollator(QLocale(QString::fromLatin1(localeName)));
    EXPECT_EQ(collator.caseSensitivity(), Qt::CaseInsensitive);
    const PathCollation byText = [&](std::string_view a, std::string_view b) {
      return collator.compare(QString::fromStdString(DisplayPath(a)),
                              QString::fromStdString(DisplayPath(b)));
    };
    for (const int n : {0, 1, 2, 40, 300}) {
      const PathList original = RandomNames(rng, n);
      for (const bool sortup : {true, false}) {
        PathList expected = original;
        SortPathList(expected, ColumnPath, sortup, byText);
        PathList actual = original;
        SortPathListCollated(actual, ColumnPath, sortup, collator);
        ASSERT_EQ(Ids(actual), Ids(expected)) << localeName << " n=" << n << " up=" << sortup;
      }
    }
  }
}

// The list sorts with keys of its own only where they order as the collator; in the locales users
// pick they must, or the sort would fall back to the slower keys unnoticed.
TEST(PathSortKeys, OrderEveryPairAsTheCollatorDoes) {
  std::mt19937 rng(23);
  const PathList list = RandomNames(rng, 60);
  for (const char* localeName : {"ja_JP", "en_US", "de_DE", "sv_SE", "zh_TW", "fr_CA"}) {
    for (const bool caseSensitive : {false, true}) {
      QCollator collator = ListPathCollator(QLocale(QString::fromLatin1(localeName)));
      if (caseSensitive) collator.setCaseSensitivity(Qt::CaseSensitive);
      PathSortKeys keys(collator);
      ASSERT_TRUE(keys.Valid()) << localeName << " case-sensitive=" << caseSensitive;
      keys.Build(list);
      for (std::int32_t a = 0; a < list.PathCount; ++a) {
        for (std::int32_t b = 0; b < list.PathCount; ++b) {
          const int theirs = collator.compare(QString::fromStdString(DisplayPath(list[a].Path)),
                                              QString::fromStdString(DisplayPath(list[b].Path)));
          const int ours = keys.Compare(a, b);
          ASSERT_EQ((ours > 0) - (ours < 0), (theirs > 0) - (theirs < 0))
              << localeName << " " << list[a].Path << " / " << list[b].Path;
        }
      }
    }
  }
}

// The keys widen stored UTF-8 themselves; it must give the UTF-16 that Qt gives for the shown path,
// and decline every text that is shown otherwise.
TEST(PathSortKeys, WideningAgreesWithTheShownText) {
  std::mt19937 rng(41);
  const char32_t characters[] = {U'a',   U'Z',   U'/',    U' ',    U'~',     0x7F,   0x0A,
                                 0x01,   0xE9,   0x7FF,   0x800,   0x3042,   0x5199, 0xFEFF,
                                 0xFFFD, 0xFFFF, 0x10000, 0x1F600, 0x10FFFF, 0xFF71, 0x20AC};
  const auto utf8 = [](char32_t c) {
    std::string out;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
  };
  std::vector<std::string> texts = {"", "\xFF", "\x95\x5C", "\xC3", "\xED\xA0\x80", "\xC0\x80"};
  for (int i = 0; i < 5000; ++i) {
    std::string text;
    for (int n = std::uniform_int_distribution<int>(1, 12)(rng); n > 0; --n)
      text += utf8(characters[std::uniform_int_distribution<std::size_t>(
          0, std::size(characters) - 1)(rng)]);
    // Now and then a stray byte that is not UTF-8.
    if (i % 50 == 0) text.insert(text.size() / 2, 1, '\x80');
    texts.push_back(text);
  }
  std::u16string widened;
  for (const std::string& text : texts) {
    const QString shown = QString::fromStdString(DisplayPath(text));
    const bool asStored = shown.toStdString() == text;
    ASSERT_EQ(WidenPrintableUtf8(text, widened), asStored) << text;
    if (asStored) {
      ASSERT_EQ(QString::fromStdU16String(widened), shown) << text;
    }
  }
}

TEST(SortPathListCollated, OtherColumnsSortAsTheEngineDoes) {
  std::mt19937 rng(5);
  PathList original = RandomNames(rng, 200);
  for (auto& e : original.Entries) {
    e.MainExists = rng() % 3 != 0;
    e.MainTime = 45000 + static_cast<double>(rng() % 5);
    e.SubExists = rng() % 3 != 0;
    e.SubSize = static_cast<std::int64_t>(rng() % 4);
  }
  const QCollator collator = ListPathCollator(QLocale::c());
  for (const int sortcol : {0, 2, 4, 5, 7}) {
    PathList expected = original;
    SortPathList(expected, sortcol, false);
    PathList actual = original;
    SortPathListCollated(actual, sortcol, false, collator);
    EXPECT_EQ(Ids(actual), Ids(expected)) << sortcol;
  }
}

}  // namespace
}  // namespace tarvex
