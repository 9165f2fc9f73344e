#pragma once
// The grid of the file list (SGPath): whole-row range selection, fixed row height, the
// vertical scroll bar only, cells drawn 2 pixels from their left edge without eliding, the wheel
// moving the current row in large steps, and a right click on a data row asking for the row
// menu, as the Menu key and Shift+F10 do for the current row; a right click outside the selection
// first makes its row the selection. A
// cell whose text is cut shows it whole as a tooltip; the columns other than the path column can
// be widened by dragging. Only the left button's double-click counts as one.

#include <QPoint>
#include <QTableView>

namespace tarvex {

class PathGridView : public QTableView {
  Q_OBJECT

 public:
  static constexpr int RowHeight = 17;
  static constexpr int FontPixelSize = 12;

  explicit PathGridView(QWidget* parent = nullptr);

  void setModel(QAbstractItemModel* model) override;

 Q_SIGNALS:
  // A right button was released over a data row, at this screen point; or the keyboard asked for
  // the menu of the current row.
  void PopupRequested(QPoint globalPos);
  // A mouse button, any of them, was released over the header of this column.
  void HeaderClicked(int column);
  // The viewport changed its size (the page, or the scroll bar appearing or going).
  void ViewportResized();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int wheelRemainder_ = 0;
};

}  // namespace tarvex
