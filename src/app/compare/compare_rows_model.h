#pragma once
// One side of a comparison as a table for its grid: column 0 the line number (or the byte offset
// of a dump row), column 1 the row's text, coloured by whether the row is a gap, differs from the
// other side's row or equals it. Rows are looked up when the view asks, so a file of a million
// lines shows at once.

#include <QAbstractTableModel>
#include <QColor>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/textcompare/compare_rows.h"

namespace tarvex {

class CompareRowsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int ColumnLineNo = 0;
  static constexpr int ColumnText = 1;

  // Shows rows.Sides[side]; an equal row has the background equalBackground. The rows outlive
  // the model.
  CompareRowsModel(const CompareRows& rows, std::size_t side, QColor equalBackground,
                   QObject* parent = nullptr);

  // Takes over the rows of a new comparison, their texts decoded for display once; every view
  // is reset.
  void Refresh();

  // Column 0 of a row with this line number: "%7d:" in text mode, the dump row's byte offset as
  // "%7X:" in hex mode, empty on a gap row.
  static QString LineNoText(CompareMode mode, std::int32_t lineNo);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  const CompareSide& Side() const { return rows_.Sides[side_]; }

  const CompareRows& rows_;
  std::size_t side_;
  QColor equalBackground_;
  std::vector<std::string> shown_;  // the rows' texts decoded, as of the last Refresh
  int rowCount_ = 0;
};

}  // namespace tarvex
