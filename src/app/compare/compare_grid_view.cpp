#include "app/compare/compare_grid_view.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

#include "app/compare/compare_rows_model.h"
#include "app/widgets/fixed_colours.h"
#include "app/widgets/grid_helpers.h"
#include "app/widgets/japanese_fonts.h"

namespace tarvex {

namespace {

constexpr int TextOffset = 2;  // right of and below the cell's top-left corner

// Fills the cell with its row's background and draws the text from 2 pixels in; the current
// row gets the selection colours of the theme instead.
class CompareCellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    const bool selected = (option.state & QStyle::State_Selected) != 0;
    const QPalette::ColorGroup group = CellColourGroup(option);
    QBrush background = option.palette.brush(group, QPalette::Highlight);
    QColor text = option.palette.color(group, QPalette::HighlightedText);
    if (!selected) {
      const QVariant ownBackground = index.data(Qt::BackgroundRole);
      const QVariant ownText = index.data(Qt::ForegroundRole);
      background = ownBackground.isValid() ? ownBackground.value<QBrush>()
                                           : option.palette.brush(group, QPalette::Base);
      text = ownText.isValid() ? ownText.value<QBrush>().color() : FixedTextColour();
    }
    painter->save();
    painter->fillRect(option.rect, background);
    painter->setClipRect(option.rect);
    painter->setFont(option.font);
    const QString shown = index.data(Qt::DisplayRole).toString();
    // The current row keeps the plain selection colours: the marking would fight them.
    if (!selected) PaintChangedRanges(*painter, option, index, shown);
    painter->setPen(text);
    // On the grid font's own baseline: a character that only a fallback font draws (U+FFFD for a
    // byte that does not decode) would otherwise push its whole row down by the fallback's
    // taller ascent.
    const QFontMetrics metrics(option.font);
    painter->drawText(
        QPoint(option.rect.left() + TextOffset, option.rect.top() + TextOffset + metrics.ascent()),
        shown);
    painter->restore();
    if ((option.state & QStyle::State_HasFocus) != 0) {
      // The keyboard's place: the current cell of the focused grid.
      QStyleOptionFocusRect focus;
      focus.QStyleOption::operator=(option);
      focus.backgroundColor = background.color();
      const QWidget* widget = option.widget;
      QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
      style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
  }

 private:
  static void PaintChangedRanges(QPainter& painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index, const QString& shown) {
    const QList<int> ranges = index.data(CompareRowsModel::ChangedRangesRole).value<QList<int>>();
    if (ranges.isEmpty()) return;
    const QFontMetrics metrics(option.font);
    const QColor strong = QColor::fromRgb(CompareRowsModel::ChangedBackground);
    for (qsizetype i = 0; i + 1 < ranges.size(); i += 2) {
      const int left =
          option.rect.left() + TextOffset + metrics.horizontalAdvance(shown.left(ranges[i]));
      const int width = metrics.horizontalAdvance(shown.mid(ranges[i], ranges[i + 1]));
      painter.fillRect(QRect(left, option.rect.top(), width, option.rect.height()), strong);
    }
  }
};

}  // namespace

CompareGridView::CompareGridView(const char* name, QColor background, QWidget* parent)
    : QTableView(parent) {
  setObjectName(QLatin1String(name));
  setFont(FixedJapaneseFont());
  SetFixedBackground(*this, background);
  setItemDelegate(new CompareCellDelegate(this));
  SetUpReadOnlyGrid(*this, RowHeight);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setShowGrid(false);
  setFocusPolicy(Qt::WheelFocus);
  horizontalHeader()->hide();
  horizontalHeader()->setDefaultSectionSize(LineNoWidth);

  verticalScrollBar()->installEventFilter(this);
}

void CompareGridView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  Q_EMIT ViewportResized();
}

void CompareGridView::keyPressEvent(QKeyEvent* event) {
  // The view's own copy takes the current cell only, which may be the line number.
  if (event != QKeySequence::Copy || model() == nullptr || selectionModel() == nullptr)
    return QTableView::keyPressEvent(event);
  QModelIndexList rows = selectionModel()->selectedRows(CompareRowsModel::ColumnText);
  std::sort(rows.begin(), rows.end());
  QStringList texts;
  for (const QModelIndex& row : rows) {
    if (model()->index(row.row(), CompareRowsModel::ColumnLineNo).data().toString().isEmpty())
      continue;
    texts.push_back(row.data().toString());
  }
  if (!texts.isEmpty()) QGuiApplication::clipboard()->setText(texts.join(QLatin1Char('\n')));
  event->accept();
}

bool CompareGridView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == verticalScrollBar() && event->type() == QEvent::MouseButtonPress)
    setFocus(Qt::MouseFocusReason);
  return QTableView::eventFilter(watched, event);
}

}  // namespace tarvex
