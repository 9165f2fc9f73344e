#include "core/report/xlsx_spreadsheet.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/report/list_report.h"
#include "core/report/report_file.h"
#include "support/child_process.h"
#include "support/report_test_list.h"
#include "support/temp_tree.h"

namespace tarvex {
namespace {

using testing::Dec31st1999;
using testing::Entry;
using testing::Main;
using testing::May6th2024;
using testing::RunChild;
using testing::Sub;

// The reader and the converter are installed by scripts/setup.sh; without them these tests fail.
constexpr const char* Python = "/usr/bin/python3";
constexpr const char* Converter = "/usr/bin/ssconvert";

class RecordingOpener : public FileOpener {
 public:
  std::vector<std::string> Opened;
  bool Fails = false;

  void Open(const std::string& path) override {
    Opened.push_back(path);
    if (Fails) throw std::runtime_error("no application for " + path);
  }
};

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (const dirent* e = ::readdir(dir)) {
      const std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    ::closedir(dir);
  }
  return names;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  return fields;
}

class XlsxReportTest : public ::testing::Test {
 protected:
  // A folder row; a file on the main side only whose name a spreadsheet would take as a formula;
  // a name of digits with leading zeros on the sub side only.
  void ShowSample() {
    std::vector<PathEntry> entries;
    Sub(Main(entries.emplace_back(Entry("docs", true)), May6th2024, 0), May6th2024, 0);
    Main(entries.emplace_back(Entry("docs/=1+1")), May6th2024, 1234567);
    Sub(entries.emplace_back(Entry("007")), Dec31st1999, 5);
    list_.Show(std::move(entries));
  }

  // Exports the list and returns the report's path.
  std::string Export() {
    ExportListReport(list_.Shown, server_);
    return server_.ReportPath();
  }

  // What an independent reader finds in the workbook: one line per column width and per cell, as
  // read_xlsx.py prints them.
  static std::vector<std::string> ReadBack(const std::string& path) {
    const testing::ChildResult read = RunChild(
        {Python, std::string(TARVEX_TEST_SOURCE_DIR) + "/tests/core/report/read_xlsx.py", path});
    EXPECT_TRUE(read.Started) << Python << " (with python3-openpyxl) is needed";
    EXPECT_EQ(read.ExitCode, 0) << read.Output;
    return Lines(read.Output);
  }

  // Every cell of the workbook as the spreadsheet program shows it, into csv.
  static void ConvertToCsv(const std::string& path, const std::string& csv) {
    const testing::ChildResult converted =
        RunChild({Converter, "--export-type=Gnumeric_stf:stf_assistant", "--export-options",
                  "separator=, format=preserve", path, csv});
    ASSERT_TRUE(converted.Started) << Converter << " (gnumeric) is needed";
    ASSERT_EQ(converted.ExitCode, 0);
  }

