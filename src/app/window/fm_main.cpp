#include "app/window/fm_main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/compare/compare_page.h"
#include "app/filter/filter_page.h"
#include "app/folder/folder_page.h"
#include "app/help/help_page.h"
#include "app/list/list_commands.h"
#include "app/list/list_page.h"
#include "app/log/qv_message_box.h"
#include "app/widgets/app_identity.h"
#include "app/widgets/filter_names_model.h"
#include "app/widgets/handler_guard.h"
#include "app/widgets/japanese_fonts.h"
#include "app/widgets/named_widget.h"
#include "app/window/drive_watcher.h"
#include "core/scan/path_entry.h"
#include "core/settings/compare_pair.h"
#include "core/settings/settings.h"
#include "core/text/name_value_list.h"

namespace tarvex {

namespace {

constexpr int DesignLeft = 409;
constexpr int DesignTop = 112;
constexpr int DesignWidth = 720;
constexpr int DesignHeight = 690;
constexpr int MinimumWidth = 600;
constexpr int MinimumHeight = 400;

// +1 for the next tab, -1 for the previous one, 0 for any other key.
int TabStep(const QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers =
      key.modifiers() &
      (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier | Qt::MetaModifier);
  if (modifiers == Qt::ControlModifier) {
    if (key.key() == Qt::Key_Tab || key.key() == Qt::Key_PageDown) return 1;
    if (key.key() == Qt::Key_PageUp) return -1;
  }
  if (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) &&
      (key.key() == Qt::Key_Backtab || key.key() == Qt::Key_Tab))
    return -1;
  return 0;
}

}  // namespace

TFMMain::TFMMain(QString settingsPath, const Services& services, QWidget* parent)
    : QMainWindow(parent),
      services_(services, this),
      requestedSettingsPath_(std::move(settingsPath)) {
  filterNames_ = new FilterNamesModel(state_.Settings.FilterNames, this);
  setObjectName(QStringLiteral("FMMain"));
  setWindowIcon(ApplicationIcon());
  setFont(FixedJapaneseFont());
  setMinimumSize(MinimumWidth, MinimumHeight);
  move(DesignLeft, DesignTop);
  resize(DesignWidth, DesignHeight);
  BuildPages();
  RunGuarded(Boxes(), [this] { FormCreate(); });
  connect(pageControl1_, &QTabWidget::currentChanged, this, &TFMMain::PageControl1Change);
  ConnectGuarded(listPage_, &ListPage::FilterChoiceChanged, this, Boxes(),
                 [this](int index) { CBFilterChoiceChange(index); });
  connect(folderPage_, &FolderPage::PairApplied, this,
          [this](const std::string& pair) { SelectPairFilterSet(pair); });
  ConnectGuarded(folderPage_, &FolderPage::FilterChoiceChanged, this, Boxes(),
                 [this](int index) { CBFilterChoice2Change(index); });
  // Seen before any control: a focused combo or memo would take these keys for itself.
  qApp->installEventFilter(this);
}

TFMMain::~TFMMain() = default;

bool TFMMain::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
  const int step = TabStep(*static_cast<QKeyEvent*>(event));
  if (step == 0 || static_cast<QWidget*>(watched)->window() != this) return false;
  // A modal box or the delete confirmation has the keyboard; the tabs wait.
  if (QApplication::activeModalWidget() != nullptr) return false;
  const int count = pageControl1_->count();
  pageControl1_->setCurrentIndex((pageControl1_->currentIndex() + step + count) % count);
  return true;
}

void TFMMain::SetProgressDialog(TFMOption* dialog) {
  fmOption_ = dialog;
  listCommands_ = new ListCommands(state_, *msgBox_, services_, *listPage_, *dialog);
  connect(listPage_, &ListPage::RowCommandChosen, listCommands_, &ListCommands::RunRowCommand);
  connect(listCommands_, &ListCommands::CommandFinished, this, &TFMMain::CloseIfAskedMeanwhile);
}

void TFMMain::CloseIfAskedMeanwhile() {
  if (closeAfterCommand_ && !state_.ListGuard.IsHeld()) {
    closeAfterCommand_ = false;
    close();
  }
}

QWidget* TFMMain::AddPage(const char* name, const QString& caption) {
  auto* page = Named<QWidget>(name, pageControl1_);
  pageControl1_->addTab(page, caption);
  return page;
}

