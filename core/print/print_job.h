// Printing: a second view of the current kind on the printer's canvas, fed
// with the document through a 128-byte output channel, draws page after page
// inside the margins of the settings, with the page number under each page.
// The printer itself (a real one or a PDF file) stays behind PrintDevice.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/canvas.h"
#include "print/page_canvas.h"
#include "views/view_base.h"

namespace prambus {

struct Settings;

// The printer as a job needs it. The canvas draws on the current sheet; its
// origin is the top-left corner of the area the printer can print on, and the
// page size is that area's, in device pixels.
class PrintDevice {
 public:
  virtual ~PrintDevice() = default;
  virtual Canvas& SheetCanvas() = 0;
  virtual int PageWidth() const = 0;
  virtual int PageHeight() const = 0;
  // Ends the current sheet and starts the next; false when the printer failed.
  virtual bool NewSheet() = 0;
};

struct PrintMargins {
  int left = 0, right = 0, top = 0, bottom = 0;
  bool operator==(const PrintMargins&) const = default;
};

// Centimetres to device pixels, rounded to the nearest pixel with halves to
// the even one; any number a user may type stays within int range.
int CentimetresToPixels(double cm, int dpi);
PrintMargins MarginsInPixels(const Settings& cfg, int dpiX, int dpiY);
// The screen font for a device of another resolution: the same physical size.
Font FontForDevice(const Font& font, int fromDpi, int toDpi);

struct PageSpan {
  int first = 1, last = 1;  // inclusive, counted from 1
};

struct PrintRequest {
  bool selectionOnly = false;
  std::vector<PageSpan> pages;  // in increasing order; empty: every page
  int copies = 1;               // copies the job must draw itself
  bool collate = true;
};

// What the job is doing, for a progress window: feeding the document to the
// print view (page 0), or drawing a page.
struct PrintProgress {
  int page = 0;
  int64_t fedBytes = 0;
  int64_t totalBytes = 0;
};
// Called often while the job runs; returning false cancels it.
using PrintProgressFn = std::function<bool(const PrintProgress&)>;

enum class PrintOutcome { kPrinted, kCancelled, kFailed };

// Pages are counted up to this when no range was chosen.
constexpr int kLastPageOfAll = 10000000;

class PrintJob {
 public:
  static constexpr int kChannelSize = 128;

  // Starts the job: the sheet takes the font, the margins are computed, the
  // print view of the kind is created, fitted to the page (the text wrapped
  // to its width, the hex view's HexColumns narrowed until a row fits; the
  // narrower setting stays) and put in printing mode. charTable is the
  // current encoding, shown by the hex view's character area.
  PrintJob(PrintDevice& device, int viewKind, const Font& font, const CodeTable& charTable);
  ~PrintJob();
  // The document is UTF-8: the print view shows its characters (the text
  // view) or reads its character area as UTF-8 (the hex view).
  void ShowUtf8();
  PrintJob(const PrintJob&) = delete;
  PrintJob& operator=(const PrintJob&) = delete;

  // False when the margins leave no room on the page (nothing can print).
  bool Ready() const { return ready_; }
  // The output channel: bytes gather in a 128-byte buffer; each full or
  // flushed buffer is appended to the print view.
  void Write(std::string_view bytes);
  void Flush();
  // Closes the channel: draws the pages of the request, each on its own sheet.
  PrintOutcome Print(const PrintRequest& request, const PrintProgressFn& progress);

  ViewBase* View() const { return view_.get(); }
  const PrintMargins& Margins() const { return margins_; }

 private:
  void DrawPage(int page, bool shown);

  PrintDevice& device_;
  PageCanvas page_;
  std::unique_ptr<ViewBase> view_;
  PrintMargins margins_;
  int numberHeight_ = 0;  // the page-number line's height
  bool ready_ = false;
  uint8_t buffer_[kChannelSize];
  int used_ = 0;
};

// The Print command once the printer is chosen: the source view's document
// (every row in order, or only its selection) goes through a job and is
// printed. A hex source whose HexColumns the job narrows keeps its cursor and
// selection on the same bytes. The document is not changed.
PrintOutcome PrintDocument(ViewBase& source, int viewKind, PrintDevice& device, const Font& font,
                           const PrintRequest& request, const PrintProgressFn& progress);

}  // namespace prambus
