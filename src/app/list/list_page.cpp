#include "app/list/list_page.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "app/list/list_locale.h"
#include "app/list/path_grid_view.h"
#include "app/list/path_list_model.h"
#include "app/log/qv_message_box.h"
#include "app/services/services.h"
#include "app/widgets/app_identity.h"
#include "app/widgets/display_text.h"
#include "app/widgets/filter_names_model.h"
#include "app/widgets/fixed_colours.h"
#include "app/widgets/grid_helpers.h"
#include "app/widgets/handler_guard.h"
#include "app/widgets/japanese_fonts.h"
#include "app/widgets/named_widget.h"
#include "app/widgets/side_colours.h"
#include "core/commands/command_text.h"
#include "core/commands/row_menu.h"
#include "core/content/content_check.h"
#include "core/content/hash_cache.h"
#include "core/filter/wildcard.h"
#include "core/fs/path.h"
#include "core/fs/volume_kind.h"
#include "core/list/folder_hiding.h"
#include "core/list/list_cells.h"
#include "core/list/list_column.h"
#include "core/list/list_navigation.h"
#include "core/list/path_sort.h"
#include "core/list/status_choice.h"
#include "core/report/list_report.h"
#include "core/report/report_file.h"
#include "core/report/xlsx_spreadsheet.h"
#include "core/scan/path_entry.h"
#include "core/session/main_state.h"
#include "core/settings/settings.h"
#include "core/text/display_path.h"

namespace tarvex {

namespace {

// How far the counter's busy colour leans from the text towards the background: far enough to
// tell a running count from a finished one, near enough to stay readable in any palette.
constexpr float CounterBusyBlend = 0.25F;
constexpr int CaptionWidth = 70;
constexpr int PathLabelHeight = 18;
constexpr int SortCounterIntervalMs = 50;
constexpr QPoint PopupOffset(8, 16);  // just below and right of the pointer

// Widths before the window is first shown, and the ones it sets then (-1: column 1 takes the
// rest).
constexpr std::array<int, ListColumnCount> DesignColumnWidths = {36, 163, 100, 67, 36, 68, 90};
constexpr std::array<int, ListColumnCount> ShownColumnWidths = {38, -1, 106, 66, 52, 66, 106};
// The widest size a column must show whole, with the cell's indent and a little air.
constexpr const char* WidestSizeText = "9,999,999,999,999";
constexpr int SizeCellMargin = 6;
constexpr int ContentCellMargin = 12;

QLabel* PathLabel(QWidget* parent, const char* name, QRgb background) {
  auto* label = Named<QLabel>(name, parent);
  label->setAutoFillBackground(true);
  SetFixedBackground(*label, QColor::fromRgb(background));
  // A long path must not widen the window; it is cut at the label's edge.
  label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
  label->setFixedHeight(PathLabelHeight);
  return label;
}

// The grid shows the busy cursor while the list is rebuilt, and the default one afterwards
// whatever happened.
class BusyCursor {
 public:
  explicit BusyCursor(QWidget& widget) : widget_(widget) { widget_.setCursor(Qt::WaitCursor); }
  ~BusyCursor() { widget_.unsetCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  QWidget& widget_;
};

// While a scan runs, the window gets its events so that 中止 and Esc reach the page; every other
// input is dropped, as nothing may start on a list that is being replaced.
class ScanInputGate : public QObject {
 public:
  ScanInputGate(QPushButton& cancel, bool& stopRequested)
      : cancel_(cancel), stopRequested_(stopRequested) {
    stopRequested_ = false;
    cancel_.show();
    QCoreApplication::instance()->installEventFilter(this);
  }
  ~ScanInputGate() override {
    QCoreApplication::instance()->removeEventFilter(this);
    cancel_.hide();
  }
  ScanInputGate(const ScanInputGate&) = delete;
  ScanInputGate& operator=(const ScanInputGate&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // The window hands input on to its widgets, where it is judged.
    if (watched->isWindowType()) return false;
    switch (event->type()) {
      case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) stopRequested_ = true;
        return true;
      case QEvent::KeyRelease:
      case QEvent::Shortcut:
      case QEvent::Wheel:
      case QEvent::ContextMenu:
      case QEvent::TouchBegin:
      case QEvent::TouchUpdate:
      case QEvent::TouchEnd:
        return true;
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove:
        return watched != &cancel_;
      default:
        return false;
    }
  }

