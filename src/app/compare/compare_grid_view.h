#pragma once
// A grid of the compare tab (SGCompareM, SGCompareS): two columns, no headers and no grid lines,
// rows of one fixed height, whole-row selection of the one current row, scrolling by whole rows.
// A row other than the current one is drawn on its own background (the model's colours); the
// current row is drawn as the selected row. A wheel turn or a press on the scroll bar gives the
// grid the focus, so that the grid the user scrolls is the one that the other follows. Ctrl+C
// copies the texts of the selected rows, one a line (a gap row stands for no line and is left out).

#include <QColor>
#include <QTableView>

namespace tarvex {

class CompareGridView : public QTableView {
  Q_OBJECT

 public:
  static constexpr int RowHeight = 16;
  static constexpr int LineNoWidth = 64;
  static constexpr int DesignTextWidth = 476;

  CompareGridView(const char* name, QColor background, QWidget* parent = nullptr);

 Q_SIGNALS:
  // The viewport changed its size (the splitter, the window, the scroll bar appearing or going).
  void ViewportResized();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tarvex
