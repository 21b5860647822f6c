// "Печать..." (Ctrl+P): the print dialog, the job with a progress window that
// can cancel it, and the message when printing fails. Output to a PDF file
// replaces the file only when the whole job has been written.
#pragma once

#include <QObject>
#include <memory>

#include "print/print_job.h"

class QAction;
class QPrinter;
class QWidget;

namespace prambus {

class MainWindow;

// How the printer, the pages and the copies are chosen: the program asks the
// user with the print dialog; tests choose without one.
class PrintSetup {
 public:
  virtual ~PrintSetup() = default;
  // The printer comes preset (collated copies, pages 1 to 100); false when
  // the user cancels. The selection may be chosen only when selectionAllowed.
  virtual bool Choose(QPrinter& printer, bool selectionAllowed, QWidget* parent) = 0;
};

class PrintDialogSetup : public PrintSetup {
 public:
  bool Choose(QPrinter& printer, bool selectionAllowed, QWidget* parent) override;
};

// Lives as a child of the main window and runs when the action is triggered.
class PrintCommand : public QObject {
  Q_OBJECT
 public:
  PrintCommand(MainWindow* window, QAction* action);
  void SetSetup(std::unique_ptr<PrintSetup> setup) { setup_ = std::move(setup); }
  void Run();

 private:
  PrintOutcome Print(QPrinter& printer, bool selectionAllowed);
  PrintOutcome PrintToPdf(QPrinter& printer, const PrintRequest& request);
  PrintOutcome RunJob(QPrinter& printer, const PrintRequest& request);

  MainWindow* window_;
  std::unique_ptr<PrintSetup> setup_;
};

}  // namespace prambus
