// Прамбус: a text editor and hex editor in one window.
#include <QApplication>
#include <QIcon>

#include "main_window.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Прамбус");
  QApplication::setWindowIcon(QIcon(":/art/prambus-256.png"));
  prambus::MainWindow window(QApplication::arguments());
  window.show();
  return QApplication::exec();
}