  testing::TempTree temp_;
  std::string folder_ = temp_.PathOf("cache/tarvex");
  RecordingOpener opener_;
  XlsxSpreadsheetServer server_{folder_, opener_};
  testing::ReportTestList list_;
};

TEST_F(XlsxReportTest, AnIndependentReaderFindsTheValuesTypesFormatsAlignmentAndWidths) {
  ShowSample();
  std::vector<std::string> cells;
  std::vector<std::pair<std::string, double>> widths;
  for (const std::string& line : ReadBack(Export())) {
    if (line.rfind("width\t", 0) == 0) {
      const std::size_t tab = line.find('\t', 6);
      widths.emplace_back(line.substr(6, tab - 6), std::stod(line.substr(tab + 1)));
    } else {
      cells.push_back(line.substr(5));
    }
  }
  const std::string date = "YYYY/MM/DD hh:mm:ss";
  const std::vector<std::string> expected = {
      "A1\tstr\tTarvex ファイルパス比較一覧\tGeneral\tNone",
      "B2\tstr\tメインフォルダパス：\tGeneral\tNone",
      "C2\tstr\t/home/me/main\tGeneral\tNone",
      "B3\tstr\tサブフォルダパス：\tGeneral\tNone",
      "C3\tstr\t/media/me/STICK/backup\tGeneral\tNone",
      "A5\tstr\tNO\tGeneral\tcenter",
      "B5\tstr\tファイル名\tGeneral\tcenter",
      "C5\tstr\tメイン更新日\tGeneral\tcenter",
      "D5\tstr\tﾒｲﾝｻｲｽﾞ\tGeneral\tcenter",
      "E5\tstr\t比較\tGeneral\tcenter",
      "F5\tstr\tｻﾌﾞｻｲｽﾞ\tGeneral\tcenter",
      "G5\tstr\tサブ更新日\tGeneral\tcenter",
      "H5\tstr\tフォルダ名\tGeneral\tcenter",
      "I5\tstr\tファイル名\tGeneral\tcenter",
      // The folder row: its name part is empty, so I6 holds nothing.
      "A6\tint\t1\tGeneral\tNone",
      "B6\tstr\tdocs/\tGeneral\tNone",
      "C6\tdatetime\t2024-05-06 07:08:10\t" + date + "\tright",
      "D6\tint\t0\tGeneral\tNone",
      "E6\tstr\t　 ＝ 　\tGeneral\tNone",
      "F6\tint\t0\tGeneral\tNone",
      "G6\tdatetime\t2024-05-06 07:08:10\t" + date + "\tright",
      "H6\tstr\tdocs/\tGeneral\tNone",
      // A size with separators keeps them as the number's format; a missing side's date stays
      // the text it was given; "=1+1" is a text, not a formula.
      "A7\tint\t2\tGeneral\tNone",
      "B7\tstr\tdocs/=1+1\tGeneral\tNone",
      "C7\tdatetime\t2024-05-06 07:08:10\t" + date + "\tright",
      "D7\tint\t1234567\t#,##0\tNone",
      "E7\tstr\t在 　 　\tGeneral\tNone",
      "G7\tstr\t/  \t" + date + "\tright",
      "H7\tstr\tdocs/\tGeneral\tNone",
      "I7\tstr\t=1+1\tGeneral\tNone",
      // Without "/", the folder part (H8) is empty; "007" keeps its zeros.
      "A8\tint\t3\tGeneral\tNone",
      "B8\tstr\t007\tGeneral\tNone",
      "C8\tstr\t/  \t" + date + "\tright",
      "E8\tstr\t　 　 在\tGeneral\tNone",
      "F8\tint\t5\tGeneral\tNone",
      "G8\tdatetime\t1999-12-31 23:59:58\t" + date + "\tright",
      "I8\tstr\t007\tGeneral\tNone",
  };
  EXPECT_EQ(cells, expected);

  // Widths in characters; the file adds the padding of the default font to each.
  const std::pair<const char*, double> expectedWidths[] = {
      {"A", 5},  {"B", 30}, {"C", 22}, {"D", 10}, {"E", 8},
      {"F", 10}, {"G", 22}, {"H", 15}, {"I", 15},
  };
  ASSERT_EQ(widths.size(), std::size(expectedWidths));
  for (std::size_t i = 0; i < widths.size(); ++i) {
    EXPECT_EQ(widths[i].first, expectedWidths[i].first);
    EXPECT_GE(widths[i].second, expectedWidths[i].second) << widths[i].first;
    EXPECT_LT(widths[i].second, expectedWidths[i].second + 1) << widths[i].first;
  }
}

TEST_F(XlsxReportTest, CharactersThatXmlCannotHoldLeaveTheWorkbookReadable) {
  // U+FFFE and U+FFFF are valid UTF-8 but no XML character, nor are most controls; the folder
  // texts are written too.
  const std::string nonCharacters = "\xEF\xBF\xBE\xEF\xBF\xBF";
  list_.Show({Entry("docs/a" + nonCharacters + "b.txt"), Entry("bell\x07")});
  list_.Shown.MainRoot = "/home/me/" + nonCharacters;
  list_.Shown.SubRoot = "/media/\x01stick";
  std::vector<std::string> texts;
  for (const std::string& line : ReadBack(Export())) {
    const std::vector<std::string> fields = Fields(line);
    const std::string cell = fields.size() > 3 ? fields[1] : "";
    if (cell == "C2" || cell == "C3" || cell == "B6" || cell == "I6" || cell == "B7")
      texts.push_back(cell + " " + fields[3]);
  }
  // The spreadsheet's escape names each non-character; this reader shows it as it stands. Paths
  // show their control characters as pictures, as the grid does.
  EXPECT_EQ(texts, (std::vector<std::string>{
                       "C2 /home/me/_xFFFE__xFFFF_",
                       "C3 /media/\u2401stick",
                       "B6 docs/a_xFFFE__xFFFF_b.txt",
                       "I6 a_xFFFE__xFFFF_b.txt",
                       "B7 bell\u2407",
                   }));
  EXPECT_EQ(opener_.Opened, std::vector<std::string>{server_.ReportPath()});

  // A number format is an attribute: there no escape is read, so the character is replaced.
  const auto application = server_.CreateObject("Excel.Application");
  application->Workbooks().Add();
  SpreadsheetSheet& sheet = application->ActiveWorkbook().WorkSheets(1);
  sheet.Cells(1, 1).NumberFormatLocal("0\x01" + nonCharacters);
  sheet.Cells(1, 1).Value("5");
  application->Release();
  EXPECT_EQ(
      ReadBack(server_.ReportPath()),
      std::vector<std::string>{"cell\tA1\tint\t5\t0\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\tNone"});
}

// Every kind of cell the writer makes, in a sheet long enough to go through its buffers many
// times: the zip checks out and both readers find the same cells.
TEST_F(XlsxReportTest, ATrickyWorkbookReadsTheSameInEveryReader) {
  constexpr std::int32_t Rows = 5000;
  const auto application = server_.CreateObject("Excel.Application");
  application->Workbooks().Add();
  SpreadsheetSheet& sheet = application->ActiveWorkbook().WorkSheets(1);
  sheet.Cells(1, 1).ColumnWidth(Currency::Whole(20));
  sheet.Cells(1, 1).Value("写真 & <b> \"c\" 'd' ]]>");
  // A control is written in the spreadsheet's escape; a tab stays itself.
  sheet.Cells(1, 2).Value("bell\x07tab\tend");
  // Not UTF-8: decoded as the system's code page where it is one, else shown replaced.
  sheet.Cells(1, 3).Value("\x83\x65\x83\x58\x83\x67.txt");
  sheet.Cells(1, 4).Value("\xFF bad");
  sheet.Cells(2, 1).HorizontalAlignment(HAlignRight);
  sheet.Cells(2, 1).NumberFormatLocal("yyyy/mm/dd hh:mm:ss");
  sheet.Cells(2, 1).Value("05/06/24 07:08:10");
  sheet.Cells(2, 2).Value("1,234,567");
  sheet.Cells(2, 3).HorizontalAlignment(HAlignCenter);
  sheet.Cells(2, 3).Value("");
  sheet.Cells(2, 4).Value(" blanks kept ");
  for (std::int32_t r = 3; r <= Rows; ++r) {
    sheet.Cells(r, 1).Value("行 " + std::to_string(r));
    sheet.Cells(r, 2).Value(std::to_string(r * 7));
    sheet.Cells(r, 3).Value("12/31/99 23:59:58");
  }
  // A width after the rows still reaches its column.
  sheet.Cells(Rows, 5).ColumnWidth(Currency::Whole(8));
  application->Release();
  const std::string path = server_.ReportPath();

  const testing::ChildResult tested = RunChild({Python, "-m", "zipfile", "-t", path});
  EXPECT_EQ(tested.ExitCode, 0);
  EXPECT_EQ(tested.Output, "Done testing\n");

  std::vector<std::string> lines = ReadBack(path);
  ASSERT_EQ(lines.size(), 2u + 8u + 3u * (Rows - 2));
  lines.erase(lines.begin() + 10, lines.end() - 3);
  const std::string date = "yyyy/mm/dd hh:mm:ss";
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "width\tA\t20.7109375",
                       "width\tE\t8.7109375",
                       "cell\tA1\tstr\t写真 & <b> \"c\" 'd' ]]>\tGeneral\tNone",
                       "cell\tB1\tstr\tbell_x0007_tab\tend\tGeneral\tNone",
                       "cell\tC1\tstr\tテスト.txt\tGeneral\tNone",
                       "cell\tD1\tstr\t\uFFFD bad\tGeneral\tNone",
                       "cell\tA2\tdatetime\t2024-05-06 07:08:10\t" + date + "\tright",
                       "cell\tB2\tint\t1234567\t#,##0\tNone",
                       "cell\tC2\tNoneType\t\tGeneral\tcenter",
                       "cell\tD2\tstr\t blanks kept \tGeneral\tNone",
                       "cell\tA5000\tstr\t行 5000\tGeneral\tNone",
                       "cell\tB5000\tint\t35000\tGeneral\tNone",
                       "cell\tC5000\tdatetime\t1999-12-31 23:59:58\t" + date + "\tNone",
                   }));

  const std::string csv = temp_.PathOf("tricky.csv");
  ASSERT_NO_FATAL_FAILURE(ConvertToCsv(path, csv));
  const std::vector<std::string> shown = Lines(ReadAll(csv));
  ASSERT_EQ(shown.size(), static_cast<std::size_t>(Rows));
  EXPECT_EQ(shown[0],
            "\"写真 & <b> \"\"c\"\" 'd' ]]>\",\"bell_x0007_tab\tend\",テスト.txt,\"\uFFFD bad\"");
  EXPECT_EQ(shown[1], "\"2024/05/06 07:08:10\",\"1,234,567\",,\" blanks kept \"");
  EXPECT_EQ(shown[Rows - 1], "\"行 5000\",35000,\"1999/12/31 23:59:58\",");
}

