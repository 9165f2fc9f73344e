#pragma once
// The file list as a table: a view of the ShownList, one row per shown entry, with the seven
// columns of the list and, while the content check is on, its verdict column; a row whose time
// and size agree but whose bytes differ has red text, and the mark cell's tooltip explains the row.
// Rows are computed when the view asks, so a long list costs nothing to show. The model keeps no
// copy: paths stay bytes in the list and are decoded for display only.

#include <QAbstractTableModel>
#include <cstdint>

#include "core/list/shown_list.h"

namespace tarvex {

class PathListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The shown list outlives the model.
  explicit PathListModel(const ShownList& shown, QObject* parent = nullptr);

  const ListTextFormat& TextFormat() const { return shown_.Format; }
  const ShownList& Shown() const { return shown_; }

  // Takes over the rows of the shown list's last Fill; every view is reset.
  void Refresh();
  // Whether the content column follows the seven columns, from the next Refresh on.
  void SetContentColumn(bool shown) { contentColumn_ = shown; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  const ShownList& shown_;
  // The rows as of the last Refresh, so the views never see a count change between resets.
  std::int32_t rows_ = 0;
  bool contentColumn_ = false;
  bool contentColumnShown_ = false;  // as of the last Refresh
};

}  // namespace tarvex
