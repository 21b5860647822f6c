#include "print/print_job.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "settings/settings.h"
#include "views/hex_view.h"
#include "views/text_view.h"
#include "views/view_factory.h"

namespace prambus {

namespace {
// Nearest integer, halves to the even neighbour (the default rounding mode),
// kept inside int range.
int RoundHalfEven(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int>(std::nearbyint(std::clamp(v, -1e9, 1e9)));
}

bool Shown(const PrintRequest& request, int page) {
  if (request.pages.empty()) return true;
  for (const PageSpan& span : request.pages)
    if (page >= span.first && page <= span.last) return true;
  return false;
}

int LastPage(const PrintRequest& request) {
  int last = request.pages.empty() ? kLastPageOfAll : 0;
  for (const PageSpan& span : request.pages) last = std::max(last, span.last);
  return last;
}
}  // namespace

int CentimetresToPixels(double cm, int dpi) {
  return RoundHalfEven(dpi / 2.54 * cm);
}

PrintMargins MarginsInPixels(const Settings& cfg, int dpiX, int dpiY) {
  return {CentimetresToPixels(cfg.LeftMargin, dpiX), CentimetresToPixels(cfg.RightMargin, dpiX),
          CentimetresToPixels(cfg.TopMargin, dpiY), CentimetresToPixels(cfg.BottomMargin, dpiY)};
}

Font FontForDevice(const Font& font, int fromDpi, int toDpi) {
  Font f = font;
  if (fromDpi <= 0 || toDpi <= 0 || fromDpi == toDpi) return f;
  const int h = RoundHalfEven(static_cast<double>(font.height) * toDpi / fromDpi);
  f.height = h != 0 ? h : (font.height < 0 ? -1 : 1);
  return f;
}

// ------------------------------------------------------------ the job ----

PrintJob::PrintJob(PrintDevice& device, int viewKind, const Font& font, const CodeTable& charTable)
    : device_(device), page_(device.SheetCanvas()) {
  Settings& cfg = Cfg();
  Canvas& sheet = device.SheetCanvas();
  sheet.SetFont(font);
  margins_ = MarginsInPixels(cfg, sheet.DpiX(), sheet.DpiY());
  const int width = device.PageWidth() - margins_.left - margins_.right;
  view_ = MakeView(viewKind, &page_);
  if (!view_) return;
  if (auto* text = dynamic_cast<TextView*>(view_.get())) {
    text->SetWrapWidth(width);
  } else if (auto* hex = dynamic_cast<HexView*>(view_.get())) {
    hex->SetCharTable(charTable);
    // Two columns are the fewest a hex view shows.
    while (hex->GetDocumentWidth() > width && cfg.HexColumns > 2) --cfg.HexColumns;
  }
  view_->BeginPrinting();
  numberHeight_ = sheet.TextHeight("0");
  int height = device.PageHeight() - margins_.top - margins_.bottom;
  if (cfg.NumPages) height = std::min(height, device.PageHeight() - numberHeight_ - margins_.top);
  view_->SetViewWidth(width);
  view_->SetViewHeight(height);
  ready_ = width > 0 && height > 0;
}

PrintJob::~PrintJob() = default;

void PrintJob::ShowUtf8() {
  if (auto* text = dynamic_cast<TextView*>(view_.get())) text->SetUtf8(true);
  if (auto* hex = dynamic_cast<HexView*>(view_.get())) {
    hex->SetCharTable(IdentityTable());
    hex->ShowUtf8 = true;
  }
}

void PrintJob::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    const size_t n = std::min(bytes.size(), static_cast<size_t>(kChannelSize - used_));
    std::memcpy(buffer_ + used_, bytes.data(), n);
    used_ += static_cast<int>(n);
    bytes.remove_prefix(n);
    if (used_ == kChannelSize) Flush();
  }
}

void PrintJob::Flush() {
  if (used_ > 0 && view_) view_->AppendBytes(buffer_, used_);
  used_ = 0;
}

