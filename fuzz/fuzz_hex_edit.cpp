// Differential fuzzing of the hex view against a reference byte string:
// digit typing in every base, character typing, deletes, selections,
// inserts, undo and redo, and keys and pastes over a selection as the main
// window performs them (DeleteSelectionForInsert, then TypeChar or
// InsertText). Character, whole-byte and selection edits are modelled
// exactly; a Delete or Backspace may change only the byte whose digit it
// takes. One undo takes back a replaced selection whole, redo puts back the
// bytes and the cursor, and undoing everything gives the original bytes.
// The cursor also jumps to any byte, so edits land far from the last one
// and the storage's gap moves; every row, a search and the data window's
// values are read across the gap and compared with the reference. Values
// written at the cursor (the data window) and rewrites of every row (a
// plug-in's pass) are modelled too, and the revision moves with every step
// that changed the bytes, and with no step that changed nothing.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "revision_checker.h"
#include "saved_bytes_check.h"
#include "settings/settings.h"
#include "shell/data_info.h"
#include "support/test_canvas.h"
#include "text/cp1251.h"
#include "views/hex_codes.h"
#include "views/hex_view.h"

using namespace prambus;

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "hex check failed: %s\n", what);
  std::abort();
}

std::string Bytes(const HexView& v) {
  return v.Data().ToString();
}

int Base() {
  return Cfg().TextBaseSyst;
}

int CodeLength(const HexView& v, int offset) {
  return static_cast<int>(v.CodeText(v.Data()[offset]).size());
}

// Only bytes near the offset changed, and the length by at most one.
void ExpectLocalChange(const std::string& before, const std::string& after, int at) {
  const int64_t diff = static_cast<int64_t>(after.size()) - static_cast<int64_t>(before.size());
  if (diff < -1 || diff > 1) Fail("length");
  const size_t head = static_cast<size_t>(std::max(0, at - 1));
  if (before.compare(0, std::min(head, before.size()), after, 0, std::min(head, after.size())) != 0)
    Fail("head");
  const size_t tail = before.size() > head + 2 ? before.size() - head - 2 : 0;
  if (tail > after.size() ||
      before.compare(before.size() - tail, tail, after, after.size() - tail, tail) != 0)
    Fail("tail");
}

// Taking one digit out of the byte at `target`: the byte takes the value of
// the remaining digits or goes; nothing else changes.
void ExpectDigitRemoved(const HexView& v, const std::string& before, int target, int digit) {
  const std::string after = Bytes(v);
  std::string code = v.CodeText(static_cast<uint8_t>(before[target]));
  if (digit < 0 || digit >= static_cast<int>(code.size())) Fail("removed digit outside the code");
  code.erase(static_cast<size_t>(digit), 1);
  std::string removed = before, changed = before;
  removed.erase(static_cast<size_t>(target), 1);
  changed[target] = static_cast<char>(code.empty() ? 0 : ReadDigits(code, Base()));
  if (after != changed && after != removed) Fail("a digit was taken from the wrong byte");
  if (after == removed && !code.empty() && ReadDigits(code, Base()) != 0)
    Fail("a byte with digits left was removed");
}

struct Snapshot {
  std::string bytes;
  int cursor, anchor, cursorDigit, anchorDigit;
  bool inCodes;
  explicit Snapshot(const HexView& v)
      : bytes(Bytes(v)),
        cursor(v.CursorOffset()),
        anchor(v.AnchorOffset()),
        cursorDigit(v.CursorDigit),
        anchorDigit(v.AnchorDigit),
        inCodes(v.InCodes) {}
  bool operator==(const Snapshot&) const = default;
};

// The selected digits inside one code, as the main window's key replaces
// them: the digits before and after the selection (false when the
// selection spans whole bytes).
bool DigitSelection(const HexView& v, int& at, std::string& head, std::string& tail) {
  const int c = v.CursorOffset(), a = v.AnchorOffset(), n = static_cast<int>(v.Data().size());
  const bool same = c == a && c < n;
  const bool forward = c == a + 1 && v.CursorDigit == 0 && a < n;
  const bool backward = a == c + 1 && v.AnchorDigit == 0 && c < n;
  if (!v.InCodes || !(same || forward || backward)) return false;
  at = std::min(c, a);
  const std::string code = v.CodeText(v.Data()[at]);
  int from, to;
  if (same) {
    from = std::min(v.CursorDigit, v.AnchorDigit);
    to = std::max(v.CursorDigit, v.AnchorDigit);
  } else {
    from = forward ? v.AnchorDigit : v.CursorDigit;
    to = static_cast<int>(code.size());
  }
  from = std::min<int>(from, code.size());
  to = std::min<int>(to, code.size());
  head = code.substr(0, from);
  tail = code.substr(to);
  return true;
}

