#include "app/list/list_commands.h"

#include <algorithm>
#include <cstddef>
#include <ctime>
#include <optional>

#include "app/list/list_page.h"
#include "app/log/qv_message_box.h"
#include "app/progress/fm_option.h"
#include "app/services/services.h"
#include "app/widgets/app_identity.h"
#include "app/widgets/handler_guard.h"
#include "core/commands/command_journal.h"
#include "core/commands/command_text.h"
#include "core/commands/copy_command.h"
#include "core/commands/delete_command.h"
#include "core/commands/row_menu.h"
#include "core/commands/undo_command.h"
#include "core/session/main_state.h"

namespace tarvex {

namespace {

// The lines a command logged are all in the log once it returns or throws.
struct LogFlushOnExit {
  DialogCommandProgress& Progress;
  ~LogFlushOnExit() { Progress.FlushLog(); }
};

}  // namespace

ListCommands::ListCommands(MainState& state, TQvMessageBox& log, const ServiceBundle& services,
                           ListPage& page, TFMOption& dialog)
    : QObject(&page),
      state_(state),
      boxes_(services.Boxes()),
      files_(services.Files()),
      page_(page),
      progress_(dialog, log, state.CopyCancelRequested, services.Desktop()) {
  connect(&dialog, &TFMOption::CancelRequested, this,
          [this] { state_.CopyCancelRequested = true; });
}

void ListCommands::RunRowCommand(int item, int firstRow, int lastRow) {
  const RowMenuItem& chosen = RowMenuTable.at(static_cast<std::size_t>(item));
  const auto command = static_cast<std::size_t>(chosen.Command);
  RunGuarded(boxes_, [&] {
    if (chosen.Kind == RowMenuKind::Copy) {
      RunCommand<CopyCommand>(CopyCommandTable.at(command), firstRow, lastRow);
    } else if (chosen.Kind == RowMenuKind::Delete) {
      RunCommand<DeleteCommand>(DeleteCommandTable.at(command), firstRow, lastRow);
    } else if (chosen.Kind == RowMenuKind::Undo) {
      RunUndo();
    }
  });
  Q_EMIT CommandFinished();
}

template <typename Command, typename Info>
void ListCommands::RunCommand(const Info& info, int firstRow, int lastRow) {
  // A loop lets other events run at every row; a second command or a rescan meanwhile would
  // change the list under it.
  if (state_.ListGuard.IsHeld() || state_.PathList == nullptr) return;

  CommandResult result;
  try {
    const LogFlushOnExit flush{progress_};
    const ListHold running(state_.ListGuard);
    CommandSettings settings;
    settings.CopyWait = std::clamp(state_.Settings.copywait, 0, MaxCopyWait);
    settings.ScanAttrMask = state_.ScanAttrMask != 0 ? state_.ScanAttrMask : DefaultScanAttrMask;
    CommandJournal journal(JournalFolder(), info.Caption);
    settings.Journal = &journal;
    // The verdicts count only while the list shows them (the option on, a check made).
    settings.Content = state_.Shown.Content != nullptr ? &state_.Content : nullptr;
    Command command(files_, progress_, settings);
    const ShownList& shown = state_.Shown;
    result = command.Run(
        info, CommandScope{*state_.PathList, shown.MainRoot, shown.SubRoot, firstRow, lastRow});
    if (journal.WriteFailed()) progress_.AddLine("　元に戻すための記録を書けませんでした");
  } catch (...) {
    // Rows may have changed before the failure: the grid shows the entries as they are now.
    page_.RefillAfterCommand(0);
    throw;
  }
  if (result.RootChanged) {
    boxes_.Error(ApplicationTitle(), QString::fromUtf8(RootChangedText));
    return;
  }
  if (result.LoopRan) page_.RefillAfterCommand(result.CurrentRow);
}

namespace {

std::string Today() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char text[16] = "";
  if (localtime_r(&now, &local) != nullptr) std::strftime(text, sizeof text, "%Y-%m-%d", &local);
  return text;
}

}  // namespace

void ListCommands::RunUndo() {
  if (state_.ListGuard.IsHeld()) return;
  std::optional<JournalRecord> record = LastUndoableJournal(JournalFolder());
  if (!record) {
    boxes_.Information(ApplicationTitle(), QStringLiteral("元に戻せるコマンドがありません。"));
    return;
  }
  if (!boxes_.Confirm(ApplicationTitle(),
                      QString::fromUtf8(UndoConfirmationText(*record, Today())))) {
    return;
  }
  CommandResult result;
  {
    const LogFlushOnExit flush{progress_};
    const ListHold running(state_.ListGuard);
    CommandSettings settings;
    settings.CopyWait = std::clamp(state_.Settings.copywait, 0, MaxCopyWait);
    UndoCommand undo(files_, progress_, settings);
    result = undo.Run(*record);
  }
  if (result.RootChanged) {
    boxes_.Error(ApplicationTitle(), QString::fromUtf8(UndoRootChangedText));
    return;
  }
  // The files changed behind the list's back: only a rescan shows them as they are.
  page_.RescanAfterUndo();
}

}  // namespace tarvex
