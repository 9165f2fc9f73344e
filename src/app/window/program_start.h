#pragma once
// The start of the program: the main window is created and shown (its create and show handlers
// run), and only then the progress dialog is created, hidden.

#include <QString>
#include <memory>

#include "app/window/fm_main.h"

namespace tarvex {

// Arguments as for TFMMain. The dialog belongs to the window and is reached by FMOption().
std::unique_ptr<TFMMain> StartMainWindow(QString settingsPath = {}, const Services& services = {});

}  // namespace tarvex
