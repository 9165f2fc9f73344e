#pragma once
// The program's name and the caption of its main window.

#include <QIcon>
#include <QString>

namespace tarvex {

// The application title, also the title of every message box.
QString ApplicationTitle();
// "Tarvex " followed by the version the build was made from.
QString MainWindowCaption();

// The program's icon, from the resources (the installed icon theme as a fallback).
QIcon ApplicationIcon();

// The name of the desktop entry, so that the desktop matches the windows to it.
inline constexpr const char* DesktopFileName = "org.tarvex.Tarvex";

}  // namespace tarvex
