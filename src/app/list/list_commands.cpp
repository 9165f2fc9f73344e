#include "app/list/list_commands.h"

#include <QAction>
#include <QItemSelectionModel>

#include "app/folder/folder_page.h"
#include "app/list/list_page.h"
#include "app/list/path_grid_view.h"
#include "app/list/path_list_model.h"
#include "app/progress/fm_option.h"
#include "app/shell/fm_main.h"
#include "app/shell/handler_guard.h"
#include "core/commands/copy_command.h"
#include "core/commands/delete_command.h"

namespace tarvex {

ListCommands::ListCommands(TFMMain& window, ListPage& page, TFMOption& dialog,
                           FileOperations* files)
    : QObject(&page),
      window_(window),
      page_(page),
      files_(files != nullptr ? *files : posixFiles_),
      progress_(dialog, window.MsgBox(), window.State().CopyCancelRequested) {
  connect(&dialog, &TFMOption::CancelRequested, this,
          [this] { window_.State().CopyCancelRequested = true; });
  for (QAction* action :
       {page.PMMNewMainToSub, page.PMMNewSubToMain, page.PMMMainToSub, page.PMMSubToMain}) {
    connect(action, &QAction::triggered, this, [this, action] {
      RunGuarded(window_.Boxes(), [this, action] { PMMCopyClick(*action); });
    });
  }
  for (QAction* action : {page.PMMDelFileMain, page.PMMDelFileSub, page.PMMDelFileAll}) {
    connect(action, &QAction::triggered, this, [this, action] {
      RunGuarded(window_.Boxes(), [this, action] { PMMDelFileClick(*action); });
    });
  }
}

bool ListCommands::SelectedRows(int& first, int& last) const {
  const QModelIndexList rows = page_.SGPath()->selectionModel()->selectedRows();
  if (rows.isEmpty()) return false;
  first = last = rows.front().row();
  for (const QModelIndex& index : rows) {
    first = std::min(first, index.row());
    last = std::max(last, index.row());
  }
  ++first;  // grid rows count from 1
  ++last;
  return true;
}

template <typename Command, typename Info>
void ListCommands::RunCommand(const Info& info) {
  MainState& state = window_.State();
  // A loop lets other events run at every row; a second command or a rescan meanwhile would
  // change the list under it.
  if (state.CommandRunning || state.PathList == nullptr) return;
  int first = 0, last = 0;
  if (!SelectedRows(first, last)) return;
  PathGridView& grid = *page_.SGPath();
  const int topRow = grid.rowAt(0);

  state.CommandRunning = true;
  CommandResult result;
  try {
    CommandSettings settings;
    settings.CopyWait = state.Settings.copywait;
    settings.ScanAttrMask = state.ScanAttrMask != 0 ? state.ScanAttrMask : DefaultScanAttrMask;
    Command command(files_, progress_, settings);
    result = command.Run(info, CommandScope{*state.PathList, window_.Folders().MainFolderText(),
                                            window_.Folders().SubFolderText(), first, last});
  } catch (...) {
    state.CommandRunning = false;
    page_.FillPathGrid();
    throw;
  }
  state.CommandRunning = false;
  if (!result.LoopRan) return;

  page_.FillPathGrid();
  PathListModel& model = *page_.PathModel();
  if (topRow >= 0 && topRow < model.rowCount()) {
    grid.scrollTo(model.index(topRow, 0), QAbstractItemView::PositionAtTop);
  }
  const int current = result.CurrentRow - 1;
  if (current >= 0 && current < model.rowCount()) {
    grid.selectionModel()->setCurrentIndex(
        model.index(current, 1), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  }
}

void ListCommands::PMMCopyClick(const QAction& sender) {
  RunCommand<CopyCommand>(CopyCommandFor(sender.objectName().toStdString()));
}

void ListCommands::PMMDelFileClick(const QAction& sender) {
  RunCommand<DeleteCommand>(DeleteCommandFor(sender.objectName().toStdString()));
}

}  // namespace tarvex
