// Differential fuzzing of the hex view against a reference byte string:
// digit typing in every base, character typing, deletes, selections,
// inserts, undo and redo. Character and whole-byte edits are modelled
// exactly; a digit edit may change only the bytes at the cursor. Undo
// followed by redo returns to the same bytes, and undoing everything gives
// the original bytes back.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_input.h"
#include "settings/settings.h"
#include "support/test_canvas.h"
#include "views/hex_view.h"

using namespace prambus;

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "hex check failed: %s\n", what);
  std::abort();
}

std::string Bytes(const HexView& v) {
  return std::string(v.Data().begin(), v.Data().end());
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

void Check(const HexView& v, const std::string& ref) {
  if (Bytes(v) != ref) Fail("bytes differ from the reference");
  const int n = Cfg().HexColumns;
  if (v.LastRow != static_cast<int>(ref.size()) / n) Fail("LastRow");
  if (v.CursorOffset() > static_cast<int>(ref.size()) ||
      v.AnchorOffset() > static_cast<int>(ref.size()))
    Fail("cursor past the end");
  if (v.CursorCol < 0 || v.CursorCol > n || v.AnchorCol < 0 || v.AnchorCol > n) Fail("column");
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
  const std::string original = in.Bytes(in.Int(40));
  view.SetBytes(original);
  std::string ref = original;
  const char* digits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZz!";
  while (!in.Empty()) {
    const int op = in.Byte() % 12;
    const bool extend = in.Byte() & 1;
    const int at = view.CursorOffset();
    const std::string before = Bytes(view);
    if (std::getenv("HEX_TRACE")) {
      std::fprintf(stderr, "op %d ext %d cur %d.%d anc %d.%d codes %d ins %d |", op, extend, at,
                   view.CursorDigit, view.AnchorOffset(), view.AnchorDigit, view.InCodes,
                   view.InsertMode);
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
        const bool insert = view.InsertMode || at >= static_cast<int>(ref.size());
        view.TypeChar(static_cast<uint8_t>(c));
        if (c != 9) {
          if (insert)
            ref.insert(static_cast<size_t>(at), 1, c);
          else
            ref[static_cast<size_t>(at)] = c;
        }
        break;
      }
      case 3:
        if (view.HasSelection()) break;
        view.DeleteForward();
        if (!view.InCodes && at < static_cast<int>(ref.size())) {
          ref.erase(static_cast<size_t>(at), 1);
        } else {
          ExpectLocalChange(before, Bytes(view), at + 1);
          ref = Bytes(view);
        }
        break;
      case 4:
        if (view.HasSelection()) break;
        view.Backspace();
        ExpectLocalChange(before, Bytes(view), at);
        ref = Bytes(view);
        break;
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
    }
    Check(view, ref);
  }
  while (view.CanUndo()) view.Undo();
  if (Bytes(view) != original) Fail("undo of everything");
  return 0;
}
