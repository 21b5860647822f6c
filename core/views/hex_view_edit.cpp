// Editing in the hex view: codes typed digit by digit, characters, deleting
// digits and bytes, inserting, its undo records (kind 5), search, code text.
#include <algorithm>

#include "platform/services.h"
#include "settings/settings.h"
#include "text/cp1251.h"
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
  return !UndoStack.empty() && UndoStack.back().kind == kUndoSealed;
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
  CountRecordedEdit();
  HexRecord h;
  if (!Unpack(r.text, h)) return;
  UndoBytes -= r.Size();
  r.text[4] = static_cast<char>((h.packed & ~7) | std::min<int>(CursorDigit, 7));
  r.text.resize(9 + h.oldBytes.size());
  r.text += newBytes;
  r.afterOffset = CursorOffset();
  r.kind = kUndoHex;
  UndoBytes += r.Size();
}

void HexView::PushHexRecord(const std::string& oldBytes, const std::string& newBytes,
                            int digitBefore, int editOffset, int beforeOffset) {
  RecordUndo(kUndoHex, BuildHexUndoText(oldBytes, newBytes, digitBefore, editOffset), beforeOffset,
             0);
}

void HexView::CloseJoinable() {
  if (Joinable()) UndoStack.back().kind = kUndoHex;
}

void HexView::InsertBytes(int at, const std::string& bytes) {
  if (Bytes.capacity() < Bytes.size() + bytes.size())  // grow by a tenth, not by doubling
    Bytes.reserve(Bytes.size() + bytes.size() + Bytes.size() / 10 + 4096);
  Bytes.insert(Bytes.begin() + at, bytes.begin(), bytes.end());
}

void HexView::EraseBytes(int at, int count) {
  Bytes.erase(Bytes.begin() + at, Bytes.begin() + std::min(Length(), at + count));
}

void HexView::Finish() {
  AnchorCol = CursorCol;
  AnchorRow = CursorRow;
  AnchorDigit = CursorDigit;
  LastRow = Length() / Columns();
  UpdateCaretPoint();
  ScrollToCaret();
}

// --------------------------------------------------------------- typing ----

bool HexView::TypeChar(uint8_t ch) {
  const int oldLast = LastRow;
  if (ch == 9) {  // Tab switches the area and keeps the selection
    InCodes = !InCodes;
    UpdateCaretPoint();
    ScrollToCaret();
    CloseJoinable();
    return false;
  }
  const int before = CursorOffset();
  const int digitBefore = CursorDigit;
  const bool joinable = Joinable();
  std::string oldBytes;
  uint8_t value = 0;
  bool insertNew = false;
  int editAt = before;  // where the byte changed
  if (InCodes) {
    const Settings& c = Cfg();
    const int B = Base(), K = K255();
    const uint8_t v = DigitValue(UpperCp1251(ch));
    if (v >= B) {
      Beep();
      CloseJoinable();
      return false;
    }
    HexRecord last;
    const bool tailFilled =
        joinable && Unpack(UndoStack.back().text, last) && !last.newBytes.empty();
    if (CursorDigit == 0 && tailFilled && CursorOffset() > 0) {
      ToOffset(CursorOffset() - 1, true);  // typing continues that byte
      CursorDigit = static_cast<uint8_t>(CodeLength(Bytes[CursorOffset()]));
    }
    const int o = CursorOffset();
    editAt = o;
    std::string digits, edited;
    auto firstDigit = [&] {
      digits = c.FirstZeroes ? std::string(K, '0') : "0";
      digits[0] = static_cast<char>(UpperCp1251(ch));
      edited = digits;
    };
    if (o >= Length() || (CursorDigit == 0 && joinable && !tailFilled)) {
      firstDigit();
      insertNew = true;
    } else if (CursorDigit == 0 && InsertMode && !joinable) {
      // A new byte before the cursor's byte, its code starting with this digit.
      if (c.FirstZeroes) {
        firstDigit();
      } else {
        digits = std::string(1, DigitChar(v));
        edited.clear();
      }
      insertNew = true;
    } else {
      digits = CodeText(Bytes[o]);
      if (joinable) {
        digits.insert(digits.begin() + std::min<size_t>(CursorDigit, digits.size()),
                      static_cast<char>(DigitChar(v)));
      } else {
        if (CursorDigit >= digits.size()) digits += '0';
        digits[CursorDigit] = DigitChar(v);
      }
      edited = digits;
    }
    const int64_t read = ReadDigits(digits, B);
    if (read < 0 || read > 255) {
      Beep();
      CloseJoinable();
      return false;
    }
    value = static_cast<uint8_t>(read);
    if (insertNew) {
      InsertBytes(std::min(o, Length()), std::string(1, static_cast<char>(value)));
    } else {
      oldBytes.assign(1, static_cast<char>(Bytes[o]));
      Bytes[o] = value;
    }
    const int codeLen = static_cast<int>(CodeText(value).size());
    int digit = CursorDigit + 1 + (codeLen - static_cast<int>(edited.size()));
    digit = std::clamp(digit, 0, codeLen);
    CursorDigit = static_cast<uint8_t>(digit);
    if (digit == codeLen && (B * value > 255 || c.FirstZeroes)) {
      ToOffset(o + 1, true);
      CursorDigit = 0;
    }
  } else {
    const int o = CursorOffset();
    value = ch;  // the character's own code; the display table plays no part
    if (InsertMode || o >= Length()) {
      InsertBytes(o, std::string(1, static_cast<char>(value)));
    } else {
      oldBytes.assign(1, static_cast<char>(Bytes[o]));
      Bytes[o] = value;
    }
    LastRow = Length() / Columns();
    MoveRight(false, false);
  }
  const std::string newBytes(1, static_cast<char>(value));
  if (joinable) {
    ExtendHexUndo(UndoStack.back(), newBytes);
  } else {
    PushHexRecord(oldBytes, newBytes, digitBefore, editAt, before);
  }
  Finish();
  return LastRow != oldLast;
}