// The value of a code begun with one digit (the rest zeros with FirstZeroes).
int64_t FreshValue(char digit) {
  std::string code(1, digit);
  if (Cfg().FirstZeroes) code.append(DigitCount(255, Base()) - 1, '0');
  return ReadDigits(code, Base());
}

// The bytes a key gives over the current selection, or false when the key
// is refused (nothing may change then).
bool KeyOverSelection(const HexView& v, uint8_t ch, std::string& expected) {
  const std::string sel = v.GetSelectedText();
  const int lo = std::min(v.CursorOffset(), v.AnchorOffset());
  expected = Bytes(v);
  if (!v.InCodes) {
    expected.replace(static_cast<size_t>(lo), sel.size(), 1, static_cast<char>(ch));
    return true;
  }
  const char digit = static_cast<char>(ch >= 'a' && ch <= 'z' ? ch - 32 : ch);
  if (DigitValue(static_cast<uint8_t>(digit)) >= Base()) return false;
  int at;
  std::string head, tail;
  if (DigitSelection(v, at, head, tail) && !(head + tail).empty()) {
    const int64_t value = ReadDigits(head + digit + tail, Base());
    if (value < 0 || value > 255) return false;
    expected[at] = static_cast<char>(value);
    return true;
  }
  const int64_t value = FreshValue(digit);
  if (value < 0 || value > 255) return false;
  expected.replace(static_cast<size_t>(lo), sel.size(), 1, static_cast<char>(value));
  return true;
}

// One undo takes the whole edit back, and redo restores the bytes and the
// cursor the edit left.
void ExpectOneUndoStep(HexView& v, const Snapshot& before) {
  const Snapshot after(v);
  v.Undo();
  if (Bytes(v) != before.bytes) Fail("one undo does not take the edit back");
  if (v.CursorOffset() != before.cursor) Fail("undo puts the cursor elsewhere");
  v.Redo();
  if (Bytes(v) != after.bytes) Fail("redo does not repeat the edit");
  if (v.CursorOffset() != after.cursor) Fail("redo puts the cursor elsewhere");
  if (after.inCodes && after.cursorDigit < 7 && v.CursorDigit != after.cursorDigit)
    Fail("redo puts the cursor at another digit");
}