 private:
  QPushButton& cancel_;
  bool& stopRequested_;
};

QColor CounterBusyColour(const QPalette& palette) {
  const QColor text = palette.color(QPalette::WindowText);
  const QColor back = palette.color(QPalette::Window);
  const auto mix = [](int a, int b) {
    return static_cast<int>(static_cast<float>(a) +
                            (static_cast<float>(b) - static_cast<float>(a)) * CounterBusyBlend);
  };
  return QColor(mix(text.red(), back.red()), mix(text.green(), back.green()),
                mix(text.blue(), back.blue()));
}

}  // namespace

ListPage::ListPage(MainState& state, TQvMessageBox& log, const ServiceBundle& services,
                   FilterNamesModel& filterNames, QWidget* parent)
    : QWidget(parent),
      state_(state),
      log_(log),
      boxes_(services.Boxes()),
      shown_(state.Shown),
      collator_(ListPathCollator(QLocale())),
      files_(services.Files()),
      reportOpener_(services.Desktop()),
      desktop_(services.Desktop()) {
  setObjectName(QStringLiteral("ListPage"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto* panel = Named<QWidget>("PNListTop", this);
  panel->setFixedHeight(TopPanelHeight);
  BuildTopPanel(panel);
  filterNames.Bind(*cbFilterChoice_);
  layout->addWidget(panel);

  shown_.Format = LocaleListTextFormat(QLocale());
  shown_.Fill(nullptr, false);
  model_ = new PathListModel(shown_, this);
  sgPath_ = new PathGridView(this);
  sgPath_->setModel(model_);
  connect(sgPath_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { shown_.CurrentRow = current.row(); });
  for (int c = 0; c < ListColumnCount; ++c) sgPath_->setColumnWidth(c, DesignColumnWidths[c]);
  sgPath_->installEventFilter(this);
  layout->addWidget(sgPath_, 1);
  // The options that go beyond the classic list stand under the grid, so that the top panel keeps
  // its layout; the summary has a row of its own below them and wraps rather than being cut.
  auto* options = new QHBoxLayout;
  options->setContentsMargins(4, 0, 0, 0);
  options->setSpacing(8);
  ckContentCheck_ = Named<QCheckBox>("CKContentCheck", QStringLiteral("内容も比較する"), this);
  ckHourShift_ = Named<QCheckBox>("CKHourShift", QStringLiteral("1時間の時差を無視する"), this);
  options->addWidget(ckContentCheck_);
  options->addWidget(ckHourShift_);
  options->addStretch(1);
  layout->addLayout(options);
  lbSummary_ = Named<QLabel>("LBSummary", this);
  lbSummary_->setContentsMargins(4, 0, 4, 2);
  lbSummary_->setWordWrap(true);
  QSizePolicy summaryPolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  summaryPolicy.setHeightForWidth(true);
  lbSummary_->setSizePolicy(summaryPolicy);
  layout->addWidget(lbSummary_);
  connect(sgPath_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { ShowSummary(); });

  BuildMenu();

  ConnectGuarded(sgPath_, &PathGridView::HeaderClicked, this, boxes_,
                 [this](int column) { SGPathHeaderClick(column); });
  ConnectGuarded(sgPath_, &PathGridView::PopupRequested, this, boxes_,
                 [this](QPoint globalPos) { SGPathPopup(globalPos); });
  ConnectGuarded(sgPath_, &PathGridView::ViewportResized, this, boxes_, [this] { TSListResize(); });
  ConnectGuarded(sgPath_, &QAbstractItemView::doubleClicked, this, boxes_,
                 [this](const QModelIndex& index) { SGPathDblClick(index); });
  ConnectGuarded(ckSubFolder_, &QCheckBox::clicked, this, boxes_, [this] { CKSubFolderClick(); });
  ConnectGuarded(cbShowStatus_, &QComboBox::activated, this, boxes_,
                 [this](int index) { CBShowStatusChange(index); });
  ConnectGuarded(edSearch_, &QLineEdit::textChanged, this, boxes_,
                 [this](const QString& text) { EDSearchChange(text); });
  auto* find = new QAction(this);
  find->setShortcut(QKeySequence::Find);
  find->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  addAction(find);
  connect(find, &QAction::triggered, this, [this] {
    edSearch_->setFocus(Qt::ShortcutFocusReason);
    edSearch_->selectAll();
  });
  ConnectGuarded(ckOneSideDir_, &QCheckBox::clicked, this, boxes_, [this] { CKOneSideDirClick(); });
  ConnectGuarded(ckDirHide_, &QCheckBox::clicked, this, boxes_, [this] { CKDirHideClick(); });
  ConnectGuarded(ckDirIgnore_, &QCheckBox::clicked, this, boxes_, [this] { CKDirIgnoreClick(); });
  // Both change what the scan makes of the trees: the list is made again.
  for (QCheckBox* box : {ckContentCheck_, ckHourShift_}) {
    ConnectGuarded(box, &QCheckBox::clicked, this, boxes_, [this, box] {
      if (!UndoClickWhileCommandRuns(*box)) RequestRefreshAndFocus();
    });
  }
  // Only the user's choice: the window copies the filter names into the box without a rescan.
  ConnectGuarded(cbFilterChoice_, &QComboBox::activated, this, boxes_,
                 [this](int index) { Q_EMIT FilterChoiceChanged(index); });
  ConnectGuarded(btExcelOut_, &QPushButton::clicked, this, boxes_, [this] { BTExcelOutClick(); });
  connect(btScanCancel_, &QPushButton::clicked, this, [this] { scanStopRequested_ = true; });
}

ListPage::~ListPage() = default;

void ListPage::BuildTopPanel(QWidget* panel) {
  auto* rows = new QVBoxLayout(panel);
  rows->setContentsMargins(4, 3, 4, 0);
  rows->setSpacing(1);

  lbListMain_ = PathLabel(panel, "LBListMain", SideRgb[0]);
  lbListSub_ = PathLabel(panel, "LBListSub", SideRgb[1]);
  QLabel* filterCaption = Named<QLabel>("LBFilterChoice", QStringLiteral("フィルタ名"), panel);
  const std::pair<QLabel*, QLabel*> pathRows[] = {
      {Named<QLabel>("LBListMainCaption", QStringLiteral("Main Folder"), panel), lbListMain_},
      {Named<QLabel>("LBListSubCaption", QStringLiteral("Sub Folder"), panel), lbListSub_},
  };
  // The three captions share one width, so the labels and the filter choice line up.
  int captionWidth = std::max(CaptionWidth, filterCaption->sizeHint().width());
  for (const auto& row : pathRows)
    captionWidth = std::max(captionWidth, row.first->sizeHint().width());
  filterCaption->setFixedWidth(captionWidth);
  for (const auto& [caption, label] : pathRows) {
    caption->setFixedWidth(captionWidth);
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(caption);
    row->addWidget(label, 1);
    rows->addLayout(row);
  }

  auto* filterRow = new QHBoxLayout;
  filterRow->setSpacing(4);
  filterRow->addWidget(filterCaption);
  cbFilterChoice_ = Named<QComboBox>("CBFilterChoice", panel);
  cbFilterChoice_->setFont(FixedJapaneseFont());
  cbFilterChoice_->setMaxVisibleItems(20);
  cbFilterChoice_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  cbFilterChoice_->setMinimumContentsLength(12);
  filterRow->addWidget(cbFilterChoice_, 1);
  filterRow->addWidget(Named<QLabel>("LBShowStatus", QStringLiteral("表示"), panel));
  cbShowStatus_ = Named<QComboBox>("CBShowStatus", panel);
  for (const char* caption : StatusChoiceCaptions)
    cbShowStatus_->addItem(QString::fromUtf8(caption));
  filterRow->addWidget(cbShowStatus_);
  // Beside the narrowing by status, and away from the counter, which must show whole.
  edSearch_ = Named<QLineEdit>("EDSearch", panel);
  edSearch_->setPlaceholderText(QStringLiteral("検索 (Ctrl+F)"));
  edSearch_->installEventFilter(this);
  filterRow->addWidget(edSearch_, 1);
  lbShownCount_ = Named<QLabel>("LBShownCount", panel);
  filterRow->addWidget(lbShownCount_);
  btExcelOut_ = Named<QPushButton>("BTExcelOut", QStringLiteral("一覧をExcel に出力"), panel);
  filterRow->addWidget(btExcelOut_);
  rows->addLayout(filterRow);

  // The counter shares its line with the folder hiding option, above the three scan options.
  // The gaps between the columns give way first, so that at the window's minimum width the three
  // scan options still fit side by side.
  auto* options = new QGridLayout;
  options->setContentsMargins(0, 0, 0, 0);
  options->setHorizontalSpacing(0);
  options->setVerticalSpacing(0);
  for (int gap : {1, 3}) options->addItem(new QSpacerItem(6, 0, QSizePolicy::Preferred), 1, gap);
  lbCompare_ = Named<QLabel>("LBCompare", QStringLiteral("List Up Counter"), panel);
  lbCompare_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  ckDirHide_ = Named<QCheckBox>("CKDirHide", QStringLiteral("フォルダを表示しない"), panel);
  ckSubFolder_ = Named<QCheckBox>("CKSubFolder", QStringLiteral("サブフォルダを展開する"), panel);
  ckOneSideDir_ = Named<QCheckBox>(
      "CKOneSideDir", QStringLiteral("片方しかないフォルダ内のパスは表示しない"), panel);
  ckDirIgnore_ = Named<QCheckBox>("CKDirIgnore", QStringLiteral("フォルダの時差を無視する"), panel);
  btScanCancel_ = Named<QPushButton>("BTScanCancel", QStringLiteral("中止"), panel);
  btScanCancel_->setFixedHeight(ckDirHide_->sizeHint().height());
  btScanCancel_->setFocusPolicy(Qt::NoFocus);
  btScanCancel_->hide();  // only while a scan runs
  auto* counterRow = new QHBoxLayout;
  counterRow->setSpacing(4);
  counterRow->addWidget(lbCompare_, 1);
  counterRow->addWidget(btScanCancel_);
  options->addLayout(counterRow, 0, 0, 1, 3);
  options->addWidget(ckDirHide_, 0, 4);
  options->addWidget(ckSubFolder_, 1, 0);
  options->addWidget(ckOneSideDir_, 1, 2);
  options->addWidget(ckDirIgnore_, 1, 4);
  options->setColumnStretch(5, 1);
  rows->addLayout(options);
  rows->addStretch(1);
}

void ListPage::BuildMenu() {
  pmSGPath_ = Named<QMenu>("PMSGPath", this);
  pmSGPath_->setFont(ProportionalJapaneseFont());
  for (std::size_t i = 0; i < RowMenuTable.size(); ++i) {
    const RowMenuItem& item = RowMenuTable[i];
    if (item.Kind == RowMenuKind::Separator) {
      pmSGPath_->addSeparator()->setObjectName(QLatin1String(item.Name));
      continue;
    }
    QAction* action = pmSGPath_->addAction(QString::fromUtf8(RowMenuItemCaption(item)));
    action->setObjectName(QLatin1String(RowMenuItemName(item)));
    if (item.Kind == RowMenuKind::Undo) {
      // Ctrl+Z anywhere on the tab, not only while the menu is open.
      action->setShortcut(QKeySequence::Undo);
      action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
      addAction(action);
    }
    ConnectGuarded(action, &QAction::triggered, this, boxes_,
                   [this, i] { RowMenuItemClick(static_cast<int>(i)); });
  }
}

QAction* ListPage::MenuAction(const char* name) const {
  for (QAction* action : pmSGPath_->actions()) {
    if (action->objectName() == QLatin1String(name)) return action;
  }
  return nullptr;
}

void ListPage::RowMenuItemClick(int item) {
  if (RowMenuTable[static_cast<std::size_t>(item)].Kind == RowMenuKind::UpdateList) {
    PMMUpdateListClick();
    return;
  }
  if (RowMenuTable[static_cast<std::size_t>(item)].Kind == RowMenuKind::Undo) {
    Q_EMIT RowCommandChosen(item, 0, 0);
    return;
  }
  if (RowMenuTable[static_cast<std::size_t>(item)].Kind == RowMenuKind::Open) {
    OpenCurrentRow(
        OpenCommandTable
            .at(static_cast<std::size_t>(RowMenuTable[static_cast<std::size_t>(item)].Command))
            .Target);
    return;
  }
  const QModelIndexList rows = sgPath_->selectionModel()->selectedRows();
  if (rows.isEmpty()) return;
  // The commands work on list positions. While the status choice hides rows, the entries between
  // two selected rows may be hidden ones, which must never be copied or deleted: the command runs
  // once per unbroken run of selected entries.
  std::vector<std::int32_t> entries;
  entries.reserve(static_cast<std::size_t>(rows.size()));
  for (const QModelIndex& index : rows) {
    const std::int32_t entry = shown_.EntryIndex(index.row());
    if (entry >= 0) entries.push_back(entry);
  }
  if (entries.empty()) return;
  std::sort(entries.begin(), entries.end());
  commandTopRow_ = sgPath_->rowAt(0);
  std::size_t start = 0;
  for (std::size_t i = 1; i <= entries.size(); ++i) {
    if (i < entries.size() && entries[i] == entries[i - 1] + 1) continue;
    Q_EMIT RowCommandChosen(item, entries[start] + 1, entries[i - 1] + 1);  // count from 1
    start = i;
  }
}

void ListPage::OpenCurrentRow(OpenTarget target) {
  const PathEntry* entry = shown_.EntryAt(shown_.CurrentRow);
  if (entry == nullptr) return;
  const bool folder = IsFolder(entry->Attr);
  const auto pathOn = [&](Side side) {
    return (side == Side::Main ? shown_.MainRoot : shown_.SubRoot) + "/" + entry->Path;
  };
  if (target == OpenTarget::Folder) {
    // The row's own folder, or the one that holds its file, on a side where the row exists.
    const Side side = entry->MainExists ? Side::Main : Side::Sub;
    if (!entry->MainExists && !entry->SubExists) return;
    std::string path = pathOn(side);
    if (!folder) path.erase(path.rfind('/'));
    desktop_.ShowFolder(path);
    return;
  }
  const Side side = target == OpenTarget::MainFile ? Side::Main : Side::Sub;
  const bool exists = side == Side::Main ? entry->MainExists : entry->SubExists;
  if (folder || !exists) {
    desktop_.Beep();
    return;
  }
  desktop_.Open(pathOn(side));
}

void ListPage::RefillAfterCommand(int currentRow) {
  FillPathGrid();
  if (currentRow <= 0) return;
  if (commandTopRow_ >= 0 && commandTopRow_ < model_->rowCount()) {
    sgPath_->scrollTo(model_->index(commandTopRow_, 0), QAbstractItemView::PositionAtTop);
  }
  SelectRow(std::max(shown_.RowOfEntry(currentRow - 1), 0));
}

void ListPage::KeepPlace(const std::string& path, int rowsFromTop) {
  for (std::int32_t r = 0; r < shown_.Rows(); ++r) {
    const PathEntry* entry = shown_.EntryAt(r);
    if (entry == nullptr || entry->Path != path) continue;
    SelectRow(r);
    sgPath_->verticalScrollBar()->setValue(std::max(0, r - rowsFromTop));
    return;
  }
}

void ListPage::ShowSummary() {
  // Sizes with the digit grouping the example of the bar shows, whatever the desktop's locale.
  const QLocale grouped(QLocale::English, QLocale::UnitedStates);
  std::array<std::int64_t, StatusChoiceCaptions.size()> counts{};
  for (std::int32_t r = 0; r < shown_.Rows(); ++r) {
    const PathEntry* entry = shown_.EntryAt(r);
    if (entry == nullptr) continue;
    for (std::size_t c = static_cast<std::size_t>(StatusChoice::MainOnly); c < counts.size(); ++c) {
      if (StatusChosen(static_cast<StatusChoice>(c), entry->Status)) ++counts[c];
    }
  }
  QString text;
  for (std::size_t c = static_cast<std::size_t>(StatusChoice::MainOnly); c < counts.size(); ++c) {
    text += QStringLiteral("%1 %2  ").arg(QString::fromUtf8(StatusChoiceCaptions[c]),
                                          grouped.toString(counts[c]));
  }
  if (shown_.Content != nullptr) {
    std::int64_t hidden = 0;
    for (std::int32_t r = 0; r < shown_.Rows(); ++r) {
      const PathEntry* entry = shown_.EntryAt(r);
      if (entry != nullptr && IsHiddenDifference(*entry, shown_.Content->Of(*entry))) ++hidden;
    }
    // First, where a narrow window does not cut it off: it is what the check is there to find.
    text.prepend(QStringLiteral("＝でも内容が違う %1  ").arg(grouped.toString(hidden)));
  }
  std::int64_t rows = 0;
  PerSide<std::int64_t> bytes{};
  for (const QModelIndex& index : sgPath_->selectionModel()->selectedRows()) {
    const PathEntry* entry = shown_.EntryAt(index.row());
    if (entry == nullptr) continue;
    ++rows;
    if (IsFolder(entry->Attr)) continue;
    if (entry->MainExists) bytes[Side::Main] += entry->MainSize;
    if (entry->SubExists) bytes[Side::Sub] += entry->SubSize;
  }
  text += QStringLiteral("  選択 %1 行  メイン %2 バイト  サブ %3 バイト")
              .arg(grouped.toString(rows), grouped.toString(bytes[Side::Main]),
                   grouped.toString(bytes[Side::Sub]));
  lbSummary_->setText(text);
}

void ListPage::FocusGrid() { sgPath_->setFocus(); }

int ListPage::SortCol() const { return shown_.SortCol; }
bool ListPage::SortUp() const { return shown_.SortUp; }

int ListPage::PathCount() const { return state_.PathList ? state_.PathList->PathCount : 0; }

void ListPage::ApplySettings(const Settings& settings) {
  shown_.SortCol = settings.sortcol;
  shown_.SortUp = settings.sortup;
  // setChecked does not emit clicked, so no handler runs.
  ckSubFolder_->setChecked(settings.subfolder);
  ckOneSideDir_->setChecked(settings.onesidedir);
  ckDirIgnore_->setChecked(settings.dirignore);
  ckDirHide_->setChecked(settings.dirhide);
  ckContentCheck_->setChecked(settings.contentcheck);
  ckHourShift_->setChecked(settings.hourshift);
  storedColumnWidths_ = settings.listcolwidths;
  shown_.Status = StatusChoiceFromInt(settings.liststatus);
  cbShowStatus_->setCurrentIndex(static_cast<int>(shown_.Status));
  model_->Refresh();
}

void ListPage::StoreSettings(Settings& settings) const {
  settings.sortcol = shown_.SortCol;
  settings.sortup = shown_.SortUp;
  settings.subfolder = ckSubFolder_->isChecked();
  settings.onesidedir = ckOneSideDir_->isChecked();
  settings.dirignore = ckDirIgnore_->isChecked();
  settings.dirhide = ckDirHide_->isChecked();
  settings.contentcheck = ckContentCheck_->isChecked();
  settings.hourshift = ckHourShift_->isChecked();
  settings.liststatus = static_cast<int>(shown_.Status);
  // Before the window was shown the grid holds the design widths, which are no choice of the user.
  if (!columnWidthsShown_) return;
  settings.listcolwidths.clear();
  for (int c = 0; c < ListColumnCount; ++c)
    settings.listcolwidths.push_back(std::max(1, sgPath_->columnWidth(c)));
}

ScanOptions ListPage::CheckedScanOptions() const {
  ScanOptions options;
  options.SubFolder = ckSubFolder_->isChecked();
  options.OneSideDir = ckOneSideDir_->isChecked();
  options.DirIgnore = ckDirIgnore_->isChecked();
  options.CaseInsensitivePairing = false;
  options.IgnoreHourShift = ckHourShift_->isChecked();
  options.AttrMask = state_.ScanAttrMask != 0 ? state_.ScanAttrMask : DefaultScanAttrMask;
  return options;
}

void ListPage::UpdatePathList(const std::string& mainRoot, const std::string& subRoot,
                              const FilterSet& filter) {
  UpdatePathList(mainRoot, subRoot, filter, CheckedScanOptions());
}

void ListPage::UpdatePathList(const std::string& mainRoot, const std::string& subRoot,
                              const FilterSet& filter, const ScanOptions& options) {
  if (state_.ListGuard.IsHeld()) return;
  std::optional<std::string> maskError;
  ScanReport report;
  // The place the user had: the current row's path and its height in the view.
  std::string keptPath;
  int keptRowsFromTop = 0;
  if (const PathEntry* current = shown_.EntryAt(shown_.CurrentRow)) {
    keptPath = current->Path;
    keptRowsFromTop = std::max(0, shown_.CurrentRow - sgPath_->rowAt(0));
  }
  {
    // The counter lets events run meanwhile; no handler may change the list until the scan has
    // put the new one in its place. Until then the grid keeps showing the old one.
    const ListHold rebuilding(state_.ListGuard);
    BusyCursor busy(*sgPath_);
    const QString oldMain = lbListMain_->text();
    const QString oldSub = lbListSub_->text();
    const QString oldCounter = lbCompare_->text();
    ShowFolderLabels(mainRoot, subRoot);
    PathList& list = state_.EnsurePathList();
    SetCounterDimmed(true);
    try {
      const ScanInputGate gate(*btScanCancel_, scanStopRequested_);
      scanning_ = true;
      report = ScanFolders(
          list, mainRoot, subRoot, options, filter, files_,
          [this](const std::string& text) { ShowCounter(text); },
          [this] { return scanStopRequested_; });
      if (!report.Stopped) {
        // The verdicts belonged to the list the scan has just replaced.
        state_.Content.Clear();
        if (ckContentCheck_->isChecked()) {
          // The check lets events run; the grid must not paint old rows over the new entries.
          shown_.Fill(nullptr, shown_.DirIgnore);
          model_->Refresh();
          CheckContents(mainRoot, subRoot);
        }
      }
    } catch (const MaskError& error) {
      maskError = error.what();
    }
    scanning_ = false;
    if (report.Stopped) {
      lbListMain_->setText(oldMain);
      lbListSub_->setText(oldSub);
      SetCounterDimmed(false);
      lbCompare_->setText(oldCounter);
    } else {
      // The old entries the grid points into are gone: it lets go before anything paints.
      shown_.Fill(nullptr, shown_.DirIgnore);
      model_->Refresh();
      shown_.MainRoot = mainRoot;
      shown_.SubRoot = subRoot;
      if (!maskError) SortPathList();
      // After an invalid pattern the scan has left the list empty: the grid shows no row that
      // could refer to an entry of the abandoned comparison.
      FillPathGrid();
      if (!maskError && !keptPath.empty()) KeepPlace(keptPath, keptRowsFromTop);
    }
  }
  if (report.Stopped) log_.AddLine(QStringLiteral("スキャンを中止しました。"));
  if (!report.Stopped && !maskError && (ckHourShift_->isChecked() || ckContentCheck_->isChecked()))
    LogFatRoots(mainRoot, subRoot);
  // The keys then move in the fresh list, not in the filter choice above it.
  if (isVisible()) sgPath_->setFocus();
  if (maskError) {
    boxes_.Error(ApplicationTitle(), QString::fromStdString(*maskError));
  } else if (!report.UnreadableFolders.empty()) {
    // Their files would look one-sided and invite a wrong copy or delete.
    log_.AddLine(QString());
    for (const UnreadableFolder& folder : report.UnreadableFolders) {
      log_.AddLine(QString::fromStdString(DisplayPath(folder.Path) + ": " + folder.Reason));
    }
    boxes_.Error(ApplicationTitle(),
                 QString::fromStdString(UnreadableFoldersMessage(report.UnreadableFolders.size())));
  }
  Q_EMIT ListWorkFinished();
}

void ListPage::CheckContents(const std::string& mainRoot, const std::string& subRoot) {
  const std::string cachePath = DefaultHashCachePath();
  if (!hashCache_) {
    hashCache_ = std::make_unique<HashCache>();
    if (!cachePath.empty()) hashCache_->Load(cachePath);
  }
  const ContentCheckReport checked = tarvex::CheckContents(
      *state_.PathList, mainRoot, subRoot, *hashCache_, state_.Content,
      [this](std::int32_t done, std::int32_t total) {
        ShowCounter(ContentCounterText(done, total));
      },
      [this] { return scanStopRequested_; });
  if (!cachePath.empty()) hashCache_->Save(cachePath);
  for (const UnreadableContent& file : checked.Unreadable) {
    log_.AddLine(QString::fromStdString(file.Path + ": 内容を読めません（" + file.Reason + "）"));
  }
  if (checked.Stopped) {
    log_.AddLine(QStringLiteral("内容の比較を中止しました。未確認の行があります。"));
  }
}

void ListPage::LogFatRoots(const std::string& mainRoot, const std::string& subRoot) {
  const std::pair<const std::string*, const char*> roots[] = {{&mainRoot, "メイン"},
                                                              {&subRoot, "サブ"}};
  for (const auto& [root, name] : roots) {
    if (!IsAbsolutePath(*root) || !IsOnFatVolume(*root)) continue;
    log_.AddLine(
        QStringLiteral("%1のフォルダは FAT/exFAT のボリュームにあります（時刻は 2 秒単位）。")
            .arg(QString::fromUtf8(name)));
  }
}

void ListPage::ShowFolderLabels(const std::string& mainRoot, const std::string& subRoot) {
  lbListMain_->setText(QStringLiteral(" ") + ShownPath(mainRoot));
  lbListSub_->setText(QStringLiteral(" ") + ShownPath(subRoot));
  lbListMain_->repaint();
  lbListSub_->repaint();
}

void ListPage::SetCounterDimmed(bool dimmed) {
  QPalette palette = lbCompare_->palette();
  palette.setColor(QPalette::WindowText, dimmed ? CounterBusyColour(this->palette())
                                                : this->palette().color(QPalette::WindowText));
  lbCompare_->setPalette(palette);
}

void ListPage::ShowCounter(const std::string& text) {
  lbCompare_->setText(QString::fromStdString(text));
  lbCompare_->repaint();
  // At the counter's pace the window gets its paint and system events, so that the desktop does
  // not take it for hung during a long scan or sort; the user's input waits for the end, but for
  // what stops a scan (the gate drops the rest).
  QCoreApplication::processEvents(scanning_ ? QEventLoop::AllEvents
                                            : QEventLoop::ExcludeUserInputEvents);
}

void ListPage::SortPathList() {
  SetCounterDimmed(true);
  PathList* list = state_.PathList.get();
  if (list == nullptr) return;
  if (list->PathCount >= 2) {
    const auto showProgress = [this, list](int percent) {
      ShowCounter(SortCounterText(list->PathCount, list->FolderCount, list->SameCount, percent));
      sortCounterClock_.start();
    };
    // Collation keys take a while on a long list: the counter says so before the first one.
    showProgress(0);
    SortPathListCollated(*list, shown_.SortCol, shown_.SortUp, collator_, [&](int percent) {
      if (sortCounterClock_.elapsed() >= SortCounterIntervalMs) showProgress(percent);
    });
  }
  if (ckDirHide_->isChecked() && list->PathCount > 0) HideFolders(*list);
}

void ListPage::FillPathGrid() {
  SetCounterDimmed(false);
  PathList* list = state_.PathList.get();
  const std::int32_t count = list != nullptr ? list->PathCount : 0;
  lbCompare_->setText(QString::fromStdString(
      list != nullptr ? ListCounterText(count, list->FolderCount, list->SameCount)
                      : ListCounterText(0, 0, 0)));
  if (list != nullptr) RecordListPositions(*list);
  shown_.Fill(list, ckDirIgnore_->isChecked());
  const bool content = ckContentCheck_->isChecked();
  shown_.Content = content && !state_.Content.Empty() ? &state_.Content : nullptr;
  model_->SetContentColumn(content);
  model_->Refresh();
  if (content) {
    sgPath_->setColumnWidth(
        ColumnContent,
        sgPath_->fontMetrics().horizontalAdvance(QStringLiteral("読めません")) + ContentCellMargin);
  }
  lbShownCount_->setText(QStringLiteral("表示 %1 / 全 %2").arg(shown_.Rows()).arg(count));
  ShowSummary();
  if (shown_.Rows() > 0) {
    SelectRow(0);
    sgPath_->scrollTo(model_->index(0, ColumnPath));
  }
  FitColumnWidth(*sgPath_, ColumnPath);
}

void ListPage::SelectRow(int row) {
  if (row < 0 || row >= model_->rowCount()) return;
  sgPath_->selectionModel()->setCurrentIndex(
      model_->index(row, ColumnPath),
      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListPage::SetShownColumnWidths() {
  // Sizes of terabytes must not be cut in whatever font the desktop gives the grid.
  const int sizeWidth =
      sgPath_->fontMetrics().horizontalAdvance(QLatin1String(WidestSizeText)) + SizeCellMargin;
  const bool stored = storedColumnWidths_.size() == static_cast<std::size_t>(ListColumnCount);
  for (int c = 0; c < ListColumnCount; ++c) {
    if (c == ColumnPath) continue;
    int width = ShownColumnWidths[c];
    if (c == ColumnMainSize || c == ColumnSubSize) width = std::max(width, sizeWidth);
    if (stored) width = storedColumnWidths_[static_cast<std::size_t>(c)];
    sgPath_->setColumnWidth(c, width);
  }
  columnWidthsShown_ = true;
  FitColumnWidth(*sgPath_, ColumnPath);
}

void ListPage::TSListResize() { FitColumnWidth(*sgPath_, ColumnPath); }

void ListPage::SGPathHeaderClick(int column) {
  if (state_.ListGuard.IsHeld()) return;
  {
    const ListHold sorting(state_.ListGuard);
    ClickListHeader(column, shown_.SortCol, shown_.SortUp);
    SortPathList();
    FillPathGrid();
  }
  Q_EMIT ListWorkFinished();
}

void ListPage::SGPathPopup(QPoint globalPos) { pmSGPath_->popup(globalPos + PopupOffset); }

bool ListPage::UndoClickWhileCommandRuns(QCheckBox& box) {
  if (!state_.ListGuard.IsHeld()) return false;
  // The list cannot follow the option now; the box keeps showing what the list was made with.
  box.setChecked(!box.isChecked());
  return true;
}

void ListPage::RequestRefreshAndFocus() {
  Q_EMIT RefreshRequested();
  if (PathCount() > 0) sgPath_->setFocus();
}

void ListPage::SGPathDblClick(const QModelIndex& index) {
  const PathEntry* entry = shown_.EntryAt(index.row());
  if (entry == nullptr || IsFolder(entry->Attr)) return;
  SelectRow(index.row());
  Q_EMIT CompareRequested();
}

void ListPage::CBShowStatusChange(int index) {
  const StatusChoice choice = StatusChoiceFromInt(index);
  if (state_.ListGuard.IsHeld()) {
    // The rows of a running command must not move under it; the box keeps the shown choice.
    cbShowStatus_->setCurrentIndex(static_cast<int>(shown_.Status));
    return;
  }
  shown_.Status = choice;
  FillPathGrid();
  if (PathCount() > 0) sgPath_->setFocus();
}

void ListPage::EDSearchChange(const QString& text) {
  if (state_.ListGuard.IsHeld()) {
    // The rows of a running command must not move under it; the field keeps the shown text.
    const QSignalBlocker quiet(edSearch_);
    edSearch_->setText(QString::fromStdString(shown_.Search));
    return;
  }
  shown_.Search = text.toStdString();
  FillPathGrid();
}

bool ListPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edSearch_ && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !edSearch_->text().isEmpty()) {
    edSearch_->clear();
    return true;
  }
  // Return on a file row opens it in the compare tab, as a double-click does.
  if (watched == sgPath_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && sgPath_->currentIndex().isValid()) {
      RunGuarded(boxes_, [&] { SGPathDblClick(sgPath_->currentIndex()); });
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void ListPage::CKSubFolderClick() {
  if (!UndoClickWhileCommandRuns(*ckSubFolder_)) RequestRefreshAndFocus();
}
void ListPage::CKOneSideDirClick() {
  if (!UndoClickWhileCommandRuns(*ckOneSideDir_)) RequestRefreshAndFocus();
}
void ListPage::CKDirHideClick() {
  if (!UndoClickWhileCommandRuns(*ckDirHide_)) RequestRefreshAndFocus();
}

void ListPage::CKDirIgnoreClick() {
  if (UndoClickWhileCommandRuns(*ckDirIgnore_) || PathCount() <= 0) return;
  {
    const ListHold sorting(state_.ListGuard);
    SortPathList();
    FillPathGrid();
  }
  sgPath_->setFocus();
  Q_EMIT ListWorkFinished();
}

void ListPage::RescanAfterUndo() {
  Q_EMIT RescanRequested();
  sgPath_->setFocus();
}

void ListPage::PMMUpdateListClick() {
  Q_EMIT RefreshRequested();
  sgPath_->setFocus();
}

void ListPage::BTExcelOutClick() {
  BusyCursor busy(*sgPath_);
  XlsxSpreadsheetServer server(ReportFolder(), reportOpener_);
  ExportListReport(shown_, server);
}

}  // namespace tarvex
