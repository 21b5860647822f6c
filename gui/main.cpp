// Прамбус: a text editor and hex editor in one window.
#include <QApplication>

#include "main_window.h"
#include "translations.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Прамбус");
  prambus::InstallRussianTranslations(app);
  prambus::MainWindow window(QApplication::arguments());
  window.show();
  return QApplication::exec();
}
