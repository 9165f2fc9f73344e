#pragma once
// One side of a comparison as a table for its grid: column 0 the line number (or the byte offset
// of a dump row), column 1 the row's text, coloured by whether the row is a gap, differs from the
// other side's row or equals it. Rows are looked up when the view asks, so a file of a million
// lines shows at once.

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/textcompare/compare_rows.h"

namespace tarvex {

class CompareRowsModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  static constexpr int ColumnLineNo = 0;
  static constexpr int ColumnText = 1;
  // Column 1 of a pair of differing rows that both hold text: the changed characters as a flat
  // list of start and length pairs in UTF-16 units of the shown text.
  static constexpr int ChangedRangesRole = Qt::UserRole + 1;
  // The stronger colour on which those characters are drawn.
  static constexpr QRgb ChangedBackground = 0xFFA0C0;

  // Shows rows.Sides[side]; an equal row has the background equalBackground. The rows outlive
  // the model.
  CompareRowsModel(const CompareRows& rows, std::size_t side, QColor equalBackground,
                   QObject* parent = nullptr);

  // Takes over the rows of a new comparison, their texts decoded for display once; every view
  // is reset.
  void Refresh();

  // The model of the other side, whose shown texts the changes within a row are computed against.
  void SetPeer(const CompareRowsModel* peer) { peer_ = peer; }

  // A row's text as shown (decoded, tabs expanded); empty beyond the rows.
  const std::string& ShownText(std::size_t row) const;

  // Column 0 of a row with this line number: "%7d:" in text mode, the dump row's byte offset as
  // "%7X:" in hex mode, empty on a gap row.
  static QString LineNoText(CompareMode mode, std::int32_t lineNo);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  const CompareSide& Side() const { return rows_.Sides[side_]; }
  // Computed when a row is first painted and kept until the next Refresh.
  const QList<int>& ChangedRanges(std::size_t row) const;

  const CompareRows& rows_;
  std::size_t side_;
  QColor equalBackground_;
  std::vector<std::string> shown_;  // the rows' texts decoded, as of the last Refresh
  int rowCount_ = 0;
  const CompareRowsModel* peer_ = nullptr;
  mutable std::unordered_map<std::size_t, QList<int>> changed_;
};

}  // namespace tarvex
