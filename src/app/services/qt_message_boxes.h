#pragma once
// The message boxes a person sees.

#include <QPointer>
#include <QWidget>

#include "app/services/message_boxes.h"

namespace tarvex {

class QtMessageBoxes : public MessageBoxes {
 public:
  // Boxes are centred on the parent; without one, on the active window.
  explicit QtMessageBoxes(QWidget* parent = nullptr) : parent_(parent) {}

  void Information(const QString& title, const QString& text) override;
  void Error(const QString& title, const QString& text) override;
  bool Confirm(const QString& title, const QString& text) override;
  bool OkCancel(const QString& title, const QString& text) override;

 private:
  QWidget* Parent() const;
  QPointer<QWidget> parent_;
};

}  // namespace tarvex
