#pragma once
// The filter-set names of the settings as one list model that every filter-choice box shows, so
// the boxes stay in step without the window reaching into another page's box. The model follows
// the settings when Sync is called or a name is appended, at the moments the boxes always followed
// them (a renamed or deleted set reaches the boxes when the filter tab is left).

#include <QAbstractListModel>
#include <string>
#include <vector>

#include "core/settings/settings.h"

class QComboBox;

namespace tarvex {

class FilterNamesModel : public QAbstractListModel {
  Q_OBJECT

 public:
  // names: the settings' filter names, which outlive the model.
  explicit FilterNamesModel(const ComboItems& names, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  // DisplayRole: the name decoded for display; Qt::UserRole: its bytes.
  QVariant data(const QModelIndex& index, int role) const override;

  // The names and the selection of the settings.
  void Sync();
  void Append(const std::string& name);
  // Selects the row in every box (-1: none).
  void Select(int row);
  int Selected() const { return selected_; }
  // The bytes of the selected name; empty when none is selected.
  std::string SelectedName() const;

  // Shows the model in the box and keeps the box's selection that of the model. The box's change
  // handlers do not run for it: only the user's choice (activated) reaches them.
  void Bind(QComboBox& box);

 Q_SIGNALS:
  void SelectionChanged(int row);

 private:
  const ComboItems& names_;
  std::vector<std::string> items_;
  int selected_ = -1;
};

}  // namespace tarvex
