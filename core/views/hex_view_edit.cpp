// Editing in the hex view: codes typed digit by digit, characters, deleting
// digits and bytes, inserting, its undo records (kind 5), search, code text.
#include <algorithm>

#include "platform/services.h"
#include "settings/settings.h"
#include "text/cp1251.h"
#include "text/utf8_chars.h"
#include "views/hex_codes.h"
#include "views/hex_view.h"
#include "views/packed_int.h"

namespace prambus {

namespace {
struct HexRecord {
  int offset = 0;
  uint8_t packed = 0;
  std::string oldBytes, newBytes;
};

bool Unpack(const std::string& text, HexRecord& r) {
  if (text.size() < 9) return false;
  r.offset = ReadBE32(text, 0);
  r.packed = static_cast<uint8_t>(text[4]);
  const int32_t m = ReadBE32(text, 5);
  if (m < 0 || static_cast<size_t>(m) > text.size() - 9) return false;
  r.oldBytes = text.substr(9, m);
  r.newBytes = text.substr(9 + m);
  return true;
}
}  // namespace

// ------------------------------------------------------------ records ----

bool HexView::Joinable() const {
  return !undoStack_.empty() && undoStack_.back().kind == kUndoSealed;
}

std::string HexView::BuildHexUndoText(const std::string& oldBytes, const std::string& newBytes,
                                      int digitBefore, int offset) const {
  std::string t;
  t.reserve(9 + oldBytes.size() + newBytes.size());
  AppendBE32(t, offset);
  t += static_cast<char>((InCodes ? 0x40 : 0) | (std::min(digitBefore, 7) << 3) |
                         std::min<int>(CursorDigit, 7));
  AppendBE32(t, static_cast<int32_t>(oldBytes.size()));
  t += oldBytes;
  t += newBytes;
  return t;
}

void HexView::ExtendHexUndo(UndoRecord& r, const std::string& newBytes) {
  NoteChange();
  HexRecord h;
  if (!Unpack(r.text, h)) return;
  UndoBytes -= r.Size();
  r.text[4] = static_cast<char>((h.packed & ~7) | std::min<int>(CursorDigit, 7));
  r.text.resize(9 + h.oldBytes.size());
  r.text += newBytes;
  r.afterOffset = CursorOffset();
  r.kind = kUndoHex;
  UndoBytes += r.Size();
  digitJoin_.offset = -1;
}

void HexView::PushHexRecord(const std::string& oldBytes, const std::string& newBytes,
                            int digitBefore, int editOffset, int beforeOffset) {
  digitJoin_.offset = -1;
  RecordUndo(kUndoHex, BuildHexUndoText(oldBytes, newBytes, digitBefore, editOffset), beforeOffset,
             0);
}

void HexView::CloseJoinable() {
  if (Joinable()) undoStack_.back().kind = kUndoHex;
}

// The sealed deletion that a typed key or pasted bytes complete: the offset
// it edited, taken from its record, or -1. continuesByte: the deletion left
// part of a code there (a digit-level cut), which the edit completes. A
// sealed record that is not the cut just made at the cursor is closed, so
// the edit stands alone and never lands on a byte the record does not name.
int HexView::SealedJoin(bool& continuesByte) {
  continuesByte = false;
  if (!Joinable()) return -1;
  HexRecord r;
  if (!Unpack(undoStack_.back().text, r) || r.offset != CursorOffset() || r.newBytes.size() > 1 ||
      (r.newBytes.size() == 1 && digitJoin_.offset != r.offset)) {
    CloseJoinable();
    return -1;
  }
  continuesByte = !r.newBytes.empty();
  return r.offset;
}

void HexView::InsertBytes(int at, const std::string& bytes) {
  Bytes.Insert(static_cast<size_t>(at), bytes);
}

void HexView::EraseBytes(int at, int count) {
  Bytes.Erase(static_cast<size_t>(at), static_cast<size_t>(count));
}

void HexView::Finish() {
  anchorCol_ = cursorCol_;
  anchorRow_ = cursorRow_;
  AnchorDigit = CursorDigit;
  lastRow_ = Length() / Columns();
  UpdateCaretPoint();
  ScrollToCaret();
}

// --------------------------------------------------------------- typing ----

bool HexView::TypeChar(uint8_t ch) {
  const int oldLast = lastRow_;
  if (ch == 9) {  // Tab switches the area and keeps the selection
    InCodes = !InCodes;
    if (cursorCol_ >= Columns()) ToOffset(CursorOffset(), true);  // after a row's last character
    UpdateCaretPoint();
    ScrollToCaret();
    CloseJoinable();
    return false;
  }
  if (HasSelection()) {  // the key cannot replace the selection (TypingReplacesSelection)
    Beep();
    CloseJoinable();
    return false;
  }
  const int before = CursorOffset();
  const int digitBefore = CursorDigit;
  bool continuesByte = false;
  const int joinAt = SealedJoin(continuesByte);
  const bool joinable = joinAt >= 0;
  std::string oldBytes;
  uint8_t value = 0;
  int editAt = before;  // where the byte changed
  if (InCodes) {
    const Settings& c = Cfg();
    const int B = Base();
    const uint8_t v = DigitValue(UpperCp1251(ch));
    if (v >= B) {
      Beep();
      CloseJoinable();
      return false;
    }
    const char digit = DigitChar(v);
    // digits: the code read for the value; typedAt: where the typed digit
    // stands in it; editedLength: the length the caret rule compares with.
    std::string digits;
    int typedAt = CursorDigit, editedLength = 0;
    bool insertNew = false;
    if (continuesByte) {  // the digit takes the place of the selected ones
      editAt = joinAt;
      digits = digitJoin_.head + digit + digitJoin_.tail;
      typedAt = static_cast<int>(digitJoin_.head.size());
      editedLength = static_cast<int>(digits.size());
    } else if (joinable || before >= Length()) {  // a new code after removed bytes, or appended
      digits = FreshCode(digit);
      typedAt = 0;
      editedLength = static_cast<int>(digits.size());
      insertNew = true;
    } else if (CursorDigit == 0 && insertMode_) {  // a new byte before the cursor's byte
      digits = c.FirstZeroes ? FreshCode(digit) : std::string(1, digit);
      editedLength = c.FirstZeroes ? static_cast<int>(digits.size()) : 0;
      insertNew = true;
    } else {  // the digit at the cursor is overwritten
      digits = CodeText(Bytes[before]);
      typedAt = std::min<int>(CursorDigit, static_cast<int>(digits.size()));
      if (typedAt == static_cast<int>(digits.size())) digits += '0';
      digits[typedAt] = digit;
      editedLength = static_cast<int>(digits.size());
    }
    const int64_t read = ReadDigits(digits, B);
    if (read < 0 || read > 255) {
      Beep();
      CloseJoinable();
      return false;
    }
    value = static_cast<uint8_t>(read);
    if (insertNew && !HasRoomFor(1)) return RefuseAtLengthLimit();
    if (insertNew) {
      InsertBytes(std::min(editAt, Length()), std::string(1, static_cast<char>(value)));
    } else {
      oldBytes.assign(1, static_cast<char>(Bytes[editAt]));
      Bytes[editAt] = value;
    }
    const int codeLen = static_cast<int>(CodeText(value).size());
    const int caret = std::clamp(typedAt + 1 + (codeLen - editedLength), 0, codeLen);
    ToOffset(editAt, true);
    CursorDigit = static_cast<uint8_t>(caret);
    if (caret == codeLen && (B * value > 255 || c.FirstZeroes)) {  // the code is complete
      ToOffset(editAt + 1, true);
      CursorDigit = 0;
    }
  } else {
    value = ch;  // the character's own code; the display table plays no part
    if (continuesByte) {
      editAt = joinAt;
      Bytes[editAt] = value;
    } else if (joinable || insertMode_ || before >= Length()) {  // a selection is replaced, not
      if (!HasRoomFor(1)) return RefuseAtLengthLimit();
      InsertBytes(before, std::string(1, static_cast<char>(value)));  // the byte after it
    } else {
      oldBytes.assign(1, static_cast<char>(Bytes[before]));
      Bytes[before] = value;
    }
    ToOffset(editAt + 1, true);
    CursorDigit = 0;
  }
  const std::string newBytes(1, static_cast<char>(value));
  if (joinable) {
    ExtendHexUndo(undoStack_.back(), newBytes);
  } else {
    PushHexRecord(oldBytes, newBytes, digitBefore, editAt, before);
  }
  Finish();
  return lastRow_ != oldLast;
}

// A key that would make the document too long changes nothing.
bool HexView::RefuseAtLengthLimit() {
  LengthLimitReached = true;
  CloseJoinable();
  return false;
}

std::string HexView::FreshCode(char digit) const {
  std::string code = Cfg().FirstZeroes ? std::string(K255(), '0') : std::string("0");
  code[0] = digit;
  return code;
}

// Tab switches areas and keeps the selection. A key that would be refused
// once the selection is gone (not a digit of the base, or a code above 255)
// does not delete it: a refused key changes nothing.
bool HexView::TypingReplacesSelection(uint8_t ch) const {
  if (ch == 9) return false;
  if (!InCodes) return true;
  const uint8_t v = DigitValue(UpperCp1251(ch));
  if (v >= Base()) return false;
  const char digit = DigitChar(v);
  int at;
  std::string head, tail;
  const bool cut = DigitCut(at, head, tail) && !(head.empty() && tail.empty());
  const int64_t value = ReadDigits(cut ? head + digit + tail : FreshCode(digit), Base());
  return value >= 0 && value <= 255;
}

// ------------------------------------------------------------- deleting ----

bool HexView::DeleteForward() {
  bool recorded = false;
  return DeleteAtCursor(recorded);
}

// Delete: one digit in the code area, one byte in the character area.
// recorded tells whether a record was pushed (nothing at the end position).
bool HexView::DeleteAtCursor(bool& recorded) {
  recorded = false;
  int o = CursorOffset();
  if (o >= Length()) return false;
  const int before = o, digitBefore = CursorDigit;
  bool whole = false;
  std::string oldBytes(1, static_cast<char>(Bytes[o])), newBytes;
  if (!InCodes) {
    EraseBytes(o, 1);
    CursorDigit = 0;
    whole = true;
  } else {
    if (CursorDigit >= CodeLength(Bytes[o])) {
      ToOffset(o + 1, true);
      CursorDigit = 0;
      o = CursorOffset();
      if (o >= Length()) {
        Finish();
        return false;
      }
      oldBytes.assign(1, static_cast<char>(Bytes[o]));
    }
    std::string digits = CodeText(Bytes[o]);
    digits.erase(CursorDigit, 1);
    const int64_t rest = digits.empty() ? 0 : ReadDigits(digits, Base());
    if (digits.empty() ||
        (Cfg().FirstZeroes && rest == 0 && CursorDigit == static_cast<int>(digits.size()))) {
      EraseBytes(o, 1);
      CursorDigit = 0;
      whole = true;
    } else {
      Bytes[o] = static_cast<uint8_t>(rest);
      newBytes.assign(1, static_cast<char>(Bytes[o]));
      if (Cfg().FirstZeroes) ++CursorDigit;
    }
  }
  PushHexRecord(oldBytes, newBytes, digitBefore, o, before);
  recorded = true;
  Finish();
  return whole;
}

bool HexView::Backspace() {
  const int o = CursorOffset();
  if (o == 0 && (CursorDigit == 0 || !InCodes)) return false;
  const int digit = CursorDigit;
  MoveLeft(false, false);
  bool recorded = false;
  const bool result = DeleteAtCursor(recorded);
  const int c = CursorOffset();
  if (InCodes && Cfg().FirstZeroes && c < Length()) {
    const uint8_t b = Bytes[c];
    const int significant = b == 0 ? 0 : DigitCount(b, Base());
    if (K255() >= significant + CursorDigit) {
      CursorDigit = AnchorDigit = 0;
      UpdateCaretPoint();
    }
  }
  // Undo puts the cursor back where Backspace was pressed, redo where it
  // left the cursor: both positions and both digits of the record.
  if (recorded && !undoStack_.empty() && undoStack_.back().kind == kUndoHex) {
    UndoRecord& r = undoStack_.back();
    r.beforeOffset = o;
    r.afterOffset = c;
    r.text[4] = static_cast<char>((static_cast<uint8_t>(r.text[4]) & 0x40) |
                                  (std::min(digit, 7) << 3) | std::min<int>(CursorDigit, 7));
  }
  return result;
}

bool HexView::DigitCut(int& at, std::string& head, std::string& tail) const {
  if (!InCodes || !HasSelection()) return false;
  const int c = CursorOffset(), a = AnchorOffset();
  const bool sameByte = c == a && c < Length();
  const bool cursorAfter = c == a + 1 && CursorDigit == 0 && a < Length();
  const bool anchorAfter = a == c + 1 && AnchorDigit == 0 && c < Length();
  if (!sameByte && !cursorAfter && !anchorAfter) return false;
  at = std::min(c, a);
  const std::string code = CodeText(Bytes[at]);
  int from, to;
  if (sameByte) {
    from = std::min(CursorDigit, AnchorDigit);
    to = std::max(CursorDigit, AnchorDigit);
  } else {  // from a digit of one byte to digit 0 of the next: the rest of the code
    from = cursorAfter ? AnchorDigit : CursorDigit;
    to = static_cast<int>(code.size());
  }
  from = std::min<int>(from, static_cast<int>(code.size()));
  to = std::min<int>(to, static_cast<int>(code.size()));
  head = code.substr(0, from);
  tail = code.substr(to);
  return true;
}

bool HexView::DeleteSelection(bool recordUndo, bool layOut) {
  if (!HasSelection()) return false;
  const int oldLast = lastRow_;
  const int c = CursorOffset(), a = AnchorOffset();
  const int before = c, digitBefore = CursorDigit;
  auto record = [&](const std::string& oldB, const std::string& newB, int at) {
    if (recordUndo) {
      PushHexRecord(oldB, newB, digitBefore, at, before);
    } else {
      DropHistory();
      digitJoin_.offset = -1;
    }
  };
  int at;
  std::string head, tail;
  if (DigitCut(at, head, tail)) {
    const std::string oldB(1, static_cast<char>(Bytes[at]));
    const std::string rest = head + tail;
    ToOffset(at, true);
    if (!rest.empty()) {
      Bytes[at] = static_cast<uint8_t>(std::clamp<int64_t>(ReadDigits(rest, Base()), 0, 255));
      // The caret stands where the digits were cut (FirstZeroes pads the
      // code in front; without it leading zeros go), so that a typed digit
      // takes their place.
      const int codeLen = static_cast<int>(CodeText(Bytes[at]).size());
      CursorDigit = static_cast<uint8_t>(std::clamp(
          static_cast<int>(head.size()) + codeLen - static_cast<int>(rest.size()), 0, codeLen));
      record(oldB, std::string(1, static_cast<char>(Bytes[at])), at);
      if (recordUndo) digitJoin_ = {at, head, tail};
    } else {
      CursorDigit = 0;
      EraseBytes(at, 1);
      record(oldB, "", at);
    }
  } else {
    const std::string removed = GetSelectedText();
    at = std::min(c, a);
    EraseBytes(at, static_cast<int>(removed.size()));
    ToOffset(at, true);
    CursorDigit = 0;
    record(removed, "", at);
  }
  anchorCol_ = cursorCol_;
  anchorRow_ = cursorRow_;
  AnchorDigit = CursorDigit;
  lastRow_ = Length() / Columns();
  if (layOut) {
    UpdateCaretPoint();
    ScrollToCaret();
  }
  return lastRow_ != oldLast;
}

bool HexView::DeleteLine(bool) {
  const int n = Columns();
  const int start = cursorRow_ * n;
  if (start >= Length()) return false;
  const int count = std::min(n, Length() - start);
  const std::string removed = Bytes.Slice(start, count);
  const int before = CursorOffset(), digitBefore = CursorDigit;
  EraseBytes(start, count);
  cursorCol_ = 0;
  CursorDigit = 0;
  PushHexRecord(removed, "", digitBefore, start, before);
  Finish();
  return true;
}

std::string HexView::GetAdjacentText(bool forward) const {
  if (Bytes.empty()) return {};
  const int o = CursorOffset();
  if (!InCodes) {  // the character area removes whole bytes
    const int at = forward ? o : o - 1;
    return at >= 0 && at < Length() ? std::string(1, static_cast<char>(Bytes[at])) : std::string();
  }
  if (forward) {
    if (o < Length()) {
      const std::string code = CodeText(Bytes[o]);
      if (CursorDigit < code.size()) return code.substr(CursorDigit, 1);
      if (o + 1 < Length()) return CodeText(Bytes[o + 1]).substr(0, 1);
    }
    return {};
  }
  if (CursorDigit > 0 && o < Length()) return CodeText(Bytes[o]).substr(CursorDigit - 1, 1);
  if (o > 0) return CodeText(Bytes[o - 1]).substr(CodeText(Bytes[o - 1]).size() - 1);
  return {};
}

// The byte storage grows by the new bytes and a tenth of the document (only
// the growth is new memory), and the undo record copies the bytes once.
int64_t HexView::MemoryForEdit(int64_t bytes) const {
  return bytes + Length() / 10 + bytes;
}

bool HexView::InsertText(std::string_view text, bool recordUndo, bool layOut) {
  if (text.empty()) return false;
  const int oldLast = lastRow_;
  const int before = std::min(CursorOffset(), Length()), digitBefore = CursorDigit;
  bool continuesByte = false;
  const int joinAt = SealedJoin(continuesByte);
  const bool joinable = joinAt >= 0;
  if (!HasRoomFor(static_cast<int64_t>(text.size()) - (continuesByte ? 1 : 0))) {
    LengthLimitReached = true;
    return false;
  }
  if (!HasMemoryFor(static_cast<int64_t>(text.size()))) {
    MemoryShort = true;
    return false;
  }
  int at = before;
  const std::string bytes(text);
  if (continuesByte) {  // the byte whose digits were selected gives way to the first byte
    at = joinAt;
    Bytes[at] = static_cast<uint8_t>(bytes[0]);
    InsertBytes(at + 1, bytes.substr(1));
  } else {
    InsertBytes(at, bytes);
  }
  ToOffset(at + static_cast<int>(bytes.size()), true);
  CursorDigit = 0;
  anchorCol_ = cursorCol_, anchorRow_ = cursorRow_, AnchorDigit = 0;
  lastRow_ = Length() / Columns();
  if (layOut) {
    UpdateCaretPoint();
    ScrollToCaret();
  }
  if (!recordUndo) {
    DropHistory();
  } else if (joinable) {
    ExtendHexUndo(undoStack_.back(), bytes);
  } else {
    PushHexRecord("", bytes, digitBefore, at, before);
  }
  return lastRow_ != oldLast;
}

// The hex view has no lines: a match may lie anywhere.
void HexView::ReadRange(int from, int to, std::string& out, std::vector<int>*) {
  from = std::clamp(from, 0, Length());
  to = std::clamp(to, from, Length());
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(to - from));
  Bytes.CopyOut(static_cast<size_t>(from), static_cast<size_t>(to - from),
                reinterpret_cast<uint8_t*>(out.data() + at));
}

