#pragma once
// The program's name and the caption of its main window.

#include <QString>

namespace tarvex {

// The application title, also the title of every message box.
QString ApplicationTitle();
// "Tarvex " followed by the version the build was made from.
QString MainWindowCaption();

}  // namespace tarvex
