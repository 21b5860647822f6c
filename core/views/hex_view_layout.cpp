// Geometry and drawing of the hex view, the caret point, scrolling to the
// caret, the number of columns, and the operations on the whole buffer.
#include <algorithm>
#include <cmath>
#include <new>

#include "encodings/recode.h"
#include "io/posix_file.h"
#include "settings/hex_columns.h"
#include "settings/settings.h"
#include "text/cp1251.h"
#include "text/utf8_chars.h"
#include "views/char_class.h"
#include "views/hex_codes.h"
#include "views/hex_view.h"

namespace prambus {

namespace {
enum class Utf8Cell { kChar, kContinuation, kStray };

// What the character column shows for the byte at `at` read as UTF-8: the
// character it starts (its bytes in glyph), a mark for a byte that continues
// the character before it, or a substitute for a byte of no character.
Utf8Cell Utf8CellAt(const GapBytes& bytes, size_t at, std::string& glyph) {
  const size_t from = at >= 3 ? at - 3 : 0;
  uint8_t near[7];
  const size_t n = bytes.CopyOut(from, sizeof near, near);
  const int col = static_cast<int>(at - from);
  const int start = Utf8StartOf(near, static_cast<int>(n), col);
  const int len = Utf8LengthAtEnd(near + start, n - static_cast<size_t>(start));
  if (start < col) {
    glyph = "\xB7";  // a middle dot
    return Utf8Cell::kContinuation;
  }
  if (len == 1) {
    glyph = "?";
    return Utf8Cell::kStray;
  }
  glyph.assign(reinterpret_cast<const char*>(near) + col, static_cast<size_t>(len));
  return Utf8Cell::kChar;
}
}  // namespace

namespace {
int Round(double v) {
  return static_cast<int>(std::lrint(v));
}
const std::string kTextLabel = "\xF2\xE5\xEA\xF1\xF2";  // "текст"
}  // namespace

HexView::HexView(Canvas* canvas) : ViewBase(canvas) {
  UpdateLineWidths();
  MeasureDigits();
  rowAcrossGap_.reserve(kMaxHexColumns);  // never moves, so views of it stay valid
  CursorDigit = 0;
  InCodes = true;
  SearchAs = 3;
  // Every byte counts alike for the base's word operations.
  SetUniformCharClass(kLineFeed);
  UpdateCaretPoint();
}

HexView::~HexView() {
  DataWindowMenuItem = nullptr;
  if (DataWindowShown && showDataWindow) showDataWindow(false);
}

int HexView::Columns() const {
  return std::clamp(Cfg().HexColumns, kMinHexColumns, kMaxHexColumns);
}
int HexView::Base() const {
  return std::clamp(Cfg().TextBaseSyst, 2, 36);
}
int HexView::K255() const {
  return DigitCount(255, Base());
}
int HexView::KC() const {
  return DigitCount(4294967295u, std::clamp(Cfg().CoordBaseSyst, 2, 36));
}
int HexView::RowHeight() {
  return LineHeight();
}
int HexView::Pitch() const {
  return Round(CellWidth() + CodeDigitWidth * Cfg().HDistance);
}
int HexView::Gap() const {
  return Round(CodeDigitWidth * Cfg().HDistance);
}
int HexView::CodeLength(uint8_t b) const {
  return Cfg().FirstZeroes ? K255() : DigitCount(b, Base());
}

std::string HexView::CodeText(uint8_t v) const {
  return DigitsOf(v, Base(), Cfg().FirstZeroes ? K255() : 0);
}

void HexView::MeasureDigits() {
  auto widest = [this](int base) {
    int w = 0;
    for (int v = 0; v <= base && v < 36; ++v)
      w = std::max(w, canvas_->TextWidth(std::string(1, DigitChar(v))));
    return w;
  };
  CodeDigitWidth = widest(Base());
  CoordDigitWidth = widest(std::clamp(Cfg().CoordBaseSyst, 2, 36));
}

void HexView::UpdateLineWidths() {
  const double dpi = canvas_->DpiX();
  LinePixels = std::max(0, Round(dpi * Cfg().LineWidth / 25.4) - 1);
  MarginPixels = std::max(0, Round(dpi * Cfg().MarginWidth / 25.4) - 1);
}

std::string_view HexView::GetRow(int row) const {
  const int n = Columns();
  if (row < 0 || row > Length() / n) return {};
  const int start = row * n;
  return Bytes.View(start, static_cast<size_t>(std::min(n, Length() - start)), rowAcrossGap_);
}

int64_t HexView::GetTextLength() const {
  return Length();
}

// Every row but the last is full, so the walk over the rows that the base
// does becomes a division.
void HexView::OffsetToPos(int& col, int& row) {
  const int n = Columns();
  row = std::clamp(row, 0, lastRow_);
  if (col < n) return;
  const int steps = std::min(col / n, lastRow_ - row);
  row += steps;
  col -= steps * n;
}

int HexView::PosToOffset(int col, int row) {
  return col + row * Columns();
}

int64_t HexView::GetDocumentHeight() {
  const int64_t rh = RowHeight();
  if (Bytes.empty()) return rh + LinePixels + 4;
  return rh * (int64_t{lastRow_} + 1) + rh + LinePixels + 4;
}

int HexView::GetDocumentWidth() {
  lastRow_ = Length() / Columns();
  const int cw = CoordDigitWidth;
  return Round(5 * Cfg().HDistance * cw) + KC() * cw + Columns() * (Pitch() + CodeDigitWidth) +
         LinePixels + MarginPixels;
}

void HexView::ReflowFrom(int) {
  Relayout();
}

void HexView::Relayout() {
  lastRow_ = Length() / Columns();
  MeasureDigits();
  UpdateCaretPoint();
  ScrollToCaret();
}

void HexView::Clear() {
  Bytes.Clear();
  lastRow_ = 0;
  cursorCol_ = cursorRow_ = anchorCol_ = anchorRow_ = 0;
  CursorDigit = AnchorDigit = 0;
}

void HexView::SetCharTable(const CodeTable& table) {
  charTable_ = table;
}

void HexView::AppendBytes(const uint8_t* bytes, int count) {
  if (count <= 0) return;
  Bytes.Append(bytes, static_cast<size_t>(count));
  lastRow_ = Length() / Columns();
}

void HexView::ExpectLength(int64_t bytes) {
  if (bytes <= static_cast<int64_t>(Bytes.size())) return;
  Bytes.Reserve(static_cast<size_t>(bytes));
  Bytes.AdviseHugePages();
}

void HexView::SetBytes(std::string_view bytes) {
  Bytes.Assign(bytes);
  NoteChange();
  lastRow_ = Length() / Columns();
  cursorCol_ = cursorRow_ = anchorCol_ = anchorRow_ = 0;
  CursorDigit = AnchorDigit = 0;
  UpdateCaretPoint();
}

void HexView::CopyContentTo(ViewBase& target) {
  const int shag = ShagInEffect();
  std::string scratch;
  for (int i = 0; i < Length(); i += shag) {
    const std::string_view piece = Bytes.View(i, static_cast<size_t>(shag), scratch);
    target.AppendBytes(reinterpret_cast<const uint8_t*>(piece.data()),
                       static_cast<int>(piece.size()));
  }
  target.EndAppend();
}

bool HexView::Recode(const CodeTable& source, const CodeTable& target) {
  const RecodePlan plan(source, target);
  // Nothing changes until the result is whole and room for it is had:
  // memory that runs out before refuses the recode.
  std::string out;
  try {
    const std::span<const uint8_t> bytes = Bytes.Contiguous();  // a whole rewrite
    const std::string_view in(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!plan.Convert(in, out, kMaxDocumentSize)) return false;
    if (out == in) return true;  // nothing to convert: the history still holds
    Bytes.Reserve(out.size());
  } catch (const std::bad_alloc&) {
    MemoryShort = true;
    return false;
  }
  Bytes.Assign(out);
  AfterWholeRewrite();
  return true;
}

// A rewrite of every byte cannot be undone piece by piece: the history goes,
// and the cursor is kept inside the new length.
void HexView::AfterWholeRewrite() {
  DropHistory();
  lastRow_ = Length() / Columns();
  if (CursorOffset() > Length()) ToOffset(Length(), true), ToOffset(Length(), false);
  UpdateCaretPoint();
  ScrollToCaret();
}

bool HexView::ForEachRow(const RowVisitor& visit) {
  const int shag = ShagInEffect();
  bool stop = false;
  std::string scratch;
  for (int i = 0; i < Length() && !stop; i += shag) {
    const std::string_view piece = Bytes.View(i, static_cast<size_t>(shag), scratch);
    visit(static_cast<int>(piece.size()), reinterpret_cast<const uint8_t*>(piece.data()), &stop);
  }
  return true;
}

namespace {
bool SameBytes(const GapBytes& a, const GapBytes& b) {
  if (a.size() != b.size()) return false;
  constexpr size_t kPiece = size_t(1) << 20;
  std::string scratchA, scratchB;
  for (size_t at = 0; at < a.size(); at += kPiece)
    if (a.View(at, kPiece, scratchA) != b.View(at, kPiece, scratchB)) return false;
  return true;
}
}  // namespace

bool HexView::TransformRows(const RowRewriter& rewrite) {
  const int shag = ShagInEffect();
  GapBytes out;
  out.Reserve(Bytes.size());
  std::string scratch;
  int i = 0;
  bool changed = false;  // a piece came back otherwise: perhaps the bytes changed
  while (i < Length()) {
    const std::string_view piece = Bytes.View(i, static_cast<size_t>(shag), scratch);
    const int n = static_cast<int>(piece.size());
    int len = n;
    const uint8_t* data = reinterpret_cast<const uint8_t*>(piece.data());
    bool last = i + n >= Length();
    rewrite(&len, &data, &last);
    const std::string_view kept =
        data && len > 0
            ? std::string_view(reinterpret_cast<const char*>(data), static_cast<size_t>(len))
            : std::string_view();
    if (!kept.empty()) out.Append(reinterpret_cast<const uint8_t*>(kept.data()), kept.size());
    changed = changed || kept != piece;
    i += n;
    if (last) break;
  }
  if (!changed || SameBytes(out, Bytes)) return true;  // the same bytes, however split
  while (i < Length()) {  // the bytes after the last rewritten piece stay as they were
    const std::string_view piece = Bytes.View(i, size_t(1) << 20, scratch);
    out.Append(reinterpret_cast<const uint8_t*>(piece.data()), piece.size());
    i += static_cast<int>(piece.size());
  }
  Bytes = std::move(out);
  AfterWholeRewrite();
  return true;
}

void HexView::SetColumns(int n) {
  n = std::clamp(n, kMinHexColumns, kMaxHexColumns);
  if (n == Columns()) return;
  const int o = CursorOffset();
  Cfg().HexColumns = n;
  cursorRow_ = o / n;
  cursorCol_ = o % n;
  anchorRow_ = cursorRow_;
  anchorCol_ = cursorCol_;
  AnchorDigit = CursorDigit;
  lastRow_ = Length() / n;
  UpdateCaretPoint();
  ScrollToCaret();
  if (formResize) formResize();
}

void HexView::ColumnsChangedFrom(int previous) {
  previous = std::clamp(previous, kMinHexColumns, kMaxHexColumns);
  const int cursor = cursorRow_ * previous + cursorCol_,
            anchor = anchorRow_ * previous + anchorCol_;
  ToOffset(cursor, true);
  ToOffset(anchor, false);
  lastRow_ = Length() / Columns();
  UpdateCaretPoint();
  ScrollToCaret();
}

// -------------------------------------------------------------- caret ----

Rect HexView::GetCaretArea() const {
  const Settings& c = Cfg();
  const int cw = CoordDigitWidth;
  const int rh = const_cast<HexView*>(this)->LineHeight();
  return {Round(2 * c.HDistance * cw) + KC() * cw + LinePixels + 2, rh + LinePixels + 4,
          c.EffOtstupX + viewWidth_, viewHeight_ + c.EffOtstupY + 10};
}

void HexView::UpdateCaretPoint() {
  const Settings& c = Cfg();
  const int rh = RowHeight(), cw = CoordDigitWidth, dw = CodeDigitWidth, s = Pitch();
  const int ox = c.EffOtstupX, oy = c.EffOtstupY;
  caretY_ = ViewY(int64_t{cursorRow_} * rh + rh + LinePixels + 4 + oy - scrollY_);
  const int offset = CursorOffset();
  if (InCodes) {
    const int xd = Round(3 * c.HDistance * cw) + KC() * cw + LinePixels + 1;
    if (!c.FirstZeroes && offset < Length()) {
      const int len = DigitCount(Bytes[offset], Base());
      CursorDigit = static_cast<uint8_t>(std::min<int>(CursorDigit, len));
      const int a = AnchorOffset();
      if (a < Length())
        AnchorDigit =
            static_cast<uint8_t>(std::min<int>(AnchorDigit, DigitCount(Bytes[a], Base())));
      caretX_ = ox + xd + cursorCol_ * s + (K255() - len + CursorDigit) * dw - scrollX_;
    } else {
      CursorDigit = static_cast<uint8_t>(std::min(static_cast<int>(CursorDigit), K255()));
      AnchorDigit = static_cast<uint8_t>(std::min(static_cast<int>(AnchorDigit), K255()));
      caretX_ = ox + xd + cursorCol_ * s + CursorDigit * dw - scrollX_;
    }
    if (offset >= Length()) caretX_ += CellWidth();
  } else {  // every byte has one cell of the character column
    caretX_ = ox + Gap() + Round(3 * c.HDistance * cw) + KC() * cw + LinePixels + Columns() * s +
              MarginPixels + cursorCol_ * dw + 1 - scrollX_;
  }
  if (DataWindowShown && paintDataWindow) paintDataWindow();
}

int HexView::CaretTopLimit() {
  return Round(canvas_->TextHeight("0") * Cfg().Distance) + GetCaretArea().top;
}

int HexView::FirstRowTextHeight() const {
  std::string_view row0 = GetRow(0);
  return canvas_->TextHeight(row0.empty() ? std::string_view(" ") : row0.substr(0, 1));
}

int64_t HexView::ScrollShowingRowAtBottom(int row, int extraRows) {
  const int64_t shown = std::min<int64_t>(int64_t{lastRow_} - row, extraRows);
  return int64_t{RowHeight()} * (shown + row) + FirstRowTextHeight() + CaretTopLimit() -
         viewHeight_;
}

void HexView::ScrollToCaret() {
  const Settings& c = Cfg();
  const Rect r = GetCaretArea();
  const int rh = RowHeight();
  const int t = CaretTopLimit();
  const int l = r.left + Gap() + c.EffOtstupX;
  if (caretY_ < t) {
    SetScrollY(int64_t{rh} * (cursorRow_ - std::min(cursorRow_, c.VScrollStep - 1)));
  } else if (viewHeight_ - FirstRowTextHeight() + 2 < caretY_) {
    SetScrollY(ScrollShowingRowAtBottom(cursorRow_, c.VScrollStep - 1));
  }
  const int W = CellWidth(), g = Gap(), n = Columns();
  if (caretX_ < l) {
    SetScrollX((W + g) * std::max(0, cursorCol_ - c.HScrollStep + 1));
  } else if (caretX_ >= c.EffOtstupX + viewWidth_) {
    int m = static_cast<int>(std::min<int64_t>(int64_t{c.HScrollStep} + cursorCol_, n));
    int needed;
    if (InCodes) {
      needed = m * (W + g);
    } else {
      if (m == n - 1) m = n;
      needed = g + (W + g) * n + m * CodeDigitWidth;
    }
    SetScrollX(std::max(0, needed + l - viewWidth_ + 2));
  }
}

int HexView::CodeAreaLeft() const {
  const Settings& c = Cfg();
  const int cw = CoordDigitWidth;
  return c.EffOtstupX + KC() * cw + Round(2 * c.HDistance * cw) + LinePixels + Gap();
}

Rect HexView::CharacterColumn() const {
  const Settings& c = Cfg();
  const int n = Columns();
  const int xc = CodeAreaLeft() + Gap() + n * Pitch() + MarginPixels - scrollX_;
  return {xc, c.EffOtstupY, xc + n * CodeDigitWidth, c.EffOtstupY + viewHeight_};
}

// Scrolling to the caret shows a found match's first byte; when the match
// runs on past the right edge within its row and fits the view whole, scroll
// on until its last byte shows, never past its first; a match wider than the
// view shows its first byte.
void HexView::ScrollMatchIntoView() {
  const int n = Columns(), first = CursorOffset(), last = AnchorOffset() - 1;
  if (last < first) return;
  if (last / n != first / n) {
    ScrollMatchRowsIntoView(first / n, last / n);
    return;
  }
  const int x0 = CodeAreaLeft();
  int startX = 0, endX = 0;  // in the area of the caret, unscrolled
  if (InCodes) {
    startX = x0 + (first % n) * Pitch();
    endX = x0 + (last % n) * Pitch() + CellWidth();
  } else {
    const int xc = CharacterColumn().left + scrollX_;
    startX = xc + (first % n) * CodeDigitWidth;
    endX = xc + (last % n + 1) * CodeDigitWidth;
  }
  const int left = x0 - Gap(), right = Cfg().EffOtstupX + viewWidth_;
  if (endX - startX > right - left) {  // too wide: its start shows
    if (startX - scrollX_ < left) SetScrollX(std::max(0, startX - left));
    return;
  }
  if (endX - scrollX_ <= right) return;
  SetScrollX(std::max(scrollX_, std::min(startX - left, endX - right + 2)));
}

// A match that runs on to later rows: when its rows fit the view together,
// scroll down until its last row shows as the caret's would (with the same
// scroll step), never past the row of its first byte, where the caret is.
// A match taller than the view keeps its first row in view.
void HexView::ScrollMatchRowsIntoView(int firstRow, int lastRow) {
  const Settings& c = Cfg();
  const int rh = RowHeight();
  const int64_t lastY =
      int64_t{lastRow} * rh + rh + LinePixels + 4 + c.EffOtstupY - scrollY_;  // its caretY_
  if (lastY <= viewHeight_ - FirstRowTextHeight() + 2) return;  // its last row shows already
  const int64_t firstAtTop = int64_t{rh} * firstRow;
  if (ScrollShowingRowAtBottom(lastRow, 0) > firstAtTop) return;  // taller than the view
  const int64_t scroll = std::min(ScrollShowingRowAtBottom(lastRow, c.VScrollStep - 1), firstAtTop);
  if (scroll > scrollY_) SetScrollY(scroll);
}

// -------------------------------------------------------------- paint ----

void HexView::Paint() {
  const Settings& c = Cfg();
  const int n = Columns(), dw = CodeDigitWidth, cw = CoordDigitWidth;
  const int s = Pitch(), g = Gap(), W = CellWidth(), kc = KC();
  const int LP = LinePixels, MP = MarginPixels;
  const int ox = c.EffOtstupX, oy = c.EffOtstupY;
  const int rh = std::max(1, RowHeight());
  const int bottom = oy + viewHeight_;
  canvas_->SetTransparent(true);
  const Color viewFont = canvas_->FontColor();
  const Color brush = canvas_->BrushColor();
  const int penWidth = canvas_->PenWidth();
  canvas_->SetFontColor(c.CoordColor);

  const int xs = ox + kc * cw + Round(2 * c.HDistance * cw);
  const int x0 = xs + LP + g;
  const int yh = rh + oy + 2;
  const int xr = 2 * g + n * s + xs + n * dw + LP + MP - scrollX_;
  canvas_->SetPen(c.LineColor, LP + 1);
  canvas_->Polyline({{xr, yh + LP / 2}, {xs + LP / 2, yh + LP / 2}, {xs + LP / 2, bottom}});
  if (!printMode_) canvas_->SetClip({xs + LP, 0, ox + viewWidth_, bottom});
  const int numberDigits =
      DigitCount(static_cast<uint64_t>(n - 1), std::clamp(c.CoordBaseSyst, 2, 36));
  for (int j = s > 0 ? scrollX_ / s : 0; j < n; ++j) {
    const std::string num =
        DigitsOf(static_cast<uint64_t>(j), std::clamp(c.CoordBaseSyst, 2, 36), numberDigits);
    canvas_->TextOut(x0 + j * s - scrollX_ - g / 2 + (s - canvas_->TextWidth(num)) / 2, oy + 2,
                     num);
  }
  canvas_->TextOut(x0 + n * s + MP - scrollX_ + (n * dw - canvas_->TextWidth(kTextLabel)) / 2,
                   oy + 2, kTextLabel);

  const int zeroH = canvas_->TextHeight("0");
  // Rows and their y in 64 bits: rows times the row height may pass 2^31.
  // The first row is at most one past the last; y is within the view's reach.
  const int firstRow =
      static_cast<int>(std::clamp<int64_t>(scrollY_ / rh, 0, int64_t{lastRow_} + 1));
  auto rowY = [&](int u) {
    return ViewY(int64_t{u} * rh + yh + LP + 2 + Round(zeroH * c.Distance) - scrollY_);
  };
  // The rows drawn: the first always, then while they start inside the view
  // (and, when printing, while they fit whole). A printed page with no room
  // below the header still takes one row, so printing moves on.
  std::vector<int> rows;
  if (bottom >= yh + LP || printMode_) {
    for (int u = firstRow;; ++u) {
      const int y = rowY(u);
      if (u > firstRow && (y >= bottom || (printMode_ && viewHeight_ < y + rh))) break;
      rows.push_back(u);
      if (rows.size() > 10000) break;
    }
  }
  if (!rows.empty()) {
    if (!printMode_) canvas_->SetClip({0, yh + LP, ox + viewWidth_, bottom});
    for (int u : rows) {
      const std::string coord =
          DigitsOf(static_cast<uint64_t>(u) * n, std::clamp(c.CoordBaseSyst, 2, 36), kc);
      for (int k = 0; k < kc; ++k)
        canvas_->TextOut(ox + Round(cw * c.HDistance) + k * cw, rowY(u), coord.substr(k, 1));
    }
    if (!printMode_) canvas_->SetClip({x0 - g, yh + LP, ox + viewWidth_, bottom});
    const int marginX = x0 + n * s + MP / 2 - scrollX_;
    canvas_->SetPen(c.MarginColor, MP + 1);
    canvas_->Polyline({{marginX, yh}, {marginX, bottom}});
    canvas_->SetFontColor(viewFont);

    // Selection edges.
    const int cur = CursorOffset(), anc = AnchorOffset();
    const int dc = CursorDigit, da = AnchorDigit;
    const bool sel = HasSelection();
    const int lo = std::min(cur, anc), hi = std::max(cur, anc);
    const int hiDigit = cur > anc ? dc : cur < anc ? da : std::max(dc, da);
    auto digitSelected = [&](int cell, int k) {
      if (!sel) return false;
      if (cur == anc) return cell == cur && k >= std::min(dc, da) && k < std::max(dc, da);
      if (cur == anc + 1 && dc == 0) return cell == anc && k >= da;
      if (anc == cur + 1 && da == 0) return cell == cur && k >= dc;
      return (cell >= lo && cell < hi) || (cell == hi && hiDigit != 0);
    };
    auto select = [&](bool on) {
      canvas_->SetTransparent(!on);
      canvas_->SetBrushColor(on ? c.ChosenFonClr : brush);
      canvas_->SetFontColor(on ? c.ChosenTextClr : viewFont);
    };
    for (int u : rows) {
      const int y = rowY(u);
      for (int j = s > 0 ? scrollX_ / s : 0; j < n && u * n + j < Length(); ++j) {
        const int cell = u * n + j;
        const std::string code = CodeText(Bytes[cell]);
        const int L = static_cast<int>(code.size());
        const int cellX = x0 + j * s - scrollX_;
        for (int k = 1; k <= L; ++k) {  // right-aligned in the cell, each digit in its slot
          select(digitSelected(cell, k - 1));
          canvas_->TextOut(cellX + W - (L - k + 1) * dw, y, code.substr(k - 1, 1));
        }
      }
      select(false);
      // Characters: each byte in its own cell of the code digit's width, so
      // the column stays under its header whatever the glyphs' widths; a
      // character without a glyph shows as a dot in the coordinates' colour.
      std::string_view row = GetRow(u);
      if (row.empty()) continue;
      const int xc = CharacterColumn().left;
      int from = 0, to = 0;  // the selected columns [from, to)
      if (sel) {
        const int rowStart = u * n, rowEnd = rowStart + static_cast<int>(row.size());
        const int selEnd = hiDigit != 0 ? hi + 1 : hi;
        from = std::clamp(lo - rowStart, 0, rowEnd - rowStart);
        to = std::clamp(selEnd - rowStart, 0, rowEnd - rowStart);
      }
      if (to > from) {
        canvas_->SetBrushColor(c.ChosenFonClr);
        canvas_->FillRect({xc + from * dw, y, xc + to * dw, y + zeroH});
        canvas_->SetBrushColor(brush);
      }
      for (int i = 0; i < static_cast<int>(row.size()); ++i) {
        const bool selected = i >= from && i < to;
        if (ShowUtf8 && static_cast<uint8_t>(row[i]) >= 0x80) {
          std::string glyph;
          const Utf8Cell cell = Utf8CellAt(Bytes, static_cast<size_t>(u) * n + i, glyph);
          canvas_->SetFontColor(selected                  ? c.ChosenTextClr
                                : cell == Utf8Cell::kChar ? viewFont
                                                          : c.CoordColor);
          if (cell == Utf8Cell::kChar)
            canvas_->TextOutUtf8(xc + i * dw, y, glyph);
          else
            canvas_->TextOut(xc + i * dw + (dw - CharWidth(static_cast<uint8_t>(glyph[0]))) / 2, y,
                             glyph);
          continue;
        }
        const uint8_t ch = charTable_[static_cast<uint8_t>(row[i])];
        const bool noGlyph = HasNoGlyph(ch);
        const std::string glyph(1, noGlyph ? '.' : static_cast<char>(ch));
        canvas_->SetFontColor(selected ? c.ChosenTextClr : noGlyph ? c.CoordColor : viewFont);
        canvas_->TextOut(xc + i * dw + (dw - CharWidth(static_cast<uint8_t>(glyph[0]))) / 2, y,
                         glyph);
      }
      canvas_->SetFontColor(viewFont);
    }
  }
  if (printMode_) {
    const int next = rows.empty() ? firstRow : rows.back() + 1;
    if (next * n < Length()) {
      scrollY_ += rowY(next) + (scrollY_ % rh) - Round(zeroH * c.Distance) - yh - LP - 2;
      printDone_ = false;
    } else {
      printDone_ = true;
    }
  } else {
    printDone_ = true;
  }
  canvas_->SetBrushColor(brush);
  canvas_->SetFontColor(viewFont);
  canvas_->SetPen(canvas_->PenColor(), penWidth);
  canvas_->SetTransparent(true);
  canvas_->RemoveClip();
}

}  // namespace prambus
