#pragma once
// Message boxes that nobody sees: each call is recorded and Confirm gives a chosen answer.

#include <QString>
#include <vector>

#include "app/services/message_boxes.h"

namespace tarvex::test {

class RecordingMessageBoxes : public MessageBoxes {
 public:
  struct Shown {
    QString Kind;  // "Information", "Error", "Confirm" or "OkCancel"
    QString Title;
    QString Text;
  };

  std::vector<Shown> Calls;
  bool ConfirmAnswer = false;

  void Information(const QString& title, const QString& text) override {
    Calls.push_back({QStringLiteral("Information"), title, text});
  }
  void Error(const QString& title, const QString& text) override {
    Calls.push_back({QStringLiteral("Error"), title, text});
  }
  bool Confirm(const QString& title, const QString& text) override {
    Calls.push_back({QStringLiteral("Confirm"), title, text});
    return ConfirmAnswer;
  }
  bool OkCancel(const QString& title, const QString& text) override {
    Calls.push_back({QStringLiteral("OkCancel"), title, text});
    return ConfirmAnswer;
  }
};

}  // namespace tarvex::test
