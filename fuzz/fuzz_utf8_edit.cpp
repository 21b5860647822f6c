// Differential fuzzing of UTF-8 editing against a plain reference string:
// the document is loaded in blocks of any size from pieces of valid and
// ill-formed UTF-8, then typed characters, pastes, deletions, Backspace,
// selections, undo and redo, moves, and finding and replacing (case folded
// too, and everywhere in one pass) follow. After every step the rows
// concatenate to the reference, every row, the cursor and the anchor start a
// character, the bytes as saved are the reference's, and once no layout is
// left for later the rows are those a whole layout of the reference gives.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "edit_steps.h"
#include "fuzz_input.h"
#include "saved_bytes_check.h"
#include "settings/settings.h"
#include "shell/find_replace.h"
#include "support/test_canvas.h"
#include "text/utf8_chars.h"
#include "views/char_class.h"
#include "views/text_view.h"

using namespace prambus;
using fuzz::TakeSelectionOut;
using fuzz::Text;

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "utf-8 edit check failed: %s\n", what);
  std::abort();
}

// Characters and broken pieces: Latin, Cyrillic, Greek, CJK, an emoji, line
// ends, and bytes of no character (stray, overlong, cut, out of range).
const char* const kPieces[] = {"a",        "B",
                               " ",        ",",
                               "\n",       "\r",
                               "ж",        "Ж",
                               "σ",        "Σ",
                               "é",        "É",
                               "中",       "😀",
                               "\x80",     "\xBF",
                               "\xD0",     "\xE4\xB8",
                               "\xF0\x9F", "\xF0\x9F\x98",
                               "\xC0\xAF", "\xED\xA0\x80",
                               "\xFF",     "("};
constexpr int kPieceCount = sizeof kPieces / sizeof kPieces[0];
// What a key types: whole characters only.
constexpr int kTypable = 14;

std::string Pieces(fuzz::Input& in, int count, int among) {
  std::string s;
  for (int i = 0; i < count; ++i) s += kPieces[in.Int(among)];
  return s;
}

bool StartsChar(const std::string& s, int at) {
  const auto* p = reinterpret_cast<const uint8_t*>(s.data());
  return Utf8StartOf(p, static_cast<int>(s.size()), at) == at;
}

void CheckPosition(const TextView& v, const std::string& ref, int col, int row) {
  if (std::getenv("EDIT_TRACE")) {
    std::fprintf(stderr, "position (%d,%d) in [", col, row);
    for (unsigned char c : ref) std::fprintf(stderr, c < 0x80 && c >= 32 ? "%c" : "<%02X>", c);
    std::fprintf(stderr, "]\n");
    for (int r = 0; r <= v.LastRow(); ++r) {
      std::fprintf(stderr, "  %d [", r);
      for (unsigned char c : v.GetRow(r))
        std::fprintf(stderr, c < 0x80 && c >= 32 ? "%c" : "<%02X>", c);
      std::fprintf(stderr, "]\n");
    }
  }
  if (row < 0 || row > v.LastRow()) Fail("a position's row");
  const std::string_view r = v.GetRow(row);
  int body = static_cast<int>(r.size());
  while (body > 0 && IsLineEnd(static_cast<uint8_t>(r[body - 1]))) --body;
  if (col < 0 || col > body) Fail("a position inside or after a line end");
  int offset = col;
  for (int i = 0; i < row; ++i) offset += static_cast<int>(v.GetRow(i).size());
  if (!StartsChar(ref, offset)) Fail("a position inside a character");
}

void Check(TextView& v, const std::string& ref) {
  if (Text(v) != ref) Fail("rows differ from the reference");
  int at = 0;
  for (int r = 0; r <= v.LastRow(); ++r) {
    if (!StartsChar(ref, at)) Fail("a row starts inside a character");
    if (r < v.LastRow() && v.GetRow(r).empty()) Fail("an empty row before the last");
    at += static_cast<int>(v.GetRow(r).size());
  }
  CheckPosition(v, ref, v.CursorColumn(), v.CursorRow());
  CheckPosition(v, ref, v.AnchorColumn(), v.AnchorRow());
  const int a = v.PosToOffset(v.AnchorColumn(), v.AnchorRow());
  const int c = v.PosToOffset(v.CursorColumn(), v.CursorRow());
  fuzz::CheckSavedBytes(v, ref, ref.substr(std::min(a, c), std::abs(a - c)));
}

