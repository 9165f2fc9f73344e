#include "core/settings/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <random>
#include <string>

#include "support/temp_tree.h"

namespace tarvex {
namespace {

class ProfileFileTest : public ::testing::Test {
 protected:
  testing::TempTree dir_;
};

TEST_F(ProfileFileTest, MissingFileReadsDefaultsAndIsCreatedByTheFirstWrite) {
  const std::string path = dir_.PathOf("t.ini");
  ProfileFile file(path);
  EXPECT_EQ(file.ReadString("s", "k", "dflt"), "dflt");
  EXPECT_EQ(file.ReadInteger("s", "k", 7), 7);
  EXPECT_TRUE(file.ReadBool("s", "k", true));
  ASSERT_TRUE(file.WriteString("s", "k", "値"));
  EXPECT_EQ(dir_.Read("t.ini"), "[s]\nk=値\n");
}

TEST_F(ProfileFileTest, ValuesAreTrimmedUnquotedAndLimited) {
  std::string jp2100;
  for (int i = 0; i < 2100; ++i) jp2100 += "日";
  const std::string path = dir_.PathOf("t.ini");
  dir_.File("t.ini",
            "[S]\n"
            "plain=  two words \t\n"
            "dq=\" kept blanks \"\n"
            "sq='single'\n"
            "mixed=\"a'\n"
            "inner=\"a\" and \"b\"\n"
            "empty=\n"
            "  Spaced Key  =  v\n"
            "long=" +
                std::string(3000, 'x') +
                "\n"
                "longjp=" +
                jp2100 + "\n");
  ProfileFile file(path);
  EXPECT_EQ(file.ReadString("s", "PLAIN", ""), "two words");
  EXPECT_EQ(file.ReadString("s", "dq", ""), " kept blanks ");
  EXPECT_EQ(file.ReadString("s", "sq", ""), "single");
  EXPECT_EQ(file.ReadString("s", "mixed", ""), "\"a'");
  EXPECT_EQ(file.ReadString("s", "inner", ""), "a\" and \"b");  // one enclosing pair goes
  EXPECT_EQ(file.ReadString("s", "empty", "dflt"), "");         // present but empty
  EXPECT_EQ(file.ReadString("s", "spaced key", ""), "v");
  EXPECT_EQ(file.ReadString("s", "long", "").size(), 2047u);
  const std::string jp = file.ReadString("s", "longjp", "");
  EXPECT_EQ(jp.size(), 2047u * 3);  // characters, never half of one
}

TEST_F(ProfileFileTest, IntegersAndBooleans) {
  const struct {
    const char* text;
    int expected;
  } cases[] = {
      {"10", 10},
      {"-5", -5},
      {"+3", 3},
      {" 42 ", 42},
      {"\"7\"", 7},
      {"$1F", 31},
      {"0x200000", 2097152},
      {"0X10", 16},
      {"$FFFFFFFF", -1},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", -99},
      {"$100000000", -99},
      {"abc", -99},
      {"12abc", -99},
      {"", -99},
      {"0x", -99},
      {"$", -99},
      {"1 2", -99},
  };
  const std::string path = dir_.PathOf("t.ini");
  std::string text = "[n]\n";
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    text += "k" + std::to_string(i) + "=" + cases[i].text + "\n";
  }
  text += "[b]\nzero=0\none=1\ntwo=2\nhex=$0\nword=yes\n";
  dir_.File("t.ini", text);
  ProfileFile file(path);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(file.ReadInteger("n", "k" + std::to_string(i), -99), cases[i].expected)
        << cases[i].text;
  }
  EXPECT_FALSE(file.ReadBool("b", "zero", true));
  EXPECT_TRUE(file.ReadBool("b", "one", false));
  EXPECT_TRUE(file.ReadBool("b", "two", false));
  EXPECT_FALSE(file.ReadBool("b", "hex", true));
  EXPECT_TRUE(file.ReadBool("b", "word", true));
  EXPECT_FALSE(file.ReadBool("b", "word", false));

  ASSERT_TRUE(file.WriteInteger("n", "k0", -12));
  ASSERT_TRUE(file.WriteBool("b", "zero", true));
  ASSERT_TRUE(file.WriteBool("b", "one", false));
  ProfileFile again(path);
  EXPECT_EQ(again.ReadString("n", "k0", ""), "-12");
  EXPECT_EQ(again.ReadString("b", "zero", ""), "1");
  EXPECT_EQ(again.ReadString("b", "one", ""), "0");
}

