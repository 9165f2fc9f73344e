// The report button on the list tab: it exports the list as shown into a new report in the
// cache folder and has it opened; an error of the opening reaches the general error message box.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/list/list_page.h"
#include "app/list/path_list_model.h"
#include "app/window/fm_main.h"
#include "app/window/program_start.h"
#include "core/filter/filter_set.h"
#include "support/child_process.h"
#include "support/recording_desktop_services.h"
#include "support/recording_message_boxes.h"

namespace tarvex {
namespace {

struct Opened {
  std::vector<std::string> Paths;
  bool Fails = false;
};

// The desktop of the test: the report is "opened" by recording its path.
class TestDesktop : public test::RecordingDesktopServices {
 public:
  explicit TestDesktop(Opened& opened) : opened_(opened) {}
  void Open(const std::string& path) override {
    opened_.Paths.push_back(path);
    if (opened_.Fails) throw std::runtime_error("開けません: " + path);
  }

 private:
  Opened& opened_;
};

void WriteFile(const QString& path) {
  ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

class ExcelOutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    savedCache_ = cache != nullptr ? std::optional<std::string>(cache) : std::nullopt;
    ::setenv("XDG_CACHE_HOME", QFile::encodeName(cache_.path()).constData(), 1);

    window_ = StartMainWindow(settings_.filePath(QStringLiteral("tarvex.ini")),
                              {.Boxes = &boxes_, .Desktop = &desktop_});
    page_ = window_->ListTab();
    window_->findChild<QTabWidget*>(QStringLiteral("PageControl1"))
        ->setCurrentWidget(window_->TSList());
    QApplication::processEvents();

    const QString main = roots_.filePath(QStringLiteral("main"));
    const QString sub = roots_.filePath(QStringLiteral("sub"));
    WriteFile(main + QStringLiteral("/b.txt"));
    WriteFile(main + QStringLiteral("/a.txt"));
    WriteFile(sub + QStringLiteral("/c.txt"));
    FilterSet filter;
    filter.SelectPatterns = PatternList{"*"};
    page_->UpdatePathList(QFile::encodeName(main).toStdString(),
                          QFile::encodeName(sub).toStdString(), filter);
  }

  void TearDown() override {
    window_.reset();
    if (savedCache_) {
      ::setenv("XDG_CACHE_HOME", savedCache_->c_str(), 1);
    } else {
      ::unsetenv("XDG_CACHE_HOME");
    }
  }

  std::string ReportFolder() const {
    return QFile::encodeName(cache_.filePath(QStringLiteral("tarvex"))).toStdString();
  }

  QTemporaryDir settings_;
  QTemporaryDir roots_;
  QTemporaryDir cache_;
  std::optional<std::string> savedCache_;
  test::RecordingMessageBoxes boxes_;
  Opened opened_;
  TestDesktop desktop_{opened_};
  std::unique_ptr<TFMMain> window_;
  ListPage* page_ = nullptr;
};

TEST_F(ExcelOutTest, TheButtonOpensANewReportOfTheListAsShown) {
  page_->BTExcelOut()->click();
  EXPECT_TRUE(boxes_.Calls.empty());
  ASSERT_EQ(opened_.Paths.size(), 1u);
  const std::string path = opened_.Paths[0];
  EXPECT_EQ(path.rfind(ReportFolder() + "/tarvex-list-", 0), 0u) << path;

  // The paths of the rows in the list's order, as an independent reader finds them.
  const testing::ChildResult read = testing::RunChild(
      {"/usr/bin/python3", "-c",
       "import openpyxl, sys\n"
       "sheet = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
       "print(' '.join(str(sheet.cell(row, 2).value) for row in range(6, sheet.max_row + 1)))\n",
       path});
  ASSERT_TRUE(read.Started) << "/usr/bin/python3 with python3-openpyxl is needed";
  ASSERT_EQ(read.ExitCode, 0);
  QStringList shown;
  for (int row = 0; row < page_->PathModel()->rowCount(); ++row)
    shown << page_->PathModel()->index(row, 1).data().toString();
  ASSERT_EQ(shown.size(), 3);
  EXPECT_EQ(QString::fromStdString(read.Output), shown.join(QLatin1Char(' ')) + QLatin1Char('\n'));

  // A second click makes a second report and leaves the first.
  page_->BTExcelOut()->click();
  ASSERT_EQ(opened_.Paths.size(), 2u);
  EXPECT_NE(opened_.Paths[1], path);
  EXPECT_TRUE(QFile::exists(QFile::decodeName(path.c_str())));
}

TEST_F(ExcelOutTest, ANarrowedListIsReportedAsShown) {
  page_->CBShowStatus()->setCurrentIndex(static_cast<int>(StatusChoice::MainOnly));
  Q_EMIT page_->CBShowStatus()->activated(static_cast<int>(StatusChoice::MainOnly));
  page_->EDSearch()->setText(QStringLiteral("B"));
  ASSERT_EQ(page_->PathModel()->rowCount(), 1);
  page_->BTExcelOut()->click();
  ASSERT_EQ(opened_.Paths.size(), 1u);
  const testing::ChildResult read = testing::RunChild(
      {"/usr/bin/python3", "-c",
       "import openpyxl, sys\n"
       "sheet = openpyxl.load_workbook(sys.argv[1]).worksheets[0]\n"
       "print(' '.join(str(sheet.cell(row, c).value) for row in range(6, sheet.max_row + 1)"
       " for c in (1, 2)))\n",
       opened_.Paths[0]});
  ASSERT_TRUE(read.Started) << "/usr/bin/python3 with python3-openpyxl is needed";
  ASSERT_EQ(read.ExitCode, 0);
  // The shown row, numbered as the grid numbers it.
  EXPECT_EQ(read.Output, "1 b.txt\n");
}

TEST_F(ExcelOutTest, WhenNoApplicationOpensItTheErrorBoxNamesTheReportWhichStays) {
  opened_.Fails = true;
  page_->BTExcelOut()->click();
  ASSERT_EQ(opened_.Paths.size(), 1u);
  const QString path = QFile::decodeName(opened_.Paths[0].c_str());
  ASSERT_EQ(boxes_.Calls.size(), 1u);
  EXPECT_EQ(boxes_.Calls[0].Kind, QStringLiteral("Error"));
  EXPECT_TRUE(boxes_.Calls[0].Text.contains(path)) << boxes_.Calls[0].Text.toStdString();
  EXPECT_TRUE(QFile::exists(path));
}

}  // namespace
}  // namespace tarvex
