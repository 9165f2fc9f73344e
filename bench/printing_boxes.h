#pragma once
// Message boxes for a benchmark that drives the window: every text goes to stderr, and every
// question is answered "no", so that nothing waits for a person.

#include <QString>
#include <cstdio>

#include "app/services/message_boxes.h"

namespace tarvex::bench {

class PrintingBoxes : public MessageBoxes {
 public:
  void Information(const QString&, const QString& text) override { Print(text); }
  void Error(const QString&, const QString& text) override { Print(text); }
  bool Confirm(const QString&, const QString& text) override {
    Print(text);
    return false;
  }
  bool OkCancel(const QString&, const QString& text) override {
    Print(text);
    return false;
  }

 private:
  static void Print(const QString& text) {
    std::fprintf(stderr, "message box: %s\n", text.toUtf8().constData());
  }
};

}  // namespace tarvex::bench