void CheckWholeLayout(const TextView& v, TestCanvas& canvas, const std::string& ref) {
  TextView fresh(&canvas);
  fresh.WrapWidth = v.WrapWidth;
  fresh.SetUtf8(true);
  fresh.AppendString(ref);
  fresh.EndAppend();
  if (std::getenv("EDIT_TRACE")) {
    for (const TextView* t : {&v, static_cast<const TextView*>(&fresh)}) {
      std::fprintf(stderr, t == &v ? "edited (wrap %d):\n" : "whole:\n", v.WrapWidth);
      for (int r = 0; r <= t->LastRow(); ++r) {
        std::fprintf(stderr, "  %d w=%d [", r, t->RowWidth(r));
        for (unsigned char c : t->GetRow(r))
          std::fprintf(stderr, c < 0x80 && c >= 32 ? "%c" : "<%02X>", c);
        std::fprintf(stderr, "]\n");
      }
    }
  }
  if (fresh.LastRow() != v.LastRow()) Fail("the row count is not a whole layout's");
  for (int r = 0; r <= v.LastRow(); ++r)
    if (fresh.GetRow(r) != v.GetRow(r) || fresh.RowWidth(r) != v.RowWidth(r))
      Fail("the rows are not a whole layout's");
  // The layout's sixteen-byte steps give the rows of one character at a time.
  TextView single(&canvas);
  single.AllowWideSteps(false);
  single.WrapWidth = v.WrapWidth;
  single.SetUtf8(true);
  single.AppendString(ref);
  single.EndAppend();
  if (single.LastRow() != fresh.LastRow()) Fail("wide steps give another row count");
  for (int r = 0; r <= fresh.LastRow(); ++r)
    if (single.GetRow(r) != fresh.GetRow(r) || single.RowWidth(r) != fresh.RowWidth(r))
      Fail("wide steps give other rows");
}

// Letters, blanks and punctuation: the window's search over line ends
// selects as the editing fuzzer checks.
std::string SearchedText(fuzz::Input& in) {
  std::string find;
  for (int i = 1 + in.Int(2); i > 0; --i) {
    const int k = in.Int(kTypable - 2);
    find += kPieces[k < 4 ? k : k + 2];
  }
  return find;
}