TEST_F(XlsxReportTest, ASpreadsheetProgramShowsTheDatesInTheGivenFormat) {
  ShowSample();
  const std::string path = Export();
  const std::string csv = temp_.PathOf("report.csv");
  ASSERT_NO_FATAL_FAILURE(ConvertToCsv(path, csv));
  const std::vector<std::string> lines = Lines(ReadAll(csv));
  ASSERT_EQ(lines.size(), 8u) << ReadAll(csv);
  EXPECT_EQ(lines[5],
            "1,docs/,\"2024/05/06 07:08:10\",0,\"　 ＝ 　\",0,\"2024/05/06 07:08:10\",docs/,");
  EXPECT_EQ(lines[6],
            "2,docs/=1+1,\"2024/05/06 07:08:10\",\"1,234,567\",\"在 　 　\",,\"/  \",docs/,=1+1");
  EXPECT_EQ(lines[7], "3,007,\"/  \",,\"　 　 在\",5,\"1999/12/31 23:59:58\",,007");
}

TEST_F(XlsxReportTest, TheReportOpensFromAFileOfItsOwnThatNoLaterReportReplaces) {
  ShowSample();
  const std::string first = Export();
  ASSERT_EQ(opener_.Opened, std::vector<std::string>{first});
  EXPECT_EQ(first.rfind(folder_ + "/tarvex-list-", 0), 0u) << first;
  EXPECT_EQ(first.substr(first.size() - 5), ".xlsx");
  const std::string firstBytes = ReadAll(first);
  EXPECT_EQ(firstBytes.substr(0, 2), "PK");

  list_.Show({Entry("other.txt")});
  const std::string second = Export();
  EXPECT_NE(second, first);
  EXPECT_EQ(ReadAll(first), firstBytes);
  EXPECT_EQ(opener_.Opened, (std::vector<std::string>{first, second}));
  // Only the two reports: no temporary is left behind.
  EXPECT_EQ(Names(folder_).size(), 2u);
}

