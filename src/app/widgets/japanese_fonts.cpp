#include "app/widgets/japanese_fonts.h"

#include <QStringList>

namespace tarvex {

namespace {

constexpr int FontPixelSize = 13;

QFont MakeFont(const QStringList& families, QFont::StyleHint hint) {
  QFont font;
  font.setFamilies(families);
  font.setStyleHint(hint);
  font.setPixelSize(FontPixelSize);
  return font;
}

}  // namespace

QFont FixedJapaneseFont() {
  return MakeFont({QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                   QStringLiteral("Noto Sans CJK JP")},
                  QFont::Monospace);
}

QFont ProportionalJapaneseFont() {
  return MakeFont({QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP"),
                   QStringLiteral("IPAGothic")},
                  QFont::SansSerif);
}

}  // namespace tarvex
