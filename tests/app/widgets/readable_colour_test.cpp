#include "app/widgets/readable_colour.h"

#include <gtest/gtest.h>

#include <QColor>

#include "support/qt_printers.h"

namespace tarvex {
namespace {

TEST(ReadableColour, ContrastRatioFollowsTheWcagFormula) {
  EXPECT_DOUBLE_EQ(ContrastRatio(Qt::black, Qt::white), 21.0);
  EXPECT_DOUBLE_EQ(ContrastRatio(Qt::white, Qt::white), 1.0);
  EXPECT_NEAR(ContrastRatio(QColor(0x00, 0x80, 0x00), QColor(0xF0, 0xF0, 0xF0)), 4.51, 0.01);
  EXPECT_NEAR(ContrastRatio(QColor(0x80, 0x00, 0x80), QColor(0x2B, 0x2B, 0x2B)), 1.50, 0.01);
}

// The described colour stays wherever it reads; elsewhere the same hue gives way just enough.
TEST(ReadableColour, KeepsTheDescribedColourWhereItReadsAndTheHueWhereNot) {
  const QColor green(0x00, 0x80, 0x00), purple(0x80, 0x00, 0x80);
  const struct {
    QColor Described;
    QColor Background;
    bool Kept;
  } cases[] = {
      {green, QColor(0xF0, 0xF0, 0xF0), true},   // the design's window colour
      {purple, QColor(0xEF, 0xEF, 0xEF), true},  // the toolkit's light window colour
      {green, QColor(0xEF, 0xEF, 0xEF), false},  // 4.47: a shade darker
      {green, QColor(0x2B, 0x2B, 0x2B), false},
      {purple, QColor(0x2B, 0x2B, 0x2B), false},
      {purple, QColor(0x00, 0x00, 0x00), false},
      {green, QColor(0x80, 0x80, 0x80), false},  // mid grey: only black or white is far enough
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Described.name().toStdString() + " on " + c.Background.name().toStdString());
    const QColor shown = ReadableColour(c.Described, c.Background);
    EXPECT_GE(ContrastRatio(shown, c.Background), ReadableContrast);
    if (c.Kept) {
      EXPECT_EQ(shown, c.Described);
    } else {
      EXPECT_NE(shown, c.Described);
      if (shown.hslSaturation() > 0) {
        EXPECT_NEAR(shown.hslHue(), c.Described.hslHue(), 2);
      }
    }
  }
}

}  // namespace
}  // namespace tarvex