void TFMMain::BuildPages() {
  pageControl1_ = Named<QTabWidget>("PageControl1", this);
  // The tabs and what they hold use the proportional font; controls that need the fixed one set
  // it themselves.
  pageControl1_->setFont(ProportionalJapaneseFont());
  // The pages reach the window's edges: no frame strip below the grids and trees.
  pageControl1_->setDocumentMode(true);
  setCentralWidget(pageControl1_);

  tsFolder_ = AddPage("TSFolder", QStringLiteral("フォルダ選択"));
  tsList_ = AddPage("TSList", QStringLiteral("ファイルリスト"));
  tsFilter_ = AddPage("TSFilter", QStringLiteral("フィルタ"));
  tsCompare_ = AddPage("TSCompare", QStringLiteral("ファイル比較"));
  tsMessage_ = AddPage("TSMessage", QStringLiteral("メッセージ"));
  tsHelp_ = AddPage("TSHelp", QStringLiteral("ヘルプ"));

  auto* messageLayout = new QVBoxLayout(tsMessage_);
  messageLayout->setContentsMargins(0, 0, 0, 0);
  msgBox_ = Named<TQvMessageBox>("MsgBox", tsMessage_);
  messageLayout->addWidget(msgBox_);

  auto* folderLayout = new QVBoxLayout(tsFolder_);
  folderLayout->setContentsMargins(0, 0, 0, 0);
  folderPage_ = new FolderPage(state_, *msgBox_, services_, *filterNames_, tsFolder_);
  folderLayout->addWidget(folderPage_);

  auto* filterLayout = new QVBoxLayout(tsFilter_);
  filterLayout->setContentsMargins(0, 0, 0, 0);
  filterPage_ = new FilterPage(state_, *msgBox_, services_, tsFilter_);
  connect(filterPage_, &FilterPage::FilterNameAppended, filterNames_, &FilterNamesModel::Append);
  connect(filterPage_, &FilterPage::TSFilterExit, this, [this] { SyncFilterChoices(); });
  connect(filterPage_, &FilterPage::ActivationRequested, this, [this] {
    // Back to the tab without its show handler, which would reload the memo being held.
    const QSignalBlocker block(pageControl1_);
    pageControl1_->setCurrentWidget(tsFilter_);
  });
  filterLayout->addWidget(filterPage_);
  auto* listLayout = new QVBoxLayout(tsList_);
  listLayout->setContentsMargins(0, 0, 0, 0);
  listPage_ = new ListPage(state_, *msgBox_, services_, *filterNames_, tsList_);
  listLayout->addWidget(listPage_);
  ConnectGuarded(listPage_, &ListPage::RefreshRequested, this, Boxes(),
                 [this] { RefreshActivePage(); });
  ConnectGuarded(listPage_, &ListPage::RescanRequested, this, Boxes(),
                 [this] { UpdatePathList(); });
  // Showing the compare tab compares the list's current row.
  connect(listPage_, &ListPage::CompareRequested, this,
          [this] { pageControl1_->setCurrentWidget(tsCompare_); });

  auto* compareLayout = new QVBoxLayout(tsCompare_);
  compareLayout->setContentsMargins(0, 0, 0, 0);
  comparePage_ = new ComparePage(state_, *msgBox_, services_, tsCompare_);
  compareLayout->addWidget(comparePage_);

  auto* helpLayout = new QVBoxLayout(tsHelp_);
  helpLayout->setContentsMargins(0, 0, 0, 0);
  helpPage_ = new HelpPage(services_, tsHelp_);
  helpLayout->addWidget(helpPage_);

  driveWatcher_ = new DriveWatcher(
      state_, Boxes(), services_.Desktop(),
      [this] { return pageControl1_->currentWidget() == tsFolder_; }, [this] { FormCloseQuery(); },
      this);
  connect(listPage_, &ListPage::ListWorkFinished, this, &TFMMain::CloseIfAskedMeanwhile);
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
  folderPage_->ShowHistory();
  filterPage_->ShowFilterNames();
  listPage_->ApplySettings(state_.Settings);
  driveWatcher_->TakeDriveList();
  driveWatcher_->SetInterval(DriveWatcher::FirstCheckInterval);
  // Set before the tab-change handler is connected, so it does not run.
  pageControl1_->setCurrentWidget(tsFolder_);
}

void TFMMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shown_ || event->spontaneous()) return;
  shown_ = true;
  RunGuarded(Boxes(), [this] { FormShow(); });
}

