// The printer the user chose (a real one or a PDF file) as a print job's
// device: its sheets are painted through a QtCanvas over the QPrinter.
#pragma once

#include <QPrinter>

#include "print/print_job.h"
#include "qt_canvas.h"

namespace prambus {

class PrinterDevice : public PrintDevice {
 public:
  explicit PrinterDevice(QPrinter& printer) : printer_(printer) {}
  // Starts the printed document; false when the printer cannot start it.
  bool Begin();
  // Finishes the document; false when the printer reported a failure.
  bool End();

  Canvas& SheetCanvas() override { return canvas_; }
  int PageWidth() const override { return printer_.width(); }
  int PageHeight() const override { return printer_.height(); }
  bool NewSheet() override { return printer_.newPage(); }

 private:
  QPrinter& printer_;
  QtCanvas canvas_;
};

// Whether a PDF file was written to its end (a full disk cuts it short).
bool PdfComplete(const QString& path);

}  // namespace prambus
