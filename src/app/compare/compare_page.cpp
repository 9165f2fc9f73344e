#include "app/compare/compare_page.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <system_error>
#include <utility>

#include "app/compare/compare_grid_view.h"
#include "app/compare/compare_rows_model.h"
#include "app/compare/grid_sync.h"
#include "app/log/qv_message_box.h"
#include "app/services/services.h"
#include "app/widgets/app_identity.h"
#include "app/widgets/display_text.h"
#include "app/widgets/fixed_colours.h"
#include "app/widgets/grid_helpers.h"
#include "app/widgets/handler_guard.h"
#include "app/widgets/japanese_fonts.h"
#include "app/widgets/named_widget.h"
#include "app/widgets/side_colours.h"
#include "core/fs/path.h"
#include "core/fs/root_folder.h"
#include "core/list/list_cells.h"
#include "core/scan/path_entry.h"
#include "core/session/main_state.h"
#include "core/text/text_encoding.h"
#include "core/textcompare/compare_navigation.h"
#include "core/textcompare/file_bytes.h"
#include "core/textcompare/line_align.h"
#include "core/textcompare/text_compare.h"

namespace tarvex {

namespace {

constexpr const char* NoFileSelectedText = "ファイルが選択されていません。";
constexpr const char* FolderSelectedText = "フォルダが選択されています。";
constexpr const char* TooLargeText = "ファイルサイズが大きすぎます。";
constexpr std::array<const char*, 2> MissingFileText = {"メインファイルが在りません。",
                                                        "サブファイルが在りません。"};
constexpr const char* ReadFailedText = "ファイルを読み込めませんでした。";

constexpr std::array<const char*, 2> GridName = {"SGCompareM", "SGCompareS"};

// Panel2's controls as designed: left and top; the name labels reach to 24 pixels short of the
// panel's right edge (the window's width less 24).
constexpr int NameLeft = 4;
constexpr std::array<int, 2> NameTop = {4, 25};
constexpr int NameHeight = 16;
constexpr int NameRightGap = 24 - NameLeft;
constexpr std::array<QPoint, 2> FileInfAt = {QPoint(4, 46), QPoint(5, 62)};
constexpr QPoint Label8At(155, 46);
constexpr QPoint DiffCntAt(159, 62);
constexpr QRect NextDiffLineRect(280, 49, 69, 25);
constexpr QRect BeforeDiffLineRect(358, 49, 69, 25);
constexpr int DesignGridHeight = 264;
// The least room between two controls of Panel2 that a longer text pushes apart.
constexpr int PanelGap = 8;
// Panel2 and the splitter lie above and between the grids.
constexpr int AboveAndBetweenGrids = ComparePage::Panel2Height + ComparePage::SplitterWidth;

// The root as the scan listed it, by device and inode. One that names no folder (not absolute),
// has vanished or is now another folder stays closed, and no file is below it.
RootFolder OpenListedRoot(const std::string& path, const FolderIdentity& listed) {
  RootFolder root;
  if (!listed.Known || !IsAbsolutePath(path) || root.Open(path) != 0 || root.Identity() != listed)
    return RootFolder();
  return root;
}

QLabel* PanelLabel(QWidget* panel, const char* name, const QString& caption, QPoint at) {
  auto* label = Named<QLabel>(name, caption, panel);
  label->move(at);
  label->adjustSize();
  return label;
}

QPushButton* PanelButton(QWidget* panel, const char* name, const QString& caption,
                         const QRect& rect) {
  auto* button = Named<QPushButton>(name, caption, panel);
  button->setGeometry(rect);
  return button;
}

void SetLabelText(QLabel& label, const QString& text) {
  label.setText(text);
  label.adjustSize();
}

}  // namespace

ComparePage::ComparePage(MainState& state, TQvMessageBox& log, const ServiceBundle& services,
                         QWidget* parent)
    : QWidget(parent), state_(state), log_(log), boxes_(services.Boxes()) {
  setObjectName(QStringLiteral("ComparePage"));
  setFont(FixedJapaneseFont());
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  panel2_ = Named<QWidget>("Panel2", this);
  panel2_->setFixedHeight(Panel2Height);
  BuildPanel2();
  layout->addWidget(panel2_);

  spCompare_ = Named<QSplitter>("SPCompare", Qt::Vertical, this);
  spCompare_->setHandleWidth(SplitterWidth);
  spCompare_->setOpaqueResize(true);
  spCompare_->setChildrenCollapsible(false);
  for (const std::size_t side : {MainSide, SubSide}) {
    auto* grid =
        new CompareGridView(GridName[side], QColor::fromRgb(CompareGridRgb[side]), spCompare_);
    grid->setMinimumHeight(GridMinimumHeight);
    models_[side] =
        new CompareRowsModel(state_.CompareRows, side, QColor::fromRgb(CompareGridRgb[side]), this);
    grid->setModel(models_[side]);
    grid->setColumnWidth(CompareRowsModel::ColumnLineNo, CompareGridView::LineNoWidth);
    grid->setColumnWidth(CompareRowsModel::ColumnText, CompareGridView::DesignTextWidth);
    spCompare_->addWidget(grid);
    grids_[side] = grid;
    ConnectGuarded(grid->verticalScrollBar(), &QScrollBar::valueChanged, this, boxes_,
                   [this, side] { GridTopLeftChanged(side); });
    ConnectGuarded(grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, boxes_,
                   [this, side] { GridCurrentRowChanged(side); });
    ConnectGuarded(grid, &CompareGridView::ViewportResized, this, boxes_,
                   [this, side] { FitTextColumn(side); });
  }
  models_[MainSide]->SetPeer(models_[SubSide]);
  models_[SubSide]->SetPeer(models_[MainSide]);
  spCompare_->setStretchFactor(SubSide, 1);
  spCompare_->setSizes({DesignGridHeight, DesignGridHeight});
  layout->addWidget(spCompare_, 1);

  ConnectGuarded(btNextDiffLine_, &QPushButton::clicked, this, boxes_,
                 [this] { BTNextDiffLineClick(); });
  ConnectGuarded(btBeforeDiffLine_, &QPushButton::clicked, this, boxes_,
                 [this] { BTBeforeDiffLineClick(); });
  ConnectGuarded(cbIgnoreBlanks_, &QCheckBox::toggled, this, boxes_,
                 [this](bool on) { IgnoreBlanksToggled(on); });
  // The keys do what the buttons do, wherever the focus is on the tab.
  const struct {
    QKeySequence Key;
    bool Down;
  } keys[] = {{QKeySequence(Qt::Key_F7), true},
              {QKeySequence(Qt::SHIFT | Qt::Key_F7), false},
              {QKeySequence(Qt::ALT | Qt::Key_Down), true},
              {QKeySequence(Qt::ALT | Qt::Key_Up), false}};
  for (const auto& key : keys) {
    auto* shortcut = new QShortcut(key.Key, this);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    ConnectGuarded(shortcut, &QShortcut::activated, this, boxes_,
                   [this, down = key.Down] { GoToDifferingBlock(down); });
  }
}

ComparePage::~ComparePage() = default;

void ComparePage::BuildPanel2() {
  // Panel2 keeps the design's pixel positions; only the two name labels follow its width.
  panel2_->setFont(ProportionalJapaneseFont());
  const std::array<QString, 2> nameCaptions = {QStringLiteral("Main File Name "),
                                               QStringLiteral("Sub File Name ")};
  const std::array<const char*, 2> nameNames = {"LBMainDiffFileName", "LBSubDiffFileName"};
  const std::array<QString, 2> infCaptions = {QStringLiteral("Main File : ???行"),
                                              QStringLiteral("Sub File  : ???行")};
  const std::array<const char*, 2> infNames = {"LBMainFileInf", "LBSubFileInf"};
  for (const std::size_t side : {MainSide, SubSide}) {
    auto* name = Named<QLabel>(nameNames[side], nameCaptions[side], panel2_);
    name->setAutoFillBackground(true);
    SetFixedBackground(*name, QColor::fromRgb(SideRgb[side]));
    diffFileName_[side] = name;
    fileInf_[side] = PanelLabel(panel2_, infNames[side], infCaptions[side], FileInfAt[side]);
  }
  label8_ = PanelLabel(panel2_, "Label8", QStringLiteral("違う行数"), Label8At);
  lbDiffCnt_ = PanelLabel(panel2_, "LBDiffCnt", QStringLiteral("???行"), DiffCntAt);
  btNextDiffLine_ =
      PanelButton(panel2_, "BTNextDiffLine", QStringLiteral("↓違う行"), NextDiffLineRect);
  btBeforeDiffLine_ =
      PanelButton(panel2_, "BTBeforeDiffLine", QStringLiteral("↑違う行"), BeforeDiffLineRect);
  cbIgnoreBlanks_ =
      Named<QCheckBox>("CBIgnoreBlanks", QStringLiteral("空白の違いを無視する"), panel2_);
  cbIgnoreBlanks_->adjustSize();
  panel2_->installEventFilter(this);
  PlacePanel2();
}

void ComparePage::PlacePanel2() {
  for (const std::size_t side : {MainSide, SubSide}) {
    diffFileName_[side]->setGeometry(NameLeft, NameTop[side],
                                     std::max(0, panel2_->width() - NameLeft - NameRightGap),
                                     NameHeight);
  }
  // The designed places, unless the file information or the count has grown into what stands to
  // its right: then that moves right as far as needed.
  int infRight = 0;
  for (const std::size_t side : {MainSide, SubSide})
    infRight = std::max(infRight, fileInf_[side]->geometry().right());
  const int countShift = std::max(0, infRight + PanelGap - Label8At.x());
  label8_->move(Label8At + QPoint(countShift, 0));
  lbDiffCnt_->move(DiffCntAt + QPoint(countShift, 0));
  const int countRight = std::max(label8_->geometry().right(), lbDiffCnt_->geometry().right());
  const int buttonShift = std::max(0, countRight + PanelGap - NextDiffLineRect.left());
  btNextDiffLine_->setGeometry(NextDiffLineRect.translated(buttonShift, 0));
  btBeforeDiffLine_->setGeometry(BeforeDiffLineRect.translated(buttonShift, 0));
  cbIgnoreBlanks_->move(btBeforeDiffLine_->geometry().right() + 1 + PanelGap,
                        btBeforeDiffLine_->geometry().center().y() - cbIgnoreBlanks_->height() / 2);
}

bool ComparePage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == panel2_ && event->type() == QEvent::Resize) PlacePanel2();
  return QWidget::eventFilter(watched, event);
}

