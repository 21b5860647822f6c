// Layout of the text view: appending text block by block, local reflow after
// an edit, and the full relayout on font, wrap width or glyph changes.
#include <algorithm>
#include <cstring>

#include "settings/settings.h"
#include "views/char_class.h"
#include "views/nonprinting.h"
#include "views/viewtext.h"

namespace prambus {

struct vwtext::ReflowState {
  struct Saved {
    RowText text;
    int width;
  };
  int oldLast = 0;  // LastRow before the reflow
  int next = 0;     // first old row still in its slot
  std::deque<Saved> queue;  // old rows moved aside before their slot was overwritten
};

vwtext::vwtext(Canvas* canvas) : vwcommon(canvas), arena_(std::make_unique<RowArena>()) {
  const int shag = std::max(1, Cfg().Shag);
  Rows.resize(shag);
  RowWidths.assign(shag, 0);
  ResetWidths();
  ResetTextCharClass();
}

vwtext::~vwtext() = default;

std::string_view vwtext::GetRow(int row) const {
  if (row < 0 || row >= static_cast<int>(Rows.size())) return {};
  return Rows[row].view();
}

int64_t vwtext::GetTextLength() const {
  int64_t n = 0;
  for (int r = 0; r <= LastRow; ++r) n += Rows[r].size();
  return n;
}

int vwtext::MeasureChar(uint8_t c) {
  char s[1] = {static_cast<char>(ShowNonPrinting && c <= 32 ? kNonPrintingGlyphs[c] : c)};
  int w = canvas_->TextWidth(std::string_view(s, 1));
  CharWidths[c] = w;
  return w;
}

void vwtext::ResetWidths() {
  ResetWidthCache();
  if (!ShowNonPrinting) CharWidths[9] = 8 * canvas_->TextWidth(" ");
}

void vwtext::ResetLayoutState() {
  PrevChar = 0;
  RowX = 0;
  BreakX = 0;
  PendingTail.clear();
}

void vwtext::NewRow() {
  ++LastRow;
  if (LastRow >= static_cast<int>(Rows.size())) {
    const size_t grown = Rows.size() + std::max(1, Cfg().Shag);
    Rows.resize(grown);
    RowWidths.resize(grown, 0);
  }
  if (reflow_ && LastRow == reflow_->next && LastRow <= reflow_->oldLast) {
    reflow_->queue.push_back({std::move(Rows[LastRow]), RowWidths[LastRow]});
    RowWidths[LastRow] = 0;
    ++reflow_->next;
  }
}

void vwtext::AppendBytes(const uint8_t* bytes, int count) {
  if (count <= 0) return;
  LayOut(bytes, count);
}

// Lays bytes out at the end of the rows, continuing the last row. b is where
// the row would restart if wrapped at the last break opportunity of this
// block; PendingTail carries the characters after a break that lay in an
// earlier block.
void vwtext::LayOut(const uint8_t* bytes, int count) {
  // Reflowed rows are few and short-lived: they take owned buffers, so that
  // editing does not keep adding copies to the load arena.
  RowArena* arena = reflow_ ? nullptr : arena_.get();
  const int wrap = WrapWidth;
  const double minFill = wrap * MinFill;
  const bool tabStops = !ShowNonPrinting;
  int s = 0, b = 0;
  bool breakSeen = false;
  for (int i = 0; i < count; ++i) {
    const uint8_t c = bytes[i];
    const uint8_t k = CharClass[c];
    int w = CharWidths[c];
    if (w < 0) w = MeasureChar(c);
    switch (k) {
      case kWordChar:
        RowX += w;
        break;
      case kBlank:
        b = i + 1;
        breakSeen = true;
        PendingTail.clear();
        BreakX = RowX;
        if (c == 9 && tabStops)
          RowX = w > 0 ? (RowX / w + 1) * w : RowX;
        else
          RowX += w;
        if (RowX <= wrap) BreakX = RowX;
        break;
      case kClosingPunct:
        RowX += w;
        if (RowX <= wrap) {
          BreakX = RowX;
          PendingTail.clear();
          b = i + 1;
          breakSeen = true;
        }
        break;
      case kOpeningBracket:
        BreakX = RowX;
        PendingTail.clear();
        b = i;
        breakSeen = true;
        RowX += w;
        break;
      case kBreakEither:
        BreakX = RowX;
        PendingTail.clear();
        breakSeen = true;
        RowX += w;
        if (RowX > wrap) {
          b = i;
        } else {
          BreakX = RowX;
          b = i + 1;
        }
        break;
      default: {  // line feed or carriage return
        breakSeen = true;
        const uint8_t pk = CharClass[PrevChar];
        if (LastRow > 0 && pk > 4 && pk != k) {
          // Second half of a CR LF or LF CR pair: it joins the previous row.
          Rows[LastRow - 1].Append(&c, 1, arena);
          s = s + 1;
          PrevChar = 0;
        } else {
          Rows[LastRow].Append(bytes + s, i - s + 1, arena);
          RowWidths[LastRow] = RowX;
          NewRow();
          RowX = 0;
          BreakX = 0;
          PendingTail.clear();
          s = i + 1;
          PrevChar = c;
        }
        continue;
      }
    }
    // Wrap test.
    if (RowX > wrap && (s < i || !Rows[LastRow].empty())) {
      breakSeen = true;
      // Break inside the word when the last break leaves the row too empty,
      // or when it lies at or before the start of the row being built.
      const bool breakLeavesRowEmpty = b < s || (b == s && Rows[LastRow].empty());
      if (BreakX < minFill || breakLeavesRowEmpty) {
        b = i;
        BreakX = RowX - w;
        PendingTail.clear();
      }
      if (b > s) Rows[LastRow].Append(bytes + s, b - s, arena);
      RowWidths[LastRow] = BreakX;
      NewRow();
      if (b == 0 && !PendingTail.empty()) Rows[LastRow - 1].Truncate(Rows[LastRow - 1].size() - static_cast<int>(PendingTail.size()));
      if (b < i) {
        Rows[LastRow].Append(bytes + b, i - b, arena);
        RowWidths[LastRow] = RowX - BreakX;
        s = i;
      } else {
        s = b;
        if (b > i) BreakX = RowX;
      }
      if (!PendingTail.empty()) {
        Rows[LastRow].Insert(0, reinterpret_cast<const uint8_t*>(PendingTail.data()), static_cast<int>(PendingTail.size()));
      }
      RowX -= BreakX;
      BreakX = 0;
      PendingTail.clear();
    }
    PrevChar = c;
  }
  if (s < count) Rows[LastRow].Append(bytes + s, count - s, arena);
  RowWidths[LastRow] = RowX;
  if (!breakSeen) {
    // No break opportunity in this block: the whole block extends the tail.
    PendingTail.append(reinterpret_cast<const char*>(bytes), count);
  } else {
    const int from = std::max(b, s);
    PendingTail.assign(reinterpret_cast<const char*>(bytes) + from, count - from);
  }
}

void vwtext::ResizeArraysToFit() {
  const int shag = std::max(1, Cfg().Shag);
  const size_t want = (static_cast<size_t>(LastRow) / shag + 1) * shag;
  Rows.resize(want);
  RowWidths.resize(want, 0);
}

void vwtext::ReflowFrom(int r) {
  while (LastRow > 0 && Rows[LastRow].empty() && Rows[LastRow - 1].empty()) --LastRow;
  r = std::clamp(r, 0, LastRow);

  const int savedRowX = RowX;
  const int savedBreakX = BreakX;
  std::string savedTail = PendingTail;
  const uint8_t savedPrev = PrevChar;

  ReflowState st;
  st.oldLast = LastRow;
  st.next = r + 1;
  RowText current = std::move(Rows[r]);
  RowWidths[r] = 0;

  RowX = 0;
  BreakX = 0;
  PendingTail.clear();
  PrevChar = 0;
  if (r > 0) {
    const RowText& prev = Rows[r - 1];
    const int n = prev.size();
    if (n > 0) {
      const bool pair = n >= 2 && IsLineEnd(prev[n - 1]) && IsLineEnd(prev[n - 2]) &&
                        CharClass[prev[n - 1]] != CharClass[prev[n - 2]];
      PrevChar = pair ? 0 : prev[n - 1];
    }
  }
  LastRow = r;
  reflow_ = &st;

  bool stopped = false;
  int consumed = 0;
  for (;;) {
    LayOut(current.data(), current.size());
    ++consumed;
    if (consumed > 1 && Rows[LastRow].empty() && (st.queue.size() + (st.oldLast - st.next + 1)) > 0) {
      stopped = true;
      break;
    }
    if (!st.queue.empty()) {
      current = std::move(st.queue.front().text);
      st.queue.pop_front();
    } else if (st.next <= st.oldLast) {
      current = std::move(Rows[st.next]);
      RowWidths[st.next] = 0;
      ++st.next;
    } else {
      break;
    }
  }
  reflow_ = nullptr;

  if (stopped) {
    // The new layout meets the old one: the unconsumed rows keep their places
    // from the empty produced row on, unchanged and with their widths.
    const int j = LastRow;
    const int q = static_cast<int>(st.queue.size());
    const int m = st.oldLast - st.next + 1;
    const int dest = j + q;
    const int needed = dest + m;
    if (needed > static_cast<int>(Rows.size())) {
      const int shag = std::max(1, Cfg().Shag);
      const size_t grown = (static_cast<size_t>(needed) / shag + 1) * shag;
      Rows.resize(grown);
      RowWidths.resize(grown, 0);
    }
    if (m > 0 && dest != st.next) {
      if (dest > st.next) {
        std::move_backward(Rows.begin() + st.next, Rows.begin() + st.oldLast + 1, Rows.begin() + needed);
        std::move_backward(RowWidths.begin() + st.next, RowWidths.begin() + st.oldLast + 1, RowWidths.begin() + needed);
      } else {
        std::move(Rows.begin() + st.next, Rows.begin() + st.oldLast + 1, Rows.begin() + dest);
        std::move(RowWidths.begin() + st.next, RowWidths.begin() + st.oldLast + 1, RowWidths.begin() + dest);
      }
    }
    for (int i = 0; i < q; ++i) {
      Rows[j + i] = std::move(st.queue[i].text);
      RowWidths[j + i] = st.queue[i].width;
    }
    const int oldEnd = st.oldLast;
    LastRow = needed - 1;
    for (int i = LastRow + 1; i <= oldEnd && i < static_cast<int>(Rows.size()); ++i) {
      Rows[i].Clear();
      RowWidths[i] = 0;
    }
    // The old last row is untouched: its layout state carries on.
    RowX = savedRowX;
    BreakX = savedBreakX;
    PendingTail = std::move(savedTail);
    PrevChar = savedPrev;
    const int pr = Rows[LastRow].empty() && LastRow > 0 ? LastRow - 1 : LastRow;
    if (!Rows[pr].empty()) PrevChar = Rows[pr].back();
  } else {
    for (int i = LastRow + 1; i <= st.oldLast && i < static_cast<int>(Rows.size()); ++i) {
      Rows[i].Clear();
      RowWidths[i] = 0;
    }
  }
  if (LastRow < 0) {
    LastRow = 0;
    ResetLayoutState();
  }
  if (Rows[LastRow].empty()) RowWidths[LastRow] = 0;
  ResizeArraysToFit();
}

void vwtext::Relayout() {
  std::vector<RowText> old = std::move(Rows);
  const int oldLast = std::min(LastRow, static_cast<int>(old.size()) - 1);
  std::unique_ptr<RowArena> oldArena = std::move(arena_);
  arena_ = std::make_unique<RowArena>();

  const int cursorRow = std::clamp(CursorRow, 0, oldLast);
  const bool anchorMarked = AnchorRow != CursorRow;
  int64_t anchorOffset = 0;
  if (anchorMarked) {
    for (int r = 0; r < AnchorRow && r <= oldLast; ++r) anchorOffset += old[r].size();
    anchorOffset += AnchorCol;
  }

  const int shag = std::max(1, Cfg().Shag);
  Rows.clear();
  Rows.resize(shag);
  RowWidths.assign(shag, 0);
  LastRow = 0;
  ResetLayoutState();
  ResetWidths();
  OffsetCacheRow = 0;
  OffsetCacheStart = 0;

  for (int r = 0; r < cursorRow; ++r) AppendBytes(old[r].data(), old[r].size());
  const int lead = Rows[LastRow].size();
  CursorCol += lead;
  CursorRow = LastRow;
  if (!anchorMarked) {
    AnchorCol += lead;
    AnchorRow = LastRow;
  }
  for (int r = cursorRow; r <= oldLast; ++r) AppendBytes(old[r].data(), old[r].size());
  old.clear();
  oldArena.reset();

  auto normalise = [&](int& col, int& row) {
    while (row < LastRow && col > Len(row)) {
      col -= Len(row);
      ++row;
    }
  };
  normalise(CursorCol, CursorRow);
  if (anchorMarked) {
    AnchorRow = 0;
    AnchorCol = static_cast<int>(std::min<int64_t>(anchorOffset, INT32_MAX));
  }
  normalise(AnchorCol, AnchorRow);
  UpdateCaretPoint();
  ScrollToCaret();
}

void vwtext::Clear() {
  const int shag = std::max(1, Cfg().Shag);
  Rows.clear();
  Rows.resize(shag);
  RowWidths.assign(shag, 0);
  arena_ = std::make_unique<RowArena>();
  LastRow = 0;
  RowX = 0;
  BreakX = 0;
  PendingTail.clear();
  PrevChar = 0;
  CursorCol = CursorRow = AnchorCol = AnchorRow = 0;
  OffsetCacheRow = OffsetCacheStart = 0;
}

void vwtext::SetFont(const Font& font) {
  canvas_->SetFont(font);
  for (int c = 0; c < 256; ++c) {
    if (CharWidths[c] < 0) continue;
    if (c == 9 && !ShowNonPrinting) continue;
    const int old = CharWidths[c];
    if (MeasureChar(static_cast<uint8_t>(c)) != old) {
      Relayout();
      return;
    }
  }
  if (ShowNonPrinting || 8 * canvas_->TextWidth(" ") == CharWidths[9]) {
    UpdateCaretPoint();
  } else {
    Relayout();
  }
}

void vwtext::SetWrapWidth(int w) {
  for (int c = 0; c < 256; ++c) {
    if (c == 9 && !ShowNonPrinting) continue;
    if (CharWidth(static_cast<uint8_t>(c)) > w) return;
  }
  WrapWidth = w;
  Relayout();
}

void vwtext::ToggleWordWrap(bool on) {
  const int width = on ? ViewWidth : Cfg().MaxTextWidth;
  if (width == WrapWidth) return;
  WrapWidth = width;
  Relayout();
  ScrollToCaret();
}

void vwtext::ToggleNonPrinting(bool on) {
  if (on == ShowNonPrinting) return;
  ShowNonPrinting = on;
  ResetWidthCache();
  if (!on) CharWidths[9] = 8 * canvas_->TextWidth(" ");
  Relayout();
  ScrollToCaret();
}

int vwtext::GetDocumentWidth() {
  int w = 0;
  for (int r = 0; r <= LastRow; ++r) w = std::max(w, RowWidths[r]);
  return w;
}

}  // namespace prambus
