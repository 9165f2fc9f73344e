#pragma once
// The filter tab: the filter-set combo and the three pattern memos, which hold the active filter
// set that the scan reads.

#include <QWidget>
#include <vector>

#include "core/filter/filter_set.h"

class QComboBox;
class QPlainTextEdit;

namespace tarvex {

class MainState;
class MessageBoxes;

class FilterPage : public QWidget {
  Q_OBJECT

 public:
  // The page shows the filter sets of state's settings and reports errors through boxes; both
  // outlive it.
  FilterPage(MainState& state, MessageBoxes& boxes, QWidget* parent);

  QComboBox* CBFilter() const { return cbFilter_; }
  QPlainTextEdit* MEHideExt() const { return meHideExt_; }
  QPlainTextEdit* MESelectExt() const { return meSelectExt_; }
  QPlainTextEdit* MEIgnoreExt() const { return meIgnoreExt_; }

  // Shows the filter-set names and selection of the settings.
  void ShowFilterNames();
  // Loads the lists of the set named in CBFilter into the memos.
  void CBFilterSelect();
  // The memos' lines as they stand, one pattern per line.
  FilterSet ActiveFilterSet() const;

 private:
  QWidget* AddGroup(const char* name, const QString& caption, const QStringList& notes,
                    const QString& priority, const std::vector<const char*>& labelNames,
                    QPlainTextEdit*& memo, const char* memoName);

  MainState& state_;
  MessageBoxes& boxes_;
  QComboBox* cbFilter_ = nullptr;
  QPlainTextEdit* meHideExt_ = nullptr;
  QPlainTextEdit* meSelectExt_ = nullptr;
  QPlainTextEdit* meIgnoreExt_ = nullptr;
};

}  // namespace tarvex