TEST_F(XlsxReportTest, WhenNothingCanOpenTheReportTheErrorNamesItAndTheFileStays) {
  ShowSample();
  opener_.Fails = true;
  try {
    ExportListReport(list_.Shown, server_);
    FAIL() << "no error";
  } catch (const std::runtime_error& e) {
    ASSERT_FALSE(server_.ReportPath().empty());
    EXPECT_NE(std::string(e.what()).find(server_.ReportPath()), std::string::npos) << e.what();
  }
  struct stat st {};
  EXPECT_EQ(::stat(server_.ReportPath().c_str(), &st), 0);
  EXPECT_GT(st.st_size, 0);
}

TEST_F(XlsxReportTest, AFailedCallStillPlacesAndOpensWhatWasWritten) {
  // A cell holds at most 32,767 characters: the second row's path ends the export.
  list_.Show({Entry("a.txt"), Entry(std::string(40000, 'x'))});
  EXPECT_THROW(ExportListReport(list_.Shown, server_), std::runtime_error);
  ASSERT_EQ(opener_.Opened.size(), 1u);
  EXPECT_EQ(opener_.Opened[0], server_.ReportPath());
  EXPECT_EQ(Names(folder_).size(), 1u);
}

// An application dropped without Release (its export went wrong half way) leaves no report, no
// temporary file and no open descriptor behind, however many times it happens.
TEST_F(XlsxReportTest, AnApplicationDroppedUnreleasedLeavesNoFileAndNoDescriptor) {
  const std::size_t openBefore = Names("/proc/self/fd").size();
  for (int i = 0; i < 3; ++i) {
    const auto application = server_.CreateObject("Excel.Application");
    application->Workbooks().Add();
    SpreadsheetSheet& sheet = application->ActiveWorkbook().WorkSheets(1);
    for (std::int32_t r = 1; r <= 2000; ++r) sheet.Cells(r, 1).Value("row " + std::to_string(r));
  }
  EXPECT_EQ(Names("/proc/self/fd").size(), openBefore);
  EXPECT_TRUE(Names(folder_).empty());
  EXPECT_TRUE(server_.ReportPath().empty());
  EXPECT_TRUE(opener_.Opened.empty());
}

