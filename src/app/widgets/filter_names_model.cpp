#include "app/widgets/filter_names_model.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "app/widgets/display_text.h"

namespace tarvex {

FilterNamesModel::FilterNamesModel(const ComboItems& names, QObject* parent)
    : QAbstractListModel(parent), names_(names) {}

int FilterNamesModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

QVariant FilterNamesModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const std::string& name = items_[static_cast<std::size_t>(index.row())];
  if (role == Qt::DisplayRole) return ShownText(name);
  if (role == Qt::UserRole) return QByteArray::fromStdString(name);
  return {};
}

void FilterNamesModel::Sync() {
  beginResetModel();
  items_ = names_.Items;
  endResetModel();
  Select(names_.ItemIndex < rowCount() ? names_.ItemIndex : -1);
}

void FilterNamesModel::Append(const std::string& name) {
  const int row = rowCount();
  beginInsertRows({}, row, row);
  items_.push_back(name);
  endInsertRows();
}

void FilterNamesModel::Select(int row) {
  selected_ = row;
  Q_EMIT SelectionChanged(row);
}

std::string FilterNamesModel::SelectedName() const {
  if (selected_ < 0 || selected_ >= rowCount()) return {};
  return items_[static_cast<std::size_t>(selected_)];
}

void FilterNamesModel::Bind(QComboBox& box) {
  {
    const QSignalBlocker block(box);
    box.setModel(this);
    box.setCurrentIndex(selected_);
  }
  connect(this, &FilterNamesModel::SelectionChanged, &box, [&box](int row) {
    const QSignalBlocker block(box);
    box.setCurrentIndex(row);
  });
}

}  // namespace tarvex
