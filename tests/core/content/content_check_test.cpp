#include "core/content/content_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>

#include "core/scan/folder_scan.h"
#include "support/temp_tree.h"

namespace tarvex {
namespace {

using testing::TempTree;

constexpr long long T0 = 1700000000;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ContentCheckTest : public ::testing::Test {
 protected:
  void Scan() {
    ScanOptions options;
    options.SubFolder = true;
    ScanFolders(list_, main_.Root(), sub_.Root(), options, FilterSet{"every", {}, {"*"}, {}});
  }
  ContentCheckReport Check(const ContentStopCheck& stop = {}, ContentCheckOptions options = {}) {
    return CheckContents(list_, main_.Root(), sub_.Root(), cache_, results_, {}, stop, options);
  }
  std::map<std::string, ContentVerdict> Verdicts() const {
    std::map<std::string, ContentVerdict> out;
    for (std::int32_t i = 0; i < list_.PathCount; ++i) out[list_[i].Path] = results_.Of(list_[i]);
    return out;
  }
  ContentVerdict VerdictOf(const std::string& path) const { return Verdicts().at(path); }
  // What reading both files whole says, for every entry the check should read.
  std::map<std::string, ContentVerdict> Reference() const {
    std::map<std::string, ContentVerdict> out;
    for (std::int32_t i = 0; i < list_.PathCount; ++i) {
      const PathEntry& e = list_[i];
      if (!IsContentCandidate(e)) {
        out[e.Path] = ContentVerdict::None;
        continue;
      }
      out[e.Path] = ReadAll(main_.PathOf(e.Path)) == ReadAll(sub_.PathOf(e.Path))
                        ? ContentVerdict::Same
                        : ContentVerdict::Different;
    }
    return out;
  }

  TempTree main_, sub_;
  PathList list_;
  HashCache cache_;
  ContentResults results_;
};

TEST_F(ContentCheckTest, AgreesWithAPlainReadAndReadsNothingTheSecondTime) {
  main_.File("same-bytes-new-time.txt", "hello", T0 + 60);
  sub_.File("same-bytes-new-time.txt", "hello", T0);
  // Equal time and size, different bytes: the sub file was rewritten and its time put back.
  main_.File("hidden.txt", "abcde", T0);
  sub_.File("hidden.txt", "abcdX", T0);
  main_.File("equal.txt", "12345", T0);
  sub_.File("equal.txt", "12345", T0);
  main_.File("sizes.txt", "1", T0);
  sub_.File("sizes.txt", "12", T0);
  main_.File("only-main.txt", "x", T0);
  main_.File("empty.txt", "", T0);
  sub_.File("empty.txt", "", T0);
  // Beyond one read block, different in the last byte only.
  std::string big(3 << 20, 'z');
  main_.File("deep/er/big.bin", big, T0);
  big.back() = 'y';
  sub_.File("deep/er/big.bin", big, T0);
  Scan();

  const ContentCheckReport first = Check();
  EXPECT_EQ(Verdicts(), Reference());
  EXPECT_EQ(VerdictOf("hidden.txt"), ContentVerdict::Different);
  EXPECT_EQ(VerdictOf("same-bytes-new-time.txt"), ContentVerdict::Same);
  EXPECT_EQ(first.Candidates, 5);
  EXPECT_EQ(first.Checked, 5);
  EXPECT_EQ(first.FilesRead, 10);
  EXPECT_EQ(first.HiddenCount, 2);  // hidden.txt and big.bin are Same by time and size
  EXPECT_FALSE(first.Stopped);
  EXPECT_TRUE(first.Unreadable.empty());

  // Through the cache file, as after a restart.
  TempTree cacheFolder;
  const std::string cachePath = cacheFolder.PathOf("tarvex/content-hashes");
  ASSERT_TRUE(cache_.Save(cachePath));
  cache_ = HashCache();
  ASSERT_TRUE(cache_.Load(cachePath));
  const ContentCheckReport second = Check();
  EXPECT_EQ(second.FilesRead, 0);
  EXPECT_EQ(Verdicts(), Reference());
}

TEST_F(ContentCheckTest, AFileChangedAfterItWasCachedIsReadAgain) {
  main_.File("a.txt", "same!", T0);
  sub_.File("a.txt", "same!", T0);
  Scan();
  Check();
  ASSERT_EQ(VerdictOf("a.txt"), ContentVerdict::Same);
  // Same size and modification time as before; only the change time tells.
  sub_.File("a.txt", "diff!", T0);
  const ContentCheckReport again = Check();
  EXPECT_EQ(again.FilesRead, 1);
  EXPECT_EQ(VerdictOf("a.txt"), ContentVerdict::Different);
}

TEST_F(ContentCheckTest, NeverFollowsALinkAndReportsWhatItCannotRead) {
  const struct {
    const char* path;
    const char* why;
  } unreadable[] = {{"link.txt", "a link that took the file's place"},
                    {"via/f.txt", "a link on the way"},
                    {"gone.txt", "vanished after the scan"},
                    {"pipe.txt", "no regular file any more"}};
  TempTree outside;
  outside.File("f.txt", "same", T0);
  outside.File("link.txt", "same", T0);
  for (const auto& u : unreadable) {
    main_.File(u.path, "same", T0);
    sub_.File(u.path, "same", T0);
  }
  main_.File("ok.txt", "same", T0);
  sub_.File("ok.txt", "same", T0);
  Scan();
  ASSERT_EQ(::unlink(sub_.PathOf("link.txt").c_str()), 0);
  sub_.Link("link.txt", outside.PathOf("link.txt"));
  ASSERT_EQ(::unlink(sub_.PathOf("via/f.txt").c_str()), 0);
  ASSERT_EQ(::rmdir(sub_.PathOf("via").c_str()), 0);
  sub_.Link("via", outside.Root());
  ASSERT_EQ(::unlink(sub_.PathOf("gone.txt").c_str()), 0);
  ASSERT_EQ(::unlink(sub_.PathOf("pipe.txt").c_str()), 0);
  ASSERT_EQ(::mkfifo(sub_.PathOf("pipe.txt").c_str(), 0644), 0);

  const ContentCheckReport report = Check();
  for (const auto& u : unreadable) {
    EXPECT_EQ(VerdictOf(u.path), ContentVerdict::Unreadable) << u.why;
    EXPECT_EQ(ContentCellText(*std::find_if(list_.Entries.begin(), list_.Entries.end(),
                                            [&](const PathEntry& e) { return e.Path == u.path; }),
                              ContentVerdict::Unreadable),
              "読めません");
  }
  EXPECT_EQ(VerdictOf("ok.txt"), ContentVerdict::Same);
  ASSERT_EQ(report.Unreadable.size(), std::size(unreadable));
  for (const UnreadableContent& u : report.Unreadable) {
    EXPECT_EQ(u.Path.rfind(sub_.Root(), 0), 0U) << u.Path;
    EXPECT_FALSE(u.Reason.empty());
  }
}

TEST_F(ContentCheckTest, AFileWithoutReadRightsIsNeverSame) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  main_.File("secret.txt", "same", T0);
  sub_.File("secret.txt", "same", T0, 0000);
  Scan();
  const ContentCheckReport report = Check();
  EXPECT_EQ(VerdictOf("secret.txt"), ContentVerdict::Unreadable);
  ASSERT_EQ(report.Unreadable.size(), 1U);
}

TEST_F(ContentCheckTest, LeavesTheAccessTimesAsTheyWere) {
  main_.File("a.txt", "same", T0);
  sub_.File("a.txt", "same", T0);
  // Older than the modification time, which a relatime mount would update on a read.
  main_.SetTime("a.txt", T0 - 100000);
  struct stat st {};
  ASSERT_EQ(::stat(main_.PathOf("a.txt").c_str(), &st), 0);
  const auto before = st.st_atim;
  Scan();
  Check();
  ASSERT_EQ(::stat(main_.PathOf("a.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_atim.tv_sec, before.tv_sec);
}

TEST_F(ContentCheckTest, StopHalfWayLeavesTheRestUnchecked) {
  for (int i = 0; i < 30; ++i) {
    const std::string name = "f" + std::to_string(i) + ".txt";
    main_.File(name, name, T0);
    sub_.File(name, name, T0);
  }
  Scan();
  std::int32_t lastDone = 0;
  const ContentCheckReport report = CheckContents(
      list_, main_.Root(), sub_.Root(), cache_, results_,
      [&](std::int32_t done, std::int32_t total) {
        EXPECT_EQ(total, 30);
        lastDone = done;
      },
      [&] { return lastDone >= 10; }, ContentCheckOptions{2, 10});
  EXPECT_TRUE(report.Stopped);
  EXPECT_EQ(report.Checked, 10);
  int unchecked = 0;
  for (const auto& [path, verdict] : Verdicts()) {
    EXPECT_TRUE(verdict == ContentVerdict::Same || verdict == ContentVerdict::Unchecked) << path;
    if (verdict == ContentVerdict::Unchecked) ++unchecked;
  }
  EXPECT_EQ(unchecked, 20);
  EXPECT_EQ(ContentCellText(list_[0], ContentVerdict::Unchecked), "未確認");
}

TEST(HashCache, IgnoresADamagedFileAndBuildsItAgain) {
  TempTree folder;
  const std::string path = folder.PathOf("content-hashes");
  const FileStamp stamp{1, 2, 3, 4, 5};
  HashCache written;
  written.Store(stamp, {7, 8});
  ASSERT_TRUE(written.Save(path));
  const std::string good = folder.Read("content-hashes");

  const struct {
    const char* damage;
    std::function<std::string(std::string)> make;
  } cases[] = {
      {"truncated", [](std::string s) { return s.substr(0, s.size() - 1); }},
      {"empty", [](std::string) { return std::string(); }},
      {"one byte of a digest",
       [](std::string s) {
         s[s.size() - 20] ^= 1;
         return s;
       }},
      {"the checksum",
       [](std::string s) {
         s.back() ^= 1;
         return s;
       }},
      {"the magic",
       [](std::string s) {
         s[0] = 'X';
         return s;
       }},
      {"the version",
       [](std::string s) {
         s[8] = 9;
         return s;
       }},
      {"a longer count",
       [](std::string s) {
         s[12] = 2;
         return s;
       }},
      {"trailing bytes", [](std::string s) { return s + "junk"; }},
  };
  for (const auto& c : cases) {
    folder.File("content-hashes", c.make(good));
    HashCache read;
    read.Store(FileStamp{9, 9, 9, 9, 9}, {1, 1});
    EXPECT_FALSE(read.Load(path)) << c.damage;
    EXPECT_EQ(read.Size(), 0U) << c.damage;
    // The next save replaces it with a sound file.
    read.Store(stamp, {7, 8});
    ASSERT_TRUE(read.Save(path));
    HashCache again;
    EXPECT_TRUE(again.Load(path)) << c.damage;
    EXPECT_EQ(again.Find(stamp), (ContentDigest{7, 8})) << c.damage;
  }
  folder.File("content-hashes", good);
  HashCache read;
  ASSERT_TRUE(read.Load(path));
  EXPECT_EQ(read.Find(stamp), (ContentDigest{7, 8}));
  EXPECT_FALSE(read.Find(FileStamp{1, 2, 3, 4, 6}).has_value());  // another change time
}

TEST(HashCache, KeepsTheEntriesUsedLastWhenFull) {
  TempTree folder;
  const std::string path = folder.PathOf("sub/content-hashes");
  const FileStamp a{1, 1, 1, 1, 1}, b{1, 2, 1, 1, 1}, c{1, 3, 1, 1, 1};
  HashCache first(2);
  first.Store(a, {1, 0});
  first.Store(b, {2, 0});
  ASSERT_TRUE(first.Save(path));
  HashCache second(2);
  ASSERT_TRUE(second.Load(path));
  second.Touch(a);
  second.Store(c, {3, 0});
  ASSERT_TRUE(second.Save(path));
  HashCache third(2);
  ASSERT_TRUE(third.Load(path));
  EXPECT_EQ(third.Size(), 2U);
  EXPECT_TRUE(third.Find(a).has_value());
  EXPECT_FALSE(third.Find(b).has_value());
  EXPECT_TRUE(third.Find(c).has_value());
  // No temporary is left beside it.
  int names = 0;
  for (const auto& item : std::filesystem::directory_iterator(folder.PathOf("sub"))) {
    EXPECT_EQ(item.path().filename(), "content-hashes");
    ++names;
  }
  EXPECT_EQ(names, 1);
}

}  // namespace
}  // namespace tarvex
