#include "core/settings/settings.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <sstream>

#include "core/filter/filter_set.h"
#include "core/text/comma_text.h"
#include "support/temp_tree.h"

namespace tarvex {
namespace {

using Lines = std::vector<std::string>;

class SettingsTest : public ::testing::Test {
 protected:
  std::string IniPath() const { return dir_.PathOf("tarvex.ini"); }

  Settings Load() {
    ProfileFile file(IniPath());
    Settings s;
    LoadSettings(file, s);
    return s;
  }
  bool Save(Settings& s) {
    ProfileFile file(IniPath());
    return SaveSettings(file, s);
  }
  std::vector<std::string> SectionHeaders() const {
    std::vector<std::string> headers;
    std::istringstream in(dir_.Read("tarvex.ini"));
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line[0] == '[') headers.push_back(line);
    }
    return headers;
  }

  testing::TempTree dir_;
};

TEST_F(SettingsTest, NoFileGivesDefaultsAndTheTwoDefaultFilterSets) {
  const Settings s = Load();
  const WindowRect design;
  EXPECT_EQ(s.Position.Left, design.Left);
  EXPECT_EQ(s.Position.Top, design.Top);
  EXPECT_EQ(s.Position.Width, design.Width);
  EXPECT_EQ(s.Position.Height, design.Height);
  EXPECT_EQ(s.runcount, 0);
  EXPECT_EQ(s.lastmfolder, "");
  EXPECT_EQ(s.lastsfolder, "");
  EXPECT_EQ(s.sortcol, 1);
  EXPECT_TRUE(s.sortup);
  EXPECT_FALSE(s.subfolder || s.dirignore || s.onesidedir || s.dirhide);
  EXPECT_FALSE(s.contentcheck || s.hourshift);  // both off until the user turns them on
  EXPECT_EQ(s.liststatus, 0);                   // every row
  EXPECT_EQ(s.compfmax, 1048576);
  EXPECT_FALSE(s.blankignore);
  EXPECT_EQ(s.copywait, 200);
  EXPECT_EQ(s.supporturl, "");  // the window links the user guide then
  EXPECT_TRUE(s.CompareList.Items.empty());
  EXPECT_EQ(s.CompareList.ItemIndex, -1);
  EXPECT_TRUE(s.PairFilterMap.Lines.empty());
  EXPECT_EQ(s.FilterNames.Items, (Lines{"すべて", "汎用"}));
  EXPECT_EQ(s.FilterNames.ItemIndex, 0);
  EXPECT_TRUE(s.ExtHideTable.Lines.empty());
  EXPECT_EQ(s.ExtSelectTable.Lines, (Lines{"すべて=*", "汎用=*"}));
  // Every file, those without an extension included.
  for (const char* set : {"すべて", "汎用"}) {
    const FilterSet filter{set, {}, ReadCommaText(s.ExtSelectTable.Value(set)), {}};
    for (const char* name : {"README", "Makefile", "a.txt", ".profile"})
      EXPECT_EQ(CheckFileName(filter, name), NameShown) << set << " " << name;
  }
  EXPECT_EQ(s.ExtIgnoreTable.Lines,
            (Lines{"汎用=*.bak,*.xlk,*.wbk,*.$td,*.ac$,*.sv$,*.mnc,*.mnr"}));
  EXPECT_FALSE(std::filesystem::exists(IniPath()));  // loading writes nothing
}

// Only a missing key ends a list. The sentinel's text stored as a value (a set named so, or a
// history entry) is an item like any other: nothing a user can enter cuts a list short.
TEST_F(SettingsTest, GapsEndTheComboListButNotTheStringList) {
  dir_.File("tarvex.ini",
            "[CompareList]\n0=/a 〓 /b\n1=**NotData**Error\n2=/c 〓 /d\n4=/e 〓 /f\n"
            "[FilterName]\nItemIndex=1\n0=one\n1=**NotData**Error\n2=three\n"
            "[ExtSelect]\n0=one=*.txt\n1=two=*.c\n3=four=*.h\n"
            "[ExtHide]\n0=\"**NotData**Error\"\n1=one=~*\n");
  const Settings s = Load();
  EXPECT_EQ(s.CompareList.Items, (Lines{"/a 〓 /b", "**NotData**Error", "/c 〓 /d"}));
  EXPECT_EQ(s.ExtSelectTable.Lines, (Lines{"one=*.txt", "two=*.c", "four=*.h"}));
  EXPECT_EQ(s.FilterNames.Items, (Lines{"one", "**NotData**Error", "three"}));
  EXPECT_EQ(s.FilterNames.ItemIndex, 1);
  EXPECT_EQ(s.ExtHideTable.Lines, (Lines{"**NotData**Error", "one=~*"}));
}

