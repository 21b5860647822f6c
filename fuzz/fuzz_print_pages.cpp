// Fuzzing of printing: random documents, fonts, page sizes, margins, line
// spacing, screen margins and page ranges go through a print job of either
// view kind. Every job must end (a page too short for a row still moves on),
// and a text printed whole must come out with every row exactly once, in
// order, across the page breaks.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_input.h"
#include "print/print_job.h"
#include "settings/settings.h"
#include "support/test_canvas.h"
#include "views/char_class.h"
#include "views/hex_view.h"
#include "views/text_view.h"
#include "views/view_factory.h"

using namespace prambus;

namespace {

class FuzzPrinter : public PrintDevice {
 public:
  Canvas& SheetCanvas() override { return canvas; }
  int PageWidth() const override { return width; }
  int PageHeight() const override { return height; }
  bool NewSheet() override {
    // A job that never ends would fill sheets for ever.
    if (++sheets > 1000000) {
      std::fprintf(stderr, "print check failed: the job does not end\n");
      std::abort();
    }
    return true;
  }
  TestCanvas canvas;
  int width = 0, height = 0, sheets = 1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  Cfg() = Settings{};
  Settings& cfg = Cfg();
  cfg.Shag = 1 + in.Int(20);
  cfg.LeftMargin = (in.Int(400) - 50) / 100.0;
  cfg.RightMargin = (in.Int(400) - 50) / 100.0;
  cfg.TopMargin = (in.Int(400) - 50) / 100.0;
  cfg.BottomMargin = (in.Int(400) - 50) / 100.0;
  cfg.NumPages = in.Byte() & 1;
  cfg.Distance = (in.Int(300) - 50) / 100.0;
  cfg.EffOtstupX = in.Int(40) - 20;
  cfg.EffOtstupY = in.Int(40) - 20;
  cfg.HexColumns = 2 + in.Int(40);
  const int kind = in.Byte() & 1 ? kHexView : kTextView;
  FuzzPrinter printer;
  printer.canvas.dpi = 20 + in.Int(300);
  printer.canvas.SetHeight(1 + in.Int(40));
  for (int c = 0; c < 256; c += 1 + in.Int(40))
    printer.canvas.SetCharWidth(static_cast<uint8_t>(c), 1 + in.Int(30));
  printer.width = 1 + in.Int(1500);
  printer.height = 1 + in.Int(1500);
  PrintRequest request;
  for (int first = 1 + in.Int(5), spans = in.Int(3); spans > 0; --spans) {
    const int last = first + in.Int(4);
    request.pages.push_back({first, last});
    first = last + 1 + in.Int(3);
  }
  std::string text = in.Bytes(4096);
  for (char& c : text)
    if (c == '\t') c = ' ';  // a tab is drawn as spaces of its own

  PrintJob job(printer, kind, Font{}, IdentityTable());
  for (size_t i = 0; i < text.size(); i += 97) {
    job.Write(std::string_view(text).substr(i, 97));
    if (i % 3 == 0) job.Flush();
  }
  const PrintOutcome outcome = job.Print(request, {});
  // The printer never fails here: a failed job means a page took no row.
  if (job.Ready() && outcome != PrintOutcome::kPrinted) {
    std::fprintf(stderr, "print check failed: a page moved no row on\n");
    std::abort();
  }
  if (!job.Ready() || kind != kTextView || !request.pages.empty() || cfg.NumPages) return 0;
  // Whole rows only: a row cut at the page's right edge draws less. Blanks
  // hanging over the wrap edge are not drawn.
  auto* view = dynamic_cast<TextView*>(job.View());
  if (view->WrapWidth > view->ViewWidth()) return 0;
  std::string expected, drawn;
  for (char c : text)
    if (!IsLineEnd(static_cast<uint8_t>(c)) && c != ' ') expected += c;
  for (const DrawnText& t : printer.canvas.texts)
    for (char c : t.text)
      if (c != ' ') drawn += c;
  if (drawn != expected) {
    std::fprintf(stderr, "print check failed: %zu characters drawn of %zu\n", drawn.size(),
                 expected.size());
    std::abort();
  }
  return 0;
}