void Check(const HexView& v, const std::string& ref) {
  if (Bytes(v) != ref) Fail("bytes differ from the reference");
  const int n = Cfg().HexColumns, length = static_cast<int>(ref.size());
  if (v.LastRow() != length / n) Fail("LastRow");
  for (int row = 0; row <= v.LastRow(); ++row)
    if (v.GetRow(row) != std::string_view(ref).substr(static_cast<size_t>(row * n), n))
      Fail("a row differs from the reference");
  if (v.CursorOffset() > length || v.AnchorOffset() > length) Fail("cursor past the end");
  if (v.CursorColumn() < 0 || v.CursorColumn() > n || v.AnchorColumn() < 0 || v.AnchorColumn() > n)
    Fail("column");
  if (v.InCodes) {
    const int o = v.CursorOffset();
    if (o == length && v.CursorDigit != 0) Fail("a digit position at the end position");
    if (o < length && v.CursorDigit > CodeLength(v, o)) Fail("cursor past the code's digits");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  Cfg() = Settings{};
  Cfg().MaxUndoLen = 1 << 30;
  Cfg().TextBaseSyst = 2 + in.Int(35);
  Cfg().HexColumns = 2 + in.Int(20);
  Cfg().FirstZeroes = in.Byte() & 1;
  TestCanvas canvas;
  HexView view(&canvas);
  view.SetInsertMode(in.Byte() & 1);
  std::string original = in.Bytes(in.Int(40));  // what undoing everything gives
  view.SetBytes(original);
  std::string ref = original;
  const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZz!";
  const bool trace = std::getenv("HEX_TRACE") != nullptr;
  fuzz::RevisionChecker revision(view);
  while (!in.Empty()) {
    const int op = in.Byte() % 19;
    const bool extend = in.Byte() & 1;
    const int at = view.CursorOffset();
    const std::string before = Bytes(view);
    revision.Before(before);
    // Moves, Tab, the insert mode, jumps and searches never change anything.
    const bool mayMove = op <= 8 || op == 12 || op == 13 || op >= 17;
    if (trace) {
      std::fprintf(stderr, "op %d ext %d cur %d.%d anc %d.%d codes %d ins %d |", op, extend, at,
                   view.CursorDigit, view.AnchorOffset(), view.AnchorDigit, view.InCodes,
                   view.InsertMode());
      for (unsigned char c : before) std::fprintf(stderr, " %02X", c);
      std::fprintf(stderr, "\n");
    }
    switch (op) {
      case 0:
      case 1:  // a digit or a stray character in the code area
        if (view.HasSelection()) break;
        view.InCodes = true;
        view.TypeChar(static_cast<uint8_t>(digits[in.Byte() % 38]));
        ExpectLocalChange(before, Bytes(view), at);
        ref = Bytes(view);
        break;
      case 2: {  // a character in the character area
        if (view.HasSelection() || view.InCodes) break;
        const char c = static_cast<char>(in.Byte());
        const bool insert = view.InsertMode() || at >= static_cast<int>(ref.size());
        view.TypeChar(static_cast<uint8_t>(c));
        if (c != 9) {
          if (insert)
            ref.insert(static_cast<size_t>(at), 1, c);
          else
            ref[static_cast<size_t>(at)] = c;
        }
        break;
      }
      case 3: {  // Delete: the digit at the cursor, or the first one of the next byte
        if (view.HasSelection()) break;
        const int length = static_cast<int>(ref.size()), digit = view.CursorDigit;
        const bool ownDigit = at < length && digit < CodeLength(view, at);
        view.DeleteForward();
        if (!view.InCodes) {
          if (at < length) ref.erase(static_cast<size_t>(at), 1);
        } else if (ownDigit) {
          ExpectDigitRemoved(view, before, at, digit);
        } else if (at + 1 < length) {
          ExpectDigitRemoved(view, before, at + 1, 0);
        }
        ref = Bytes(view);
        break;
      }
      case 4: {  // Backspace: the digit before the cursor
        if (view.HasSelection()) break;
        const bool inCodes = view.InCodes;
        const int digit = view.CursorDigit;
        const int previousLength = at > 0 ? CodeLength(view, at - 1) : 0;
        if (view.GetAdjacentText(false).empty()) break;  // the main window does nothing
        view.Backspace();
        if (inCodes && digit > 0)
          ExpectDigitRemoved(view, before, at, digit - 1);
        else if (inCodes)
          ExpectDigitRemoved(view, before, at - 1, previousLength - 1);
        else if (at > 0)
          ref.erase(static_cast<size_t>(at - 1), 1);
        if (inCodes) ref = Bytes(view);
        break;
      }
      case 5: {  // delete the selection; whole bytes when it spans bytes
        const std::string sel = view.GetSelectedText();
        const int lo = std::min(view.CursorOffset(), view.AnchorOffset());
        const bool digitLevel =
            view.InCodes && (std::abs(view.CursorOffset() - view.AnchorOffset()) <= 1);
        view.DeleteSelection(true, true);
        if (digitLevel)
          ref = Bytes(view);
        else
          ref.erase(static_cast<size_t>(lo), sel.size());
        break;
      }
      case 6: {  // paste bytes
        if (view.HasSelection()) break;
        const std::string bytes = in.Bytes(1 + in.Int(6));
        view.InsertText(bytes, true, true);
        ref.insert(static_cast<size_t>(std::min(at, static_cast<int>(ref.size()))), bytes);
        break;
      }
      case 7: {
        if (!view.CanUndo()) break;
        view.Undo();
        const std::string undone = Bytes(view);
        view.Redo();
        if (Bytes(view) != before) Fail("undo then redo");
        view.Undo();
        if (Bytes(view) != undone) Fail("undo after redo");
        ref = undone;
        break;
      }
      case 8:
        view.Redo();
        ref = Bytes(view);
        break;
      case 9:
        if (in.Byte() & 1)
          view.MoveLeft(in.Byte() & 1, extend);
        else
          view.MoveRight(in.Byte() & 1, extend);
        break;
      case 10: {
        int d = -1;
        switch (in.Byte() % 6) {
          case 0:
            view.MoveUp(false, extend, d);
            break;
          case 1:
            view.MoveDown(false, extend, d);
            break;
          case 2:
            view.MoveHome(extend);
            break;
          case 3:
            view.MoveEnd(extend);
            break;
          case 4:
            view.PageUp(extend, d);
            break;
          default:
            view.PageDown(extend, d);
            break;
        }
        break;
      }
      case 11:
        if (in.Byte() & 1)
          view.TypeChar(9);  // Tab: the other area
        else
          view.MoveToPoint(in.Int(900) - 50, in.Int(600) - 50, true, extend);
        break;
      case 12:
      case 13: {  // a key or a paste, over the selection when there is one
        const Snapshot start(view);
        const bool selection = view.HasSelection();
        std::string expected = ref;
        bool accepted = true;
        if (op == 12) {
          const uint8_t ch =
              (in.Byte() & 1) ? static_cast<uint8_t>(digits[in.Byte() % 38]) : in.Byte();
          if (ch == 9) break;  // Tab switches areas (op 11)
          if (selection) accepted = KeyOverSelection(view, ch, expected);
          if (selection && view.TypingReplacesSelection(ch)) view.DeleteSelectionForInsert();
          view.TypeChar(ch);
          if (selection && !accepted && !(Snapshot(view) == start))
            Fail("a refused key changed the document or the selection");
          if (!selection) {
            if (view.InCodes)
              ExpectLocalChange(before, Bytes(view), at);
            else if (view.InsertMode() || at >= static_cast<int>(ref.size()))
              expected.insert(static_cast<size_t>(at), 1, static_cast<char>(ch));
            else
              expected[at] = static_cast<char>(ch);
            if (view.InCodes) expected = Bytes(view);
          }
        } else {
          const std::string bytes = in.Bytes(1 + in.Int(5));
          if (bytes.empty()) break;
          const int lo = std::min(view.CursorOffset(), view.AnchorOffset());
          if (selection) {
            expected.replace(static_cast<size_t>(lo), view.GetSelectedText().size(), bytes);
            view.DeleteSelectionForInsert();
          } else {
            expected.insert(static_cast<size_t>(std::min(at, static_cast<int>(ref.size()))), bytes);
          }
          view.InsertText(bytes, true, true);
        }
        if (Bytes(view) != expected) Fail("a key or a paste gave other bytes");
        ref = expected;
        if (accepted && Bytes(view) != start.bytes && (in.Byte() & 1))
          ExpectOneUndoStep(view, start);
        break;
      }
      case 14:
        view.SetInsertMode(!view.InsertMode());
        break;
      case 15:  // a jump to any byte: the next edit moves the gap there
        view.MoveCursorToByte(in.Int(static_cast<int>(ref.size()) + 1));
        break;
      case 16: {  // a search for a piece of the document, and the data window's values
        const int from = in.Int(static_cast<int>(ref.size()) + 1);
        std::string pattern = ref.substr(static_cast<size_t>(from), 1 + in.Int(4));
        if (pattern.empty()) break;
        if (in.Byte() & 1) pattern.back() ^= 1;  // perhaps missing
        const bool caseSensitive = in.Byte() & 1;
        const int cursor = view.CursorOffset();
        const bool fromCursor = in.Byte() & 1;
        std::string hay = ref, needle = pattern;
        if (!caseSensitive) UpperInPlace(hay), UpperInPlace(needle);
        const size_t start = fromCursor ? static_cast<size_t>(cursor) + 1 : 0;
        const size_t expected = start > hay.size() ? std::string::npos : hay.find(needle, start);
        view.SearchAs = 1;
        int count = 1 << 30;
        const bool found = view.FindText(pattern, count, fromCursor, caseSensitive);
        if (found != (expected != std::string::npos)) Fail("search found or missed wrongly");
        if (found && view.CursorOffset() != static_cast<int>(expected)) Fail("search position");
        const std::vector<uint8_t> plain(ref.begin(), ref.end());
        const int p = view.CursorOffset();
        for (int tag = 1; tag <= 8; ++tag)
          if (DataValueText(tag, view.Data(), p) != DataValueText(tag, plain, p))
            Fail("a data window value differs");
        break;
      }
      case 17: {  // a value written at the cursor, as the data window writes it
        const std::string bytes = in.Bytes(in.Int(9));
        view.WriteAtCursor(bytes);
        ref.replace(static_cast<size_t>(std::min(at, static_cast<int>(ref.size()))), bytes.size(),
                    bytes);
        break;
      }
      case 18: {                      // a pass over every row, rewriting some of them or none
        const int every = in.Int(4);  // 0: no row changes
        const char with = static_cast<char>(in.Byte());
        std::string expected, line;
        int index = 0;
        view.TransformRows([&](int* length, const uint8_t** rowData, bool*) {
          line.assign(reinterpret_cast<const char*>(*rowData), static_cast<size_t>(*length));
          if (every > 0 && index++ % every == 0) {
            line += with;
            *length = static_cast<int>(line.size());
            *rowData = reinterpret_cast<const uint8_t*>(line.data());
          }
          expected += line;
        });
        if (expected != ref) original = expected;  // a rewrite cannot be undone
        ref = expected;
        break;
      }
    }
    revision.After(Bytes(view), mayMove);
    Check(view, ref);
    fuzz::CheckSavedBytes(view, ref, view.GetSelectedText());
  }
  while (view.CanUndo()) view.Undo();
  if (Bytes(view) != original) Fail("undo of everything");
  return 0;
}
