#include "app/fm_main.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/app_identity.h"
#include "app/handler_guard.h"
#include "app/japanese_fonts.h"
#include "app/list_page.h"
#include "app/qt_message_boxes.h"
#include "app/qv_message_box.h"
#include "core/path_entry.h"
#include "core/settings.h"

namespace tarvex {

namespace {

constexpr int DesignLeft = 409;
constexpr int DesignTop = 112;
constexpr int DesignWidth = 720;
constexpr int DesignHeight = 690;
constexpr int MinimumWidth = 600;
constexpr int MinimumHeight = 400;

}  // namespace

TFMMain::TFMMain(QString settingsPath, MessageBoxes* boxes, QWidget* parent)
    : QMainWindow(parent), boxes_(boxes), requestedSettingsPath_(std::move(settingsPath)) {
  if (!boxes_) {
    ownBoxes_ = std::make_unique<QtMessageBoxes>(this);
    boxes_ = ownBoxes_.get();
  }
  setObjectName(QStringLiteral("FMMain"));
  setFont(FixedJapaneseFont());
  setMinimumSize(MinimumWidth, MinimumHeight);
  move(DesignLeft, DesignTop);
  resize(DesignWidth, DesignHeight);
  BuildPages();
  RunGuarded(*boxes_, [this] { FormCreate(); });
  connect(pageControl1_, &QTabWidget::currentChanged, this, &TFMMain::PageControl1Change);
}

TFMMain::~TFMMain() = default;

QWidget* TFMMain::AddPage(const char* name, const QString& caption) {
  auto* page = new QWidget(pageControl1_);
  page->setObjectName(QLatin1String(name));
  pageControl1_->addTab(page, caption);
  return page;
}

void TFMMain::BuildPages() {
  pageControl1_ = new QTabWidget(this);
  pageControl1_->setObjectName(QStringLiteral("PageControl1"));
  // The tabs and what they hold use the proportional font; controls that need the fixed one set
  // it themselves.
  pageControl1_->setFont(ProportionalJapaneseFont());
  setCentralWidget(pageControl1_);

  tsFolder_ = AddPage("TSFolder", QStringLiteral("フォルダ選択"));
  tsList_ = AddPage("TSList", QStringLiteral("ファイルリスト"));
  tsFilter_ = AddPage("TSFilter", QStringLiteral("フィルタ"));
  tsCompare_ = AddPage("TSCompare", QStringLiteral("ファイル比較"));
  tsMessage_ = AddPage("TSMessage", QStringLiteral("メッセージ"));
  tsHelp_ = AddPage("TSHelp", QStringLiteral("ヘルプ"));

  auto* listLayout = new QVBoxLayout(tsList_);
  listLayout->setContentsMargins(0, 0, 0, 0);
  listPage_ = new ListPage(state_, *boxes_, tsList_);
  listLayout->addWidget(listPage_);
  connect(listPage_, &ListPage::RefreshRequested, this,
          [this] { RunGuarded(*boxes_, [this] { RefreshActivePage(); }); });

  auto* messageLayout = new QVBoxLayout(tsMessage_);
  messageLayout->setContentsMargins(0, 0, 0, 0);
  msgBox_ = new TQvMessageBox(tsMessage_);
  msgBox_->setObjectName(QStringLiteral("MsgBox"));
  messageLayout->addWidget(msgBox_);
}

void TFMMain::FormCreate() {
  state_.CreateSharedLists();
  state_.OpenSettings(
      requestedSettingsPath_.isEmpty()
          ? SettingsPathFor(
                QFile::encodeName(QCoreApplication::applicationFilePath()).toStdString())
          : QFile::encodeName(requestedSettingsPath_).toStdString());
  // The stored rectangle replaces the current one; what is missing keeps the current value.
  state_.Settings.Position = CurrentWindowRect();
  LoadSettings(*state_.SettingsFile, state_.Settings);
  ApplyWindowRect(state_.Settings.Position);
  listPage_->ApplySettings(state_.Settings);
  // Set before the tab-change handler is connected, so it does not run.
  pageControl1_->setCurrentWidget(tsFolder_);
}

void TFMMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_ || event->spontaneous()) return;
  shown_ = true;
  RunGuarded(*boxes_, [this] { FormShow(); });
}

void TFMMain::FormShow() {
  setWindowTitle(MainWindowCaption());
  state_.ScanAttrMask = DefaultScanAttrMask;
  listPage_->SetShownColumnWidths();
}

bool TFMMain::FormCloseQuery() {
  if (closeQueried_) return true;
  closeQueried_ = true;
  listPage_->StoreSettings(state_.Settings);
  bool saved = false;
  if (state_.SettingsFile) {
    state_.Settings.Position = CurrentWindowRect();
    try {
      saved = SaveSettings(*state_.SettingsFile, state_.Settings);
    } catch (...) {
      // Whatever went wrong, the user hears of it and the window still closes.
    }
  }
  if (!saved) {
    boxes_->Information(ApplicationTitle(), QString::fromUtf8(SettingsWriteErrorText));
  }
  state_.ReleaseSharedLists();
  return true;
}

WindowRect TFMMain::CurrentWindowRect() const {
  // The restored rectangle of a maximised or minimised window, placed by its frame as move()
  // places it.
  const QRect normal = normalGeometry();
  const QPoint frameOffset = geometry().topLeft() - pos();
  WindowRect rect;
  rect.Left = normal.x() - frameOffset.x();
  rect.Top = normal.y() - frameOffset.y();
  rect.Width = normal.width();
  rect.Height = normal.height();
  return rect;
}

void TFMMain::ApplyWindowRect(const WindowRect& rect) {
  move(rect.Left, rect.Top);
  resize(rect.Width, rect.Height);
}

void TFMMain::closeEvent(QCloseEvent* event) {
  RunGuarded(*boxes_, [this] { FormCloseQuery(); });
  event->accept();
  FormClose();
}

void TFMMain::FormClose() { QCoreApplication::quit(); }

void TFMMain::PageControl1Change(int /*index*/) {
  RunGuarded(*boxes_, [this] { RefreshActivePage(); });
}

void TFMMain::RefreshActivePage() {}

}  // namespace tarvex
