#include "core/commands/row_menu.h"

#include <cstddef>

#include "core/commands/copy_command.h"
#include "core/commands/delete_command.h"

namespace tarvex {

namespace {

std::size_t Row(const RowMenuItem& item) { return static_cast<std::size_t>(item.Command); }

}  // namespace

const char* RowMenuItemName(const RowMenuItem& item) {
  switch (item.Kind) {
    case RowMenuKind::Copy:
      return CopyCommandTable.at(Row(item)).MenuItem;
    case RowMenuKind::Delete:
      return DeleteCommandTable.at(Row(item)).MenuItem;
    case RowMenuKind::UpdateList:
      return UpdateListMenuItem;
    case RowMenuKind::Undo:
      return UndoMenuItem;
    case RowMenuKind::Open:
      return OpenCommandTable.at(Row(item)).MenuItem;
    case RowMenuKind::Separator:
      break;
  }
  return item.Name;
}

const char* RowMenuItemCaption(const RowMenuItem& item) {
  switch (item.Kind) {
    case RowMenuKind::Copy:
      return CopyCommandTable.at(Row(item)).Caption;
    case RowMenuKind::Delete:
      return DeleteCommandTable.at(Row(item)).Caption;
    case RowMenuKind::UpdateList:
      return UpdateListCaption;
    case RowMenuKind::Undo:
      return UndoCaption;
    case RowMenuKind::Open:
      return OpenCommandTable.at(Row(item)).Caption;
    case RowMenuKind::Separator:
      break;
  }
  return "";
}

}  // namespace tarvex
