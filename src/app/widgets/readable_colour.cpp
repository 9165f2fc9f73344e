#include "app/widgets/readable_colour.h"

#include <QPalette>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace tarvex {

namespace {

double Linear(double channel) {
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

double RelativeLuminance(const QColor& colour) {
  const QColor rgb = colour.toRgb();
  return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) + 0.0722 * Linear(rgb.blueF());
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
  const double la = RelativeLuminance(a);
  const double lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableColour(const QColor& described, const QColor& background) {
  if (ContrastRatio(described, background) >= ReadableContrast) return described;
  // Black or white always reach it, so the walk ends there at the latest.
  const bool darker = RelativeLuminance(background) > 0.18;
  const QColor hsl = described.toHsl();
  for (int step = 1; step <= 100; ++step) {
    const double lightness = darker ? hsl.lightnessF() * (1.0 - step / 100.0)
                                    : hsl.lightnessF() + (1.0 - hsl.lightnessF()) * step / 100.0;
    const QColor candidate =
        QColor::fromHslF(hsl.hslHueF(), hsl.hslSaturationF(), static_cast<float>(lightness))
            .toRgb();
    if (ContrastRatio(candidate, background) >= ReadableContrast) return candidate;
  }
  return darker ? QColor(Qt::black) : QColor(Qt::white);
}

void SetReadableTextColour(QWidget& widget, const QColor& described) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::WindowText,
                   ReadableColour(described, palette.color(QPalette::Window)));
  widget.setPalette(palette);
}

}  // namespace tarvex
