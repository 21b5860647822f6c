// Прамбус: a text editor and hex editor in one window.
#include <QApplication>

#include "txtobrabotka.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Прамбус");
  prambus::Tform1 window(QApplication::arguments());
  window.show();
  return QApplication::exec();
}