TEST_F(ProfileFileTest, WritesUpdateInPlaceAppendToTheSectionOrAddASectionAtTheEnd) {
  const std::string path = dir_.PathOf("t.ini");
  dir_.File("t.ini",
            "; comment before any section\n"
            "[First]\n"
            "Alpha=1\n"
            "Beta=2\n"
            "\n"
            "[Second]\n"
            "Gamma=3\n");
  ProfileFile file(path);
  ASSERT_TRUE(file.WriteString("first", "ALPHA", "one"));  // in place, key spelt as given
  ASSERT_TRUE(file.WriteString("FIRST", "Delta", "4"));    // before the blank line
  ASSERT_TRUE(file.WriteString("Third", "Eps", "5"));
  EXPECT_EQ(dir_.Read("t.ini"),
            "; comment before any section\n"
            "[First]\n"
            "ALPHA=one\n"
            "Beta=2\n"
            "Delta=4\n"
            "\n"
            "[Second]\n"
            "Gamma=3\n"
            "[Third]\n"
            "Eps=5\n");

  ASSERT_TRUE(file.EraseSection("first"));
  EXPECT_EQ(file.ReadString("First", "Beta", "gone"), "gone");
  ASSERT_TRUE(file.WriteString("First", "Beta", "back"));
  EXPECT_EQ(dir_.Read("t.ini"),
            "; comment before any section\n"
            "[Second]\n"
            "Gamma=3\n"
            "[Third]\n"
            "Eps=5\n"
            "[First]\n"
            "Beta=back\n");
  EXPECT_TRUE(file.EraseSection("NoSuchSection"));
}

TEST_F(ProfileFileTest, ValuesReadBackAsWritten) {
  // Blanks at the ends and enclosing quotes would be taken away by the read rules, so such values
  // are stored inside one more pair of quotes. A folder name may well end with a blank.
  const std::string values[] = {" lead",  "trail ", "\"quoted\"", "'single'",        "\"",
                                "\"half", "a=b=c",  "[x]",        "; not a comment", "日本語 "};
  const std::string path = dir_.PathOf("t.ini");
  {
    ProfileFile file(path);
    for (std::size_t i = 0; i < std::size(values); ++i) {
      ASSERT_TRUE(file.WriteString("v", std::to_string(i), values[i]));
      EXPECT_EQ(file.ReadString("v", std::to_string(i), "?"), values[i]);
    }
  }
  ProfileFile again(path);
  for (std::size_t i = 0; i < std::size(values); ++i) {
    EXPECT_EQ(again.ReadString("v", std::to_string(i), "?"), values[i]);
  }
}

TEST_F(ProfileFileTest, LineBreaksAndBadNamesAreRefusedWithoutTouchingTheFile) {
  const std::string path = dir_.PathOf("t.ini");
  ProfileFile file(path);
  ASSERT_TRUE(file.WriteString("s", "k", "v"));
  const std::string before = dir_.Read("t.ini");
  EXPECT_FALSE(file.WriteString("s", "k", "a\n[option]\nruncount=5"));
  EXPECT_FALSE(file.WriteString("s", "k", "a\rb"));
  EXPECT_FALSE(file.WriteString("s", "a=b", "v"));
  EXPECT_FALSE(file.WriteString("s]x", "k", "v"));
  EXPECT_FALSE(file.WriteString("s", "", "v"));
  EXPECT_EQ(dir_.Read("t.ini"), before);
  EXPECT_EQ(file.ReadString("s", "k", ""), "v");
}

TEST_F(ProfileFileTest, WindowsLineEndsByteOrderMarkAndNoFinalNewline) {
  const std::string path = dir_.PathOf("t.ini");
  dir_.File("t.ini", "\xEF\xBB\xBF[a]\r\nx=1\r\ny= 2 \r\n[b]\rz=3");
  ProfileFile file(path);
  EXPECT_EQ(file.ReadString("a", "x", ""), "1");
  EXPECT_EQ(file.ReadString("a", "y", ""), "2");
  EXPECT_EQ(file.ReadString("b", "z", ""), "3");
  ASSERT_TRUE(file.WriteString("b", "w", "4"));
  EXPECT_EQ(dir_.Read("t.ini"), "[a]\nx=1\ny= 2 \n[b]\nz=3\nw=4\n");
}

