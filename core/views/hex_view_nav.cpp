// Cursor movement and selection of the hex view.
#include <algorithm>
#include <cmath>

#include "settings/settings.h"
#include "views/hex_codes.h"
#include "views/hex_view.h"

namespace prambus {

void HexView::ToOffset(int offset, bool cursor) {
  const int n = Columns();
  offset = std::clamp(offset, 0, Length());
  (cursor ? cursorRow_ : anchorRow_) = offset / n;
  (cursor ? cursorCol_ : anchorCol_) = offset % n;
}

// Column N of a row (after its last character) and column 0 of the next
// row are the same place.
bool HexView::HasSelection() const {
  return CursorOffset() != AnchorOffset() || CursorDigit != AnchorDigit;
}

// The point after the last digit of byte k and digit 0 of byte k + 1 count as
// the same point while a selection is extended.
void HexView::AdjustSelectionEdge() {
  const int a = AnchorOffset(), c = CursorOffset();
  if (a < Length() && HasSelection() && AnchorDigit == CodeLength(Bytes[a])) {
    ToOffset(a + 1, false);
    AnchorDigit = 0;
  }
  if (c < Length() && HasSelection() && AnchorOffset() == c + 1 && AnchorDigit == 0 &&
      CursorDigit == CodeLength(Bytes[c])) {
    anchorCol_ = cursorCol_;
    anchorRow_ = cursorRow_;
    AnchorDigit = CursorDigit;
  }
}

// A digit position names a place inside the code under the cursor: none at
// the end position nor in the character area, at most after the last digit.
// (Up and the page moves carry the distance from the code's right end over
// from another byte, which can land outside the new one.)
void HexView::ClampCursorDigit() {
  const int o = CursorOffset();
  if (!InCodes || o >= Length())
    CursorDigit = 0;
  else
    CursorDigit = static_cast<uint8_t>(std::min<int>(CursorDigit, CodeLength(Bytes[o])));
}

void HexView::AfterMove(bool extend, bool scroll) {
  ClampCursorDigit();
  if (extend) {
    AdjustSelectionEdge();
  } else {
    anchorCol_ = cursorCol_;
    anchorRow_ = cursorRow_;
    AnchorDigit = CursorDigit;
  }
  UpdateCaretPoint();
  if (scroll) ScrollToCaret();
}

void HexView::MoveLeft(bool byWord, bool extend) {
  const int o = CursorOffset();
  if (byWord || !InCodes) {
    if (o > 0 || CursorDigit > 0) {
      CursorDigit = 0;
      if (o > 0) ToOffset(o - 1, true);
    }
  } else if (CursorDigit > 0) {
    --CursorDigit;
  } else if (o > 0) {
    ToOffset(o - 1, true);
    CursorDigit = static_cast<uint8_t>(CodeLength(Bytes[o - 1]) - 1);
  }
  AfterMove(extend);
}

void HexView::MoveRight(bool byWord, bool extend) {
  const int o = CursorOffset();
  if (o >= Length()) return;  // nothing at all at the end position
  if (byWord || !InCodes || CursorDigit >= CodeLength(Bytes[o]) - 1) {
    CursorDigit = 0;
    ToOffset(o + 1, true);
  } else {
    ++CursorDigit;
  }
  AfterMove(extend);
}

void HexView::MoveUp(bool, bool extend, int&) {
  const int o = CursorOffset(), n = Columns();
  if (cursorRow_ > 0) {
    if (!Cfg().FirstZeroes) {
      const int here = o < Length() ? CodeLength(Bytes[o]) : 0;
      CursorDigit =
          static_cast<uint8_t>(std::max(0, CodeLength(Bytes[o - n]) - (here - CursorDigit)));
    }
    --cursorRow_;
  }
  AfterMove(extend);
}

void HexView::MoveDown(bool, bool extend, int&) {
  const int o = CursorOffset(), n = Columns();
  if (o + n < Length()) {
    if (!Cfg().FirstZeroes) {
      const int here = CodeLength(Bytes[o]);
      CursorDigit =
          static_cast<uint8_t>(std::max(0, CodeLength(Bytes[o + n]) - (here - CursorDigit)));
    }
    ++cursorRow_;
  } else if (Length() < (cursorRow_ + 1) * n) {
    return;  // already in the last row: nothing at all
  } else {
    ToOffset(Length(), true);
    CursorDigit = 0;
  }
  AfterMove(extend);
}

void HexView::MoveHome(bool extend) {
  cursorCol_ = 0;
  CursorDigit = 0;
  AfterMove(extend);
}

void HexView::MoveEnd(bool extend) {
  const int n = Columns();
  if (!InCodes) {  // after the row's last character, in this row (as a click there)
    cursorCol_ = std::clamp(Length() - cursorRow_ * n, 0, n);
    CursorDigit = 0;
    return AfterMove(extend);
  }
  cursorCol_ = n - 1;
  const int o = cursorRow_ * n + cursorCol_;
  if (o >= Length()) {
    ToOffset(Length(), true);
    CursorDigit = 0;
  } else {
    CursorDigit = static_cast<uint8_t>(CodeLength(Bytes[o]));
  }
  AfterMove(extend);
}

namespace {
int PageRows(int viewHeight, int rowHeight) {
  return rowHeight > 0 ? static_cast<int>(std::lrint(viewHeight * Cfg().PageFracture / rowHeight))
                       : 1;
}
}  // namespace

void HexView::PageUp(bool extend, int&) {
  const int k = PageRows(viewHeight_, RowHeight()), n = Columns();
  const int o = CursorOffset();
  const int r = (!Cfg().FirstZeroes && o < Length()) ? CodeLength(Bytes[o]) - CursorDigit : 0;
  if (cursorRow_ > 0) {
    cursorRow_ = std::max(0, cursorRow_ - k);
    const int no = cursorRow_ * n + cursorCol_;
    if (!Cfg().FirstZeroes && no < Length())
      CursorDigit = static_cast<uint8_t>(std::max(0, CodeLength(Bytes[no]) - r));
  }
  AfterMove(extend);
}

void HexView::PageDown(bool extend, int&) {
  const int k = PageRows(viewHeight_, RowHeight()), n = Columns();
  const int o = CursorOffset();
  const int r = (!Cfg().FirstZeroes && o < Length()) ? CodeLength(Bytes[o]) - CursorDigit : 0;
  cursorRow_ += k;
  if (cursorRow_ * n + cursorCol_ >= Length()) cursorRow_ = Length() / n;
  if (cursorRow_ * n + cursorCol_ >= Length()) {
    cursorCol_ = Length() - cursorRow_ * n;
    CursorDigit = 0;
  } else if (!Cfg().FirstZeroes) {
    CursorDigit =
        static_cast<uint8_t>(std::max(0, CodeLength(Bytes[cursorRow_ * n + cursorCol_]) - r));
  }
  AfterMove(extend);
}

void HexView::MoveToPoint(int x, int64_t y, bool scroll, bool extend) {
  const Rect a = GetCaretArea();
  const int n = Columns(), s = Pitch(), g = Gap(), rh = std::max(1, RowHeight());
  const int64_t pointRow = (y - a.top + 1) / rh;
  int row = static_cast<int>(std::clamp<int64_t>(pointRow, 0, Length() / n));
  int xp = x - (a.left + g) + 2;
  int col = 0;
  if (xp > s * n + MarginPixels / 2) {
    InCodes = false;
    xp -= s * n + g + MarginPixels;
    // One cell per byte: past the middle of a cell is after it.
    const int dw = std::max(1, CodeDigitWidth);
    const int rowLength = static_cast<int>(GetRow(row).size());
    col = std::clamp(xp <= dw / 2 ? 0 : (xp - dw / 2 + dw - 1) / dw, 0, rowLength);
    CursorDigit = 0;
  } else {
    InCodes = true;
    col = std::clamp(s > 0 ? xp / s : 0, 0, n - 1);
    col = std::min(col, Length() - row * n);
    const int o = row * n + col;
    if (o >= Length()) {
      CursorDigit = 0;
    } else {
      int d = CodeLength(Bytes[o]);
      int u = CellWidth() + col * s;
      if (u >= xp) {
        while (d > 0 && std::abs(u - xp) > CodeDigitWidth / 2) {
          --d;
          u -= CodeDigitWidth;
        }
      }
      CursorDigit = static_cast<uint8_t>(d);
      if (d == CodeLength(Bytes[o]) && col < n - 1) {
        ++col;
        CursorDigit = 0;
      }
    }
  }
  cursorRow_ = row;
  cursorCol_ = col;
  if (CursorOffset() > Length()) ToOffset(Length(), true);
  AfterMove(extend, scroll);
}

bool HexView::SetPosition(int col, int row, bool cursor) {
  (cursor ? CursorDigit : AnchorDigit) = 0;
  const int n = Columns();
  row = std::clamp(row, 0, lastRow_);
  const int rowLength = std::min(n, Length() - row * n);
  col = std::clamp(col, 0, std::max(0, rowLength));
  (cursor ? cursorRow_ : anchorRow_) = row;
  (cursor ? cursorCol_ : anchorCol_) = col;
  UpdateCaretPoint();
  ScrollToCaret();
  return true;
}

void HexView::SelectedRange(int& lo, int& hi) const {
  lo = hi = 0;
  if (!HasSelection()) return;  // a cursor inside a code selects nothing
  const int c = CursorOffset(), a = AnchorOffset();
  lo = std::min(c, a);
  hi = std::max(c, a);
  const int hiDigit = c > a   ? CursorDigit
                      : c < a ? AnchorDigit
                              : std::max(CursorDigit, AnchorDigit);
  if (hiDigit != 0) ++hi;
  lo = std::clamp(lo, 0, Length());
  hi = std::clamp(hi, lo, Length());
}

std::string HexView::GetSelectedText() const {
  int lo = 0, hi = 0;
  SelectedRange(lo, hi);
  return Bytes.Slice(lo, hi - lo);
}

void HexView::MoveCursorToByte(int offset) {
  ToOffset(offset, true);
  CursorDigit = 0;
  anchorCol_ = cursorCol_;
  anchorRow_ = cursorRow_;
  AnchorDigit = 0;
  UpdateCaretPoint();
  ScrollToCaret();
}

}  // namespace prambus
