#include "app/list/list_commands.h"

#include <QAction>
#include <QItemSelectionModel>
#include <algorithm>

#include "app/list/list_page.h"
#include "app/list/path_grid_view.h"
#include "app/list/path_list_model.h"
#include "app/log/qv_message_box.h"
#include "app/progress/fm_option.h"
#include "app/widgets/app_identity.h"
#include "app/widgets/handler_guard.h"
#include "core/session/main_state.h"
#include "app/services/message_boxes.h"
#include "core/commands/command_text.h"
#include "core/commands/copy_command.h"
#include "core/commands/delete_command.h"

namespace tarvex {

ListCommands::ListCommands(MainState& state, TQvMessageBox& log, MessageBoxes& boxes,
                           ListPage& page, TFMOption& dialog, FileOperations* files)
    : QObject(&page),
      state_(state),
      boxes_(boxes),
      page_(page),
      files_(files != nullptr ? *files : posixFiles_),
      progress_(dialog, log, state.CopyCancelRequested) {
  connect(&dialog, &TFMOption::CancelRequested, this,
          [this] { state_.CopyCancelRequested = true; });
  for (QAction* action :
       {page.PMMNewMainToSub, page.PMMNewSubToMain, page.PMMMainToSub, page.PMMSubToMain}) {
    connect(action, &QAction::triggered, this, [this, action] {
      RunGuarded(boxes_, [this, action] { PMMCopyClick(*action); });
      Q_EMIT CommandFinished();
    });
  }
  for (QAction* action : {page.PMMDelFileMain, page.PMMDelFileSub, page.PMMDelFileAll}) {
    connect(action, &QAction::triggered, this, [this, action] {
      RunGuarded(boxes_, [this, action] { PMMDelFileClick(*action); });
      Q_EMIT CommandFinished();
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
  // A loop lets other events run at every row; a second command or a rescan meanwhile would
  // change the list under it.
  if (state_.ListGuard.IsHeld() || state_.PathList == nullptr) return;
  int first = 0, last = 0;
  if (!SelectedRows(first, last)) return;
  PathGridView& grid = *page_.SGPath();
  const int topRow = grid.rowAt(0);

  CommandResult result;
  try {
    const ListHold running(state_.ListGuard);
    CommandSettings settings;
    settings.CopyWait = std::clamp(state_.Settings.copywait, 0, MaxCopyWait);
    settings.ScanAttrMask = state_.ScanAttrMask != 0 ? state_.ScanAttrMask : DefaultScanAttrMask;
    Command command(files_, progress_, settings);
    const ShownList& shown = state_.Shown;
    result = command.Run(
        info, CommandScope{*state_.PathList, shown.MainRoot, shown.SubRoot, first, last});
  } catch (...) {
    // Rows may have changed before the failure: the grid shows the entries as they are now.
    page_.FillPathGrid();
    throw;
  }
  if (result.RootChanged) {
    boxes_.Error(ApplicationTitle(), QString::fromUtf8(RootChangedText));
    return;
  }
  if (!result.LoopRan) return;

  page_.FillPathGrid();
  PathListModel& model = *page_.PathModel();
  if (topRow >= 0 && topRow < model.rowCount()) {
    grid.scrollTo(model.index(topRow, 0), QAbstractItemView::PositionAtTop);
  }
  page_.SelectRow(result.CurrentRow - 1);
}

void ListCommands::PMMCopyClick(const QAction& sender) {
  RunCommand<CopyCommand>(CopyCommandFor(sender.objectName().toStdString()));
}

void ListCommands::PMMDelFileClick(const QAction& sender) {
  RunCommand<DeleteCommand>(DeleteCommandFor(sender.objectName().toStdString()));
}

}  // namespace tarvex