void ComparePage::InformTooLarge() {
  // The user learns the limit and where to raise it.
  const QString limit =
      QString::fromStdString(ListSizeText(state_.Settings.compfmax, ",")).trimmed();
  boxes_.Information(
      ApplicationTitle(),
      QString::fromUtf8(TooLargeText) +
          QStringLiteral("（上限 %1 バイト: 設定ファイル option の compfmax）").arg(limit));
}

void ComparePage::Inform(const char* text) {
  boxes_.Information(ApplicationTitle(), QString::fromUtf8(text));
}

void ComparePage::TSCompareShow() {
  // The settings are read after the page is built; the box shows them from the first showing on.
  {
    const QSignalBlocker quiet(cbIgnoreBlanks_);
    cbIgnoreBlanks_->setChecked(state_.Settings.blankignore);
  }
  const ShownList& shown = state_.Shown;
  const PathEntry* entry = shown.EntryAt(shown.CurrentRow);
  if (entry == nullptr) return Inform(NoFileSelectedText);
  if (IsFolder(entry->Attr)) return Inform(FolderSelectedText);
  const std::int32_t limit = state_.Settings.compfmax;
  if (IsTooLargeToCompare(entry->MainSize, limit) || IsTooLargeToCompare(entry->SubSize, limit))
    return InformTooLarge();

  // The roots of the scan that listed the row, not the folder edits, which may have moved since.
  const std::array<const std::string*, 2> roots = {&shown.MainRoot, &shown.SubRoot};
  for (const std::size_t side : {MainSide, SubSide}) {
    comparePath_[side] = SidePath(*roots[side], entry->Path);
    diffFileName_[side]->setText(QStringLiteral(" ") + ShownPath(comparePath_[side]));
  }
  PlacePanel2();
  log_.AddLine(QString());
  log_.AddFormat(u"テキストファイル比較：メイン　%s", ShownPath(MainComparePath()));
  log_.AddFormat(u"　　　　　　　　　　　　 ：サ ブ　%s", ShownPath(SubComparePath()));
  // Both files are reached below their roots without following a link, as the scan saw them: a
  // path that crosses a link names no file, and the file outside is never shown.
  const std::array<RootFolder, 2> folders = {
      OpenListedRoot(shown.MainRoot, shown.List()->MainRootIdentity),
      OpenListedRoot(shown.SubRoot, shown.List()->SubRootIdentity)};
  for (const std::size_t side : {MainSide, SubSide}) {
    if (!RegularFileExistsBelow(folders[side], entry->Path)) return Inform(MissingFileText[side]);
  }
  LoadAndShow(folders[MainSide], folders[SubSide], entry->Path);
}