void HexView::SpliceRange(int from, int to, size_t size, const SpliceWriter& write) {
  from = std::clamp(from, 0, Length());
  to = std::clamp(to, from, Length());
  NoteChange();
  digitJoin_.offset = -1;
  EraseBytes(from, to - from);
  std::string bytes(size, '\0');
  if (size > 0) write(bytes.data());
  Bytes.Insert(static_cast<size_t>(from), bytes);
  CursorDigit = AnchorDigit = 0;
  ToOffset(from, true);
  ToOffset(from, false);
  lastRow_ = Length() / Columns();
}

// The deletion of a selected match records the removed bytes at `at`; the
// insertion that completes it extends that record (SealedJoin) rather than
// adding one, and the budget is checked only as the deletion is pushed. A
// found match has the cursor on its first digit, so both digits are 0.
void HexView::RecordReplacement(int at, std::string_view removed, std::string_view inserted) {
  const uint8_t digit = CursorDigit;
  CursorDigit = 0;
  digitJoin_.offset = -1;
  RecordUndo(kUndoHex, BuildHexUndoText(std::string(removed), "", 0, at), at, 0, at);
  const int after = at + static_cast<int>(inserted.size());
  if (!inserted.empty() && !undoStack_.empty()) {  // the deletion's record, just pushed
    UndoRecord& r = undoStack_.back();
    UndoBytes += static_cast<int64_t>(inserted.size());
    r.text.append(inserted);
    r.afterOffset = after;
  } else if (!inserted
                  .empty()) {  // the deletion did not fit the budget: the insertion stands alone
    RecordUndo(kUndoHex, BuildHexUndoText("", std::string(inserted), 0, at), at, 0, after);
  }
  CursorDigit = digit;
}

