#pragma once
// The copy-progress dialog. It is created hidden at start and shown only by the copy and delete
// commands.

#include <QDialog>

namespace tarvex {

class TFMOption : public QDialog {
  Q_OBJECT

 public:
  explicit TFMOption(QWidget* parent = nullptr);
};

}  // namespace tarvex