bool ComparePage::LoadAndShow(const RootFolder& mainRoot, const RootFolder& subRoot,
                              const std::string& relative) {
  CompareLoad load = LoadCompareRows(mainRoot, relative, subRoot, relative,
                                     state_.Settings.compfmax, state_.Settings.blankignore);
  if (!load) {
    // The file changed since the list was made; the previous comparison stays on show.
    if (load.Status == ReadStatus::TooLarge) {
      InformTooLarge();
    } else {
      boxes_.Error(ApplicationTitle(),
                   QString::fromUtf8(ReadFailedText) + QLatin1Char('\n') +
                       ShownPath(load.FailedPath) + QLatin1Char('\n') +
                       QString::fromStdString(std::generic_category().message(load.Error)));
    }
    return false;
  }
  CompareRows& rows = state_.CompareRows;
  rows = std::move(load.Rows);

  const int gridHeight = (height() - AboveAndBetweenGrids) / 2;
  spCompare_->setSizes({gridHeight, std::max(0, height() - AboveAndBetweenGrids - gridHeight)});
  // Source lines or dump rows, before the gap rows; then how a text file is written.
  const std::array<QString, 2> infFormats = {QStringLiteral("Main File 全 %1行"),
                                             QStringLiteral("Sub File  全 %1行")};
  for (const std::size_t side : {MainSide, SubSide}) {
    QString text = infFormats[side].arg(rows.Sides[side].RowCount());
    if (rows.Mode == CompareMode::Text) {
      text += QStringLiteral("  %1 %2").arg(
          QString::fromUtf8(FileEncodingName(load.Forms[side].Encoding)),
          QString::fromUtf8(LineEndingName(load.Forms[side].Ending)));
    }
    SetLabelText(*fileInf_[side], text);
  }

  AlignRows(rows);
  {
    const QScopedValueRollback<bool> quiet(syncing_, true);
    for (const std::size_t side : {MainSide, SubSide}) FillGrid(side);
  }
  lastRow_ = {CurrentRow(*grids_[MainSide]), CurrentRow(*grids_[SubSide])};
  const std::size_t differing = CountDifferingRows(rows);
  const std::string reason = NoDifferingRowReason(load, rows);
  if (!reason.empty()) {
    SetLabelText(*lbDiffCnt_, QString::fromStdString(reason));
    log_.AddLine(QString::fromStdString(reason));
  } else {
    SetLabelText(*lbDiffCnt_,
                 differing < 1 ? QStringLiteral("無し") : QStringLiteral("%1行").arg(differing));
  }
  PlacePanel2();
  return true;
}

