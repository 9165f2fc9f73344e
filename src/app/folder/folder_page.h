#pragma once
// The folder tab: the history of compared pairs, the two folder edits, the filter choice and the
// two folder trees from which the main and the sub folder are picked.

#include <QWidget>
#include <string>
#include <vector>

#include "core/scan/side.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QAction;
class QPushButton;

namespace tarvex {

class FilterNamesModel;
class DesktopServices;
class FolderTreeView;
class MainState;
class MessageBoxes;
class ServiceBundle;
class TQvMessageBox;

class FolderPage : public QWidget {
  Q_OBJECT

 public:
  // The page shows and changes the history of state's settings, logs to log and reports errors
  // through boxes; all three outlive it.
  // CBFilterChoice2 shows filterNames.
  FolderPage(MainState& state, TQvMessageBox& log, const ServiceBundle& services,
             FilterNamesModel& filterNames, QWidget* parent);

  QComboBox* CBComparePath() const { return cbComparePath_; }
  QComboBox* CBFilterChoice2() const { return cbFilterChoice2_; }
  QLineEdit* EDMainFolder() const { return edFolder_[Side::Main]; }
  QLineEdit* EDSubFolder() const { return edFolder_[Side::Sub]; }
  FolderTreeView* STVMain() const { return stv_[Side::Main]; }
  FolderTreeView* STVSub() const { return stv_[Side::Sub]; }
  QAction* PMMCBDelList() const { return pmmCBDelList_; }
  QPushButton* BTSwapFolders() const { return btSwapFolders_; }
  // "ファイルマネージャで開く" of the tree's pop-up menu.
  QAction* PMMShowFolder(Side side) const { return pmmShowFolder_[side]; }

  // The two roots as the file system has them (the edits show them decoded).
  const std::string& FolderText(Side side) const { return folder_[side]; }
  const std::string& MainFolderText() const { return folder_[Side::Main]; }
  const std::string& SubFolderText() const { return folder_[Side::Sub]; }

  // The selected history entry: the pair the folders were taken from; empty when none.
  std::string CurrentPair() const;
  // Shows the history of the settings with its selection.
  void ShowHistory();
  // Applies the selected history entry: moves it to the top, walks both trees to its folders,
  // logs the switch and has the pair's filter set selected (PairApplied).
  void CBComparePathChange();
  // Records the pair of the two edits at the top of the history.
  void RecordComparePair();
  void PMMCBDelListClick();
  // Walks the tree to the path; logs a path that is not found. True when the whole path was found.
  bool SelectTreePath(FolderTreeView& tree, const std::string& path);
  // Walks each tree to the other's folder (BTSwapFolders, Ctrl+Shift+S).
  void SwapFolders();
  // Takes the path typed or pasted into the side's edit (Return or leaving the edit): its tree
  // walks there; a text that names no folder is refused with a message and the edit shows the
  // tree's folder again.
  void EDFolderCommit(Side side);

 Q_SIGNALS:
  // A history entry was applied: its filter set is to be selected in every filter choice.
  void PairApplied(const std::string& pair);
  // The user chose another filter set in CBFilterChoice2.
  void FilterChoiceChanged(int index);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // The edit of the side follows its tree.
  void STVChange(Side side);
  void STVMainChange() { STVChange(Side::Main); }
  void STVSubChange() { STVChange(Side::Sub); }
  void TSFolderResize();
  void SetComboColour(bool found);
  // Walks the side's tree to folder; a virtual folder (the computer) selects its node.
  bool WalkTo(Side side, const std::string& folder);
  // Walks the side's tree to path; a file stands for its folder when fileTakesFolder. Anything
  // else is refused with a message naming given.
  bool TakeFolder(Side side, std::string path, bool fileTakesFolder, const QString& given);
  // The local paths of the file: addresses of a drag, in their order.
  std::vector<std::string> DroppedPaths(const QMimeData* mime) const;
  // One folder goes to side; two or more set both sides, the first the main one.
  void DropPaths(const std::vector<std::string>& paths, Side side);
  bool FilterFolderDrop(QEvent* event, Side side);
  std::string HomeFolder() const;

  MainState& state_;
  TQvMessageBox& log_;
  MessageBoxes& boxes_;
  DesktopServices& desktop_;
  PerSide<std::string> folder_;
  QComboBox* cbComparePath_ = nullptr;
  PerSide<QLineEdit*> edFolder_;
  QComboBox* cbFilterChoice2_ = nullptr;
  QWidget* treeArea_ = nullptr;
  PerSide<FolderTreeView*> stv_;
  QMenu* pmCombo_ = nullptr;
  QAction* pmmCBDelList_ = nullptr;
  QPushButton* btSwapFolders_ = nullptr;
  PerSide<QAction*> pmmShowFolder_;
};

}  // namespace tarvex