TEST_F(SettingsTest, SentinelTextAsAHistoryEntryOrSetNameSurvivesASaveAndARestart) {
  Settings s = Load();
  s.CompareList.Items = {"/a 〓 /b", "**NotData**Error", " **NotData**Error ", "/c 〓 /d"};
  s.FilterNames.Items = {"one", "**NotData**Error", "three"};
  ASSERT_TRUE(Save(s));
  const Settings t = Load();
  EXPECT_EQ(t.CompareList.Items.size(), 4u);
  EXPECT_EQ(t.CompareList.Items.back(), "/c 〓 /d");
  EXPECT_EQ(t.FilterNames.Items, s.FilterNames.Items);
}

TEST_F(SettingsTest, CopywaitIsHeldToTenSeconds) {
  for (const auto& [stored, loaded] : {std::pair{"3600000", 10000}, std::pair{"10000", 10000},
                                       std::pair{"-5", 0}, std::pair{"500", 500}}) {
    dir_.File("tarvex.ini", std::string("[option]\ncopywait=") + stored + "\n");
    EXPECT_EQ(Load().copywait, loaded) << stored;
  }
}

TEST_F(SettingsTest, ListOperationsWithLimitsAndDefaults) {
  ProfileFile file(IniPath());
  ComboItems combo;
  combo.Items = {"a", "b", "c"};
  combo.ItemIndex = 2;
  EXPECT_EQ(SaveComboItems(file, combo, "Combo", 2), 2);
  EXPECT_EQ(file.ReadInteger("Combo", "ItemIndex", 9), -1);  // the selected item was not kept
  combo.ItemIndex = 1;
  EXPECT_EQ(SaveComboItems(file, combo, "Combo", 0), 3);  // 0 means 50
  ComboItems loaded;
  EXPECT_EQ(LoadComboItems(file, loaded, "Combo", "", 0), 3);
  EXPECT_EQ(loaded.Items, combo.Items);
  EXPECT_EQ(loaded.ItemIndex, 1);
  EXPECT_EQ(LoadComboItems(file, loaded, "Combo", "", 2), 2);

  EXPECT_EQ(LoadComboItems(file, loaded, "Empty", "x,\"y z\"", 50), 2);
  EXPECT_EQ(loaded.Items, (Lines{"x", "y z"}));
  EXPECT_EQ(loaded.ItemIndex, 0);

  Lines lines(60);
  for (int i = 0; i < 60; ++i) lines[static_cast<std::size_t>(i)] = "n" + std::to_string(i);
  EXPECT_EQ(SaveStringList(file, lines, "List", -1), 50);
  Lines back = {"stale"};
  LoadStringList(file, back, "List", 100);
  EXPECT_EQ(back, Lines(lines.begin(), lines.begin() + 50));

  // A line break cannot be stored; that item is left out and the rest follows without a gap.
  EXPECT_EQ(SaveStringList(file, {"x", "bad\nname", "y"}, "List", 50), 2);
  LoadStringList(file, back, "List", 50);
  EXPECT_EQ(back, (Lines{"x", "y"}));

  ProfileFile nowhere(dir_.PathOf("no/such/folder.ini"));
  EXPECT_EQ(SaveComboItems(nowhere, combo, "Combo", 50), -1);
  EXPECT_EQ(SaveStringList(nowhere, lines, "List", 50), -1);
}

