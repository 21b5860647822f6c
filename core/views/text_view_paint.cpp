// Drawing of the text view, the caret point, scrolling to the caret and the
// view's own menu entries.
#include <algorithm>

#include "settings/settings.h"
#include "views/char_class.h"
#include "views/nonprinting.h"
#include "views/text_view.h"

namespace prambus {

int TextView::Advance(uint8_t c, int x) const {
  const int w = CharWidths[c] >= 0 ? CharWidths[c] : const_cast<TextView*>(this)->MeasureChar(c);
  if (c == 9 && !ShowNonPrinting) return w > 0 ? (x / w + 1) * w - x : 0;
  return w;
}

int TextView::ColumnX(int row, int col) const {
  if (row < 0 || row > lastRow_) return 0;
  const RowText& r = Rows[row];
  col = std::min(col, r.size());
  int x = 0;
  if (!utf8_) {
    for (int i = 0; i < col; ++i) x += Advance(r[i], x);
    return x;
  }
  for (int i = 0, len = 1; i < col; i += len) x += AdvanceAt(r, i, x, len);
  return x;
}

void TextView::UpdateCaretPoint() {
  const Settings& cfg = Cfg();
  caretY_ = ViewY(int64_t{LineHeight()} * cursorRow_ + cfg.EffOtstupY - scrollY_);
  caretX_ = ColumnX(cursorRow_, cursorCol_) + cfg.EffOtstupX - scrollX_;
}

int TextView::FirstRowTextHeight() const {
  std::string_view row0 = GetRow(0);
  return canvas_->TextHeight(row0.empty() ? std::string_view(" ") : row0.substr(0, 1));
}

int64_t TextView::ScrollShowingRowAtBottom(int row, int extraRows) {
  const int64_t shown = std::min<int64_t>(int64_t{lastRow_} - row, extraRows);
  return int64_t{LineHeight()} * (shown + row) + FirstRowTextHeight() - viewHeight_;
}

void TextView::ScrollToCaret() {
  const Settings& cfg = Cfg();
  const int lh = LineHeight();
  if (caretY_ < cfg.EffOtstupY) {
    SetScrollY(int64_t{lh} * (cursorRow_ - std::min(cursorRow_, cfg.VScrollStep - 1)));
  } else if (viewHeight_ + cfg.EffOtstupY - FirstRowTextHeight() < caretY_) {
    SetScrollY(ScrollShowingRowAtBottom(cursorRow_, cfg.VScrollStep - 1));
  }
  if (caretX_ < cfg.EffOtstupX) {
    const int col = cursorCol_ - cfg.HScrollStep + 1;
    SetScrollX(col > 0 ? ColumnX(cursorRow_, col) : 0);
  } else if (caretX_ > viewWidth_ + cfg.EffOtstupX) {
    const int len = Len(cursorRow_);
    if (cursorCol_ == len && len > 0 && CharClass[Rows[cursorRow_][len - 1]] == kBlank) {
      const int blank = Advance(Rows[cursorRow_][len - 1], ColumnX(cursorRow_, len - 1));
      if (caretX_ - blank <= viewWidth_ + cfg.EffOtstupX) return;  // a hanging blank
    }
    int t = static_cast<int>(std::min<int64_t>(int64_t{cursorCol_} + cfg.HScrollStep, len));
    while (t > 0 && IsLineEnd(Rows[cursorRow_][t - 1])) --t;
    SetScrollX(std::max(0, ColumnX(cursorRow_, t) - viewWidth_ + 2));
  }
}

// Scrolling to the caret shows a match's first letters; when the match runs
// on past the right edge and fits the view whole, scroll on until its end
// shows, never past its start. A match wider than the view shows its start
// (the scroll step past the caret may have taken it out of a narrow view).
void TextView::ScrollMatchIntoView() {
  if (anchorRow_ != cursorRow_) {
    // The selection's end at the start of a row ends the row before it.
    const int lastRow = anchorCol_ == 0 ? anchorRow_ - 1 : anchorRow_;
    if (lastRow > cursorRow_) ScrollMatchRowsIntoView(lastRow);
    return;
  }
  const int startX = ColumnX(cursorRow_, cursorCol_), endX = ColumnX(anchorRow_, anchorCol_);
  if (endX - startX > viewWidth_) {
    if (startX < scrollX_) SetScrollX(startX);
    return;
  }
  if (endX - scrollX_ <= viewWidth_) return;
  SetScrollX(std::min(startX, std::max(0, endX - viewWidth_ + 2)));
}

// A match that runs on to later rows: when its rows fit the view together,
// scroll down until its last row shows as the caret's would (with the same
// scroll step), never past the caret's row, where the match begins. A match
// taller than the view keeps its first row in view.
void TextView::ScrollMatchRowsIntoView(int lastRow) {
  const Settings& cfg = Cfg();
  const int lh = LineHeight();
  const int64_t lastY = int64_t{lh} * lastRow + cfg.EffOtstupY - scrollY_;   // its caretY_
  if (lastY <= viewHeight_ + cfg.EffOtstupY - FirstRowTextHeight()) return;  // it shows already
  const int64_t firstAtTop = int64_t{lh} * cursorRow_;
  if (ScrollShowingRowAtBottom(lastRow, 0) > firstAtTop) return;  // taller than the view
  const int64_t scroll =
      std::min(ScrollShowingRowAtBottom(lastRow, cfg.VScrollStep - 1), firstAtTop);
  if (scroll > scrollY_) SetScrollY(scroll);
}

void TextView::Paint() {
  const Settings& cfg = Cfg();
  canvas_->SetTransparent(true);
  if (Rows[0].empty()) {
    if (printMode_) printDone_ = true;
    return;
  }
  const Color savedBrush = canvas_->BrushColor();
  const Color savedFont = canvas_->FontColor();

  int sr = -1, sc = -1, er = -1, ec = -1;
  if (HasSelection()) {
    sr = anchorRow_, sc = anchorCol_, er = cursorRow_, ec = cursorCol_;
    if (sr > er || (sr == er && sc > ec)) {
      std::swap(sr, er);
      std::swap(sc, ec);
    }
  }
  const int h = LineHeight();
  const int ox = cfg.EffOtstupX, oy = cfg.EffOtstupY;
  // The first row is at most one past the last, so it fits an int; its y is
  // within one row above the view.
  int row =
      h > 0 ? static_cast<int>(std::clamp<int64_t>(scrollY_ / h, 0, int64_t{lastRow_} + 1)) : 0;
  int y = ViewY(int64_t{row} * h - scrollY_);
  int drawn = 0;
  std::string run;
  std::string copy;
  bool selected = false;
  const int cell = utf8_ ? Utf8CharWidth(nullptr, 1) : -1;  // a cell under UTF-8

  auto selectOn = [&] {
    selected = true;
    canvas_->SetBrushColor(cfg.ChosenFonClr);
    canvas_->SetFontColor(cfg.ChosenTextClr);
    canvas_->SetTransparent(false);
  };
  auto selectOff = [&] {
    selected = false;
    canvas_->SetBrushColor(savedBrush);
    canvas_->SetFontColor(savedFont);
    canvas_->SetTransparent(true);
  };

  // When printing, only whole rows, but always at least one: a page shorter
  // than a row still moves on, one row per page.
  while (y < viewHeight_ && row <= lastRow_ &&
         (!printMode_ || y + h <= viewHeight_ || drawn == 0)) {
    const RowText& r = Rows[row];
    copy.assign(r.view());
    if (ShowNonPrinting) {
      for (char& ch : copy) {
        uint8_t u = static_cast<uint8_t>(ch);
        if (u < 33) ch = static_cast<char>(kNonPrintingGlyphs[u]);
      }
    }
    const int n = static_cast<int>(copy.size());
    // Skip the characters left of the view.
    int j = 0, x = 0, rem = scrollX_;
    while (j < n && !IsLineEnd(static_cast<uint8_t>(copy[j]))) {
      int len = 1;
      const int adv = AdvanceAt(r, j, x, len);
      if (rem - adv < 0) break;
      rem -= adv;
      x += adv;
      j += len;
    }
    const bool visible = j < n && !IsLineEnd(static_cast<uint8_t>(copy[j]));
    if (visible) {
      // Selection colours are on when the first visible character lies in it.
      if (sr >= 0 && (row > sr || (row == sr && j > sc)) && (row < er || (row == er && j < ec)))
        selectOn();
      run.clear();
      int runX = x;
      // Characters of several bytes (and substitutes, and under UTF-8 the
      // ASCII between them) in a row are drawn by one call, each in its cells.
      std::string wide;
      int wideX = x, wideEnd = x;
      auto flushWide = [&] {
        if (wide.empty()) return;
        if (selected)
          canvas_->FillRect({wideX - scrollX_ + ox, y + oy, wideEnd - scrollX_ + ox, y + oy + h});
        canvas_->TextOutUtf8(wideX - scrollX_ + ox, y + oy, wide);
        wide.clear();
      };
      auto flush = [&] {
        flushWide();
        if (!run.empty()) canvas_->TextOut(runX - scrollX_ + ox, y + oy, run);
        run.clear();
      };
      const int rightEdge = scrollX_ + viewWidth_ + 2 * ox + 64;
      while (j < n && x < WrapWidth && x < rightEdge && !IsLineEnd(static_cast<uint8_t>(copy[j]))) {
        if (row == sr && j == sc && !selected) {
          flush();
          runX = x;
          selectOn();
        }
        if (row == er && j == ec && selected) {
          flush();
          runX = x;
          selectOff();
        }
        const uint8_t c = r[j];
        int len = 1;
        const int adv = AdvanceAt(r, j, x, len);
        // Under UTF-8 printable ASCII one cell wide, shown as itself, joins
        // the characters around it: a row of mixed scripts is one call.
        if (len > 1 || (utf8_ && (c >= 0x80 || (c >= 0x20 && c < 0x7F && adv == cell &&
                                                copy[j] == static_cast<char>(c))))) {
          // A character drawn where the layout puts it; a byte of no
          // character as the substitute mark.
          if (!run.empty()) canvas_->TextOut(runX - scrollX_ + ox, y + oy, run);
          run.clear();
          if (wide.empty()) wideX = x;
          if (len > 1 || c < 0x80)
            wide.append(r.view().substr(static_cast<size_t>(j), static_cast<size_t>(len)));
          else
            wide.append("\xEF\xBF\xBD");
          x += adv;
          wideEnd = runX = x;
          j += len;
          continue;
        }
        flushWide();
        if (c == 9 && !ShowNonPrinting) {
          flush();
          if (selected) {
            canvas_->FillRect({x - scrollX_ + ox, y + oy, x + adv - scrollX_ + ox, y + oy + h});
          } else {
            canvas_->TextOut(x - scrollX_ + ox, y + oy, "        ");
          }
          x += adv;
          runX = x;
        } else {
          run += copy[j];
          x += adv;
        }
        ++j;
      }
      flush();
      if (selected) selectOff();
    }
    y += h;
    ++row;
    ++drawn;
  }
  canvas_->SetBrushColor(savedBrush);
  canvas_->SetFontColor(savedFont);
  canvas_->SetTransparent(true);
  if (printMode_) {
    // The empty row after a final line end holds nothing to print: it does
    // not start a page of its own.
    if (row < lastRow_ || (row == lastRow_ && !Rows[row].empty())) {
      scrollY_ += int64_t{drawn} * h;
      printDone_ = false;
    } else {
      printDone_ = true;
    }
  }
}

// ------------------------------------------------------------- menu ----

ViewMenuActions TextView::GetViewMenu() {
  ViewMenuActions a;
  a.push_back({"Перенос по словам",
               [this](bool on) {
                 ToggleWordWrap(on);
                 return false;
               },
               true, true, kPlaceFormat});
  a.push_back({"Переводы строки",
               [this](bool) {
                 RefreshLineEndMarks();
                 return false;
               },
               false, false, kPlaceExtra});
  a.push_back({"#10",
               [this](bool on) {
                 ChooseLineEnd("\n", 0, on);
                 return false;
               },
               true, false, 3});
  a.push_back({"#13",
               [this](bool on) {
                 ChooseLineEnd("\r", 1, on);
                 return false;
               },
               true, false, 3});
  a.push_back({"#13#10",
               [this](bool on) {
                 ChooseLineEnd("\r\n", 2, on);
                 return false;
               },
               true, false, 3});
  a.push_back({"Оставить как есть",
               [this](bool on) {
                 KeepLineEnds(on);
                 return false;
               },
               true, true, 3});
  a.push_back({"Непечатные символы",
               [this](bool on) {
                 ToggleNonPrinting(on);
                 return false;
               },
               true, false, kPlaceExtra});
  return a;
}

void TextView::AttachMenuItem(int index, MenuEntry* entry) {
  if (index == 0 && entry) entry->SetShortcutText("Ctrl+W");
  if (index == 1) LineEndMenu = entry;
  if (index >= 2 && index <= 5) {
    if (lineEndEntries_.size() < 4) lineEndEntries_.resize(4, nullptr);
    lineEndEntries_[index - 2] = entry;
  }
}

void TextView::ChangeLineEndRule(bool convert, const std::string& lineEnd) {
  const std::string before = Cfg().LineEnd;
  const bool converted = ConvertLineEnds;
  Cfg().LineEnd = lineEnd;
  ConvertLineEnds = convert;
  if (LineEndsWrittenDiffer(converted ? &before : nullptr, LineEndOnWrite())) NoteChange();
}

const std::string* TextView::LineEndOnWrite() const {
  return ConvertLineEnds ? &Cfg().LineEnd : nullptr;
}

// The line ends are the CR and LF the rows end with, as the text view's
// character classes have them: read directly, since a hex view made for a
// switch has already given every byte its own class.
bool TextView::LineEndsWrittenDiffer(const std::string* a, const std::string* b) const {
  if (a == b || (a && b && *a == *b)) return false;
  for (int r = 0; r <= lastRow_; ++r) {
    const std::string_view row = Rows[r].view();
    size_t body = row.size();
    while (body > 0 && (row[body - 1] == '\r' || row[body - 1] == '\n')) --body;
    if (body == row.size()) continue;
    const std::string_view held = row.substr(body);
    if ((a ? std::string_view(*a) : held) != (b ? std::string_view(*b) : held)) return true;
  }
  return false;
}

void TextView::ChooseLineEnd(const std::string& lineEnd, int entryIndex, bool on) {
  if (!on) return;
  ChangeLineEndRule(true, lineEnd);
  for (int i = 0; i < static_cast<int>(lineEndEntries_.size()); ++i)
    if (lineEndEntries_[i]) lineEndEntries_[i]->SetChecked(i == entryIndex);
}

void TextView::KeepLineEnds(bool on) {
  if (!on) return;
  ChangeLineEndRule(false, Cfg().LineEnd);
  for (int i = 0; i < static_cast<int>(lineEndEntries_.size()); ++i)
    if (lineEndEntries_[i]) lineEndEntries_[i]->SetChecked(i == 3);
}

void TextView::RefreshLineEndMarks() {
  static const char* const kEnds[3] = {"\n", "\r", "\r\n"};
  for (int i = 0; i < static_cast<int>(lineEndEntries_.size()); ++i) {
    if (!lineEndEntries_[i]) continue;
    const bool mark = i < 3 ? (ConvertLineEnds && Cfg().LineEnd == kEnds[i]) : !ConvertLineEnds;
    lineEndEntries_[i]->SetChecked(mark);
  }
}

}  // namespace prambus