TEST_F(ProfileFileTest, ShiftJisFileLoadsAndIsRewrittenAsUtf8) {
  const std::string path = dir_.PathOf("t.ini");
  // "[FilterName]" / "0=汎用" / "1=表示" in CP932; 表 (0x95 0x5C) has a trail byte equal to "\".
  dir_.File("t.ini", "[FilterName]\r\n0=\x94\xC4\x97\x70\r\n1=\x95\x5C\x8E\xA6\r\n");
  ProfileFile file(path);
  EXPECT_EQ(file.ReadString("FilterName", "0", ""), "汎用");
  EXPECT_EQ(file.ReadString("FilterName", "1", ""), "表示");
  ASSERT_TRUE(file.WriteString("FilterName", "2", "すべて"));
  EXPECT_EQ(dir_.Read("t.ini"), "[FilterName]\n0=汎用\n1=表示\n2=すべて\n");
}

TEST_F(ProfileFileTest, ALineThatIsNeitherUtf8NorCp932StaysBesideTheDecodedLines) {
  const std::string path = dir_.PathOf("t.ini");
  dir_.File("t.ini", "[FilterName]\r\n0=\x94\xC4\x97\x70\r\n1=\x80\xFF\xFE\r\n");
  {
    ProfileFile file(path);
    EXPECT_EQ(file.ReadString("FilterName", "0", ""), "汎用");
    EXPECT_EQ(file.ReadString("FilterName", "1", ""), "\x80\xFF\xFE");
    ASSERT_TRUE(file.WriteString("FilterName", "2", "すべて"));
  }
  // The mark says that the bytes are no CP932.
  EXPECT_EQ(dir_.Read("t.ini"), "\xEF\xBB\xBF[FilterName]\n0=汎用\n1=\x80\xFF\xFE\n2=すべて\n");
  ProfileFile again(path);
  EXPECT_EQ(again.ReadString("FilterName", "0", ""), "汎用");
  EXPECT_EQ(again.ReadString("FilterName", "1", ""), "\x80\xFF\xFE");
}

TEST_F(ProfileFileTest, ValuesThatAreNotUtf8ReadBackByteForByte) {
  // Folder names are bytes: neither UTF-8 nor CP932, or CP932 that is not UTF-8 (a name from a
  // disk written in CP932), alone or beside UTF-8 text in one value.
  const std::string values[] = {"\x80\xFF\xFE", "/data/\x82\xA0", "/data/\x82\xA0=汎用", "\x82",
                                "\xEF\xBB\xBF\x82\xA0"};
  const std::string path = dir_.PathOf("t.ini");
  {
    ProfileFile file(path);
    for (std::size_t i = 0; i < std::size(values); ++i) {
      ASSERT_TRUE(file.WriteString("v", std::to_string(i), values[i]));
    }
  }
  for (int round = 0; round < 2; ++round) {
    ProfileFile file(path);
    for (std::size_t i = 0; i < std::size(values); ++i) {
      EXPECT_EQ(file.ReadString("v", std::to_string(i), "?"), values[i]) << round << " " << i;
    }
    ASSERT_TRUE(file.WriteInteger("other", "round", round));
  }
  // Without such values the file is plain UTF-8 again.
  ASSERT_TRUE(ProfileFile(path).EraseSection("v"));
  EXPECT_EQ(dir_.Read("t.ini"), "[other]\nround=1\n");
}

TEST_F(ProfileFileTest, DuplicatesFirstWinsAndEraseRemovesEveryCopy) {
  const std::string path = dir_.PathOf("t.ini");
  dir_.File("t.ini", "[s]\nk=first\nk=second\n[other]\nk=o\n[S]\nk=third\nonly=dup\n");
  ProfileFile file(path);
  EXPECT_EQ(file.ReadString("s", "k", ""), "first");
  EXPECT_EQ(file.ReadString("s", "only", ""), "dup");  // found in the later copy
  ASSERT_TRUE(file.WriteString("s", "k", "new"));
  EXPECT_EQ(file.ReadString("s", "k", ""), "new");
  ASSERT_TRUE(file.EraseSection("s"));
  EXPECT_EQ(dir_.Read("t.ini"), "[other]\nk=o\n");
}

