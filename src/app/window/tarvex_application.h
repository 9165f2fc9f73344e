#pragma once
// The application object. Handlers catch their own errors (handler_guard.h); notify() is the last
// net for an error that escapes an event handler all the same, so that it is shown and the program
// goes on instead of ending.

#include <QApplication>

#include "app/services/qt_message_boxes.h"

namespace tarvex {

class TarvexApplication : public QApplication {
  Q_OBJECT

 public:
  TarvexApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

 private:
  QtMessageBoxes boxes_;
};

}  // namespace tarvex
