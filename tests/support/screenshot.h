#pragma once
// Saves a picture of a widget into the test output folder so a person can look at it.

#include <QString>

class QWidget;

namespace tarvex::test {

// Returns the path of the PNG written, or an empty text when it could not be written.
QString SaveScreenshot(QWidget& widget, const QString& name);

}  // namespace tarvex::test