TEST_F(ProfileFileTest, DamagedFilesLoadAndStayWritable) {
  std::mt19937 random(12345);
  std::string garbage(200000, '\0');
  for (char& c : garbage) c = static_cast<char>(random() & 0xFF);
  const std::string huge(10 * 1024 * 1024, 'h');
  const std::string damaged[] = {
      garbage,
      "[s]\nbefore=1\nhuge=" + huge + "\nafter=2\n",
      "[s]\n" + huge,  // a huge line without any newline
      std::string("[s]\nk=a\0b\n\0\0\0\n[\n]\n=\n[]\nk2=v\n", 28),
      "no section=1\nk=orphan\n[",
  };
  for (std::size_t i = 0; i < std::size(damaged); ++i) {
    SCOPED_TRACE(i);
    const std::string name = "d" + std::to_string(i) + ".ini";
    const std::string path = dir_.PathOf(name);
    dir_.File(name, damaged[i]);
    ProfileFile file(path);
    (void)file.ReadString("s", "k", "");
    EXPECT_EQ(file.ReadInteger("option", "runcount", 5), 5);
    ASSERT_TRUE(file.WriteString("option", "runcount", "6"));
    for (int n = 0; n < 20; ++n) ASSERT_TRUE(file.WriteInteger("option", "n", n));
    ProfileFile again(path);
    EXPECT_EQ(again.ReadInteger("option", "runcount", 0), 6);
    EXPECT_EQ(again.ReadInteger("option", "n", 0), 19);
    // The over-long line is dropped when the file is rewritten; nothing else is.
    EXPECT_LT(std::filesystem::file_size(path), 1024u * 1024u);
  }
  ProfileFile one(dir_.PathOf("d1.ini"));
  EXPECT_EQ(one.ReadString("s", "before", ""), "1");
  EXPECT_EQ(one.ReadString("s", "huge", "dropped"), "dropped");
  EXPECT_EQ(one.ReadString("s", "after", ""), "2");
  ProfileFile nul(dir_.PathOf("d3.ini"));
  EXPECT_EQ(nul.ReadString("s", "k", ""), "a");  // a value ends at a NUL byte
}

TEST_F(ProfileFileTest, WriteFailuresReportFalseAndChangeNothing) {
  // No folder to write into.
  ProfileFile nowhere(dir_.PathOf("missing-folder/t.ini"));
  EXPECT_FALSE(nowhere.WriteString("s", "k", "v"));
  EXPECT_EQ(nowhere.ReadString("s", "k", "none"), "none");

  // A folder in the file's place is neither read nor replaced.
  dir_.Folder("dir.ini");
  ProfileFile folder(dir_.PathOf("dir.ini"));
  EXPECT_FALSE(folder.WriteString("s", "k", "v"));
  EXPECT_FALSE(folder.EraseSection("s"));
  EXPECT_TRUE(std::filesystem::is_directory(dir_.PathOf("dir.ini")));

  // The folder disappears after loading: the loaded values stay as they were on disk.
  dir_.Folder("gone");
  dir_.File("gone/t.ini", "[s]\nk=old\n");
  ProfileFile file(dir_.PathOf("gone/t.ini"));
  std::filesystem::rename(dir_.PathOf("gone"), dir_.PathOf("moved"));
  EXPECT_FALSE(file.WriteString("s", "k", "new"));
  EXPECT_FALSE(file.EraseSection("s"));
  EXPECT_EQ(file.ReadString("s", "k", ""), "old");
}

TEST_F(ProfileFileTest, ReplacingKeepsModeAndSymbolicLinkAndLeavesNoTemporaryFile) {
  const std::string real = dir_.PathOf("real.ini");
  const std::string link = dir_.PathOf("link.ini");
  dir_.File("real.ini", "[s]\nk=1\n", std::nullopt, 0640);
  dir_.Link("link.ini", real);
  ProfileFile file(link);
  ASSERT_TRUE(file.WriteString("s", "k", "2"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(dir_.Read("real.ini"), "[s]\nk=2\n");
  struct stat st {};
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.Root())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 2);
}

}  // namespace
}  // namespace tarvex
