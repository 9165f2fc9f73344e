#include "app/services/qt_message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace tarvex {

QWidget* QtMessageBoxes::Parent() const {
  return parent_ ? parent_.data() : QApplication::activeWindow();
}

void QtMessageBoxes::Information(const QString& title, const QString& text) {
  QMessageBox::information(Parent(), title, text);
}

void QtMessageBoxes::Error(const QString& title, const QString& text) {
  QMessageBox::critical(Parent(), title, text);
}

bool QtMessageBoxes::Confirm(const QString& title, const QString& text) {
  return QMessageBox::question(Parent(), title, text, QMessageBox::Yes | QMessageBox::No,
                               QMessageBox::No) == QMessageBox::Yes;
}

bool QtMessageBoxes::OkCancel(const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok | QMessageBox::Cancel,
                  Parent());
  box.button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
  box.button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
  return box.exec() == QMessageBox::Ok;
}

}  // namespace tarvex
