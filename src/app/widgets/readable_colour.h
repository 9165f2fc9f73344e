#pragma once
// Coloured text of the design (the green notes, the purple link) on the theme's own background:
// a dark theme would leave it nearly unreadable, so the colour gives way just enough to be read.

#include <QColor>

class QWidget;

namespace tarvex {

// The least contrast of normal text that counts as readable (WCAG AA).
inline constexpr double ReadableContrast = 4.5;

// The contrast ratio of two colours by the WCAG formula: 1 (equal) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);

// The described colour where it reaches ReadableContrast on the background; otherwise the same
// hue made darker (light background) or lighter (dark background) until it does.
QColor ReadableColour(const QColor& described, const QColor& background);

// Sets the widget's text colour to ReadableColour of the described one on its window colour.
void SetReadableTextColour(QWidget& widget, const QColor& described);

}  // namespace tarvex