void HexView::WriteAtCursor(const std::string& bytes) {
  const int o = CursorOffset();
  const int keep = std::min(static_cast<int>(bytes.size()), Length() - o);
  const std::string oldBytes = Bytes.Slice(o, static_cast<size_t>(std::max(0, keep)));
  Bytes.Overwrite(o, bytes);
  CursorDigit = 0;
  ToOffset(o + static_cast<int>(bytes.size()), false);
  AnchorDigit = 0;
  lastRow_ = Length() / Columns();
  PushHexRecord(oldBytes, bytes, CursorDigit, o, o);
  UpdateCaretPoint();
}

// ----------------------------------------------------------------- undo ----

void HexView::ApplyHexRecord(UndoRecord& r, UndoHistory& target, bool isUndo) {
  HexRecord h;
  if (!Unpack(r.text, h)) return;
  digitJoin_.offset = -1;
  const int at = std::clamp(h.offset, 0, Length());
  EraseBytes(at, static_cast<int>(h.newBytes.size()));
  InsertBytes(at, h.oldBytes);
  InCodes = (h.packed & 0x40) != 0;
  ToOffset(r.beforeOffset, true);
  CursorDigit = (h.packed >> 3) & 7;
  const int digitAfter = h.packed & 7;
  anchorCol_ = cursorCol_, anchorRow_ = cursorRow_, AnchorDigit = CursorDigit;
  lastRow_ = Length() / Columns();
  UpdateCaretPoint();
  ScrollToCaret();
  UndoRecord inverse;
  inverse.kind = kUndoHex;
  inverse.text = BuildHexUndoText(h.newBytes, h.oldBytes, digitAfter, at);
  inverse.beforeOffset = r.afterOffset;
  inverse.afterOffset = r.beforeOffset;
  if (!isUndo) UndoBytes += inverse.Size();
  target.push_back(std::move(inverse));
}