TEST_F(SettingsTest, OptionValuesAsStored) {
  dir_.File("tarvex.ini",
            "[FMMain_Position]\ntop=-20\nleft=5\nheight=abc\n"
            "[option]\nsortup=0\ncompfmax=0x200000\nsortcol=3\nsubfolder=1\n"
            "dirhide=2\nlastmfolder=/home/me/a\nrunCount=$10\n");
  Settings s = Load();
  EXPECT_EQ(s.Position.Top, -20);
  EXPECT_EQ(s.Position.Left, 5);
  EXPECT_EQ(s.Position.Height, WindowRect{}.Height);  // unreadable: the value held before
  EXPECT_EQ(s.Position.Width, WindowRect{}.Width);
  EXPECT_FALSE(s.sortup);
  EXPECT_EQ(s.compfmax, 2097152);
  EXPECT_EQ(s.sortcol, 3);
  EXPECT_TRUE(s.subfolder);
  EXPECT_TRUE(s.dirhide);
  EXPECT_EQ(s.lastmfolder, "/home/me/a");
  EXPECT_EQ(s.runcount, 16);

  dir_.File("tarvex.ini", "[option]\ncompfmax=lots\n");
  EXPECT_EQ(Load().compfmax, 1048576);
}

TEST_F(SettingsTest, SaveThenLoadKeepsEverything) {
  Settings s = Load();
  s.Position = {10, 20, 800, 600};
  s.lastmfolder = "/home/me/データ";
  s.lastsfolder = "/media/me/STICK/バックアップ ";
  s.sortcol = 4;
  s.sortup = false;
  s.subfolder = s.dirignore = s.onesidedir = s.dirhide = true;
  s.contentcheck = s.hourshift = true;
  s.liststatus = 6;
  s.compfmax = 5000000;
  s.blankignore = true;
  s.copywait = 0;
  s.supporturl = "https://example.org/tarvex/ヘルプ?a=1&b=2";
  s.CompareList.Items = {"/a 〓 /b", "/c 〓 /d"};
  s.PairFilterMap.SetValue("/a 〓 /b", "汎用");
  s.FilterNames.Items.push_back("C++ \"src\"");
  s.FilterNames.ItemIndex = 2;
  s.ExtHideTable.Lines = {"汎用=~*,\"a b\""};
  ASSERT_TRUE(Save(s));
  EXPECT_EQ(s.runcount, 1);

  const Settings t = Load();
  EXPECT_EQ(t.Position.Left, 10);
  EXPECT_EQ(t.Position.Top, 20);
  EXPECT_EQ(t.Position.Width, 800);
  EXPECT_EQ(t.Position.Height, 600);
  EXPECT_EQ(t.runcount, 1);
  EXPECT_EQ(t.lastmfolder, s.lastmfolder);
  EXPECT_EQ(t.lastsfolder, s.lastsfolder);
  EXPECT_EQ(t.liststatus, 6);
  EXPECT_EQ(t.sortcol, 4);
  EXPECT_FALSE(t.sortup);
  EXPECT_TRUE(t.subfolder && t.dirignore && t.onesidedir && t.dirhide);
  EXPECT_TRUE(t.contentcheck && t.hourshift);
  EXPECT_EQ(t.compfmax, 5000000);
  EXPECT_TRUE(t.blankignore);
  EXPECT_EQ(t.copywait, 0);
  EXPECT_EQ(t.supporturl, s.supporturl);
  EXPECT_EQ(t.CompareList.Items, s.CompareList.Items);
  EXPECT_EQ(t.CompareList.ItemIndex, 0);
  EXPECT_EQ(t.PairFilterMap.Lines, (Lines{"/a 〓 /b=汎用"}));
  EXPECT_EQ(t.FilterNames.Items, s.FilterNames.Items);
  EXPECT_EQ(t.FilterNames.ItemIndex, 2);
  EXPECT_EQ(t.ExtHideTable.Lines, s.ExtHideTable.Lines);
  EXPECT_EQ(t.ExtSelectTable.Lines, s.ExtSelectTable.Lines);
  EXPECT_EQ(t.ExtIgnoreTable.Lines, s.ExtIgnoreTable.Lines);

  ProfileFile file(IniPath());
  EXPECT_EQ(file.ReadString("CompareList", "0", ""), "/a 〓 /b=汎用");
  EXPECT_EQ(file.ReadString("CompareList", "1", ""), "/c 〓 /d");
  EXPECT_EQ(file.ReadString("sortup", "", "x"), "x");
  EXPECT_EQ(file.ReadString("option", "sortup", ""), "0");
  EXPECT_EQ(file.ReadString("option", "subfolder", ""), "1");
}

