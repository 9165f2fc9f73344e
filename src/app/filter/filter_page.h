#pragma once
// The filter tab: the filter-set combo with its add, rename and delete buttons, and the three
// pattern memos, which hold the active filter set that the scan reads. The commits themselves are
// the FilterEditor's; the page turns clicks and focus changes into its calls.

#include <QWidget>
#include <string>
#include <vector>

#include "core/filter/filter_editor.h"
#include "core/filter/filter_set.h"

class QComboBox;
class QPlainTextEdit;
class QPushButton;

namespace tarvex {

class MainState;
class MessageBoxes;
class ServiceBundle;
class TQvMessageBox;

class FilterPage : public QWidget {
  Q_OBJECT

 public:
  static constexpr int MaxNameLength = 45;

  // The page edits the filter sets of state's settings, logs to log and shows messages through
  // boxes; all three outlive it.
  FilterPage(MainState& state, TQvMessageBox& log, const ServiceBundle& services, QWidget* parent);
  ~FilterPage() override;

  QComboBox* CBFilter() const { return cbFilter_; }
  QPushButton* BTFilterAdd() const { return btFilterAdd_; }
  QPushButton* BTReName() const { return btReName_; }
  QPushButton* BTFilterDel() const { return btFilterDel_; }
  QPlainTextEdit* MEHideExt() const { return meHideExt_; }
  QPlainTextEdit* MESelectExt() const { return meSelectExt_; }
  QPlainTextEdit* MEIgnoreExt() const { return meIgnoreExt_; }
  const FilterEditor& Editor() const { return editor_; }
  // A refused hide list is being held: its memo would hide every file, so no scan may read it.
  bool HoldingHideMemo() const { return holdingHideMemo_; }

  // Shows the filter-set names and selection of the settings.
  void ShowFilterNames();
  // Loads the lists of the set named in CBFilter into the memos.
  void CBFilterSelect();
  // The memos' lines as they stand, one pattern per line.
  FilterSet ActiveFilterSet() const;

  // The tab was shown: the combo gets the focus, the memos the active set, and no rename is under
  // way.
  void TSFilterShow();
  void BTFilterAddClick();
  void BTReNameClick();
  void BTFilterDelClick();

 Q_SIGNALS:
  // A new set's name: the filter choice boxes get it at their end at once.
  void FilterNameAppended(const std::string& name);
  // The focus left the tab: the choice boxes are to follow CBFilter (renames and deletions reach
  // them only now).
  void TSFilterExit();
  // A refused hide list holds the user on this tab.
  void ActivationRequested();

 private:
  QWidget* AddGroup(const char* name, const QString& caption, const QStringList& notes,
                    const QString& priority, const std::vector<const char*>& labelNames,
                    QPlainTextEdit*& memo, const char* memoName);
  void FocusChanged(QWidget* old, QWidget* now);
  void SetEditable(bool editable);
  void ShowLists(const FilterLists& lists);
  std::string ComboText() const;
  void CBFilterExit();
  void MEHideExtExit();
  void MESelectExtExit();
  void MEIgnoreExtExit();

  MainState& state_;
  TQvMessageBox& log_;
  MessageBoxes& boxes_;
  FilterEditor editor_;
  bool holdingHideMemo_ = false;
  QComboBox* cbFilter_ = nullptr;
  QPushButton* btFilterAdd_ = nullptr;
  QPushButton* btReName_ = nullptr;
  QPushButton* btFilterDel_ = nullptr;
  QPlainTextEdit* meHideExt_ = nullptr;
  QPlainTextEdit* meSelectExt_ = nullptr;
  QPlainTextEdit* meIgnoreExt_ = nullptr;
};

}  // namespace tarvex