void HexView::Undo() {
  if (undoStack_.empty()) return;
  UndoRecord& last = undoStack_.back();
  if (last.kind < kUndoSealed || last.kind == kUndoReplace) return ViewBase::Undo();
  if (!HasMemoryForStep(last)) {
    MemoryShort = true;
    return;
  }
  NoteChange();
  UndoRecord r = std::move(last);
  undoStack_.pop_back();
  UndoBytes -= r.Size();
  ApplyHexRecord(r, redoStack_, true);
}

void HexView::Redo() {
  if (redoStack_.empty()) return;
  UndoRecord& last = redoStack_.back();
  if (last.kind < kUndoSealed || last.kind == kUndoReplace) return ViewBase::Redo();
  if (!HasMemoryForStep(last)) {
    MemoryShort = true;
    return;
  }
  NoteChange();
  UndoRecord r = std::move(last);
  redoStack_.pop_back();
  ApplyHexRecord(r, undoStack_, false);
}

// --------------------------------------------------------------- search ----

bool HexView::FindText(std::string_view text, int& count, bool fromCursor, bool caseSensitive) {
  if (text.empty()) return false;
  const int start = fromCursor ? CursorOffset() + 1 : 0;
  if (start > Length()) return false;
  if (fromCursor && count > 0) --count;  // the byte at the cursor is passed over too
  const int64_t window =
      std::min<int64_t>(static_cast<int64_t>(Length()) - start, std::max(count, 0));
  // Offsets below are from start; a match may lie across the storage's gap.
  const auto first = [&](std::string_view pattern, auto find) {
    const size_t at = Bytes.FindFirst(static_cast<size_t>(start), static_cast<size_t>(window),
                                      pattern.size(), find);
    return at == std::string_view::npos ? at : at - static_cast<size_t>(start);
  };
  size_t textAt = std::string_view::npos, codeAt = std::string_view::npos;
  std::string codes;
  if (SearchAs == 2 || SearchAs == 3) codes = ParseCodeText(text, Base());
  if (SearchAs == 1 || SearchAs == 3) {
    if (caseSensitive) {
      textAt = first(text, [&](std::string_view hay) { return hay.find(text); });
    } else if (ShowUtf8) {  // letters folded as UTF-8, each byte in its place
      std::string pattern(text), folded;
      FoldUtf8InPlace(pattern);
      textAt = first(pattern, [&](std::string_view hay) {
        folded.assign(hay);
        FoldUtf8InPlace(folded);
        return folded.find(pattern);
      });
    } else {
      std::string pattern(text);
      UpperInPlace(pattern);
      const uint8_t* up = UpperTable1251();
      textAt = first(pattern, [&](std::string_view hay) {
        const auto it = std::search(hay.begin(), hay.end(), pattern.begin(), pattern.end(),
                                    [up](char a, char b) {
                                      return up[static_cast<uint8_t>(a)] == static_cast<uint8_t>(b);
                                    });
        return it == hay.end() ? std::string_view::npos : static_cast<size_t>(it - hay.begin());
      });
    }
  }
  if ((SearchAs == 2 || SearchAs == 3) && !codes.empty())
    codeAt = first(codes, [&](std::string_view hay) { return hay.find(codes); });
  size_t at = textAt, len = text.size();
  if (codeAt != std::string_view::npos && (textAt == std::string_view::npos || codeAt < textAt)) {
    at = codeAt;
    len = codes.size();
  }
  if (at == std::string_view::npos) return false;
  count -= static_cast<int>(at);
  SelectMatch(start + static_cast<int>(at), static_cast<int>(len));
  return true;
}