TEST_F(SettingsTest, SavingTwiceRaisesRuncountByTwoAndKeepsTheHistory) {
  dir_.File("tarvex.ini", "[option]\nruncount=7\n[CompareList]\n0=/a 〓 /b=汎用\n1=/x=1 〓 /y\n");
  ProfileFile file(IniPath());
  Settings s;
  LoadSettings(file, s);
  const Lines history = s.CompareList.Items;
  ASSERT_TRUE(SaveSettings(file, s));
  ASSERT_TRUE(SaveSettings(file, s));
  EXPECT_EQ(s.CompareList.Items, history);
  const Settings t = Load();
  EXPECT_EQ(t.runcount, 9);
  EXPECT_EQ(t.CompareList.Items, (Lines{"/a 〓 /b", "/x"}));  // the old file's mis-split stays
  EXPECT_EQ(t.PairFilterMap.Value("/a 〓 /b"), "汎用");
}

TEST_F(SettingsTest, RuncountStopsAtTheLargestValueItCanHold) {
  const std::pair<const char*, const char*> cases[] = {
      {"2147483646", "2147483647"},
      {"2147483647", "2147483647"},
      {"$7FFFFFFF", "2147483647"},
      {"-2147483648", "-2147483647"},  // a count an earlier version wrapped goes on from there
      {"$FFFFFFFF", "0"},
  };
  for (const auto& [stored, saved] : cases) {
    dir_.File("tarvex.ini", std::string("[option]\nruncount=") + stored + "\n");
    Settings s = Load();
    ASSERT_TRUE(Save(s));
    EXPECT_EQ(ProfileFile(IniPath()).ReadString("option", "runcount", ""), saved) << stored;
  }
}

TEST_F(SettingsTest, HistoryKeepsTheFiftyMostRecentPairs) {
  Settings s = Load();
  for (int i = 0; i < 60; ++i) s.CompareList.Items.push_back("/m" + std::to_string(i) + " 〓 /s");
  ASSERT_TRUE(Save(s));
  ProfileFile file(IniPath());
  EXPECT_EQ(file.ReadString("CompareList", "49", ""), "/m49 〓 /s");
  EXPECT_EQ(file.ReadString("CompareList", "50", "none"), "none");
  EXPECT_EQ(file.ReadInteger("CompareList", "ItemIndex", 9), 0);
  const Settings t = Load();
  EXPECT_EQ(t.CompareList.Items,
            Lines(s.CompareList.Items.begin(), s.CompareList.Items.begin() + 50));

  s.CompareList.Items.clear();
  ASSERT_TRUE(Save(s));
  EXPECT_EQ(ProfileFile(IniPath()).ReadInteger("CompareList", "ItemIndex", 9), -1);
}

TEST_F(SettingsTest, PairTextsWithEqualsSignKeepTheirTextAndFilterSet) {
  Settings s = Load();
  s.CompareList.Items = {"/data/a=b 〓 /backup/a=b", "/x=y 〓 /z", "/p 〓 /q",
                         "/m 〓 /n=", "/plain 〓 /pair"};
  s.PairFilterMap.SetValue("/data/a=b 〓 /backup/a=b", "汎用");
  s.PairFilterMap.SetValue("/p 〓 /q", "すべて");
  s.PairFilterMap.SetValue("/m 〓 /n=", "汎用");
  ASSERT_TRUE(Save(s));

  ProfileFile file(IniPath());
  EXPECT_EQ(file.ReadString("CompareList", "0", ""), "/data/a=b 〓 /backup/a=b=汎用");
  EXPECT_EQ(file.ReadString("CompareList", "1", ""), "/x=y 〓 /z=");
  EXPECT_EQ(file.ReadString("CompareList", "2", ""), "/p 〓 /q=すべて");
  EXPECT_EQ(file.ReadString("CompareList", "4", ""), "/plain 〓 /pair");

  const Settings t = Load();
  EXPECT_EQ(t.CompareList.Items, s.CompareList.Items);
  EXPECT_EQ(t.PairFilterMap.Value("/data/a=b 〓 /backup/a=b"), "汎用");
  EXPECT_EQ(t.PairFilterMap.Value("/x=y 〓 /z"), "");
  EXPECT_EQ(t.PairFilterMap.Value("/p 〓 /q"), "すべて");
  EXPECT_EQ(t.PairFilterMap.Value("/m 〓 /n="), "汎用");
  EXPECT_EQ(t.PairFilterMap.Lines.size(), 3u);
}

