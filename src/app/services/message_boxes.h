#pragma once
// Every modal message box of the program goes through this interface, so a test can answer it.

#include <QString>

namespace tarvex {

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void Information(const QString& title, const QString& text) = 0;
  virtual void Error(const QString& title, const QString& text) = 0;
  // True when the user agrees.
  virtual bool Confirm(const QString& title, const QString& text) = 0;
  // A question without an icon, with the buttons "OK" and "キャンセル"; true for OK.
  virtual bool OkCancel(const QString& title, const QString& text) = 0;
};

}  // namespace tarvex