void ComparePage::FillGrid(std::size_t side) {
  CompareGridView& grid = *grids_[side];
  models_[side]->Refresh();
  // The scroll range follows the new row count now, not at the next layout pass.
  grid.doItemsLayout();
  SetCurrentRow(grid, 0);
  SetTopRow(grid, 0);
  grid.setColumnWidth(CompareRowsModel::ColumnLineNo, CompareGridView::LineNoWidth);
  FitTextColumn(side);
}

void ComparePage::FitTextColumn(std::size_t side) {
  FitColumnWidth(*grids_[side], CompareRowsModel::ColumnText);
}

void ComparePage::IgnoreBlanksToggled(bool on) {
  state_.Settings.blankignore = on;
  // The pair on show is compared again under the new rule, as a new showing would.
  if (isVisible() && !comparePath_[MainSide].empty()) TSCompareShow();
}

void ComparePage::GoToDifferingBlock(bool down) {
  const CompareRows& rows = state_.CompareRows;
  if (rows.Main().RowCount() == 0 || rows.Sub().RowCount() == 0) return;
  const int current = std::max(CurrentRow(*grids_[MainSide]), 0);
  const std::size_t from = static_cast<std::size_t>(current);
  const std::size_t target =
      down ? NextDifferingBlock(rows, from) : PreviousDifferingBlock(rows, from);
  ScrollAndSelect(static_cast<int>(target));
}

void ComparePage::ScrollAndSelect(int target) {
  CompareGridView& main = *grids_[MainSide];
  // The focus first: the grid with the focus leads, so the sub grid follows the main one.
  main.setFocus(Qt::OtherFocusReason);
  {
    const QScopedValueRollback<bool> quiet(syncing_, true);
    SetTopRow(main,
              static_cast<int>(CenteredTopRow(target, FullyVisibleRows(main), GridRowCount(main))));
    SetCurrentRow(main, target);
  }
  SyncFrom(MainSide);
}

void ComparePage::GridTopLeftChanged(std::size_t side) {
  if (!syncing_) SyncFrom(side);
}

void ComparePage::GridCurrentRowChanged(std::size_t side) {
  const int row = CurrentRow(*grids_[side]);
  if (!syncing_ && row != lastRow_[side]) SyncFrom(side);
  lastRow_[side] = row;
}

void ComparePage::SyncFrom(std::size_t side) {
  const QScopedValueRollback<bool> quiet(syncing_, true);
  SyncGridRows(*grids_[side], *grids_[OtherSide(side)]);
}

}  // namespace tarvex
