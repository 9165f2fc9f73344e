#include "app/list/path_list_model.h"

#include <QBrush>
#include <QColor>
#include <QString>

#include "core/list/list_column.h"
#include "core/text/text_encoding.h"

namespace tarvex {

namespace {

QColor Rgb(std::uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

QVariant BackgroundOf(CellBackground background) {
  switch (background) {
    case CellBackground::MainSide:
      return QBrush(Rgb(MainSideRgb));
    case CellBackground::SubSide:
      return QBrush(Rgb(SubSideRgb));
    case CellBackground::Folder:
      return QBrush(Rgb(FolderRgb));
    case CellBackground::View:
      break;
  }
  return {};
}

}  // namespace

PathListModel::PathListModel(QObject* parent) : QAbstractTableModel(parent) {}

void PathListModel::Fill(const PathList* list, const FillState& state) {
  beginResetModel();
  list_ = list;
  rows_ = list != nullptr ? list->PathCount : 0;
  state_ = state;
  endResetModel();
}

int PathListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int PathListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : ListColumnCount;
}

const PathEntry* PathListModel::EntryAt(int row) const {
  // PathCount may have fallen since the fill (folder hiding parks entries behind it).
  if (list_ == nullptr || row < 0 || row >= rows_ || row >= list_->PathCount) return nullptr;
  return &(*list_)[row];
}

QVariant PathListModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
    return {};
  const PathEntry* entry = EntryAt(index.row());
  if (entry == nullptr) return {};
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole: {
      const std::string text = ListCellText(*entry, index.row(), column, format_, state_.DirIgnore);
      return QString::fromStdString(column == ColumnPath ? DisplayText(text) : text);
    }
    case Qt::BackgroundRole:
      return BackgroundOf(ListCellColours(*entry, column).Background);
    case Qt::ForegroundRole:
      if (ListCellColours(*entry, column).Foreground == CellForeground::Grey)
        return QBrush(Rgb(GreyTextRgb));
      return {};
    default:
      return {};
  }
}

QVariant PathListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  return QString::fromStdString(ListHeaderText(section, state_.SortCol, state_.SortUp));
}

}  // namespace tarvex
