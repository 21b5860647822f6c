// Differential fuzzing of text editing against a plain reference string:
// typing (line ends included, in the style of the text around them), inserts,
// deletes, selections, line deletions, undo, redo, table changes, moves, and
// find, replace and replace all over every kind of region. After every step
// the rows concatenate to the reference, cursor and anchor are valid
// positions (also after a step of the layout edits leave for later), and
// undo followed by redo returns to the same text; find and replace leave
// line-end pairs and row widths whole. The revision moves with every step
// that changed the bytes as they would be written (line ends converted or
// kept as they are), and with no step that changed nothing.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "edit_steps.h"
#include "encodings/code_tables.h"
#include "fuzz_input.h"
#include "replace_checker.h"
#include "revision_checker.h"
#include "saved_bytes_check.h"
#include "settings/settings.h"
#include "support/test_canvas.h"
#include "text/cp1251.h"
#include "text/line_ends.h"
#include "views/char_class.h"
#include "views/text_view.h"

using namespace prambus;
using fuzz::TakeSelectionOut;
using fuzz::Text;

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "edit check failed: %s\n", what);
  std::abort();
}

bool ValidPosition(const TextView& v, int col, int row) {
  if (row < 0 || row > v.LastRow()) return false;
  std::string_view r = v.GetRow(row);
  if (col < 0 || col > static_cast<int>(r.size())) return false;
  // Never inside or after the row's line-end characters.
  int body = static_cast<int>(r.size());
  while (body > 0 && IsLineEnd(static_cast<uint8_t>(r[body - 1]))) --body;
  return col <= body;
}

// No line-end pair is split across two rows, and every row's width is that
// of its characters (a wrapped row's may leave out a blank hanging at its
// end). Widths are not judged once a tab was in the text: a row broken
// before a tab that does not fit gets the tab's width taken off instead of
// its advance.
const char* RowLayoutFault(TextView& v, bool tabSeen) {
  for (int r = 0; r <= v.LastRow(); ++r) {
    const std::string_view row = v.GetRow(r);
    size_t body = row.size();
    while (body > 0 && IsLineEnd(static_cast<uint8_t>(row[body - 1]))) --body;
    if (r < v.LastRow() && row.size() - body == 1) {
      const std::string_view next = v.GetRow(r + 1);
      if (!next.empty() && IsLineEnd(static_cast<uint8_t>(next[0])) && next[0] != row.back())
        return "a line-end pair split across two rows";
    }
    if (tabSeen) continue;
    int width = 0;
    for (size_t i = 0; i < body; ++i) width += v.CharWidth(static_cast<uint8_t>(row[i]));
    const bool wrapped = r < v.LastRow() && body == row.size();
    const bool hanging = wrapped && body > 0 &&
                         CharClass[static_cast<uint8_t>(row[body - 1])] == kBlank &&
                         v.RowWidth(r) == width - v.CharWidth(static_cast<uint8_t>(row[body - 1]));
    if (v.RowWidth(r) != width && !hanging) return "a row's width is not that of its characters";
  }
  return nullptr;
}

void Check(TextView& v, const std::string& ref) {
  if (Text(v) != ref) Fail("rows differ from the reference");
  // The room left, judged without summing the rows, is the reference's.
  const int64_t limit = v.LengthLimitBytes();
  v.SetLengthLimit(static_cast<int64_t>(ref.size()));
  if (!v.HasRoomFor(0) || v.HasRoomFor(1)) Fail("the room left is not the reference's");
  v.SetLengthLimit(limit);
  for (int r = 0; r <= v.LastRow(); ++r) {
    std::string_view row = v.GetRow(r);
    size_t body = row.size();
    while (body > 0 && IsLineEnd(static_cast<uint8_t>(row[body - 1]))) --body;
    for (size_t i = 0; i < body; ++i)
      if (IsLineEnd(static_cast<uint8_t>(row[i]))) Fail("line end inside a row");
    if (r < v.LastRow() && row.empty()) Fail("empty row before the last");
  }
  if (!ValidPosition(v, v.CursorColumn(), v.CursorRow())) Fail("cursor");
  if (!ValidPosition(v, v.AnchorColumn(), v.AnchorRow())) Fail("anchor");
}