TEST_F(SettingsTest, ValuesThatAreNotUtf8SurviveASaveAndARestartByteForByte) {
  // Bytes that are neither UTF-8 nor CP932 in a history entry and in a filter pattern.
  dir_.File("tarvex.ini",
            "[CompareList]\n0=/a/\x80\xFF\xFE 〓 /b=汎用\n"
            "[FilterName]\n0=汎用\n"
            "[ExtHide]\n0=汎用=*.\x80\xFF\xFE,*.bak\n");
  Settings s = Load();
  EXPECT_EQ(s.CompareList.Items, Lines{"/a/\x80\xFF\xFE 〓 /b"});
  EXPECT_EQ(s.ExtHideTable.Lines, Lines{"汎用=*.\x80\xFF\xFE,*.bak"});
  // A folder name from a disk written in CP932: not UTF-8, but valid CP932 in a line of its own.
  s.lastmfolder = "/data/\x82\xA0";
  s.CompareList.Items.push_back("/data/\x82\xA0 〓 /c");
  s.PairFilterMap.SetValue("/data/\x82\xA0 〓 /c", "汎用");
  s.ExtIgnoreTable.Lines.push_back("汎用=*.\x82\xA0");
  ASSERT_TRUE(Save(s));
  const std::string saved = dir_.Read("tarvex.ini");

  Settings t = Load();
  EXPECT_EQ(t.lastmfolder, s.lastmfolder);
  EXPECT_EQ(t.CompareList.Items, s.CompareList.Items);
  EXPECT_EQ(t.PairFilterMap.Lines, s.PairFilterMap.Lines);
  EXPECT_EQ(t.ExtHideTable.Lines, s.ExtHideTable.Lines);
  EXPECT_EQ(t.ExtIgnoreTable.Lines, s.ExtIgnoreTable.Lines);
  // A second save of what was read writes the same bytes.
  t.runcount = 0;
  ASSERT_TRUE(Save(t));
  EXPECT_EQ(dir_.Read("tarvex.ini"), saved);
}

TEST_F(SettingsTest, OlderFilesLoadAsBefore) {
  // Written before pair texts with "=" were marked; the first entry of a pair wins its mapping.
  dir_.File("tarvex.ini",
            "[CompareList]\nItemIndex=3\n0=/p 〓 /q=すべて\n1=/m 〓 /n\n"
            "2=/P 〓 /Q=汎用\n3==orphan\n");
  const Settings s = Load();
  EXPECT_EQ(s.CompareList.Items, (Lines{"/p 〓 /q", "/m 〓 /n", "/P 〓 /Q", "=orphan"}));
  EXPECT_EQ(s.CompareList.ItemIndex, 0);
  EXPECT_EQ(s.PairFilterMap.Lines, (Lines{"/p 〓 /q=すべて"}));
}

TEST_F(SettingsTest, SaveRewritesListSectionsAtTheEndAndUpdatesTheRestInPlace) {
  dir_.File("tarvex.ini",
            "[ExtIgnore]\n0=old=*.o\n"
            "[option]\nsortcol=2\ncopywait=300\n"
            "[Unrelated]\nkeep=me\n"
            "[FilterName]\n0=old\n"
            "[FMMain_Position]\ntop=1\n");
  Settings s = Load();
  ASSERT_TRUE(Save(s));
  // A table without lines leaves no section behind.
  EXPECT_EQ(SectionHeaders(), (Lines{"[option]", "[Unrelated]", "[FMMain_Position]",
                                     "[CompareList]", "[FilterName]", "[ExtIgnore]"}));
  ProfileFile file(IniPath());
  EXPECT_EQ(file.ReadString("option", "copywait", ""), "300");  // keys of others stay
  EXPECT_EQ(file.ReadString("Unrelated", "keep", ""), "me");
  EXPECT_EQ(file.ReadString("FilterName", "0", ""), "old");

  std::filesystem::remove(IniPath());
  Settings fresh = Load();
  ASSERT_TRUE(Save(fresh));
  EXPECT_EQ(SectionHeaders(), (Lines{"[FMMain_Position]", "[option]", "[CompareList]",
                                     "[FilterName]", "[ExtSelect]", "[ExtIgnore]"}));
}