void TFMMain::FormShow() {
  setWindowTitle(MainWindowCaption());
  helpPage_->ShowSupportAddress(state_.Settings.supporturl);
  folderPage_->CBComparePathChange();
  listPage_->SetShownColumnWidths();
  state_.ScanAttrMask = DefaultScanAttrMask;
  SyncFilterChoices();
}

bool TFMMain::FormCloseQuery() {
  if (closeQueried_) return true;
  closeQueried_ = true;
  listPage_->StoreSettings(state_.Settings);
  bool saved = false;
  if (state_.SettingsFile) {
    state_.Settings.Position = CurrentWindowRect();
    state_.Settings.lastmfolder = folderPage_->MainFolderText();
    state_.Settings.lastsfolder = folderPage_->SubFolderText();
    try {
      saved = SaveSettings(*state_.SettingsFile, state_.Settings);
    } catch (...) {
      // Whatever went wrong, the user hears of it and the window still closes.
    }
  }
  if (!saved) {
    Boxes().Information(ApplicationTitle(), QString::fromUtf8(SettingsWriteErrorText));
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
  if (state_.ListGuard.IsHeld()) {
    // Closing acts as 中止: the loop stops after its current file, and the window closes when
    // the command (or a scan or sort that holds the list) has returned, so no work goes on unseen
    // after the window is gone.
    state_.CopyCancelRequested = true;
    closeAfterCommand_ = true;
    event->ignore();
    return;
  }
  RunGuarded(Boxes(), [this] { FormCloseQuery(); });
  event->accept();
  FormClose();
}

void TFMMain::FormClose() { QCoreApplication::quit(); }

void TFMMain::PageControl1Change(int /*index*/) {
  RunGuarded(Boxes(), [this] {
    // The filter tab takes the user back at once; nothing may scan with the refused list.
    if (filterPage_->HoldingHideMemo()) return;
    if (pageControl1_->currentWidget() == tsFolder_) folderPage_->CBComparePathChange();
    if (pageControl1_->currentWidget() == tsFilter_) filterPage_->TSFilterShow();
    if (pageControl1_->currentWidget() == tsCompare_) comparePage_->TSCompareShow();
    RefreshActivePage();
    // Not the filter choice: there the first arrow key would switch the set and rescan.
    if (pageControl1_->currentWidget() == tsList_) listPage_->FocusGrid();
  });
}

void TFMMain::RefreshActivePage() {
  if (!isActiveWindow()) return;
  if (pageControl1_->currentWidget() == tsFolder_) {
    driveWatcher_->SetInterval(DriveWatcher::CheckInterval);
  }
  if (state_.ListGuard.IsHeld() || filterPage_->HoldingHideMemo()) return;
  if (pageControl1_->currentWidget() != tsList_) return;
  folderPage_->RecordComparePair();
  SyncFilterChoices();
  state_.Settings.PairFilterMap.SetValue(folderPage_->CurrentPair(), filterNames_->SelectedName());
  filterPage_->CBFilterSelect();
  UpdatePathList();
}

void TFMMain::SyncFilterChoices() { filterNames_->Sync(); }

void TFMMain::SelectFilterIndex(int index) {
  state_.Settings.FilterNames.ItemIndex = index;
  filterPage_->ShowFilterNames();
}

void TFMMain::SelectPairFilterSet(const std::string& pair) {
  const std::optional<int> index = PairFilterSetIndex(state_.Settings, pair);
  if (!index) return;
  if (*index >= 0) filterNames_->Select(*index);
  // A set that no longer exists leaves CBFilter with nothing selected.
  SelectFilterIndex(*index);
  filterPage_->CBFilterSelect();
}

void TFMMain::CBFilterChoice2Change(int index) {
  SelectFilterIndex(index);
  filterPage_->CBFilterSelect();
}

void TFMMain::CBFilterChoiceChange(int index) {
  if (state_.ListGuard.IsHeld()) {
    // No rescan can follow while a loop runs: the choice goes back to the set the list uses.
    filterNames_->Sync();
    return;
  }
  SelectFilterIndex(index);
  filterPage_->CBFilterSelect();
  RefreshActivePage();
  listPage_->FocusGrid();
}

void TFMMain::UpdatePathList() {
  listPage_->UpdatePathList(folderPage_->MainFolderText(), folderPage_->SubFolderText(),
                            filterPage_->ActiveFilterSet());
}

}  // namespace tarvex
