#pragma once
// The list's row menu as one table: its items in order, each a copy or a delete command of the
// command tables (which hold the captions and item names), the rescan, or a separator. The window
// builds the menu from it and hands the chosen item back with the rows, so a new command touches
// this table and one handler.

#include <array>

namespace tarvex {

enum class RowMenuKind { Copy, Delete, UpdateList, Separator, Undo, Open };

struct RowMenuItem {
  RowMenuKind Kind;
  int Command = 0;  // the row of CopyCommandTable, DeleteCommandTable or OpenCommandTable
  const char* Name = nullptr;  // objectName of a separator
};

inline constexpr const char* UpdateListMenuItem = "PMMUpdateList";
inline constexpr const char* UpdateListCaption = "最新の状態に更新する";
// Takes back the last copy or delete that was not taken back; it needs no selected rows.
inline constexpr const char* UndoMenuItem = "PMMUndo";
inline constexpr const char* UndoCaption = "元に戻す";

// The current row's file with the desktop's default application, on one side, or its folder in the
// desktop's file manager.
enum class OpenTarget { MainFile, SubFile, Folder };
struct OpenCommandInfo {
  const char* MenuItem;
  const char* Caption;
  OpenTarget Target;
};
inline constexpr std::array<OpenCommandInfo, 3> OpenCommandTable = {{
    {"PMMOpenMain", "既定のアプリで開く（メイン）", OpenTarget::MainFile},
    {"PMMOpenSub", "既定のアプリで開く（サブ）", OpenTarget::SubFile},
    {"PMMOpenFolder", "フォルダを開く", OpenTarget::Folder},
}};

inline constexpr std::array<RowMenuItem, 17> RowMenuTable = {{
    {RowMenuKind::Copy, 0},
    {RowMenuKind::Copy, 1},
    {RowMenuKind::Separator, 0, "N1"},
    {RowMenuKind::Copy, 2},
    {RowMenuKind::Copy, 3},
    {RowMenuKind::Separator, 0, "N2"},
    {RowMenuKind::Delete, 0},
    {RowMenuKind::Delete, 1},
    {RowMenuKind::Delete, 2},
    {RowMenuKind::Separator, 0, "N3"},
    {RowMenuKind::UpdateList},
    {RowMenuKind::Separator, 0, "N4"},
    {RowMenuKind::Undo},
    {RowMenuKind::Separator, 0, "N5"},
    {RowMenuKind::Open, 0},
    {RowMenuKind::Open, 1},
    {RowMenuKind::Open, 2},
}};

// The item's objectName and caption (UTF-8).
const char* RowMenuItemName(const RowMenuItem& item);
const char* RowMenuItemCaption(const RowMenuItem& item);

}  // namespace tarvex
