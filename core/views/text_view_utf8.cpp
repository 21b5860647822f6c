// The text view under UTF-8: the rows hold the document's bytes, and each
// well-formed sequence is one character to the layout, the caret and the
// editing keys; every byte of an ill-formed sequence is a character of its
// own, drawn as a substitute cell and kept as it is.
#include <algorithm>

#include "text/utf8_chars.h"
#include "views/char_class.h"
#include "views/text_view.h"
#include "views/text_view_layout_state.h"
#include "views/wide_step.h"

namespace prambus {

void TextView::SetUtf8(bool on) {
  SetDisplay(on ? IdentityTable() : charTable_, on);
}

void TextView::SetDisplay(const CodeTable& table, bool utf8) {
  if (utf8 == utf8_) return SetCharTable(table);
  FlushUtf8Carry();
  utf8_ = utf8;
  if (table != charTable_)
    SetCharTable(table);  // lays the document out again, in the new way
  else
    Relayout();
}

int TextView::Utf8CharWidth(const uint8_t* p, int len) const {
  int cell = CharWidths[static_cast<uint8_t>('a')];
  if (cell < 0) cell = const_cast<TextView*>(this)->MeasureChar('a');
  return len > 1 ? cell * CharCells(DecodeUtf8(p, len)) : cell;
}

int TextView::AdvanceAt(const RowText& row, int i, int x, int& len) const {
  const uint8_t c = row[i];
  if (!utf8_ || c < 0x80) {
    len = 1;
    return Advance(c, x);
  }
  len = Utf8LengthAtEnd(row.data() + i, static_cast<size_t>(row.size() - i));
  return Utf8CharWidth(row.data() + i, len);
}

int TextView::CharLength(int row, int col) const {
  if (row < 0 || row > lastRow_ || col < 0 || col >= Len(row)) return 1;
  const RowText& r = Rows[row];
  if (!utf8_ || r[col] < 0x80) return 1;
  return Utf8LengthAtEnd(r.data() + col, static_cast<size_t>(r.size() - col));
}

int TextView::PreviousCharStart(int row, int col) const {
  if (!utf8_ || col <= 0) return col - 1;
  return Utf8PreviousStart(Rows[row].data(), std::min(col, Len(row)));
}

int TextView::SnapToChar(int row, int col) const {
  if (!utf8_ || row < 0 || row > lastRow_) return col;
  return Utf8StartOf(Rows[row].data(), Len(row), col);
}

int TextView::CharColumn(int row, int col) const {
  if (row < 0 || row > lastRow_) return col;
  col = std::clamp(col, 0, Len(row));
  if (!utf8_) return col;
  return static_cast<int>(CountUtf8Chars(Rows[row].data(), static_cast<size_t>(col)));
}

void TextView::BackUpToCharStart(int& r) {
  if (!utf8_) return;
  while (r > 0 && r <= lastRow_ && !Rows[r].empty() && IsUtf8Continuation(Rows[r][0]) &&
         !EndsWithLineEnd(r - 1)) {
    const int before = Len(r - 1);
    if (cursorRow_ == r) cursorCol_ += before, --cursorRow_;
    if (anchorRow_ == r) anchorCol_ += before, --anchorRow_;
    --r;
  }
  CacheBefore(r);
}

bool TextView::TypeText(std::string_view utf8) {
  if (utf8.size() == 1) return TypeChar(static_cast<uint8_t>(utf8[0]));
  if (utf8.empty() || !utf8_) return false;
  return InsertText(utf8, true, true);
}

bool TextView::Backspace() {
  if (!utf8_) return ViewBase::Backspace();
  const int before = PosToOffset(cursorCol_, cursorRow_);
  const std::string text = GetAdjacentText(false);
  if (cursorCol_ > 0) {
    cursorCol_ = PreviousCharStart(cursorRow_, cursorCol_);
  } else if (cursorRow_ == 0) {
    return false;
  } else {
    MoveLeft(false, false);
  }
  anchorCol_ = cursorCol_;
  anchorRow_ = cursorRow_;
  const uint8_t saved = UndoReplay;
  UndoReplay = 1;
  const bool changed = DeleteForward();
  UndoReplay = saved;
  RecordUndo(kUndoDelete, text, before, 0, before - static_cast<int>(text.size()));
  SettleCursor();
  return changed;
}

bool TextView::IsOneCharacter(std::string_view text) const {
  if (!utf8_ || text.size() <= 1) return text.size() == 1;
  const auto* p = reinterpret_cast<const uint8_t*>(text.data());
  return Utf8Length(p, text.size()) == static_cast<int>(text.size());
}

void TextView::EndAppend() {
  FlushUtf8Carry();
}

void TextView::FlushUtf8Carry() {
  if (utf8Carry_.empty()) return;
  const std::string carried = std::move(utf8Carry_);
  utf8Carry_.clear();
  const auto* p = reinterpret_cast<const uint8_t*>(carried.data());
  LayOutUtf8Block(p, static_cast<int>(carried.size()), static_cast<int>(carried.size()), true);
}

// A sequence carried from the last block takes the bytes that complete it,
// or stops at the byte that breaks it, and is laid out on its own first.
// A cut sequence at the end of this block is carried in turn.
void TextView::LayOutUtf8(const uint8_t* bytes, int count) {
  int k = 0;
  if (!utf8Carry_.empty()) {
    std::string head = std::move(utf8Carry_);
    utf8Carry_.clear();
    for (; k < count; ++k) {
      head += static_cast<char>(bytes[k]);
      const int len = Utf8Length(reinterpret_cast<const uint8_t*>(head.data()), head.size());
      if (len == 0) continue;
      if (len != static_cast<int>(head.size()))
        head.pop_back();  // bytes[k] breaks it
      else
        ++k;
      break;
    }
    if (k == count && Utf8Length(reinterpret_cast<const uint8_t*>(head.data()), head.size()) == 0) {
      utf8Carry_ = std::move(head);
      return;
    }
    const auto* h = reinterpret_cast<const uint8_t*>(head.data());
    LayOutUtf8Block(h, static_cast<int>(head.size()), static_cast<int>(head.size()), true);
  }
  bytes += k;
  count -= k;
  // The last lead byte among the last three, when only continuation bytes
  // follow it and they may yet become a character.
  int end = count;
  for (int j = std::max(0, count - 3); j < count; ++j) {
    if (bytes[j] >= 0xC2 && Utf8Length(bytes + j, static_cast<size_t>(count - j)) == 0) {
      end = j;
      break;
    }
  }
  if (end < count) utf8Carry_.assign(reinterpret_cast<const char*>(bytes) + end, count - end);
  LayOutUtf8Block(bytes, end, count, false);
}

void TextView::CheckUtf8UniformWidth() {
  utf8UniformWidth_ = 0;
  if (ShowNonPrinting || !allowWideSteps_) return;
  const int w = CharWidths[static_cast<uint8_t>('a')];
  if (w <= 0 || CharClass[static_cast<uint8_t>(' ')] != kBlank ||
      CharWidths[static_cast<uint8_t>(' ')] != w)
    return;
  for (int c = '0'; c <= 'z'; ++c) {
    const bool alnum = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (alnum && (CharClass[c] != kWordChar || CharWidths[c] != w)) return;
  }
  utf8UniformWidth_ = w;
}

// LayOut's loop, a character at a time: ASCII as there, any other character
// a word character of its own width, so that a row breaks only between
// characters. `known` bytes from `bytes` may be read to judge a sequence;
// `copy`: the bytes are a temporary and the rows copy them.
void TextView::LayOutUtf8Block(const uint8_t* bytes, int end, int known, bool copy) {
  widest_ = -1;
  if (end <= 0) {
    RowWidths[lastRow_] = RowX;
    return;
  }
  LayoutRun run{bytes,
                reflow_ || copy ? nullptr : arena_.get(),
                reflow_ && reflow_->sourceInArena && !copy ? arena_.get() : nullptr,
                WrapWidth,
                WrapWidth * MinFill,
                RowX,
                BreakX};
  if (infoGeneration_ != CharClassGeneration) allMeasured_ = false, infoValid_ = false;
  if (!infoValid_) BuildLayoutInfo();
  const int wrap = run.wrap;
  const int cell = Utf8CharWidth(bytes, 1);
  const int uniform = utf8UniformWidth_;
  for (int i = 0; i < end; ++i) {
    if (uniform > 0 && i + 16 <= end) {
      // Sixteen bytes at a time, as LayOut does: letters, digits, spaces and
      // two-byte characters, all a cell wide.
      const Utf8WideStep step = ScanUtf8WideStep(bytes + i);
      if (step.run > 0) {
        const int next = run.rowX + step.chars * uniform;
        if (next <= wrap) {
          if (step.lastBlank >= 0) {
            run.b = i + step.lastBlank + 1;
            run.breakX = run.rowX + step.charsThroughBlank * uniform;
            run.breakSeen = run.clearTail = true;
          }
          run.rowX = next;
          i += step.run - 1;
          continue;
        }
      }
    }
    const uint8_t c = bytes[i];
    int w;
    if (c >= 0xC2 && c <= 0xDF) {
      // A run of two-byte sequences (Cyrillic, Greek, accented Latin): a
      // cell each, no break between them, nothing to decode.
      int j = i, x = run.rowX;
      while (j + 1 < end && bytes[j] >= 0xC2 && bytes[j] <= 0xDF &&
             IsUtf8Continuation(bytes[j + 1]) && x + cell <= wrap) {
        x += cell;
        j += 2;
      }
      if (j > i) {
        run.rowX = x;
        i = j - 1;
        continue;
      }
    }
    if (c < 0x80) {
      const uint32_t e = layoutInfo_[c];
      w = static_cast<int>(e & kInfoWidth);
      if (e & kInfoOther) {
        const uint8_t k = CharClass[c];
        int advance = w;
        if (LayOutOther(run, i, c, k, advance)) WrapRow(run, i, w, k, advance);
        continue;
      } else {
        const int next = run.rowX + w;
        if (e & kInfoSpace) {
          run.b = i + 1;
          run.breakX = next <= wrap ? next : run.rowX;
          run.breakSeen = run.clearTail = true;
        }
        run.rowX = next;
        if (next <= wrap) continue;
      }
      WrapRow(run, i, w);
      continue;
    }
    const int len = Utf8LengthAtEnd(bytes + i, static_cast<size_t>(known - i));
    w = Utf8CharWidth(bytes + i, len);
    run.rowX += w;
    if (run.rowX > wrap) WrapRow(run, i, w);
    i += len - 1;
  }
  if (run.clearTail) PendingTail.clear();
  const int s = run.s;
  PrevChar = run.joinedAt == end - 1 ? 0 : bytes[end - 1];
  if (!run.breakSeen) {
    PendingTail.append(reinterpret_cast<const char*>(bytes), end);
  } else {
    const int from = std::max(run.b, s);
    PendingTail.assign(reinterpret_cast<const char*>(bytes) + from, end - from);
  }
  if (s < end) AppendRun(Rows[lastRow_], bytes + s, end - s, run);
  RowWidths[lastRow_] = run.rowX;
  RowX = run.rowX;
  BreakX = run.breakX;
}

}  // namespace prambus
