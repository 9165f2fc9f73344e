#pragma once
// The list tab (TSList): the folder labels, the counter, the option check boxes, the filter
// choice and the report button above the grid SGPath, which shows the PathList of the main
// state. It scans, sorts, hides folders and fills the grid; the rows it shows are what the row
// menu's commands act on (each shown row maps to its entry through the ShownList).

#include <QCollator>
#include <QElapsedTimer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "core/commands/row_menu.h"
#include "core/filter/filter_set.h"
#include "core/list/shown_list.h"
#include "core/scan/folder_scan.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace tarvex {

class FileOperations;
class DesktopServices;
class FileOpener;
class FilterNamesModel;
class HashCache;
class MainState;
class MessageBoxes;
class ServiceBundle;
class PathGridView;
class PathListModel;
class TQvMessageBox;
struct Settings;

class ListPage : public QWidget {
  Q_OBJECT

 public:
  static constexpr int TopPanelHeight = 109;

  // The page shows and sorts state.PathList through state.Shown, logs the folders a scan could not
  // read to log and reports errors through boxes; all three outlive it.
  // The filter choice shows filterNames. Scans and reports go through services.
  ListPage(MainState& state, TQvMessageBox& log, const ServiceBundle& services,
           FilterNamesModel& filterNames, QWidget* parent = nullptr);
  ~ListPage() override;

  QLabel* LBListMain() const { return lbListMain_; }
  QLabel* LBListSub() const { return lbListSub_; }
  QLabel* LBCompare() const { return lbCompare_; }
  QCheckBox* CKDirHide() const { return ckDirHide_; }
  QCheckBox* CKSubFolder() const { return ckSubFolder_; }
  QCheckBox* CKOneSideDir() const { return ckOneSideDir_; }
  QCheckBox* CKDirIgnore() const { return ckDirIgnore_; }
  // 内容も比較する: after each scan the files of equal size on both sides are read and compared.
  QCheckBox* CKContentCheck() const { return ckContentCheck_; }
  // 1時間の時差を無視する: times exactly one hour apart compare as equal.
  QCheckBox* CKHourShift() const { return ckHourShift_; }
  QComboBox* CBFilterChoice() const { return cbFilterChoice_; }
  // 表示: which statuses the grid shows; LBShownCount says how many rows of how many.
  QComboBox* CBShowStatus() const { return cbShowStatus_; }
  QLabel* LBShownCount() const { return lbShownCount_; }
  // The search field (Ctrl+F on the tab; Esc clears it): the rows whose path contains its text.
  QLineEdit* EDSearch() const { return edSearch_; }
  // Under the grid: the shown rows counted by status, and the selected rows with the bytes of
  // their files on each side.
  QLabel* LBSummary() const { return lbSummary_; }
  QPushButton* BTExcelOut() const { return btExcelOut_; }
  // 中止 beside the counter, shown only while a scan runs; it and Esc stop the scan.
  QPushButton* BTScanCancel() const { return btScanCancel_; }
  PathGridView* SGPath() const { return sgPath_; }
  PathListModel* PathModel() const { return model_; }
  QMenu* PMSGPath() const { return pmSGPath_; }

  // The row menu's item of that objectName (PMMNewMainToSub ... PMMUpdateList); null if none.
  QAction* MenuAction(const char* name) const;

  int SortCol() const;
  bool SortUp() const;
  // The number of valid entries of the list; 0 before the first scan.
  int PathCount() const;

  // sortcol, sortup, the four check boxes and the column widths from the settings, without running
  // the check boxes handlers; and back.
  void ApplySettings(const Settings& settings);
  void StoreSettings(Settings& settings) const;

  // The scan options of the check boxes, with the state's attribute mask.
  ScanOptions CheckedScanOptions() const;

  // Scans both roots with the filter set and the checked options, sorts and fills the grid. The
  // grid shows the busy cursor meanwhile, and the list is held as a command holds it. An invalid
  // pattern is reported in a message box and leaves the list and the grid empty. Folders that could
  // not be read are logged with their reasons, and one message box gives their count. 中止 or
  // Esc stop the scan: the old list stays, shown as it was, and the log says so. With
  // CKContentCheck the files of equal size are read after the scan, under the same counter and
  // stop (a stop there keeps the new list, its unread rows 未確認); with either new option the log
  // names a root on FAT or exFAT.
  void UpdatePathList(const std::string& mainRoot, const std::string& subRoot,
                      const FilterSet& filter);
  void UpdatePathList(const std::string& mainRoot, const std::string& subRoot,
                      const FilterSet& filter, const ScanOptions& options);

