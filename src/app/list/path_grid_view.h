#pragma once
// The grid of the file list (SGPath): whole-row range selection, fixed row height, the
// vertical scroll bar only, cells drawn 2 pixels from their left edge without eliding, the wheel
// moving the current row in large steps, and a right click on a data row asking for the row
// menu without touching the selection.

#include <QPoint>
#include <QTableView>

namespace tarvex {

class PathGridView : public QTableView {
  Q_OBJECT

 public:
  static constexpr int RowHeight = 17;
  static constexpr int FontPixelSize = 12;

  explicit PathGridView(QWidget* parent = nullptr);

 Q_SIGNALS:
  // A right button was released over a data row, at this screen point.
  void PopupRequested(QPoint globalPos);
  // A mouse button, any of them, was released over the header of this column.
  void HeaderClicked(int column);
  // The viewport changed its size (the page, or the scroll bar appearing or going).
  void ViewportResized();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int wheelRemainder_ = 0;
};

}  // namespace tarvex