// One page of the view. The screen's margins, which the view adds to every
// position, are taken back out so the text sits exactly inside the printed
// margins. A page outside the range is laid out on the same sheet without
// leaving a mark.
void PrintJob::DrawPage(int page, bool shown) {
  const Settings& cfg = Cfg();
  page_.SetOrigin({margins_.left - cfg.EffOtstupX, margins_.top - cfg.EffOtstupY});
  page_.SetDrawing(shown);
  view_->Paint();
  page_.SetDrawing(true);
  if (!shown || !cfg.NumPages) return;
  // Centred on the sheet, its top one text height above the bottom edge.
  Canvas& sheet = device_.SheetCanvas();
  const std::string number = std::to_string(page);
  sheet.SetTransparent(true);
  sheet.TextOut((device_.PageWidth() - sheet.TextWidth(number)) / 2,
                device_.PageHeight() - numberHeight_, number);
}

PrintOutcome PrintJob::Print(const PrintRequest& request, const PrintProgressFn& progress) {
  Flush();
  if (view_) view_->EndAppend();  // a character cut at the end of the text
  if (!ready_) return PrintOutcome::kFailed;
  const int last = LastPage(request);
  const int copies = std::max(1, request.copies);
  const int runs = request.collate ? copies : 1;
  const int repeats = request.collate ? 1 : copies;
  for (int run = 0; run < runs; ++run) {
    if (run > 0 && !device_.NewSheet()) return PrintOutcome::kFailed;
    view_->SetScrollY(0);
    view_->BeginPrinting();
    for (int page = 1; page <= last; ++page) {
      const bool shown = Shown(request, page);
      const int64_t top = view_->ScrollY();
      for (int k = 0; k < (shown ? repeats : 1); ++k) {
        if (k > 0 && !device_.NewSheet()) return PrintOutcome::kFailed;
        view_->SetScrollY(top);
        DrawPage(page, shown);
      }
      // A page that took nothing would repeat for ever: give up instead.
      if (!view_->PrintDone() && view_->ScrollY() <= top) return PrintOutcome::kFailed;
      if (progress && !progress({page, 0, 0})) return PrintOutcome::kCancelled;
      if (view_->PrintDone() || page == last) break;
      if (shown && !device_.NewSheet()) return PrintOutcome::kFailed;
    }
  }
  return PrintOutcome::kPrinted;
}

// ---------------------------------------------------- the whole command ----

PrintOutcome PrintDocument(ViewBase& source, int viewKind, PrintDevice& device, const Font& font,
                           const PrintRequest& request, const PrintProgressFn& progress) {
  auto* hexSource = dynamic_cast<HexView*>(&source);
  const int columnsBefore = Cfg().HexColumns;
  PrintJob job(device, viewKind, font, source.CharTable());
  const auto* textSource = dynamic_cast<const TextView*>(&source);
  if ((textSource && textSource->Utf8()) || (hexSource && hexSource->ShowUtf8)) job.ShowUtf8();
  if (hexSource && Cfg().HexColumns != columnsBefore) hexSource->ColumnsChangedFrom(columnsBefore);
  if (!job.Ready()) return PrintOutcome::kFailed;

  // Fed in slices, so that even one enormous row reports progress.
  constexpr int64_t kSlice = 64 * 1024;
  PrintProgress fed;
  auto feed = [&](std::string_view bytes) {
    while (!bytes.empty()) {
      const std::string_view slice = bytes.substr(0, static_cast<size_t>(kSlice));
      job.Write(slice);
      bytes.remove_prefix(slice.size());
      const int64_t before = fed.fedBytes;
      fed.fedBytes += static_cast<int64_t>(slice.size());
      if (progress && before / kSlice != fed.fedBytes / kSlice && !progress(fed)) return false;
    }
    return true;
  };
  if (request.selectionOnly) {
    const std::string selected = source.GetSelectedText();
    fed.totalBytes = static_cast<int64_t>(selected.size());
    if (!feed(selected)) return PrintOutcome::kCancelled;
  } else {
    fed.totalBytes = source.GetTextLength();
    for (int row = 0; row <= source.LastRow(); ++row) {
      if (!feed(source.GetRow(row))) return PrintOutcome::kCancelled;
      job.Flush();
    }
  }
  PrintRequest pages = request;
  if (request.selectionOnly) pages.pages.clear();  // a selection prints from its first page
  return job.Print(pages, progress);
}

}  // namespace prambus
