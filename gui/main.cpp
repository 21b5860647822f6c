// Прамбус: a text editor and hex editor in one window.
#include <QApplication>
#include <QIcon>

#include "main_window.h"
#include "translations.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Прамбус");
  prambus::InstallRussianTranslations(app);
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    icon.addFile(QString(":/art/prambus-%1.png").arg(size));
  QApplication::setWindowIcon(icon);
  prambus::MainWindow window(QApplication::arguments());
  window.show();
  return QApplication::exec();
}