bool HexView::FindBytes(std::string_view bytes, bool fromCursor) {
  const int start = fromCursor ? CursorOffset() + 1 : 0;
  if (bytes.empty() || start > Length()) return false;
  const size_t at =
      Bytes.FindFirst(static_cast<size_t>(start), static_cast<size_t>(Length() - start),
                      bytes.size(), [&](std::string_view hay) { return hay.find(bytes); });
  if (at == std::string_view::npos) return false;
  SelectMatch(static_cast<int>(at), static_cast<int>(bytes.size()));
  return true;
}

void HexView::SelectMatch(int at, int length) {
  ToOffset(at, true);
  ToOffset(at + length, false);
  CursorDigit = AnchorDigit = 0;
  UpdateCaretPoint();
  ScrollToCaret();
  ScrollMatchIntoView();
}

// ------------------------------------------------------ code text, menu ----

std::string HexView::CodeTextOfSelection() const {
  const std::string bytes = GetSelectedText();
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    out += CodeText(static_cast<uint8_t>(bytes[i]));
    out += (i + 1) % static_cast<size_t>(Columns()) == 0 ? '\r' : ' ';
  }
  return out;
}

bool HexView::PasteCodeText(std::string_view text) {
  const std::string bytes = ParseCodeText(text, Base());
  if (bytes.empty()) {
    if (codeTextRefused)
      codeTextRefused(Base());
    else
      Beep();
    return false;
  }
  InsertText(bytes, true, true);
  if (formResize) formResize();
  return true;
}

