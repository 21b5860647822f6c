// Cursor movement of the text view over display rows. The cursor never
// stands inside or after a row's line-end characters.
#include <algorithm>
#include <cmath>

#include "settings/settings.h"
#include "text/cp1251.h"
#include "text/pattern_finder.h"
#include "text/utf8_chars.h"
#include "views/char_class.h"
#include "views/text_view.h"

namespace prambus {

void TextView::EndMove(bool extend, bool scroll) {
  if (!extend) {
    anchorCol_ = cursorCol_;
    anchorRow_ = cursorRow_;
  }
  UpdateCaretPoint();
  if (scroll) ScrollToCaret();
}

int TextView::ColumnForX(int row, int desiredX) const {
  const RowText& r = Rows[row];
  int sum = 0, prev = 0, k = 0, len = 1;
  while (k < r.size() && sum < desiredX) {
    prev = sum;
    sum += AdvanceAt(r, k, sum, len);
    k += len;
  }
  if (k == 0) return 0;
  if (k == r.size() || IsLineEnd(r[k - 1])) return std::min(k, LineEndStart(row));
  return (sum - desiredX) < (desiredX - prev) ? k : k - len;
}

void TextView::MoveLeft(bool byWord, bool extend) {
  if (cursorCol_ == 0 && cursorRow_ == 0) return EndMove(extend);
  if (cursorCol_ == 0 && EndsWithLineEnd(cursorRow_ - 1)) {
    --cursorRow_;
    cursorCol_ = LineEndStart(cursorRow_);
    return EndMove(extend);
  }
  if (!byWord) {
    if (cursorCol_ > 0) {
      cursorCol_ = PreviousCharStart(cursorRow_, cursorCol_);
    } else {
      --cursorRow_;
      cursorCol_ = PreviousCharStart(cursorRow_, Len(cursorRow_));
    }
    return EndMove(extend);
  }
  int r = cursorRow_, c = std::min(cursorCol_, Len(cursorRow_));
  // The character left of (r, c), crossing only rows without line end.
  auto hasLeft = [&] { return c > 0 || (r > 0 && !EndsWithLineEnd(r - 1) && Len(r - 1) > 0); };
  auto left = [&] { return c > 0 ? Rows[r][c - 1] : Rows[r - 1][Len(r - 1) - 1]; };
  auto stepLeft = [&] {
    if (c > 0) {
      --c;
    } else {
      --r;
      c = Len(r) - 1;
    }
  };
  uint8_t k = CharClass[left()];
  stepLeft();
  if (k == kBlank) {
    while (hasLeft() && CharClass[left()] == kBlank) stepLeft();
    if (hasLeft()) k = CharClass[left()];
  }
  while (hasLeft() && CharClass[left()] == k && k <= 4) stepLeft();
  cursorRow_ = r;
  cursorCol_ = SnapToChar(r, c);
  EndMove(extend);
}

void TextView::MoveRight(bool byWord, bool extend) {
  auto atDocEnd = [&](int r, int c) { return r >= lastRow_ && c >= Len(r); };
  if (!byWord) {
    const int len = Len(cursorRow_);
    const int step = CharLength(cursorRow_, cursorCol_);
    const bool onLineEnd = cursorCol_ < len && IsLineEnd(Rows[cursorRow_][cursorCol_]);
    if (onLineEnd || cursorCol_ >= len || (cursorCol_ + step == len && cursorRow_ < lastRow_)) {
      if (cursorRow_ < lastRow_) {
        ++cursorRow_;
        cursorCol_ = 0;
      } else if (cursorCol_ < len) {
        cursorCol_ += step;  // before the last character of the last row
      }
    } else {
      cursorCol_ += step;
    }
    return EndMove(extend);
  }
  int r = cursorRow_, c = cursorCol_;
  if (c >= Len(r) && r < lastRow_) {
    ++r;
    c = 0;
  }
  if (atDocEnd(r, c)) return EndMove(extend);
  uint8_t k = CharClass[Rows[r][c]];
  const bool startedOnLineEnd = k > 4;
  for (;;) {
    if (IsLineEnd(Rows[r][c]) && r < lastRow_) {
      ++r;
      c = 0;
    } else {
      ++c;
      if (c >= Len(r) && r < lastRow_) {
        ++r;
        c = 0;
      }
    }
    if (startedOnLineEnd || atDocEnd(r, c)) break;
    const uint8_t next = CharClass[Rows[r][c]];
    if (next == kBlank) k = kBlank;
    if (next != k) break;
  }
  cursorRow_ = r;
  cursorCol_ = SnapToChar(r, c);
  EndMove(extend);
}

void TextView::MoveUp(bool byHardLine, bool extend, int& desiredX) {
  if (cursorRow_ == 0) return EndMove(extend, false);
  if (desiredX == -1) desiredX = ColumnX(cursorRow_, cursorCol_);
  int target = cursorRow_ - 1;
  if (byHardLine)
    while (target > 0 && !EndsWithLineEnd(target - 1)) --target;
  cursorRow_ = target;
  cursorCol_ = ColumnForX(target, desiredX);
  EndMove(extend);
}

void TextView::MoveDown(bool byHardLine, bool extend, int& desiredX) {
  if (cursorRow_ >= lastRow_) return EndMove(extend, false);
  if (desiredX == -1) desiredX = ColumnX(cursorRow_, cursorCol_);
  int target = cursorRow_ + 1;
  if (byHardLine) {
    int r = cursorRow_;
    while (r < lastRow_ && !EndsWithLineEnd(r)) ++r;
    target = std::min(r + 1, lastRow_);
  }
  cursorRow_ = target;
  cursorCol_ = ColumnForX(target, desiredX);
  EndMove(extend);
}

namespace {
int PageRows(int viewHeight, int lineHeight) {
  if (lineHeight <= 0) return 1;
  const int n = static_cast<int>(std::lrint(viewHeight * Cfg().PageFracture / lineHeight));
  return n == 0 ? 1 : n;
}
}  // namespace

void TextView::PageUp(bool extend, int& desiredX) {
  if (desiredX == -1) desiredX = ColumnX(cursorRow_, cursorCol_);
  const int target = std::clamp(cursorRow_ - PageRows(viewHeight_, LineHeight()), 0, lastRow_);
  cursorRow_ = target;
  cursorCol_ = ColumnForX(target, desiredX);
  EndMove(extend);
}

void TextView::PageDown(bool extend, int& desiredX) {
  if (desiredX == -1) desiredX = ColumnX(cursorRow_, cursorCol_);
  const int target = std::clamp(cursorRow_ + PageRows(viewHeight_, LineHeight()), 0, lastRow_);
  cursorRow_ = target;
  cursorCol_ = ColumnForX(target, desiredX);
  EndMove(extend);
}

void TextView::MoveHome(bool extend) {
  const bool already = cursorCol_ == 0;
  cursorCol_ = 0;
  EndMove(extend, !already);
}

void TextView::MoveEnd(bool extend) {
  const int len = Len(cursorRow_);
  if (cursorCol_ < len && !IsLineEnd(Rows[cursorRow_][cursorCol_]))
    cursorCol_ = LineEndStart(cursorRow_);
  EndMove(extend);
}

void TextView::MoveToPoint(int x, int64_t y, bool scroll, bool extend) {
  if (lastRow_ == 0 && Rows[0].empty()) {
    cursorCol_ = cursorRow_ = 0;
  } else {
    const int lh = LineHeight();
    const int row = static_cast<int>(std::clamp<int64_t>(lh > 0 ? y / lh : 0, 0, lastRow_));
    const RowText& r = Rows[row];
    int sum = 0, k = 0, w = 0, len = 1;
    while (k < r.size() && sum < x && !IsLineEnd(r[k])) {
      w = AdvanceAt(r, k, sum, len);
      sum += w;
      k += len;
    }
    int col = (sum - x > w / 2) ? k - len : k;
    cursorRow_ = row;
    cursorCol_ = std::clamp(col, 0, r.size());
  }
  EndMove(extend, scroll);
}

bool TextView::SetPosition(int col, int row, bool cursor) {
  row = std::clamp(row, 0, lastRow_);
  col = std::clamp(col, 0, Len(row));
  while (col > 0 && IsLineEnd(Rows[row][col - 1])) --col;
  col = SnapToChar(row, col);
  if (cursor) {
    cursorCol_ = col;
    cursorRow_ = row;
  } else {
    anchorCol_ = col;
    anchorRow_ = row;
  }
  UpdateCaretPoint();
  ScrollToCaret();
  return true;
}

// ------------------------------------------------------------- search ----

bool TextView::FindText(std::string_view text, int& count, bool fromCursor, bool caseSensitive) {
  if (text.empty()) return false;
  std::string pattern(text);
  // Under UTF-8 letters are compared in their folded forms, which keep their
  // byte counts, so a match's place in the folded text is its place.
  const bool fold = utf8_ && !caseSensitive;
  if (fold)
    FoldUtf8InPlace(pattern);
  else if (!caseSensitive)
    UpperInPlace(pattern);
  const int plen = static_cast<int>(pattern.size());
  const uint8_t* upper = UpperTable1251();

  int row = 0, col = 0;
  if (fromCursor) {
    // The character at the cursor is passed over; a line end at the cursor
    // (it ends the row) is passed over whole, so that the second half of a
    // CR LF or LF CR pair, which lies before the next character, is never
    // found.
    row = std::clamp(cursorRow_, 0, lastRow_);
    const int len = Len(row);
    col = std::min(cursorCol_ + 1, len);
    if (cursorCol_ < len && IsLineEnd(static_cast<uint8_t>(Rows[row].view()[cursorCol_])))
      col = len;
    if (cursorCol_ < len) count -= col - cursorCol_;
  }
  bool quick = allowQuickSearch_;
  for (char ch : pattern) quick = quick && !IsLineEnd(static_cast<uint8_t>(ch));
  if (quick) {
    const PatternFinder finder = fold    ? PatternFinder(pattern, PatternFinder::Utf8Folded{})
                                 : utf8_ ? PatternFinder(pattern, PatternFinder::Utf8Exact{})
                                         : PatternFinder(pattern, caseSensitive ? nullptr : upper);
    if (finder.Usable()) {
      const int result = FindQuickly(finder, row, col, count);
      if (result >= 0) return result == 1;
    }
  }
  std::string hay;
  for (;;) {
    // The haystack runs to the end of the hard line; an empty row stops it.
    hay.assign(Rows[row].view().substr(col));
    int last = row;
    while (!EndsWithLineEnd(last) && last < lastRow_ && !Rows[last + 1].empty()) {
      ++last;
      hay.append(Rows[last].view());
    }
    if (fold)
      FoldUtf8InPlace(hay);
    else if (!caseSensitive)
      for (char& ch : hay) ch = static_cast<char>(upper[static_cast<uint8_t>(ch)]);
    const size_t p = hay.find(pattern);
    if (p != std::string::npos) {
      count -= static_cast<int>(p);
      if (count < plen) return false;
      auto locate = [&](int off, bool preferNextRow, int& outCol, int& outRow) {
        int r = row, c = col + off;
        while (r < last && (preferNextRow ? c >= Len(r) : c > Len(r))) {
          c -= Len(r);
          ++r;
        }
        outCol = c;
        outRow = r;
      };
      locate(static_cast<int>(p), true, cursorCol_, cursorRow_);
      locate(static_cast<int>(p) + plen, false, anchorCol_, anchorRow_);
      UpdateCaretPoint();
      ScrollToCaret();
      ScrollMatchIntoView();
      return true;
    }
    const int64_t left = static_cast<int64_t>(count) - static_cast<int64_t>(hay.size());
    count = static_cast<int>(std::max<int64_t>(left, INT32_MIN));
    if (count < plen || last >= lastRow_) return false;
    row = last + 1;
    col = 0;
  }
}

}  // namespace prambus
