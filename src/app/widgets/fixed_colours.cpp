#include "app/widgets/fixed_colours.h"

#include <QPalette>
#include <QWidget>

namespace tarvex {

QColor FixedTextColour() { return QColor(0x00, 0x00, 0x00); }

void SetFixedBackground(QWidget& widget, const QColor& background) {
  QPalette palette = widget.palette();
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::Base, background);
    palette.setColor(group, QPalette::Button, background);
    palette.setColor(group, QPalette::Window, background);
    palette.setColor(group, QPalette::Text, FixedTextColour());
    palette.setColor(group, QPalette::ButtonText, FixedTextColour());
    palette.setColor(group, QPalette::WindowText, FixedTextColour());
  }
  widget.setPalette(palette);
}

}  // namespace tarvex