ViewMenuActions HexView::GetViewMenu() {
  ViewMenuActions a;
  a.push_back({"Расшифровка данных",
               [this](bool on) {
                 DataWindowShown = on;
                 if (showDataWindow) showDataWindow(on);
                 return false;
               },
               true, true, kPlaceFormat});
  a.push_back({"Число столбцов...",
               [this](bool) {
                 if (showColumnsDialog) showColumnsDialog();
                 return false;
               },
               false, false, kPlaceFormat});
  a.push_back({"Вставить текст в виде кода",
               [this](bool) {
                 if (!getClipboardText) return false;
                 return PasteCodeText(getClipboardText());
               },
               false, false, kPlaceExtra});
  a.push_back({"Копировать код в виде текста",
               [this](bool) {
                 if (setClipboardUnicodeText)
                   setClipboardUnicodeText(Cp1251ToUtf8(CodeTextOfSelection()));
                 return false;
               },
               false, false, kPlaceExtra});
  return a;
}

void HexView::AttachMenuItem(int index, MenuEntry* entry) {
  if (!entry) return;
  if (index == 0) DataWindowMenuItem = entry;
  if (index == 2) entry->SetShortcutText("Ctrl+Shift+V");
  if (index == 3) entry->SetShortcutText("Ctrl+Shift+C");
}

}  // namespace prambus
