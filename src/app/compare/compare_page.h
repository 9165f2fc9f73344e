#pragma once
// The compare tab (TSCompare): the two files of the file list's current row, the main file above
// the sub file, in two grids whose matching lines stand on the same row. Each showing of the tab
// compares anew; the grids keep each other in step, and two buttons go to the next and the
// previous block of differing rows. Every handler is written once with a side parameter; the
// per-grid handlers are its wrappers.

#include <QWidget>
#include <array>
#include <cstddef>
#include <string>

#include "core/textcompare/compare_rows.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSplitter;

namespace tarvex {

class CompareGridView;
class CompareRowsModel;
class MainState;
class MessageBoxes;
class ServiceBundle;
class RootFolder;
class TQvMessageBox;

class ComparePage : public QWidget {
  Q_OBJECT

 public:
  static constexpr int Panel2Height = 81;
  static constexpr int GridMinimumHeight = 50;
  static constexpr int SplitterWidth = 3;

  // The page compares the current row of state.Shown into state.CompareRows, logs to log and
  // shows its messages through boxes; all three outlive it.
  ComparePage(MainState& state, TQvMessageBox& log, const ServiceBundle& services, QWidget* parent);
  ~ComparePage() override;

  QWidget* Panel2() const { return panel2_; }
  QLabel* LBMainDiffFileName() const { return diffFileName_[MainSide]; }
  QLabel* LBSubDiffFileName() const { return diffFileName_[SubSide]; }
  QLabel* LBMainFileInf() const { return fileInf_[MainSide]; }
  QLabel* LBSubFileInf() const { return fileInf_[SubSide]; }
  QLabel* Label8() const { return label8_; }
  QLabel* LBDiffCnt() const { return lbDiffCnt_; }
  QPushButton* BTNextDiffLine() const { return btNextDiffLine_; }
  QPushButton* BTBeforeDiffLine() const { return btBeforeDiffLine_; }
  // "空白の違いを無視する": the setting blankignore; a change compares the shown pair again.
  QCheckBox* CBIgnoreBlanks() const { return cbIgnoreBlanks_; }
  CompareGridView* SGCompareM() const { return grids_[MainSide]; }
  CompareGridView* SGCompareS() const { return grids_[SubSide]; }
  QSplitter* SPCompare() const { return spCompare_; }

  // The two files of the last comparison that passed the checks on the row.
  const std::string& MainComparePath() const { return comparePath_[MainSide]; }
  const std::string& SubComparePath() const { return comparePath_[SubSide]; }

  // The tab was shown: checks the list's current row and compares its two files.
  void TSCompareShow();
  void BTNextDiffLineClick() { GoToDifferingBlock(true); }
  void BTBeforeDiffLineClick() { GoToDifferingBlock(false); }
  void SGCompareMTopLeftChanged() { GridTopLeftChanged(MainSide); }
  void SGCompareSTopLeftChanged() { GridTopLeftChanged(SubSide); }

 private:
  void BuildPanel2();
  void PlacePanel2();
  void Inform(const char* text);
  void InformTooLarge();
  // Steps 7 on of the comparison: load, align and fill; false when a file could not be read.
  bool LoadAndShow(const RootFolder& mainRoot, const RootFolder& subRoot,
                   const std::string& relative);
  void FillGrid(std::size_t side);
  void GoToDifferingBlock(bool down);
  void IgnoreBlanksToggled(bool on);
  void ScrollAndSelect(int target);
  void GridTopLeftChanged(std::size_t side);
  // What the draw handlers of the description do for the current row: a new current row that
  // the keyboard or the mouse chose reaches the other grid.
  void GridCurrentRowChanged(std::size_t side);
  // SyncGridRows with the grid of side as A; the follower's own handlers stay quiet meanwhile.
  void SyncFrom(std::size_t side);
  void FitTextColumn(std::size_t side);
  bool eventFilter(QObject* watched, QEvent* event) override;

  MainState& state_;
  TQvMessageBox& log_;
  MessageBoxes& boxes_;
  std::array<std::string, 2> comparePath_;
  // LastMainRow, LastSubRow: each grid's current row as last seen.
  std::array<int, 2> lastRow_{0, 0};
  bool syncing_ = false;

  QWidget* panel2_ = nullptr;
  std::array<QLabel*, 2> diffFileName_{};
  std::array<QLabel*, 2> fileInf_{};
  QLabel* label8_ = nullptr;
  QLabel* lbDiffCnt_ = nullptr;
  QPushButton* btNextDiffLine_ = nullptr;
  QPushButton* btBeforeDiffLine_ = nullptr;
  QCheckBox* cbIgnoreBlanks_ = nullptr;
  QSplitter* spCompare_ = nullptr;
  std::array<CompareGridView*, 2> grids_{};
  std::array<CompareRowsModel*, 2> models_{};
};

}  // namespace tarvex
