// The print job's own share of printing a 10 MB text: feeding the document
// through the 128-byte channel into the print view, wrapping it to an A4
// page and drawing every page on a canvas that draws nothing.
#include <benchmark/benchmark.h>

#include "bench_canvas.h"
#include "bench_data.h"
#include "print/print_job.h"
#include "settings/settings.h"
#include "views/text_view.h"

namespace prambus::bench {
namespace {

class BenchPrinter : public PrintDevice {
 public:
  Canvas& SheetCanvas() override { return canvas; }
  int PageWidth() const override { return 794; }  // A4 at 96 dpi
  int PageHeight() const override { return 1123; }
  bool NewSheet() override {
    ++sheets;
    return true;
  }
  BenchCanvas canvas;
  int sheets = 1;
};

void BM_PrintJob10MB(benchmark::State& state) {
  Cfg() = Settings{};
  BenchCanvas screen;
  TextView source(&screen);
  source.SetViewWidth(760);
  source.ToggleWordWrap(true);
  const std::string text = MakeRussianText(10 << 20);
  source.AppendString(text);
  int sheets = 0;
  for (auto _ : state) {
    BenchPrinter printer;
    PrintDocument(source, 1, printer, Font{}, {}, {});
    sheets = printer.sheets;
  }
  state.counters["sheets"] = sheets;
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_PrintJob10MB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace prambus::bench
