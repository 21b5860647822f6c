// Prints a 10 MB Windows-1251 text into a PDF file through the real main
// window (offscreen), as "Печать..." does at the print dialog's resolution,
// and reports the time taken, the pages and the longest stretch without the
// event loop running (the window's responsiveness):
//   print_pdf [MEGABYTES [DPI]]
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <memory>

#include "bench_data.h"
#include "dialog_prompts.h"
#include "main_window.h"

namespace {
// The print dialog answered with a PDF file on A4.
struct ToPdf : prambus::DialogPrompts {
  QString file;
  int dpi = 0;
  bool Printer(QWidget*, QPrinter& printer, bool) override {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    if (dpi > 0) printer.setResolution(dpi);
    printer.setPageSize(QPageSize(QPageSize::A4));
    return true;
  }
};
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int megabytes = argc > 1 ? std::atoi(argv[1]) : 10;
  QTemporaryDir dir;
  const QString doc = dir.filePath("doc.txt");
  {
    QFile f(doc);
    f.open(QIODevice::WriteOnly);
    f.write(QByteArray::fromStdString(
        prambus::bench::MakeRussianText(static_cast<size_t>(megabytes) << 20)));
  }
  // A settings file, empty so the defaults apply: without one the window
  // would greet a first start and wait for an answer.
  QFile(dir.filePath("data.dat")).open(QIODevice::WriteOnly);
  prambus::MainWindow w({"prambus", doc}, dir.path());
  w.show();
  auto setup = std::make_unique<ToPdf>();
  setup->file = dir.filePath("out.pdf");
  setup->dpi = argc > 2 ? std::atoi(argv[2]) : 0;
  w.SetPrompts(std::move(setup));
  QAction* print = w.Actions().print;

  QElapsedTimer sinceTurn;
  qint64 longestGap = 0, longestGapEnd = 0;
  QElapsedTimer job;
  QTimer turns;
  QObject::connect(&turns, &QTimer::timeout, [&] {
    const qint64 gap = sinceTurn.restart();
    if (gap > longestGap) {
      longestGap = gap;
      longestGapEnd = job.elapsed();
    }
  });
  turns.start(5);
  job.start();
  const std::clock_t cpuStart = std::clock();
  sinceTurn.start();
  print->trigger();
  const double seconds = job.elapsed() / 1000.0;
  const double cpu = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  if (sinceTurn.elapsed() > longestGap) {
    longestGap = sinceTurn.elapsed();
    longestGapEnd = job.elapsed();
  }
  QFile out(dir.filePath("out.pdf"));
  std::printf(
      "%d MB printed to PDF in %.2f s (%.2f s of processor time), %.1f MB of PDF; "
      "longest time without events %lld ms, ending at %.2f s\n",
      megabytes, seconds, cpu, out.size() / 1048576.0, static_cast<long long>(longestGap),
      longestGapEnd / 1000.0);
  return out.size() > 0 ? 0 : 1;
}