TEST_F(SettingsTest, DamagedFilesLoadWithDefaults) {
  std::string garbage;
  for (int i = 0; i < 100000; ++i) garbage += static_cast<char>((i * 7919) % 256);
  dir_.File("tarvex.ini", garbage);
  Settings s = Load();
  EXPECT_EQ(s.compfmax, 1048576);
  EXPECT_EQ(s.FilterNames.Items, (Lines{"すべて", "汎用"}));
  EXPECT_TRUE(Save(s));

  dir_.File("tarvex.ini", "[option]\nsortcol=5\nsortcol=6\ncompfmax=" +
                              std::string(10 * 1024 * 1024, '9') + "\n[FilterName]\n0=a\n0=b\n");
  s = Load();
  EXPECT_EQ(s.sortcol, 5);
  EXPECT_EQ(s.compfmax, 1048576);
  EXPECT_EQ(s.FilterNames.Items, (Lines{"a"}));
  EXPECT_TRUE(Save(s));
  EXPECT_LT(std::filesystem::file_size(IniPath()), 4096u);
}

TEST_F(SettingsTest, UnwritableLocationReportsFailure) {
  Settings s;
  ProfileFile file(dir_.PathOf("no-such-folder/tarvex.ini"));
  LoadSettings(file, s);
  EXPECT_FALSE(SaveSettings(file, s));
  EXPECT_EQ(std::string(SettingsWriteErrorText), "ｉｎｉファイル書込時にエラーが発生しました。");
}

TEST(PositionSection, AppendsPosition) { EXPECT_EQ(PositionSection("FMMain"), "FMMain_Position"); }

class SettingsPathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Save("XDG_CONFIG_HOME");
    Save("HOME");
  }
  void TearDown() override {
    for (const auto& [name, value] : saved_) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }
  void Save(const char* name) {
    const char* value = std::getenv(name);
    saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
  testing::TempTree dir_;
};

TEST_F(SettingsPathTest, BesideTheProgramWhereItsFolderIsWritable) {
  const std::string d = dir_.Root();
  EXPECT_EQ(SettingsPathFor(d + "/tarvex"), d + "/tarvex.ini");
  EXPECT_EQ(SettingsPathFor(d + "/tarvex.bin"), d + "/tarvex.ini");
  EXPECT_EQ(SettingsPathFor(d + "/tar.vex.exe"), d + "/tar.vex.ini");
  EXPECT_EQ(SettingsPathFor(d + "/.tarvex"), d + "/.tarvex.ini");
  dir_.Folder("v1.2");
  EXPECT_EQ(SettingsPathFor(d + "/v1.2/tarvex"), d + "/v1.2/tarvex.ini");
}

TEST_F(SettingsPathTest, ConfigFolderWhereTheProgramFolderIsNotWritable) {
  const std::string program = dir_.PathOf("not-there/tarvex");
  ::setenv("XDG_CONFIG_HOME", dir_.PathOf("xdg").c_str(), 1);
  EXPECT_EQ(SettingsPathFor(program), dir_.PathOf("xdg/tarvex/tarvex.ini"));
  EXPECT_TRUE(std::filesystem::is_directory(dir_.PathOf("xdg/tarvex")));

  ::setenv("HOME", dir_.PathOf("home").c_str(), 1);
  for (const char* unset : {"", "relative/config"}) {
    ::setenv("XDG_CONFIG_HOME", unset, 1);
    EXPECT_EQ(SettingsPathFor(program), dir_.PathOf("home/.config/tarvex/tarvex.ini"));
  }
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(SettingsPathFor(program), dir_.PathOf("home/.config/tarvex/tarvex.ini"));
  EXPECT_TRUE(std::filesystem::is_directory(dir_.PathOf("home/.config/tarvex")));
}

}  // namespace
}  // namespace tarvex
