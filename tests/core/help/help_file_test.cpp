#include "core/help/help_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "support/temp_tree.h"

namespace tarvex {
namespace {

using Lines = std::vector<std::string>;

TEST(HelpFileCandidates, BesideTheProgramThenTheDataFolders) {
  EXPECT_EQ(HelpFileCandidates("/opt/tarvex/bin/tarvex", "txt", "/usr/local/share/tarvex"),
            (Lines{"/opt/tarvex/bin/tarvex.txt", "/opt/tarvex/share/tarvex/tarvex.txt",
                   "/usr/local/share/tarvex/tarvex.txt"}));
  // The program's extension is replaced; a leading dot is part of the name.
  EXPECT_EQ(HelpFileCandidates("/p/tarvex.bin", "hlp", "")[0], "/p/tarvex.hlp");
  EXPECT_EQ(HelpFileCandidates("/p/.tarvex", "txt", "")[0], "/p/.tarvex.txt");
  EXPECT_EQ(HelpFileCandidates("/p.d/tarvex", "txt", "")[0], "/p.d/tarvex.txt");
  EXPECT_EQ(HelpFileCandidates("/tarvex", "txt", ""),
            (Lines{"/tarvex.txt", "/share/tarvex/tarvex.txt"}));
  EXPECT_EQ(HelpFileCandidates("tarvex", "txt", ""),
            (Lines{"./tarvex.txt", "./../share/tarvex/tarvex.txt"}));
}

class ReadHelpLinesTest : public ::testing::Test {
 protected:
  testing::TempTree dir_;
};

TEST_F(ReadHelpLinesTest, Utf8OrCp932WithEveryLineEnd) {
  struct Case {
    std::string bytes;
    Lines lines;
  };
  const Case cases[] = {
      {"・項目\r\n(1) 手順\rおわり\n", {"・項目", "(1) 手順", "おわり"}},
      {"\xEF\xBB\xBF"
       "先頭の印は読まない\n",
       {"先頭の印は読まない"}},
      {"\x83\x77\x83\x8B\x83\x76\r\n\x81\x45\x8D\x80\x96\xDA", {"ヘルプ", "・項目"}},  // CP932
      {"", {}},
      {"\n\n", {"", ""}},
  };
  for (const Case& c : cases) {
    dir_.File("tarvex.txt", c.bytes);
    Lines lines{"前の内容"};
    ASSERT_TRUE(ReadHelpLines(dir_.PathOf("tarvex.txt"), lines));
    EXPECT_EQ(lines, c.lines) << ::testing::PrintToString(c.bytes);
  }
}

TEST_F(ReadHelpLinesTest, MissingFileOrFolderFails) {
  Lines lines;
  EXPECT_FALSE(ReadHelpLines(dir_.PathOf("none.txt"), lines));
  dir_.Folder("folder.txt");
  EXPECT_FALSE(ReadHelpLines(dir_.PathOf("folder.txt"), lines));
  EXPECT_FALSE(ReadHelpLines("/dev/zero", lines));  // a device would never end
}

TEST_F(ReadHelpLinesTest, AFifoIsNoHelpFileAndNothingWaitsForAWriter) {
  const std::string fifo = dir_.PathOf("tarvex.txt");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // Should the read wait for a writer, the watchdog gives it one: the test fails, it does not hang.
  std::promise<void> done;
  std::future<void> finished = done.get_future();
  std::atomic<bool> rescued{false};
  std::thread watchdog([&] {
    if (finished.wait_for(std::chrono::seconds(10)) == std::future_status::ready) return;
    rescued = true;
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (writer >= 0) ::close(writer);
  });
  Lines lines{"前の内容"};
  const bool read = ReadHelpLines(fifo, lines);
  done.set_value();
  watchdog.join();
  EXPECT_FALSE(read);
  EXPECT_FALSE(rescued) << "the read waited for a writer";
  EXPECT_EQ(lines, Lines{"前の内容"});
}

}  // namespace
}  // namespace tarvex
