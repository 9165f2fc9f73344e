#include "support/dark_theme.h"

#include <QApplication>
#include <QColor>

namespace tarvex::test {

QPalette DarkPalette() {
  QPalette dark;
  const QColor surface(0x2B, 0x2B, 0x2B), base(0x1E, 0x1E, 0x1E), text(0xEE, 0xEE, 0xEE);
  for (const auto role : {QPalette::Window, QPalette::Button}) dark.setColor(role, surface);
  dark.setColor(QPalette::Base, base);
  dark.setColor(QPalette::AlternateBase, surface);
  for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    dark.setColor(role, text);
  return dark;
}

KeepApplicationPalette::KeepApplicationPalette() : original_(QApplication::palette()) {}

KeepApplicationPalette::~KeepApplicationPalette() { QApplication::setPalette(original_); }

}  // namespace tarvex::test
