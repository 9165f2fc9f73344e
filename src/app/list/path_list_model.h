#pragma once
// The file list as a table: one row per valid entry of a PathList, in its order, with the seven
// columns of the list. Rows are computed when the view asks, so a long list costs nothing to
// show. The model keeps no copy: paths stay bytes in the list and are decoded for display only.

#include <QAbstractTableModel>
#include <cstdint>

#include "core/list/list_cells.h"
#include "core/scan/path_list.h"

namespace tarvex {

class PathListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // What a fill fixes besides the rows: the sort mark of the header and the state of the folder
  // time option, which the comparison marks of folder rows follow.
  struct FillState {
    int SortCol = 1;
    bool SortUp = true;
    bool DirIgnore = false;
  };

  explicit PathListModel(QObject* parent = nullptr);

  void SetTextFormat(const ListTextFormat& format) { format_ = format; }
  const ListTextFormat& TextFormat() const { return format_; }

  // Shows positions 0 to PathCount - 1 of the list as they stand now (no rows for a null list).
  // The list must stay alive until the next Fill; entries may change in place, and a later
  // change of PathCount shows no row beyond it.
  void Fill(const PathList* list, const FillState& state);
  const PathList* List() const { return list_; }
  const FillState& State() const { return state_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  const PathEntry* EntryAt(int row) const;

  const PathList* list_ = nullptr;
  std::int32_t rows_ = 0;
  FillState state_;
  ListTextFormat format_;
};

}  // namespace tarvex