void CheckWholeLayout(const TextView& v, TestCanvas& canvas, const std::string& ref) {
  TextView fresh(&canvas);
  fresh.WrapWidth = v.WrapWidth;
  fresh.SetCharTable(v.CharTable());
  fresh.AppendString(ref);
  if (std::getenv("EDIT_TRACE")) {
    for (const TextView* t : {&v, static_cast<const TextView*>(&fresh)}) {
      std::fprintf(stderr, t == &v ? "edited:\n" : "whole:\n");
      for (int r = 0; r <= t->LastRow(); ++r) {
        std::string row(t->GetRow(r));
        for (char& c : row) c = c == '\r' ? 'R' : c == '\n' ? 'N' : c;
        std::fprintf(stderr, "  %d w=%d [%s]\n", r, t->RowWidth(r), row.c_str());
      }
    }
  }
  if (fresh.LastRow() != v.LastRow()) Fail("the row count is not a whole layout's");
  for (int r = 0; r <= v.LastRow(); ++r)
    if (fresh.GetRow(r) != v.GetRow(r) || fresh.RowWidth(r) != v.RowWidth(r))
      Fail("the rows are not a whole layout's");
}

// The bytes as the view writes the characters from one offset to another:
// through the inverse of the display table, and a line end as the line-end
// rule has it when the range holds the whole of it (a part of one is kept as
// it is).
std::string Written(const TextView& v, int from, int to) {
  const CodeTable inverse = InverseTable(v.CharTable());
  const std::string* rule = v.LineEndOnWrite();
  std::string out;
  int start = 0;  // the row's first offset
  for (int r = 0; r <= v.LastRow(); ++r) {
    const std::string_view row = v.GetRow(r);
    const int n = static_cast<int>(row.size());
    int body = n;
    while (body > 0 && IsLineEnd(static_cast<uint8_t>(row[body - 1]))) --body;
    const int lo = std::clamp(from - start, 0, n), hi = std::clamp(to - start, 0, n);
    if (lo < hi) {
      if (rule && body < n && lo <= body && hi == n) {
        out.append(row.substr(lo, body - lo));
        out += *rule;
      } else {
        out.append(row.substr(lo, hi - lo));
      }
    }
    start += n;
  }
  for (char& c : out) c = static_cast<char>(inverse[static_cast<uint8_t>(c)]);
  return out;
}
std::string Written(const TextView& v) {
  return Written(v, 0, std::numeric_limits<int>::max());
}

int Offset(TextView& v, int col, int row) {
  return v.PosToOffset(col, row);
}

bool LineEndAt(const std::string& s, size_t i) {
  return i < s.size() && IsLineEnd(static_cast<uint8_t>(s[i]));
}

// A line-end pair: a LF and a CR, in either order.
bool PairAt(const std::string& s, size_t i, size_t end) {
  return i + 1 < end && LineEndAt(s, i) && LineEndAt(s, i + 1) &&
         CharClass[static_cast<uint8_t>(s[i])] != CharClass[static_cast<uint8_t>(s[i + 1])];
}

// The last line end of the run of line-end characters that stops at `end`;
// CR LF and LF CR pair up from the left, as the rows hold them.
std::string LineEndBefore(const std::string& s, size_t end) {
  size_t i = end;
  while (i > 0 && LineEndAt(s, i - 1)) --i;
  std::string last;
  while (i < end) {
    const size_t n = PairAt(s, i, end) ? 2 : 1;
    last = s.substr(i, n);
    i += n;
  }
  return last;
}

// What Enter inserts at an offset, worked out on the plain text: the line end
// the cursor stands before, or the one just behind it at the start of a line;
// inside a line the one that ends it, else the line end before; LF when the
// text has none.
std::string LineEndForEnter(const std::string& s, size_t at) {
  if (LineEndAt(s, at)) return s.substr(at, PairAt(s, at, s.size()) ? 2 : 1);
  if (at > 0 && LineEndAt(s, at - 1)) return LineEndBefore(s, at);
  for (size_t i = at; i < s.size(); ++i)
    if (LineEndAt(s, i)) return s.substr(i, PairAt(s, i, s.size()) ? 2 : 1);
  for (size_t i = at; i > 0; --i)
    if (LineEndAt(s, i - 1)) return LineEndBefore(s, i);
  return "\n";
}

