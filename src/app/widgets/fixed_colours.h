#pragma once
// The pastel backgrounds of the design stay the same in every desktop theme, so the text drawn on
// them must not follow the theme: a dark theme's light text would vanish on them.

#include <QColor>

class QWidget;

namespace tarvex {

// The text colour on every fixed background.
QColor FixedTextColour();

// Gives the widget the background (as base, button and window colour) and the fixed text colour.
void SetFixedBackground(QWidget& widget, const QColor& background);

}  // namespace tarvex