// A file that cannot be written (here: the size limit, as a full disk would) ends the export
// with an error that names the folder, and leaves neither a report nor a temporary.
TEST_F(XlsxReportTest, AWorkbookThatCannotBeWrittenLeavesNothingBehind) {
  std::vector<PathEntry> entries;
  for (int i = 0; i < 20000; ++i)
    entries.push_back(Entry("写真/IMG_" + std::to_string(i) + ".jpg"));
  list_.Show(std::move(entries));
  const std::size_t openBefore = Names("/proc/self/fd").size();
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto savedSignal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 64 * 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  std::string error;
  try {
    ExportListReport(list_.Shown, server_);
  } catch (const std::runtime_error& e) {
    error = e.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, savedSignal);
  EXPECT_NE(error.find(folder_), std::string::npos) << error;
  EXPECT_NE(error.find(std::strerror(EFBIG)), std::string::npos) << error;
  EXPECT_TRUE(Names(folder_).empty());
  EXPECT_TRUE(server_.ReportPath().empty());
  EXPECT_TRUE(opener_.Opened.empty());
  EXPECT_EQ(Names("/proc/self/fd").size(), openBefore);
}

TEST_F(XlsxReportTest, RowsGoInOrderAndStayWithinTheSheet) {
  const auto application = server_.CreateObject("Excel.Application");
  application->Workbooks().Add();
  SpreadsheetSheet& sheet = application->ActiveWorkbook().WorkSheets(1);
  sheet.Cells(2, 1).Value("a");
  sheet.Cells(2, 1).HorizontalAlignment(HAlignRight);
  sheet.Cells(3, 1).Value("b");
  EXPECT_THROW(sheet.Cells(2, 2).Value("c"), std::logic_error);
  // A column width belongs to the column, whatever the row.
  sheet.Cells(1, 2).ColumnWidth(Currency::Whole(12));
  sheet.Cells(1, 3).ColumnWidth(Currency::Whole(255));
  EXPECT_THROW(sheet.Cells(1, 3).ColumnWidth(Currency{2550001}), std::out_of_range);
  EXPECT_THROW(sheet.Cells(1, 3).ColumnWidth(Currency{-1}), std::out_of_range);
  EXPECT_THROW(sheet.Cells(1048577, 1).Value("d"), std::runtime_error);
  EXPECT_THROW(sheet.Cells(4, 16385).Value("d"), std::out_of_range);
  EXPECT_THROW(sheet.Cells(4, 1).HorizontalAlignment(7), std::invalid_argument);
  EXPECT_THROW(server_.CreateObject("Word.Application"), std::invalid_argument);

  // Not made visible: placed, not opened.
  application->Release();
  EXPECT_TRUE(opener_.Opened.empty());
  EXPECT_FALSE(server_.ReportPath().empty());
}

TEST(ReportFile, ANameThatIsTakenIsNeverReplaced) {
  testing::TempTree temp;
  const std::string folder = temp.PathOf("reports");
  const std::time_t when = 1700000000;
  std::vector<std::string> placed;
  for (int i = 0; i < 3; ++i) {
    const std::string temporary = CreateReportTemporary(folder);
    std::ofstream(temporary) << "report " << i;
    placed.push_back(PlaceReportFile(temporary, folder, when));
  }
  std::tm local{};
  ::localtime_r(&when, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string stem = folder + "/tarvex-list-" + stamp;
  EXPECT_EQ(placed, (std::vector<std::string>{stem + ".xlsx", stem + "-2.xlsx", stem + "-3.xlsx"}));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(ReadAll(placed[i]), "report " + std::to_string(i));
  EXPECT_EQ(Names(folder).size(), 3u);
}

TEST(ReportFile, TheFolderIsTarvexsOwnUnderTheCacheHome) {
  const char* savedCache = std::getenv("XDG_CACHE_HOME");
  const std::string saved = savedCache != nullptr ? savedCache : "";
  ::setenv("XDG_CACHE_HOME", "/somewhere/cache", 1);
  EXPECT_EQ(ReportFolder(), "/somewhere/cache/tarvex");
  // A relative value is ignored.
  ::setenv("XDG_CACHE_HOME", "cache", 1);
  const char* home = std::getenv("HOME");
  EXPECT_EQ(ReportFolder(), std::string(home != nullptr ? home : "") + "/.cache/tarvex");
  if (savedCache != nullptr) {
    ::setenv("XDG_CACHE_HOME", saved.c_str(), 1);
  } else {
    ::unsetenv("XDG_CACHE_HOME");
  }
}

}  // namespace
}  // namespace tarvex
