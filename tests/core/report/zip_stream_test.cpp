#include "core/report/zip_stream.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/child_process.h"
#include "support/temp_tree.h"

namespace tarvex {
namespace {

constexpr std::uint64_t Max32 = 0xFFFFFFFFu;

std::uint64_t Field(const std::string& bytes, std::size_t at, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = width; i-- > 0;)
    value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
  return value;
}

// Entries whole and streamed, read back by an independent reader that checks every CRC.
TEST(ZipStream, AnIndependentReaderFindsEveryEntryWithItsCrcAndData) {
  struct Case {
    const char* name;
    std::string data;
    std::uint32_t crc;  // the published CRC-32 check values
  };
  std::string repeated;
  for (int i = 0; repeated.size() < 300000; ++i)
    repeated += "<row r=\"" + std::to_string(i) + "\"/>";
  // More than the writer holds before it writes, compressed or not.
  std::string noise;
  for (std::uint32_t x = 1; noise.size() < 600000;) {
    x = x * 1103515245u + 12345u;
    noise += static_cast<char>(x >> 24);
  }
  const Case cases[] = {
      {"empty", "", 0},
      {"a", "a", 0xE8B7BE43},
      {"digits", "123456789", 0xCBF43926},
  };
  testing::TempTree temp;
  const std::string path = temp.PathOf("test.zip");
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  {
    ZipStream zip(fd);
    for (const Case& c : cases) zip.AddEntry(c.name, c.data, 6);
    zip.AddEntry("noise", noise, 1);
    // Streamed in pieces, its head (two stored blocks long) filled in last.
    zip.BeginEntry("dir/streamed.xml", 2, 70000);
    for (std::size_t at = 0; at < repeated.size(); at += 100000)
      zip.Write(repeated.substr(at, 100000));
    zip.EndEntry(std::string(69999, ' ') + "<");
    zip.Finish();
  }
  ASSERT_EQ(::close(fd), 0);

  const char* script =
      "import sys, zipfile, zlib\n"
      "z = zipfile.ZipFile(sys.argv[1])\n"
      "assert z.testzip() is None\n"
      "for i in z.infolist():\n"
      "    d = z.read(i)\n"
      "    print(i.filename, '%08X' % i.CRC, i.file_size, '%08X' % zlib.crc32(d), "
      "d[69998:70010])\n";
  const testing::ChildResult read = testing::RunChild({"/usr/bin/python3", "-c", script, path});
  ASSERT_TRUE(read.Started);
  ASSERT_EQ(read.ExitCode, 0) << read.Output;
  std::vector<std::string> expected;
  for (const Case& c : cases) {
    char line[128];
    std::snprintf(line, sizeof line, "%s %08X %zu %08X b''", c.name, c.crc, c.data.size(), c.crc);
    expected.push_back(line);
  }
  const std::string lines = read.Output;
  for (const std::string& line : expected)
    EXPECT_NE(lines.find(line + "\n"), std::string::npos) << lines;
  EXPECT_NE(lines.find("noise "), std::string::npos) << lines;
  EXPECT_NE(lines.find(" " + std::to_string(70000 + repeated.size()) + " "), std::string::npos)
      << lines;
  EXPECT_NE(lines.find("b' <<row r=\"0\"'"), std::string::npos) << lines;

  const testing::ChildResult tested =
      testing::RunChild({"/usr/bin/python3", "-m", "zipfile", "-t", path});
  EXPECT_EQ(tested.ExitCode, 0);
  EXPECT_EQ(tested.Output, "Done testing\n");
}

// No test writes 4 GiB: the records are held to the zip64 rules at the boundaries instead.
TEST(ZipStream, SizesAndOffsetsFromFourGibibytesUpGoIntoZip64Records) {
  struct Case {
    std::uint64_t size;
    std::uint64_t compressed;
    std::uint64_t offset;
    std::size_t extraFields;  // 8-byte fields in the central zip64 extra
  };
  const Case cases[] = {
      {100, 50, 0, 0},
      {Max32 - 1, Max32 - 1, Max32 - 1, 0},
      {Max32, 1000, 0, 1},
      {5ull << 30, 600u << 20, 0, 1},
      {5ull << 30, 5ull << 30, 6ull << 30, 3},
      {10, 10, Max32, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.size << " " << c.compressed << " " << c.offset);
    ZipEntryRecord entry{
        "xl/worksheets/sheet1.xml", 0x12345678, c.compressed, c.size, c.offset, true};
    const std::string central = ZipCentralHeader(entry);
    const std::size_t nameLength = entry.Name.size();
    const std::uint64_t extraLength = Field(central, 30, 2);
    EXPECT_EQ(extraLength, c.extraFields == 0 ? 0 : 4 + 8 * c.extraFields);
    EXPECT_EQ(central.size(), 46 + nameLength + extraLength);
    EXPECT_EQ(Field(central, 6, 2), c.extraFields == 0 ? 20u : 45u);  // version needed
    EXPECT_EQ(Field(central, 20, 4), std::min(c.compressed, Max32));
    EXPECT_EQ(Field(central, 24, 4), std::min(c.size, Max32));
    EXPECT_EQ(Field(central, 42, 4), std::min(c.offset, Max32));
    // The extra holds, in order, only the values its fields stand for.
    std::vector<std::uint64_t> values;
    for (std::size_t at = 46 + nameLength + 4; at < central.size(); at += 8)
      values.push_back(Field(central, at, 8));
    std::vector<std::uint64_t> expected;
    if (c.size >= Max32) expected.push_back(c.size);
    if (c.compressed >= Max32) expected.push_back(c.compressed);
    if (c.offset >= Max32) expected.push_back(c.offset);
    EXPECT_EQ(values, expected);

    // The descriptor takes 8-byte sizes when either needs them.
    const std::string descriptor = ZipDataDescriptor(entry);
    const bool wide = c.size >= Max32 || c.compressed >= Max32;
    ASSERT_EQ(descriptor.size(), wide ? 24u : 16u);
    EXPECT_EQ(Field(descriptor, 8, wide ? 8 : 4), c.compressed);
    EXPECT_EQ(Field(descriptor, wide ? 16 : 12, wide ? 8 : 4), c.size);
    // A streamed entry's local header leaves everything to the descriptor.
    const std::string local = ZipLocalHeader(entry);
    EXPECT_EQ(local.size(), 30 + nameLength);
    EXPECT_EQ(Field(local, 6, 2), 8u);  // the descriptor flag
    EXPECT_EQ(Field(local, 14, 12), 0u);
  }

  // The end record: zip64 end record and locator only when the directory needs them.
  struct End {
    std::uint64_t entries;
    std::uint64_t offset;
    std::uint64_t size;
    bool zip64;
  };
  const End ends[] = {
      {9, 1000, 500, false}, {0xFFFE, Max32 - 1, 100, false}, {0xFFFF, 100, 100, true},
      {9, Max32, 100, true}, {9, 6ull << 30, 700, true},
  };
  for (const End& e : ends) {
    SCOPED_TRACE(::testing::Message() << e.entries << " " << e.offset);
    const std::string end = ZipEndOfCentralDirectory(e.entries, e.offset, e.size);
    ASSERT_EQ(end.size(), e.zip64 ? 56u + 20u + 22u : 22u);
    const std::size_t classic = end.size() - 22;
    EXPECT_EQ(Field(end, classic, 4), 0x06054b50u);
    EXPECT_EQ(Field(end, classic + 10, 2), std::min<std::uint64_t>(e.entries, 0xFFFF));
    EXPECT_EQ(Field(end, classic + 16, 4), std::min(e.offset, Max32));
    if (e.zip64) {
      EXPECT_EQ(Field(end, 0, 4), 0x06064b50u);
      EXPECT_EQ(Field(end, 32, 8), e.entries);
      EXPECT_EQ(Field(end, 40, 8), e.size);
      EXPECT_EQ(Field(end, 48, 8), e.offset);
      EXPECT_EQ(Field(end, 56, 4), 0x07064b50u);
      EXPECT_EQ(Field(end, 64, 8), e.offset + e.size);  // where the zip64 end record starts
    }
  }
}

}  // namespace
}  // namespace tarvex
