#pragma once
// The Japanese fonts of the window: a monospaced one for the window and its lists, a proportional
// one for the tabs, both 13 pixels high. Each names the fonts Debian ships in order of preference,
// so whichever is installed is used.

#include <QFont>

namespace tarvex {

QFont FixedJapaneseFont();
QFont ProportionalJapaneseFont();

}  // namespace tarvex
