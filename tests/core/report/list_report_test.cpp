#include "core/report/list_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/recording_spreadsheet.h"
#include "support/report_test_list.h"

namespace tarvex {
namespace {

using testing::Dec31st1999;
using testing::Entry;
using testing::Main;
using testing::May6th2024;
using testing::RecordingSpreadsheetServer;
using testing::Sub;
using Calls = std::vector<std::string>;

class ListReportTest : public ::testing::Test {
 protected:
  void Show(std::vector<PathEntry> entries) { list_.Show(std::move(entries)); }

  testing::ReportTestList list_;
  ShownList& shown_ = list_.Shown;
  RecordingSpreadsheetServer server_;
};

// The calls up to and with the header row, for the roots that Show sets.
Calls SheetStart() {
  return {
      "CreateObject(\"Excel.Application\")",
      "Application",
      "Visible=true",
      "Workbooks",
      "Add",
      "ActiveWorkbook",
      "WorkSheets(1)",
      "Cells(1,1).ColumnWidth=5.0000",
      "Cells(1,2).ColumnWidth=30.0000",
      "Cells(1,3).ColumnWidth=22.0000",
      "Cells(1,4).ColumnWidth=10.0000",
      "Cells(1,5).ColumnWidth=8.0000",
      "Cells(1,6).ColumnWidth=10.0000",
      "Cells(1,7).ColumnWidth=22.0000",
      "Cells(1,8).ColumnWidth=15.0000",
      "Cells(1,9).ColumnWidth=15.0000",
      "Cells(1,1).Value=\"Tarvex ファイルパス比較一覧\"",
      "Cells(2,2).Value=\"メインフォルダパス：\"",
      "Cells(2,3).Value=\"/home/me/main\"",
      "Cells(3,2).Value=\"サブフォルダパス：\"",
      "Cells(3,3).Value=\"/media/me/STICK/backup\"",
      "Cells(5,1).Value=\"NO\"",
      "Cells(5,2).Value=\"ファイル名\"",
      "Cells(5,3).Value=\"メイン更新日\"",
      "Cells(5,4).Value=\"ﾒｲﾝｻｲｽﾞ\"",
      "Cells(5,5).Value=\"比較\"",
      "Cells(5,6).Value=\"ｻﾌﾞｻｲｽﾞ\"",
      "Cells(5,7).Value=\"サブ更新日\"",
      "Cells(5,8).Value=\"フォルダ名\"",
      "Cells(5,9).Value=\"ファイル名\"",
      "Cells(5,1).HorizontalAlignment=-4108",
      "Cells(5,2).HorizontalAlignment=-4108",
      "Cells(5,3).HorizontalAlignment=-4108",
      "Cells(5,4).HorizontalAlignment=-4108",
      "Cells(5,5).HorizontalAlignment=-4108",
      "Cells(5,6).HorizontalAlignment=-4108",
      "Cells(5,7).HorizontalAlignment=-4108",
      "Cells(5,8).HorizontalAlignment=-4108",
      "Cells(5,9).HorizontalAlignment=-4108",
  };
}

struct Row {
  const char* Number;
  const char* Path;
  const char* MainDate;  // as written: rearranged
  const char* MainSize;
  const char* Marks;
  const char* SubSize;
  const char* SubDate;
  const char* Folder;
  const char* Name;
};

// One data row's calls in the order of the export.
void AddRow(Calls& calls, int s, const Row& row) {
  const std::string cell = "Cells(" + std::to_string(s) + ",";
  auto value = [&](int c, const char* text) {
    calls.push_back(cell + std::to_string(c) + ").Value=\"" + text + "\"");
  };
  auto date = [&](int c, const char* text) {
    calls.push_back(cell + std::to_string(c) + ").HorizontalAlignment=-4152");
    calls.push_back(cell + std::to_string(c) + ").NumberFormatLocal=\"YYYY/MM/DD hh:mm:ss\"");
    value(c, text);
  };
  value(1, row.Number);
  value(2, row.Path);
  date(3, row.MainDate);
  value(4, row.MainSize);
  value(5, row.Marks);
  value(6, row.SubSize);
  date(7, row.SubDate);
  value(8, row.Folder);
  value(9, row.Name);
}

TEST_F(ListReportTest, WritesEveryShownRowInTheOrderOfTheCalls) {
  std::vector<PathEntry> entries;
  // A folder row; a file on the main side only; a name without "/" (a ":" is part of a name) on
  // the sub side only; a name that is not UTF-8, shown decoded as CP932.
  Sub(Main(entries.emplace_back(Entry("docs", true)), May6th2024, 0), May6th2024, 0);
  Main(entries.emplace_back(Entry("docs/a b.txt", false)), May6th2024, 1234567);
  Sub(entries.emplace_back(Entry("12:30 memo", false)), Dec31st1999, 5);
  Sub(Main(entries.emplace_back(Entry("docs/\x83\x65\x83\x58\x83\x67.txt", false)), Dec31st1999, 7),
      May6th2024, 70);
  Show(std::move(entries));

  ExportListReport(shown_, server_);

  Calls expected = SheetStart();
  AddRow(expected, 6,
         {"   1", "docs/", "05/06/24  07:08:10", "         0", "　 ＝ 　", "         0",
          "05/06/24  07:08:10", "docs/", ""});
  AddRow(expected, 7,
         {"   2", "docs/a b.txt", "05/06/24  07:08:10", " 1,234,567", "在 　 　", "", "/  ",
          "docs/", "a b.txt"});
  AddRow(expected, 8,
         {"   3", "12:30 memo", "/  ", "", "　 　 在", "         5", "12/31/99  23:59:58", "",
          "12:30 memo"});
  AddRow(expected, 9,
         {"   4", "docs/テスト.txt", "12/31/99  23:59:58", "         7", "　 ＜ 新", "        70",
          "05/06/24  07:08:10", "docs/", "テスト.txt"});
  expected.push_back("Release");
  EXPECT_EQ(server_.Calls, expected);
}

TEST_F(ListReportTest, PathsAndFoldersAreDecodedNameByName) {
  // A UTF-8 folder holding a CP932 file: decoded whole as CP932 it read "蝣ｱ蜻頑嶌/あ.txt".
  Show({Entry("報告書/\x82\xA0.txt"), Entry("\x95\xF1\x8D\x90\x8F\x91/a\nb", true)});
  shown_.MainRoot = "/home/me/報告書/\x82\xA0";
  ExportListReport(shown_, server_);
  const auto wrote = [&](const std::string& call) {
    return std::find(server_.Calls.begin(), server_.Calls.end(), call) != server_.Calls.end();
  };
  for (const char* call : {
           "Cells(2,3).Value=\"/home/me/報告書/あ\"",
           "Cells(6,2).Value=\"報告書/あ.txt\"",
           "Cells(6,8).Value=\"報告書/\"",
           "Cells(6,9).Value=\"あ.txt\"",
           "Cells(7,2).Value=\"報告書/a␊b/\"",
           "Cells(7,8).Value=\"報告書/a␊b/\"",
       })
    EXPECT_TRUE(wrote(call)) << call;
}

TEST_F(ListReportTest, AnEmptyListGivesTheTitleTheFoldersAndTheHeaderOnly) {
  Show({});
  ExportListReport(shown_, server_);
  Calls expected = SheetStart();
  expected.push_back("Release");
  EXPECT_EQ(server_.Calls, expected);

  // Before the first scan there is no list and there are no roots.
  ShownList never;
  RecordingSpreadsheetServer server;
  ExportListReport(never, server);
  ASSERT_EQ(server.Calls.size(), expected.size());
  EXPECT_EQ(server.Calls[18], "Cells(2,3).Value=\"\"");
  EXPECT_EQ(server.Calls[20], "Cells(3,3).Value=\"\"");
  EXPECT_EQ(server.Calls.back(), "Release");
}

TEST_F(ListReportTest, AFailedCallEndsTheExportThereAndStillReleasesTheApplication) {
  Show({Entry("a.txt"), Entry("b.txt")});
  const std::size_t start = SheetStart().size();
  // The first row's main date format.
  server_.FailingCall = static_cast<int>(start + 3);
  EXPECT_THROW(ExportListReport(shown_, server_), std::runtime_error);
  ASSERT_EQ(server_.Calls.size(), start + 4);
  EXPECT_EQ(server_.Calls[start + 2], "Cells(6,3).HorizontalAlignment=-4152");
  EXPECT_EQ(server_.Calls.back(), "Release");

  // Reading Application fails: the created object is still released, and nothing else called.
  RecordingSpreadsheetServer first;
  first.FailingCall = 1;
  EXPECT_THROW(ExportListReport(shown_, first), std::runtime_error);
  EXPECT_EQ(first.Calls, (Calls{"CreateObject(\"Excel.Application\")", "Release"}));

  // An application that cannot be created: nothing else is called.
  RecordingSpreadsheetServer missing;
  missing.FailingCall = 0;
  EXPECT_THROW(ExportListReport(shown_, missing), std::runtime_error);
  EXPECT_TRUE(missing.Calls.empty());
}

TEST(RearrangeDateText, TakesCharactersFourToEightOneToTwoAndTenToSeventeen) {
  const std::pair<const char*, const char*> cases[] = {
      {"24/05/06 07:08:10", "05/06/24  07:08:10"},
      {"", "/  "},
      {"24/05", "05/24  "},
      {"2", "/2  "},
      // Other separators of the locale keep their places; a character may be several bytes.
      {"24.05.06 07.08.10", "05.06/24  07.08.10"},
      {"24年05月06 07時08分10", "05月06/24  07時08分10"},
      {"24/05/06 07:08:10 extra", "05/06/24  07:08:10"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(RearrangeDateText(text), expected) << text;
}

}  // namespace
}  // namespace tarvex
