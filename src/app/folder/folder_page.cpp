#include "app/folder/folder_page.h"

#include <sys/stat.h>

#include <algorithm>

#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QDropEvent>
#include <QEvent>
#include <QFile>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/folder/folder_tree_view.h"
#include "app/log/qv_message_box.h"
#include "app/services/services.h"
#include "app/widgets/app_identity.h"
#include "app/widgets/combo_mirror.h"
#include "app/widgets/display_text.h"
#include "app/widgets/filter_names_model.h"
#include "app/widgets/fixed_colours.h"
#include "app/widgets/handler_guard.h"
#include "app/widgets/japanese_fonts.h"
#include "app/widgets/named_widget.h"
#include "app/widgets/side_colours.h"
#include "core/fs/folder_address.h"
#include "core/session/main_state.h"
#include "core/settings/compare_pair.h"

namespace tarvex {

namespace {

// Colour numbers of the design are blue-green-red; these are the same colours as RGB.
const QColor PairFoundColour(0xF0, 0xFF, 0xF0);
const QColor PairMissingColour(0xFF, 0xAA, 0xCC);

void SetBackground(QWidget& widget, const QColor& colour) { SetFixedBackground(widget, colour); }

QLineEdit* FolderEdit(const char* name, const QColor& colour, QWidget* parent) {
  auto* edit = Named<QLineEdit>(name, parent);
  SetBackground(*edit, colour);
  edit->setAcceptDrops(true);
  // The model lists folders in its own thread, so a slow mount never holds up typing.
  auto* folders = new QFileSystemModel(edit);
  folders->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Drives);
  folders->setRootPath(QString());
  auto* completer = new QCompleter(folders, edit);
  completer->setCompletionMode(QCompleter::PopupCompletion);
  edit->setCompleter(completer);
  return edit;
}

bool IsFolderPath(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

FolderPage::FolderPage(MainState& state, TQvMessageBox& log, const ServiceBundle& services,
                       FilterNamesModel& filterNames, QWidget* parent)
    : QWidget(parent),
      state_(state),
      log_(log),
      boxes_(services.Boxes()),
      desktop_(services.Desktop()) {
  setObjectName(QStringLiteral("FolderPage"));
  cbComparePath_ = Named<QComboBox>("CBComparePath", this);
  cbComparePath_->setFont(FixedJapaneseFont());
  cbComparePath_->setMaxVisibleItems(20);
  cbComparePath_->setContextMenuPolicy(Qt::CustomContextMenu);
  SetBackground(*cbComparePath_, PairFoundColour);

  edFolder_[Side::Main] = FolderEdit("EDMainFolder", SideColour(Side::Main), this);
  edFolder_[Side::Sub] = FolderEdit("EDSubFolder", SideColour(Side::Sub), this);

  cbFilterChoice2_ = Named<QComboBox>("CBFilterChoice2", this);
  cbFilterChoice2_->setFont(FixedJapaneseFont());
  cbFilterChoice2_->setMaxVisibleItems(20);
  filterNames.Bind(*cbFilterChoice2_);

  btSwapFolders_ = Named<QPushButton>("BTSwapFolders", QStringLiteral("⇅ 入れ替え"), this);
  btSwapFolders_->setToolTip(QStringLiteral("メインとサブのフォルダを入れ替えます (Ctrl+Shift+S)"));
  btSwapFolders_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);

  auto* grid = new QGridLayout;
  grid->setContentsMargins(8, 3, 4, 0);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(2);
  const std::pair<const char*, QString> labels[] = {
      {"LBCompareCombo", QStringLiteral("比較パス")},
      {"LBMainFolder", QStringLiteral("ﾒｲﾝ ﾌｫﾙﾀﾞ")},
      {"LBSubFolder", QStringLiteral("ｻﾌﾞ ﾌｫﾙﾀﾞ")},
      {"LBFilter", QStringLiteral("フィルタ名")},
  };
  QWidget* fields[] = {cbComparePath_, edFolder_[Side::Main], edFolder_[Side::Sub],
                       cbFilterChoice2_};
  for (int row = 0; row < 4; ++row) {
    auto* label = Named<QLabel>(labels[row].first, labels[row].second, this);
    grid->addWidget(label, row, 0);
    grid->addWidget(fields[row], row, 1);
  }
  // Beside the two edits it swaps.
  grid->addWidget(btSwapFolders_, 1, 2, 2, 1);

  treeArea_ = Named<QWidget>("PNFolderTrees", this);
  treeArea_->installEventFilter(this);
  stv_[Side::Main] = Named<FolderTreeView>("STVMain", treeArea_);
  stv_[Side::Sub] = Named<FolderTreeView>("STVSub", treeArea_);
  std::vector<std::string> volumes;
  desktop_.ListLogicalDrives(volumes);
  for (const Side side : BothSides) {
    SetBackground(*stv_[side], SideColour(side));
    stv_[side]->AddPlaces(HomeFolder(), volumes);
    pmmShowFolder_[side] = new QAction(QStringLiteral("ファイルマネージャで開く"), stv_[side]);
    pmmShowFolder_[side]->setObjectName(side == Side::Main ? QStringLiteral("PMMShowMainFolder")
                                                           : QStringLiteral("PMMShowSubFolder"));
    stv_[side]->addAction(pmmShowFolder_[side]);
    stv_[side]->setContextMenuPolicy(Qt::ActionsContextMenu);
    ConnectGuarded(pmmShowFolder_[side], &QAction::triggered, this, boxes_, [this, side] {
      if (folder_[side].starts_with('/')) desktop_.ShowFolder(folder_[side]);
    });
    // Drags land on the viewport of a tree.
    for (QWidget* target : {static_cast<QWidget*>(edFolder_[side]),
                            static_cast<QWidget*>(stv_[side]), stv_[side]->viewport()}) {
      target->setAcceptDrops(true);
      target->installEventFilter(this);
    }
    ConnectGuarded(edFolder_[side], &QLineEdit::editingFinished, this, boxes_,
                   [this, side] { EDFolderCommit(side); });
  }
  setAcceptDrops(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(4);
  layout->addLayout(grid);
  layout->addWidget(treeArea_, 1);

  pmCombo_ = Named<QMenu>("PMCombo", this);
  pmmCBDelList_ = pmCombo_->addAction(QStringLiteral("この比較ペアをリストから削除する"));
  pmmCBDelList_->setObjectName(QStringLiteral("PMMCBDelList"));

  ConnectGuarded(cbComparePath_, &QComboBox::activated, this, boxes_,
                 [this] { CBComparePathChange(); });
  connect(cbFilterChoice2_, &QComboBox::activated, this, &FolderPage::FilterChoiceChanged);
  connect(cbComparePath_, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { pmCombo_->popup(cbComparePath_->mapToGlobal(at)); });
  ConnectGuarded(pmmCBDelList_, &QAction::triggered, this, boxes_, [this] { PMMCBDelListClick(); });
  ConnectGuarded(btSwapFolders_, &QPushButton::clicked, this, boxes_, [this] { SwapFolders(); });
  auto* swapKey = new QShortcut(QKeySequence(QStringLiteral("Ctrl+Shift+S")), this);
  swapKey->setObjectName(QStringLiteral("SCSwapFolders"));
  swapKey->setContext(Qt::WidgetWithChildrenShortcut);
  ConnectGuarded(swapKey, &QShortcut::activated, this, boxes_, [this] { SwapFolders(); });
  for (const Side side : BothSides) {
    ConnectGuarded(stv_[side], &FolderTreeView::SelectedPathChanged, this, boxes_,
                   [this, side] { STVChange(side); });
    STVChange(side);
  }
}

std::string FolderPage::CurrentPair() const { return SelectedComboText(*cbComparePath_); }

void FolderPage::ShowHistory() { FillCombo(*cbComparePath_, state_.Settings.CompareList); }

void FolderPage::CBComparePathChange() {
  ComboItems& history = state_.Settings.CompareList;
  const std::string pair = SelectedComboText(*cbComparePath_);
  BringToTop(history, pair);
  ShowHistory();
  const std::string selected = history.Items.front();
  PerSide<std::string> folders;
  SplitComparePair(selected, folders.Main, folders.Sub);
  log_.AddFormat(u"パス切り替え %s", ShownText(selected));
  // The sub tree is not walked once the main folder is missing.
  const bool found = SelectTreePath(*stv_[Side::Main], folders.Main) &&
                     SelectTreePath(*stv_[Side::Sub], folders.Sub);
  SetComboColour(found);
  Q_EMIT PairApplied(selected);
  stv_[Side::Main]->setFocus();
}

bool FolderPage::SelectTreePath(FolderTreeView& tree, const std::string& path) {
  const bool found = tree.SelectPath(path);
  if (!found && !path.empty()) {
    log_.AddFormat(u"パスが見つかりません %s", ShownText(path));
  }
  return found;
}

void FolderPage::SwapFolders() {
  const PerSide<std::string> folders = folder_;
  WalkTo(Side::Main, folders.Sub);
  WalkTo(Side::Sub, folders.Main);
}

bool FolderPage::WalkTo(Side side, const std::string& folder) {
  if (!folder.starts_with('/')) {
    stv_[side]->setCurrentItem(stv_[side]->ComputerItem());
    return !folder.empty();
  }
  return SelectTreePath(*stv_[side], folder);
}

std::string FolderPage::HomeFolder() const {
  return QFile::encodeName(QDir::homePath()).toStdString();
}

void FolderPage::EDFolderCommit(Side side) {
  // The text is compared, not the edit's modified flag, which a picked completion clears.
  // Unchanged, it stays: a name that is not UTF-8 is shown decoded and would not encode back.
  const QString text = edFolder_[side]->text();
  if (text == ShownText(folder_[side])) return;
  TakeFolder(side, FolderFromText(QFile::encodeName(text).toStdString(), HomeFolder()), false,
             text);
}

bool FolderPage::TakeFolder(Side side, std::string path, bool fileTakesFolder,
                            const QString& given) {
  struct stat st {};
  if (fileTakesFolder && !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) {
    // Paths here are absolute: the parent of "/x" is "/".
    path.erase(std::max<std::size_t>(path.rfind('/'), 1));
  }
  if (path.empty() || !IsFolderPath(path)) {
    // The edit is reset first: the message takes the focus, and leaving the edit commits again.
    STVChange(side);
    boxes_.Error(ApplicationTitle(), QStringLiteral("フォルダが見つかりません: ") + given);
    return false;
  }
  const bool found = SelectTreePath(*stv_[side], path);
  // The tree may have had that folder already; the edit shows it as the tree names it.
  STVChange(side);
  return found;
}

std::vector<std::string> FolderPage::DroppedPaths(const QMimeData* mime) const {
  std::vector<std::string> paths;
  if (mime == nullptr || !mime->hasFormat(QStringLiteral("text/uri-list"))) return paths;
  // The list's own bytes: a name that is not UTF-8 arrives percent-encoded and survives.
  const QByteArray list = mime->data(QStringLiteral("text/uri-list"));
  for (const QByteArray& line : list.split('\n')) {
    const QByteArray address = line.trimmed();
    if (address.isEmpty() || address.startsWith('#')) continue;
    if (!address.toLower().startsWith("file:")) continue;
    std::string path = FolderFromText(address.toStdString(), HomeFolder());
    if (!path.empty()) paths.push_back(std::move(path));
  }
  return paths;
}

void FolderPage::DropPaths(const std::vector<std::string>& paths, Side side) {
  if (paths.size() >= 2) {
    for (const Side each : BothSides) {
      const std::string& path = paths[each == Side::Main ? 0 : 1];
      TakeFolder(each, path, true, ShownText(path));
    }
    return;
  }
  if (!paths.empty()) TakeFolder(side, paths.front(), true, ShownText(paths.front()));
}

bool FolderPage::FilterFolderDrop(QEvent* event, Side side) {
  auto* drop = static_cast<QDropEvent*>(event);
  const std::vector<std::string> paths = DroppedPaths(drop->mimeData());
  if (paths.empty()) return false;
  drop->setDropAction(Qt::CopyAction);
  drop->accept();
  if (event->type() == QEvent::Drop) {
    RunGuarded(boxes_, [&] { DropPaths(paths, side); });
  }
  return true;
}

void FolderPage::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void FolderPage::dragMoveEvent(QDragMoveEvent* event) {
  // Away from the edits and trees only a pair says which side is which.
  if (DroppedPaths(event->mimeData()).size() >= 2) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  }
}

void FolderPage::dropEvent(QDropEvent* event) {
  const std::vector<std::string> paths = DroppedPaths(event->mimeData());
  if (paths.size() < 2) return;
  event->setDropAction(Qt::CopyAction);
  event->accept();
  RunGuarded(boxes_, [&] { DropPaths(paths, Side::Main); });
}

void FolderPage::RecordComparePair() {
  if (folder_.Main.empty() || folder_.Sub.empty()) return;
  BringToTop(state_.Settings.CompareList, MakeComparePair(folder_.Main, folder_.Sub));
  ShowHistory();
}

void FolderPage::PMMCBDelListClick() {
  ComboItems& history = state_.Settings.CompareList;
  DeleteHistoryEntry(history, cbComparePath_->currentIndex());
  for (const Side side : BothSides) {
    SelectTreePath(*stv_[side], {});
    STVChange(side);
  }
  ShowHistory();
}

void FolderPage::STVChange(Side side) {
  folder_[side] = stv_[side]->SelectedPath();
  edFolder_[side]->setText(ShownText(folder_[side]));
  if (pmmShowFolder_[side] != nullptr) {
    pmmShowFolder_[side]->setEnabled(folder_[side].starts_with('/'));
  }
}

void FolderPage::SetComboColour(bool found) {
  SetBackground(*cbComparePath_, found ? PairFoundColour : PairMissingColour);
}

bool FolderPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == treeArea_ && event->type() == QEvent::Resize) TSFolderResize();
  const QEvent::Type type = event->type();
  if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) {
    for (const Side side : BothSides) {
      if (watched == edFolder_[side] || watched == stv_[side] ||
          watched == stv_[side]->viewport()) {
        return FilterFolderDrop(event, side);
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void FolderPage::TSFolderResize() {
  // The trees share the main window's width, each a little under half.
  const int w = window()->width();
  const int width = w / 2 - 12;
  const int height = treeArea_->height();
  stv_[Side::Main]->setGeometry(2, 0, width, height);
  stv_[Side::Sub]->setGeometry(w / 2 - 6, 0, width, height);
}

}  // namespace tarvex
