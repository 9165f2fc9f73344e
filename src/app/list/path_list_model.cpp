#include "app/list/path_list_model.h"

#include <QBrush>
#include <QColor>
#include <QGuiApplication>
#include <QPalette>
#include <QString>

#include "app/widgets/fixed_colours.h"
#include "app/widgets/readable_colour.h"
#include "core/content/content_results.h"
#include "core/content/row_explanation.h"
#include "core/list/list_column.h"

namespace tarvex {

namespace {

QColor Rgb(std::uint32_t rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

QVariant BackgroundOf(CellBackground background) {
  switch (background) {
    case CellBackground::Main:
      return QBrush(Rgb(MainSideRgb));
    case CellBackground::Sub:
      return QBrush(Rgb(SubSideRgb));
    case CellBackground::Folder:
      return QBrush(Rgb(FolderRgb));
    case CellBackground::View:
      break;
  }
  return {};
}

}  // namespace

PathListModel::PathListModel(const ShownList& shown, QObject* parent)
    : QAbstractTableModel(parent), shown_(shown) {}

void PathListModel::Refresh() {
  beginResetModel();
  rows_ = shown_.Rows();
  contentColumnShown_ = contentColumn_;
  endResetModel();
}

int PathListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int PathListModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return contentColumnShown_ ? ListColumnCount + 1 : ListColumnCount;
}

QVariant PathListModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
    return {};
  const int row = index.row();
  const PathEntry* entry = row < rows_ ? shown_.EntryAt(row) : nullptr;
  if (entry == nullptr) return {};
  const int column = index.column();
  const ContentVerdict verdict =
      shown_.Content != nullptr ? shown_.Content->Of(*entry) : ContentVerdict::None;
  switch (role) {
    case Qt::DisplayRole:
      if (column == ColumnContent) return QString::fromStdString(ContentCellText(*entry, verdict));
      return QString::fromStdString(shown_.DisplayCellText(row, column));
    case Qt::BackgroundRole:
      return BackgroundOf(shown_.Colours(row, column).Background);
    case Qt::ToolTipRole:
      // Only while one of the options that are off by default is on.
      if (column != ColumnMarks) return {};
      if (!contentColumnShown_ && !(shown_.List() != nullptr && shown_.List()->IgnoreHourShift))
        return {};
      return QString::fromStdString(RowExplanation(*entry, verdict));
    case Qt::ForegroundRole: {
      const CellColours colours = shown_.Colours(row, column);
      if (column != ColumnRow && IsHiddenDifference(*entry, verdict)) {
        // On the theme's own background, which may be dark, the red gives way just enough to be
        // read; on the fixed pastel backgrounds it stays as it is.
        const QColor red = Rgb(HiddenDifferenceRgb);
        if (colours.Background != CellBackground::View) return QBrush(red);
        return QBrush(ReadableColour(red, QGuiApplication::palette().color(QPalette::Base)));
      }
      if (colours.Foreground == CellForeground::Grey) return QBrush(Rgb(GreyTextRgb));
      // The theme's text colour on a fixed pastel background would be unreadable in a dark theme.
      if (colours.Background != CellBackground::View) return QBrush(FixedTextColour());
      return {};
    }
    default:
      return {};
  }
}

QVariant PathListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section == ColumnContent) return QStringLiteral("内容");
  return QString::fromStdString(shown_.HeaderText(section));
}

}  // namespace tarvex