  // " " followed by each root (decoded for display) in the two folder labels, painted at once.
  void ShowFolderLabels(const std::string& mainRoot, const std::string& subRoot);
  // Sorts the list by sortcol and sortup in the locale's collation, then parks the folders when
  // CKDirHide is checked. The counter shows the progress of a long sort.
  void SortPathList();
  // Counter, header, rows and each entry's ListPos; the current row becomes row 1. The copy and
  // delete commands call it alone after changing entries.
  void FillPathGrid();
  // Makes the data row (0-based) the grid's current and only selected row.
  void SelectRow(int row);
  // The column widths the window sets when it is first shown: the stored ones, else widths that
  // show the largest sizes whole; column 1 takes the rest.
  void SetShownColumnWidths();
  // Column 1 follows the width of the grid.
  void TSListResize();
  // After a copy or delete changed entries: refills the grid, brings back the top row the grid
  // showed when the command was chosen and makes the grid row currentRow (counted from 1)
  // current; currentRow 0 only refills.
  void RefillAfterCommand(int currentRow);
  void FocusGrid();
  // After an undo changed files that the list does not know: a rescan of the shown folders, also
  // while the progress dialog is the active window.
  void RescanAfterUndo();

 Q_SIGNALS:
  // The list should be scanned again: the refresh of the active page does it while this tab is
  // active. Emitted by the three scan options and the menu command.
  void RefreshRequested();
  // The list must be scanned again now, whichever window is active.
  void RescanRequested();
  // The user chose another filter set in CBFilterChoice.
  void FilterChoiceChanged(int index);
  // A file row was double-clicked and is the current row: the compare tab is to show it.
  void CompareRequested();
  // A scan or a sort that held the list has returned (a close asked for meanwhile may follow).
  void ListWorkFinished();
  // A copy or delete item of the row menu (its index in RowMenuTable) was chosen for the list
  // entries firstRow..lastRow, counted from 1, all of them selected rows; emitted once per
  // unbroken run of selected entries.
  void RowCommandChosen(int item, int firstRow, int lastRow);

 private:
  void BuildTopPanel(QWidget* panel);
  void BuildMenu();
  void SetCounterDimmed(bool dimmed);
  void ShowCounter(const std::string& text);
  void SGPathHeaderClick(int column);
  void SGPathPopup(QPoint globalPos);
  void SGPathDblClick(const QModelIndex& index);
  void CBShowStatusChange(int index);
  void EDSearchChange(const QString& text);
  bool eventFilter(QObject* watched, QEvent* event) override;
  void CKSubFolderClick();
  void CKOneSideDirClick();
  void CKDirHideClick();
  void CKDirIgnoreClick();
  // Reads the files of equal size after a scan, with the counter and 中止 as the scan has them.
  void CheckContents(const std::string& mainRoot, const std::string& subRoot);
  // The log says which roots lie on FAT or exFAT, whose times are 2-second local times.
  void LogFatRoots(const std::string& mainRoot, const std::string& subRoot);
  void PMMUpdateListClick();
  void RowMenuItemClick(int item);
  void ShowSummary();
  // Makes the row of that path current, rowsFromTop rows below the top of the view; where the
  // path is gone, the fill's first row stays current.
  void KeepPlace(const std::string& path, int rowsFromTop);
  // Opens the current row's file or folder through the desktop; a beep where there is none.
  void OpenCurrentRow(OpenTarget target);
  void BTExcelOutClick();
  void RequestRefreshAndFocus();
  // A click on an option while a copy or delete loop runs is taken back; true when it was.
  bool UndoClickWhileCommandRuns(QCheckBox& box);

  MainState& state_;
  TQvMessageBox& log_;
  MessageBoxes& boxes_;
  ShownList& shown_;
  QCollator collator_;
  QElapsedTimer sortCounterClock_;
  FileOperations& files_;
  FileOpener& reportOpener_;
  DesktopServices& desktop_;
  int commandTopRow_ = -1;
  std::vector<int> storedColumnWidths_;
  bool columnWidthsShown_ = false;

  QLabel* lbListMain_ = nullptr;
  QLabel* lbListSub_ = nullptr;
  QLabel* lbCompare_ = nullptr;
  QCheckBox* ckDirHide_ = nullptr;
  QCheckBox* ckSubFolder_ = nullptr;
  QCheckBox* ckOneSideDir_ = nullptr;
  QCheckBox* ckDirIgnore_ = nullptr;
  QCheckBox* ckContentCheck_ = nullptr;
  QCheckBox* ckHourShift_ = nullptr;
  // Loaded at the first content check, saved after each.
  std::unique_ptr<HashCache> hashCache_;
  QComboBox* cbFilterChoice_ = nullptr;
  QComboBox* cbShowStatus_ = nullptr;
  QLabel* lbShownCount_ = nullptr;
  QLineEdit* edSearch_ = nullptr;
  QLabel* lbSummary_ = nullptr;
  QPushButton* btExcelOut_ = nullptr;
  QPushButton* btScanCancel_ = nullptr;
  bool scanning_ = false;
  bool scanStopRequested_ = false;
  PathGridView* sgPath_ = nullptr;
  PathListModel* model_ = nullptr;
  QMenu* pmSGPath_ = nullptr;
};

}  // namespace tarvex
