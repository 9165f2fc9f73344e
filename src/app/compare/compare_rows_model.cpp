#include "app/compare/compare_rows_model.h"

#include <QBrush>
#include <QString>

#include "app/widgets/fixed_colours.h"
#include "core/textcompare/display_lines.h"

namespace tarvex {

namespace {

constexpr QRgb GapBackground = 0xE0E0E0;
constexpr QRgb DifferingBackground = 0xFFE0F0;
constexpr QRgb LineNoColour = 0xA0A0C0;
constexpr std::int64_t DumpRowBytes = 16;

}  // namespace

CompareRowsModel::CompareRowsModel(const CompareRows& rows, std::size_t side,
                                   QColor equalBackground, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows), side_(side), equalBackground_(equalBackground) {}

void CompareRowsModel::Refresh() {
  beginResetModel();
  shown_ = DisplayLines(Side(), rows_.Mode);
  rowCount_ = static_cast<int>(shown_.size());
  endResetModel();
}

QString CompareRowsModel::LineNoText(CompareMode mode, std::int32_t lineNo) {
  if (lineNo < 1) return {};
  if (mode == CompareMode::Text) return QString::asprintf("%7d:", lineNo);
  const std::int64_t offset = (std::int64_t{lineNo} - 1) * DumpRowBytes;
  return QString::asprintf("%7llX:", static_cast<unsigned long long>(offset));
}

int CompareRowsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rowCount_;
}

int CompareRowsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 2;
}

QVariant CompareRowsModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
    return {};
  const auto row = static_cast<std::size_t>(index.row());
  // The rows may have been released since the last Refresh (the window closing).
  if (row >= shown_.size() || row >= Side().RowCount()) return {};
  const bool lineNoColumn = index.column() == ColumnLineNo;
  switch (role) {
    case Qt::DisplayRole:
      return lineNoColumn ? LineNoText(rows_.Mode, Side().LineNos[row])
                          : QString::fromStdString(shown_[row]);
    case Qt::BackgroundRole:
      if (Side().IsGap(row)) return QBrush(QColor::fromRgb(GapBackground));
      if (IsDifferingRow(rows_, row)) return QBrush(QColor::fromRgb(DifferingBackground));
      return QBrush(equalBackground_);
    case Qt::ForegroundRole:
      return QBrush(lineNoColumn ? QColor::fromRgb(LineNoColour) : FixedTextColour());
    default:
      return {};
  }
}

}  // namespace tarvex
