#include "app/list/path_grid_view.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QResizeEvent>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QWheelEvent>

#include "app/widgets/grid_helpers.h"
#include "app/widgets/japanese_fonts.h"

namespace tarvex {

namespace {

constexpr double WheelFraction = 0.1;
constexpr int WheelNotch = 120;  // angle delta of one notch, in eighths of a degree
constexpr int TextIndent = 2;
constexpr int PathColumn = 1;

// Draws the text 2 pixels from the cell's left edge and clips it instead of eliding: the time
// and size texts fill their columns to the pixel, and the report reads them back by character
// position. The current cell of the focused grid gets a dotted frame, so the keyboard's place
// shows.
class GridCellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* widget = opt.widget;
    QStyle* style = widget != nullptr ? widget->style() : nullptr;
    if (style != nullptr) style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    const bool selected = (opt.state & QStyle::State_Selected) != 0;
    const QPalette::ColorGroup group = CellColourGroup(opt);
    painter->save();
    painter->setClipRect(opt.rect);
    painter->setFont(opt.font);
    painter->setPen(
        opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(opt.rect.adjusted(TextIndent, 0, 0, 0),
                      Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    if ((option.state & QStyle::State_HasFocus) != 0) {
      // Drawn here rather than by the style, which leaves it out on a selected row.
      painter->setPen(QPen(painter->pen().color(), 1, Qt::DotLine));
      painter->drawRect(opt.rect.adjusted(0, 0, -1, -1));
    }
    painter->restore();
  }
};

}  // namespace

PathGridView::PathGridView(QWidget* parent) : QTableView(parent) {
  setObjectName(QStringLiteral("SGPath"));
  QFont font = FixedJapaneseFont();
  font.setPixelSize(FontPixelSize);
  setFont(font);
  setItemDelegate(new GridCellDelegate(this));
  SetUpReadOnlyGrid(*this, RowHeight);
  setSelectionMode(QAbstractItemView::ContiguousSelection);
  setSortingEnabled(false);

  QHeaderView* columns = horizontalHeader();
  // The path column takes what the others leave, so only they are dragged.
  columns->setSectionResizeMode(QHeaderView::Interactive);
  connect(columns, &QHeaderView::sectionResized, this, [this](int column) {
    if (column != PathColumn) Q_EMIT ViewportResized();
  });
  columns->setSectionsClickable(true);
  columns->setHighlightSections(false);
  columns->setDefaultAlignment(Qt::AlignCenter);
  // The header sorts on the release of any button; the toolkit reports the left one only.
  connect(columns, &QHeaderView::sectionClicked, this, &PathGridView::HeaderClicked);
  columns->viewport()->installEventFilter(this);
}

bool PathGridView::eventFilter(QObject* watched, QEvent* event) {
  QHeaderView* columns = horizontalHeader();
  if (watched == columns->viewport() && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton) {
      const int column = columns->logicalIndexAt(mouse->position().toPoint());
      if (column >= 0) Q_EMIT HeaderClicked(column);
      return true;
    }
  }
  return QTableView::eventFilter(watched, event);
}

void PathGridView::mousePressEvent(QMouseEvent* event) {
  // The right button opens the row menu for the rows it points at: inside the selection it keeps
  // the selection, outside it that row becomes the selection, so the menu never acts on rows the
  // user is not looking at.
  if (event->button() == Qt::RightButton) {
    setFocus(Qt::MouseFocusReason);
    event->accept();
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && !selectionModel()->isRowSelected(index.row())) {
      selectionModel()->setCurrentIndex(
          index.siblingAtColumn(PathColumn),
          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    return;
  }
  QTableView::mousePressEvent(event);
}

void PathGridView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) {
    event->accept();
    if (indexAt(event->position().toPoint()).isValid())
      Q_EMIT PopupRequested(event->globalPosition().toPoint());
    return;
  }
  QTableView::mouseReleaseEvent(event);
}

void PathGridView::mouseDoubleClickEvent(QMouseEvent* event) {
  // A quick second right click opens the menu again; it is no double-click on the row.
  if (event->button() != Qt::LeftButton) {
    event->accept();
    return;
  }
  QTableView::mouseDoubleClickEvent(event);
}

void PathGridView::wheelEvent(QWheelEvent* event) {
  event->accept();
  wheelRemainder_ += event->angleDelta().y();
  while (wheelRemainder_ >= WheelNotch) {
    wheelRemainder_ -= WheelNotch;
    WheelScrollRows(*this, true, WheelFraction);
  }
  while (wheelRemainder_ <= -WheelNotch) {
    wheelRemainder_ += WheelNotch;
    WheelScrollRows(*this, false, WheelFraction);
  }
}

void PathGridView::setModel(QAbstractItemModel* model) {
  QTableView::setModel(model);
  QHeaderView* columns = horizontalHeader();
  if (columns->count() > PathColumn) columns->setSectionResizeMode(PathColumn, QHeaderView::Fixed);
}

void PathGridView::keyPressEvent(QKeyEvent* event) {
  const bool menuKey = event->key() == Qt::Key_Menu ||
                       (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier);
  if (!menuKey) {
    QTableView::keyPressEvent(event);
    return;
  }
  event->accept();
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return;
  // At the current row, as a right click there would open it.
  const QRect row = visualRect(current.siblingAtColumn(PathColumn));
  Q_EMIT PopupRequested(viewport()->mapToGlobal(row.topLeft()));
}

bool PathGridView::viewportEvent(QEvent* event) {
  if (event->type() != QEvent::ToolTip) return QTableView::viewportEvent(event);
  const auto* help = static_cast<QHelpEvent*>(event);
  const QModelIndex index = indexAt(help->pos());
  // A cell that explains itself says so; any other shows its text where the column cuts it.
  const QString explanation = index.data(Qt::ToolTipRole).toString();
  if (!explanation.isEmpty()) {
    QToolTip::showText(help->globalPos(), explanation, viewport(), visualRect(index));
    return true;
  }
  const QString text = index.data().toString();
  QFont font = this->font();
  const int needed = QFontMetrics(font).horizontalAdvance(text) + TextIndent;
  if (index.isValid() && !text.isEmpty() && needed > columnWidth(index.column())) {
    QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
  } else {
    QToolTip::hideText();
    event->ignore();
  }
  return true;
}

void PathGridView::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  Q_EMIT ViewportResized();
}

}  // namespace tarvex