// The quick search over runs of rows finds what the search by hard lines
// finds: the same answer, limit, selection and scroll position. The search
// text comes from the document around the cursor (case flipped, line ends
// and all) or is missing from it; the start and the limit vary with the step.
void CheckQuickSearch(TextView& view, const std::string& ref, int step) {
  const int at = Offset(view, view.CursorColumn(), view.CursorRow());
  std::string find = step % 5 == 4 ? std::string("zq") : ref.substr(at, 1 + step % 4);
  if (find.empty()) find = "a";
  if (step & 2) UpperInPlace(find);
  const bool fromCursor = step & 1, caseSensitive = step % 3 == 0;
  const int limit = step % 7 < 2 ? static_cast<int>(ref.size()) / 2 - 3 + step % 7 : kNoLimit;
  struct Outcome {
    bool found;
    int limit, cursorCol, cursorRow, anchorCol, anchorRow, scrollX;
    int64_t scrollY;
    bool operator==(const Outcome&) const = default;
  };
  const int col = view.CursorColumn(), row = view.CursorRow(), aCol = view.AnchorColumn(),
            aRow = view.AnchorRow(), sx = view.ScrollX();
  const int64_t sy = view.ScrollY();
  auto run = [&](bool quick) {
    view.RestorePositions(col, row, aCol, aRow);
    view.SetScrollX(sx);
    view.SetScrollY(sy);
    view.AllowQuickSearch(quick);
    // Runs cut short at varying lengths put seams inside contiguous rows too.
    view.LimitQuickSearchRun(step % 4 == 3 ? size_t(256) << 10 : 1 + static_cast<size_t>(step % 9));
    int left = limit;
    const bool found = view.FindText(find, left, fromCursor, caseSensitive);
    view.AllowQuickSearch(true);
    return Outcome{found,
                   left,
                   view.CursorColumn(),
                   view.CursorRow(),
                   view.AnchorColumn(),
                   view.AnchorRow(),
                   view.ScrollX(),
                   view.ScrollY()};
  };
  if (!(run(true) == run(false))) Fail("the quick search differs from the search by lines");
  view.RestorePositions(col, row, aCol, aRow);
  view.SetScrollX(sx);
  view.SetScrollY(sy);
  view.UpdateCaretPoint();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  Cfg() = Settings{};
  Cfg().Shag = 1 + in.Int(16);
  Cfg().MaxUndoLen = 1 << 30;
  TestCanvas canvas;
  TextView view(&canvas);
  // Edits lay out a row or a few and leave the rest of a paragraph whose
  // layout does not meet the old one to steps taken between them.
  view.LimitEditLayout(1 + static_cast<int>(size % 4));
  view.WrapWidth = 24 + in.Int(200);
  const std::string alphabet = "ab c,(\t\r\n.-x\xE0\xC0";
  std::string ref = in.Bytes(in.Int(60));
  for (char& c : ref) c = alphabet[static_cast<uint8_t>(c) % alphabet.size()];
  view.AppendString(ref);
  const std::string original = ref;
  int desiredX = -1;
  const bool trace = std::getenv("EDIT_TRACE") != nullptr;
  fuzz::ReplaceChecker replace(view, ref);
  bool modelled = false;  // the replace model follows the session since its last reset
  bool tabSeen = false;
  bool wholeLayout = true;
  int steps = 0;
  fuzz::RevisionChecker revision(view);
  // Replacing all of a letter by three of it triples the text each time: past a
  // kilobyte a run only gets slower, not deeper.
  while (!in.Empty() && ref.size() < 1024) {
    const int op = in.Byte() % 20;
    if (op <= 9) modelled = false;  // the document or its characters changed
    revision.Before(Written(view));
    bool mayMove = op <= 8 || op >= 18;  // edits, "Заменить", "Заменить всё"
    const bool extend = in.Byte() & 1;
    const int cursor = Offset(view, view.CursorColumn(), view.CursorRow());
    if (trace) {
      std::string shown;
      for (char c : ref)
        shown += c == '\r' ? "\\r" : c == '\n' ? "\\n" : c == '\t' ? "\\t" : std::string(1, c);
      std::fprintf(stderr, "op %d extend %d cursor %d (%d,%d) anchor (%d,%d) undo %zu text [%s]\n",
                   op, extend, cursor, view.CursorColumn(), view.CursorRow(), view.AnchorColumn(),
                   view.AnchorRow(), view.UndoStack().size(), shown.c_str());
      const ReplaceOptions& o = replace.session.options;  // the replace commands' state
      std::fprintf(stderr, "   find [%s] replace [%s] start %d case %d region %d..%lld\n",
                   o.find.c_str(), o.replace.c_str(), static_cast<int>(o.start), o.caseSensitive,
                   replace.model.regionStart, static_cast<long long>(replace.model.regionEnd));
      for (const UndoRecord& r : view.UndoStack())
        std::fprintf(stderr, "   rec kind %d len %zu before %d after %d\n", r.kind, r.text.size(),
                     r.beforeOffset, r.afterOffset);
    }
    switch (op) {
      case 0:
      case 1: {  // type a character, over the selection if there is one
        const int at = TakeSelectionOut(view, ref);
        const char c = alphabet[in.Byte() % alphabet.size()];
        view.TypeChar(static_cast<uint8_t>(c));
        if (!IsLineEnd(static_cast<uint8_t>(c)))
          ref.insert(at, 1, c);
        else
          ref.insert(at, LineEndForEnter(ref, at));
        desiredX = -1;
        break;
      }
      case 2: {  // paste, as it comes or with its line ends in the style where it lands
        const bool fromOtherPrograms = in.Byte() & 1;
        std::string text = in.Bytes(in.Int(12));
        for (char& c : text) c = alphabet[static_cast<uint8_t>(c) % alphabet.size()];
        if (text.empty()) break;  // the main window pastes nothing then
        const int at = TakeSelectionOut(view, ref);
        if (fromOtherPrograms) {
          ref.insert(at, WithLineEnds(text, LineEndForEnter(ref, at)));
          text = WithLineEnds(text, view.LineEndAtCursor());
        } else {
          ref.insert(at, text);
        }
        view.InsertText(text, true, true);
        break;
      }
      case 3:  // Delete
      case 4:  // Backspace
        fuzz::DeleteBeside(view, ref, cursor, op == 3);
        break;
      case 5: {  // delete the selection
        const int a = Offset(view, view.AnchorColumn(), view.AnchorRow());
        const std::string sel = view.GetSelectedText();
        if (view.DeleteSelection(true, true) || !sel.empty())
          ref.erase(std::min(a, cursor), sel.size());
        break;
      }
      case 6:  // Ctrl+Y, with Shift the whole hard line
        fuzz::DeleteRows(view, ref, extend, Fail);
        break;
      case 7:  // undo, then redo and undo again: the text must come back
        fuzz::UndoRedoUndo(view, ref, Fail);
        break;
      case 8:
        view.Redo();
        ref = Text(view);
        break;
      case 9: {  // another display table, or another way of writing line ends
        if (in.Byte() & 2) {
          static const char* const kEnds[] = {"\n", "\r", "\r\n"};
          const int rule = in.Int(4);
          if (rule == 3)
            view.KeepLineEnds(true);
          else
            view.ChooseLineEnd(kEnds[rule], rule, true);
          mayMove = true;
          break;
        }
        const CodeTable inv = InverseTable(view.CharTable());
        const CodeTable& next = (in.Byte() & 1) ? DosTable() : WindowsTable();
        view.SetCharTable(next);
        for (char& c : ref) c = static_cast<char>(next[inv[static_cast<uint8_t>(c)]]);
        break;
      }
      case 10:
      case 11:
      case 12:
      case 13:
      case 14:
      case 15:  // moves, a click, a position by its offset
        fuzz::MoveCursor(view, in, op - 10, extend, desiredX, ref.size(), {400, 20});
        break;
      case 16: {  // the replace dialog shown, or its fields edited
        ReplaceOptions& o = replace.session.options;
        const std::string letters = "ab c\xE0\xC0";
        o.find = in.Bytes(1 + in.Int(3));
        for (char& c : o.find) c = letters[static_cast<uint8_t>(c) % letters.size()];
        o.replace = in.Bytes(in.Int(4));
        for (char& c : o.replace) c = alphabet[static_cast<uint8_t>(c) % alphabet.size()];
        o.caseSensitive = in.Byte() & 1;
        o.start = static_cast<StartFrom>(in.Int(3));
        if (in.Byte() & 1) {  // a selection first, in either direction
          for (const bool cursorEnd : {false, true}) {
            int col = in.Int(static_cast<int>(ref.size()) + 1), row = 0;
            view.OffsetToPos(col, row);
            view.SetPosition(col, row, cursorEnd);
          }
        }
        if (extend)
          replace.session.Show(view.HasSelection());
        else
          replace.session.Reset();
        replace.model = fuzz::ReplaceModel{};
        modelled = !o.find.empty();
        break;
      }
      case 17:
      case 18:
      case 19: {  // "Найти далее", "Заменить", "Заменить всё"
        if (replace.session.options.find.empty()) break;
        if (!modelled) {  // an edit since: the session starts afresh by itself or is reset
          if (extend) {
            std::string message;
            if (op == 17) replace.session.FindNext(view, message);
            if (op == 18) replace.session.Replace(view, message);
            if (op == 19) replace.session.ReplaceAll(view, message);
            ref = Text(view);
            break;
          }
          replace.session.Reset();
          replace.model = fuzz::ReplaceModel{};
          modelled = true;
        }
        if (op == 17) replace.FindNext();
        if (op == 18) replace.Replace();
        if (op == 19) replace.ReplaceAll();
        break;
      }
    }
    revision.After(Written(view), mayMove);
    Check(view, ref);
    const int anchor = Offset(view, view.AnchorColumn(), view.AnchorRow());
    const int caret = Offset(view, view.CursorColumn(), view.CursorRow());
    fuzz::CheckSavedBytes(view, Written(view),
                          Written(view, std::min(anchor, caret), std::max(anchor, caret)));
    CheckQuickSearch(view, ref, ++steps);
    if (steps % 3 == 0) {
      view.ContinueLayout(1 + static_cast<size_t>(steps % 30));
      Check(view, ref);
    }
    int widest = 0;
    for (int r = 0; r <= view.LastRow(); ++r) widest = std::max(widest, view.RowWidth(r));
    if (view.GetDocumentWidth() != widest) Fail("the document width is not the widest row's");
    // Every edit leaves the rows laid out as the text gives them.
    tabSeen |= ref.find('\t') != std::string::npos;
    if (const char* fault = RowLayoutFault(view, tabSeen)) {
      if (trace) {
        std::fprintf(stderr, "wrap %d\n", view.WrapWidth);
        for (int r = 0; r <= view.LastRow(); ++r) {
          std::string row(view.GetRow(r));
          for (char& c : row) c = c == '\r' ? 'R' : c == '\n' ? 'N' : c;
          std::fprintf(stderr, "  row %d width %d [%s]\n", r, view.RowWidth(r), row.c_str());
        }
      }
      Fail(fault);
    }
    // Ctrl+Y takes a screen row out and leaves the rows around it as they
    // were; until then, once nothing is left for later, every edit leaves the
    // rows a whole layout of the text gives. Not with tabs: a row broken
    // before a tab takes a width that depends on how the text came in.
    wholeLayout &= op != 6;
    if (wholeLayout && !tabSeen && !view.LayoutPending()) CheckWholeLayout(view, canvas, ref);
  }
  // With the whole history kept, undoing everything gives the original text
  // (shown through the current table).
  while (view.CanUndo()) view.Undo();
  std::string expected = original;
  const CodeTable& table = view.CharTable();
  for (char& c : expected) c = static_cast<char>(table[static_cast<uint8_t>(c)]);
  if (Text(view) != expected) Fail("undo of everything");
  return 0;
}