bool HexView::TypingReplacesSelection(uint8_t ch) const {
  return ch != 9;
}

// ------------------------------------------------------------- deleting ----

bool HexView::DeleteForward() {
  int o = CursorOffset();
  if (o >= Length()) return false;
  const int before = o, digitBefore = CursorDigit;
  bool whole = false;
  std::string oldBytes(1, static_cast<char>(Bytes[o])), newBytes;
  if (!InCodes) {
    EraseBytes(o, 1);
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
  Finish();
  return whole;
}

bool HexView::Backspace() {
  const int o = CursorOffset();
  if (o == 0 && CursorDigit == 0) return false;
  const int digit = CursorDigit;
  MoveLeft(false, false);
  const bool result = DeleteForward();
  const int c = CursorOffset();
  if (InCodes && Cfg().FirstZeroes && c < Length()) {
    const uint8_t b = Bytes[c];
    const int significant = b == 0 ? 0 : DigitCount(b, Base());
    if (K255() >= significant + CursorDigit) {
      CursorDigit = AnchorDigit = 0;
      UpdateCaretPoint();
    }
  }
  if (!UndoStack.empty() && UndoStack.back().kind == kUndoHex) {
    UndoRecord& r = UndoStack.back();
    r.beforeOffset = o;
    r.text[4] =
        static_cast<char>((static_cast<uint8_t>(r.text[4]) & ~0x38) | (std::min(digit, 7) << 3));
  }
  return result;
}

bool HexView::DeleteSelection(bool recordUndo, bool layOut) {
  if (!HasSelection()) return false;
  const int oldLast = LastRow;
  const int c = CursorOffset(), a = AnchorOffset();
  const int before = c, digitBefore = CursorDigit;
  auto record = [&](const std::string& oldB, const std::string& newB, int at) {
    if (recordUndo) {
      PushHexRecord(oldB, newB, digitBefore, at, before);
    } else {
      UndoStack.clear();
      RedoStack.clear();
      UndoBytes = 0;
    }
  };
  const bool sameByte = c == a && c < Length();
  const bool adjacent = (c == a + 1 && CursorDigit == 0 && a < Length()) ||
                        (a == c + 1 && AnchorDigit == 0 && c < Length());
  if (InCodes && (sameByte || adjacent)) {
    const int at = std::min(c, a);
    std::string digits = CodeText(Bytes[at]);
    int from, to;
    if (sameByte) {
      from = std::min(CursorDigit, AnchorDigit);
      to = std::max(CursorDigit, AnchorDigit);
    } else {
      from = c < a ? CursorDigit : AnchorDigit;
      to = static_cast<int>(digits.size());
    }
    from = std::min<int>(from, digits.size());
    to = std::min<int>(to, digits.size());
    const std::string oldB(1, static_cast<char>(Bytes[at]));
    digits.erase(from, to - from);
    ToOffset(at, true);
    if (!digits.empty()) {
      const int64_t v = ReadDigits(digits, Base());
      Bytes[at] = static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
      CursorDigit = static_cast<uint8_t>(Cfg().FirstZeroes ? from + (to - from) : from);
      if (AnchorOffset() < c || (sameByte && AnchorDigit < CursorDigit))
        CursorDigit = static_cast<uint8_t>(from);
      record(oldB, std::string(1, static_cast<char>(Bytes[at])), at);
    } else {
      CursorDigit = 0;
      EraseBytes(at, 1);
      record(oldB, "", at);
    }
  } else {
    const std::string removed = GetSelectedText();
    const int at = std::min(c, a);
    EraseBytes(at, static_cast<int>(removed.size()));
    ToOffset(at, true);
    CursorDigit = 0;
    record(removed, "", at);
  }
  AnchorCol = CursorCol;
  AnchorRow = CursorRow;
  AnchorDigit = CursorDigit;
  LastRow = Length() / Columns();
  if (layOut) {
    UpdateCaretPoint();
    ScrollToCaret();
  }
  return LastRow != oldLast;
}

bool HexView::DeleteLine(bool) {
  const int n = Columns();
  const int start = CursorRow * n;
  if (start >= Length()) return false;
  const int count = std::min(n, Length() - start);
  const std::string removed(Bytes.begin() + start, Bytes.begin() + start + count);
  const int before = CursorOffset(), digitBefore = CursorDigit;
  EraseBytes(start, count);
  CursorCol = 0;
  CursorDigit = 0;
  PushHexRecord(removed, "", digitBefore, start, before);
  Finish();
  return true;
}

std::string HexView::GetAdjacentText(bool forward) const {
  if (Bytes.empty()) return {};
  const int o = CursorOffset();
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

bool HexView::InsertText(std::string_view text, bool recordUndo, bool layOut) {
  if (text.empty()) return false;
  const int oldLast = LastRow;
  const int before = std::min(CursorOffset(), Length()), digitBefore = CursorDigit;
  HexRecord last;
  const bool joinable = Joinable();
  const bool tailFilled = joinable && Unpack(UndoStack.back().text, last) && !last.newBytes.empty();
  int at = before;
  const std::string bytes(text);
  if (tailFilled && before > 0) {
    at = CursorDigit == 0 ? before - 1 : before;
    at = std::min(at, Length() - 1);
    Bytes[at] = static_cast<uint8_t>(bytes[0]);
    InsertBytes(at + 1, bytes.substr(1));
  } else {
    InsertBytes(at, bytes);
  }
  ToOffset(at + static_cast<int>(bytes.size()), true);
  CursorDigit = 0;
  AnchorCol = CursorCol, AnchorRow = CursorRow, AnchorDigit = 0;
  LastRow = Length() / Columns();
  if (layOut) {
    UpdateCaretPoint();
    ScrollToCaret();
  }
  if (!recordUndo) {
    UndoStack.clear();
    RedoStack.clear();
    UndoBytes = 0;
  } else if (joinable) {
    ExtendHexUndo(UndoStack.back(), bytes);
  } else {
    PushHexRecord("", bytes, digitBefore, at, before);
  }
  return LastRow != oldLast;
}

void HexView::WriteAtCursor(const std::string& bytes) {
  const int o = CursorOffset();
  const int keep = std::min(static_cast<int>(bytes.size()), Length() - o);
  const std::string oldBytes(Bytes.begin() + o, Bytes.begin() + o + std::max(0, keep));
  if (o + static_cast<int>(bytes.size()) > Length())
    Bytes.resize(static_cast<size_t>(o) + bytes.size());
  std::copy(bytes.begin(), bytes.end(), Bytes.begin() + o);
  CursorDigit = 0;
  ToOffset(o + static_cast<int>(bytes.size()), false);
  AnchorDigit = 0;
  LastRow = Length() / Columns();
  PushHexRecord(oldBytes, bytes, CursorDigit, o, o);
  UpdateCaretPoint();
}

// ----------------------------------------------------------------- undo ----

void HexView::ApplyHexRecord(UndoRecord& r, UndoHistory& target, bool isUndo) {
  HexRecord h;
  if (!Unpack(r.text, h)) return;
  const int at = std::clamp(h.offset, 0, Length());
  EraseBytes(at, static_cast<int>(h.newBytes.size()));
  InsertBytes(at, h.oldBytes);
  InCodes = (h.packed & 0x40) != 0;
  ToOffset(r.beforeOffset, true);
  CursorDigit = (h.packed >> 3) & 7;
  const int digitAfter = h.packed & 7;
  AnchorCol = CursorCol, AnchorRow = CursorRow, AnchorDigit = CursorDigit;
  LastRow = Length() / Columns();
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
  if (UndoStack.empty()) return;
  UndoRecord& last = UndoStack.back();
  if (last.kind < kUndoSealed || last.kind == kUndoReplace) return ViewBase::Undo();
  UndoRecord r = std::move(last);
  UndoStack.pop_back();
  UndoBytes -= r.Size();
  ApplyHexRecord(r, RedoStack, true);
}

void HexView::Redo() {
  if (RedoStack.empty()) return;
  UndoRecord& last = RedoStack.back();
  if (last.kind < kUndoSealed || last.kind == kUndoReplace) return ViewBase::Redo();
  UndoRecord r = std::move(last);
  RedoStack.pop_back();
  ApplyHexRecord(r, UndoStack, false);
}

// --------------------------------------------------------------- search ----

bool HexView::FindText(std::string_view text, int& count, bool fromCursor, bool caseSensitive) {
  if (text.empty()) return false;
  const int start = fromCursor ? CursorOffset() + 1 : 0;
  if (start > Length()) return false;
  const int64_t window =
      std::min<int64_t>(static_cast<int64_t>(Length()) - start, std::max(count, 0));
  std::string_view hay(reinterpret_cast<const char*>(Bytes.data()) + start,
                       static_cast<size_t>(window));
  size_t textAt = std::string_view::npos, codeAt = std::string_view::npos;
  std::string codes;
  if (SearchAs == 2 || SearchAs == 3) codes = ParseCodeText(text, Base());
  if (SearchAs == 1 || SearchAs == 3) {
    if (caseSensitive) {
      textAt = hay.find(text);
    } else {
      std::string pattern(text);
      UpperInPlace(pattern);
      const uint8_t* up = UpperTable1251();
      const auto it = std::search(
          hay.begin(), hay.end(), pattern.begin(), pattern.end(),
          [up](char a, char b) { return up[static_cast<uint8_t>(a)] == static_cast<uint8_t>(b); });
      if (it != hay.end()) textAt = static_cast<size_t>(it - hay.begin());
    }
  }
  if ((SearchAs == 2 || SearchAs == 3) && !codes.empty()) codeAt = hay.find(codes);
  size_t at = textAt, len = text.size();
  if (codeAt != std::string_view::npos && (textAt == std::string_view::npos || codeAt < textAt)) {
    at = codeAt;
    len = codes.size();
  }
  if (at == std::string_view::npos) return false;
  count -= static_cast<int>(at);
  ToOffset(start + static_cast<int>(at), true);
  ToOffset(start + static_cast<int>(at + len), false);
  CursorDigit = AnchorDigit = 0;
  UpdateCaretPoint();
  ScrollToCaret();
  return true;
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
