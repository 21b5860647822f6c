#include "printer_device.h"

#include <QFile>

namespace prambus {

bool PrinterDevice::Begin() {
  canvas_.Begin(&printer_);
  return canvas_.Active() && printer_.printerState() != QPrinter::Error;
}

bool PrinterDevice::End() {
  const bool ended = canvas_.End();
  return ended && printer_.printerState() != QPrinter::Error;
}

bool PdfComplete(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly) || f.size() < 32) return false;
  f.seek(f.size() - 32);
  return f.read(32).contains("%%EOF");
}

}  // namespace prambus