// "Заменить всё" from the start: every match left to right, none overlapping
// the one before, compared folded when without case.
std::string ReplacedEverywhere(const std::string& ref, const ReplaceOptions& o, int& count) {
  std::string hay = ref, find = o.find;
  if (!o.caseSensitive) FoldUtf8InPlace(hay), FoldUtf8InPlace(find);
  std::string out;
  size_t from = 0;
  count = 0;
  for (size_t at; (at = hay.find(find, from)) != std::string::npos; from = at + find.size()) {
    out.append(ref, from, at - from);
    out += o.replace;
    ++count;
  }
  return out + ref.substr(from);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  Cfg() = Settings{};
  Cfg().Shag = 1 + in.Int(16);
  Cfg().MaxUndoLen = 1 << 30;
  TestCanvas canvas;
  TextView view(&canvas);
  view.LimitEditLayout(1 + static_cast<int>(size % 4));
  view.WrapWidth = 8 + in.Int(120);
  view.SetUtf8(true);
  std::string ref = Pieces(in, in.Int(40), kPieceCount);
  // Blocks of any size: a sequence cut between two of them is one character.
  for (size_t i = 0; i < ref.size();) {
    const size_t n = std::min(ref.size() - i, static_cast<size_t>(1 + in.Int(9)));
    view.AppendBytes(reinterpret_cast<const uint8_t*>(ref.data()) + i, static_cast<int>(n));
    i += n;
  }
  view.EndAppend();
  const std::string original = ref;
  int desiredX = -1;
  bool tabFree = true;
  // Ctrl+Y takes a screen row out and leaves the rows around it as they were,
  // which a whole layout need not give.
  bool screenRowGone = false;
  int steps = 0;
  Check(view, ref);
  while (!in.Empty() && ref.size() < 2048) {
    const int op = in.Byte() % 18;
    const bool extend = in.Byte() & 1;
    const int cursor = view.PosToOffset(view.CursorColumn(), view.CursorRow());
    if (std::getenv("EDIT_TRACE"))
      std::fprintf(stderr, "op %d extend %d cursor %d\n", op, extend, cursor);
    switch (op) {
      case 0:
      case 1: {  // a key typed over the selection
        const std::string typed = kPieces[in.Int(kTypable)];
        const int at = TakeSelectionOut(view, ref);
        view.TypeText(typed);
        if (typed == "\n" || typed == "\r") {
          ref = Text(view);  // the line end of the text around it (the editing fuzzer models it)
        } else {
          ref.insert(at, typed);
        }
        desiredX = -1;
        break;
      }
      case 2: {  // a paste of any bytes
        const std::string text = Pieces(in, 1 + in.Int(6), kPieceCount);
        const int at = TakeSelectionOut(view, ref);
        view.InsertText(text, true, true);
        ref.insert(at, text);
        break;
      }
      case 3:  // Delete
      case 4:  // Backspace
        fuzz::DeleteBeside(view, ref, cursor, op == 3);
        break;
      case 5: {  // cut
        const int a = view.PosToOffset(view.AnchorColumn(), view.AnchorRow());
        const std::string sel = view.GetSelectedText();
        if (sel != ref.substr(std::min(a, cursor), sel.size())) Fail("the selected text");
        if (view.DeleteSelection(true, true) || !sel.empty())
          ref.erase(std::min(a, cursor), sel.size());
        break;
      }
      case 6:  // undo, redo and undo again
        fuzz::UndoRedoUndo(view, ref, Fail);
        break;
      case 7:
        view.Redo();
        ref = Text(view);
        break;
      case 8:
      case 9:
      case 10:
      case 11:
      case 12:
      case 13:  // moves, a click, a position by its offset
        fuzz::MoveCursor(view, in, op - 8, extend, desiredX, ref.size(), {300, 10});
        break;
      case 14: {  // find (case folded or not), and replace what was found
        const std::string find = SearchedText(in);
        const bool caseSensitive = in.Byte() & 1;
        int count = 1 << 20;
        if (!view.FindText(find, count, in.Byte() & 1, caseSensitive)) break;
        const int a = view.PosToOffset(view.AnchorColumn(), view.AnchorRow());
        const int c = view.PosToOffset(view.CursorColumn(), view.CursorRow());
        std::string found = ref.substr(std::min(a, c), std::abs(a - c));
        std::string wanted = find;
        if (!caseSensitive) FoldUtf8InPlace(found), FoldUtf8InPlace(wanted);
        if (found != wanted) Fail("found text that is not the one looked for");
        if (!extend) break;
        const std::string with = Pieces(in, in.Int(3), kPieceCount);
        if (with.empty()) {  // replaced by nothing: the selection is deleted
          view.DeleteSelection(true, true);
          ref.erase(std::min(a, c), std::abs(a - c));
          break;
        }
        const int at = TakeSelectionOut(view, ref);
        view.InsertText(with, true, true);
        ref.insert(at, with);
        break;
      }
      case 15:  // shown as table characters and back
        view.SetUtf8(false);
        view.SetUtf8(true);
        break;
      case 17: {  // "Заменить всё", the matches replaced in one splice
        ReplaceSession session;
        session.hooks.readsUtf8 = [](const ViewBase&) { return true; };
        session.options.find = SearchedText(in);
        session.options.replace = Pieces(in, in.Int(3), kPieceCount);
        session.options.caseSensitive = in.Byte() & 1;
        int expected = 0;
        const std::string replaced = ReplacedEverywhere(ref, session.options, expected);
        std::string message;
        if (session.ReplaceAll(view, message) != expected) Fail("replace all counted otherwise");
        if (expected > 0) ref = replaced;
        break;
      }
      case 16:  // Ctrl+Y, with Shift the whole hard line
        if (view.HasSelection()) break;
        fuzz::DeleteRows(view, ref, extend, Fail);
        screenRowGone = true;
        break;
    }
    Check(view, ref);
    if (++steps % 3 == 0) {
      view.ContinueLayout(1 + static_cast<size_t>(steps % 30));
      Check(view, ref);
    }
    tabFree &= ref.find('\t') == std::string::npos;
    if (tabFree && !screenRowGone && !view.LayoutPending()) CheckWholeLayout(view, canvas, ref);
  }
  while (view.CanUndo()) view.Undo();
  if (Text(view) != original) Fail("undo of everything");
  return 0;
}
