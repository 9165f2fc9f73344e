#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tarvex"));
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Tarvex"));
  window.resize(720, 690);
  window.show();
  return QApplication::exec();
}
