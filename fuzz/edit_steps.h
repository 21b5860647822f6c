// The steps both text-editing fuzzers (8-bit and UTF-8) take alike: the
// selection taken out before typing, Delete, Backspace, Ctrl+Y, undo checked
// against redo, and the cursor's moves. Each reads its decisions
// from the input in the order the fuzzers always did, so their seed corpora
// steer them as before.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "views/char_class.h"
#include "views/text_view.h"

namespace prambus::fuzz {

// The document as the rows hold it.
inline std::string Text(const TextView& v) {
  std::string s;
  for (int r = 0; r <= v.LastRow(); ++r) s += v.GetRow(r);
  return s;
}

// What the main window does before a key or a paste: the selection goes,
// and the new text goes exactly where it was (also between a CR and a LF
// that meet across it). Returns that offset.
inline int TakeSelectionOut(TextView& view, std::string& ref) {
  const int c = view.PosToOffset(view.CursorColumn(), view.CursorRow());
  const int a = view.PosToOffset(view.AnchorColumn(), view.AnchorRow());
  ref.erase(std::min(a, c), view.GetSelectedText().size());
  view.DeleteSelectionForInsert();
  return std::min(a, c);
}

// Delete (forward) or Backspace without a selection: what goes beside the
// cursor, at offset `cursor`, goes from the reference too.
inline void DeleteBeside(TextView& view, std::string& ref, int cursor, bool forward) {
  if (view.HasSelection()) return;
  const std::string gone = view.GetAdjacentText(forward);
  if (gone.empty()) return;
  if (forward) {
    view.DeleteForward();
    ref.erase(cursor, gone.size());
  } else {
    view.Backspace();
    ref.erase(cursor - gone.size(), gone.size());
  }
}

// Ctrl+Y without a selection, with Shift (extend) the whole hard line: what
// goes must be the reference's there, and goes from it too.
inline void DeleteRows(TextView& view, std::string& ref, bool extend,
                       void (*fail)(const char* what)) {
  if (view.HasSelection()) return;
  int first = view.CursorRow();
  std::string gone(view.GetRow(first));
  if (extend) {
    while (first > 0) {
      const std::string_view prev = view.GetRow(first - 1);
      if (!prev.empty() && IsLineEnd(static_cast<uint8_t>(prev.back()))) break;
      --first;
    }
    gone = view.GetParagraphText();
  }
  const int start = view.PosToOffset(0, first);
  if (!view.DeleteLine(extend)) return;
  if (ref.compare(start, gone.size(), gone) != 0) fail("deleted line");
  ref.erase(start, gone.size());
}

// Undo, then redo and undo again: the text must come back each time, and
// the reference becomes the text undone. Nothing while there is nothing to
// undo.
inline void UndoRedoUndo(TextView& view, std::string& ref, void (*fail)(const char* what)) {
  if (!view.CanUndo()) return;
  const std::string before = Text(view);
  view.Undo();
  const std::string undone = Text(view);
  view.Redo();
  if (Text(view) != before) fail("undo then redo");
  view.Undo();
  if (Text(view) != undone) fail("undo after redo");
  ref = undone;
}

// Where a click may land: each coordinate from -margin to span - margin
// pixels, a little outside the document too.
struct ClickArea {
  int span = 0, margin = 0;
};

// One of six moves of the cursor (`move` 0 to 5), with the selection
// extended or not: left or right (by a character or a word), up or down, Home or End, a
// click, or a position by its offset (up to one past the document's end of
// `length` bytes, maybe inside a character). desiredX is the column the
// window keeps for moves up and down.
inline void MoveCursor(TextView& view, Input& in, int move, bool extend, int& desiredX,
                       size_t length, ClickArea click) {
  switch (move) {
    case 0:
      view.MoveLeft(in.Byte() & 1, extend), desiredX = -1;
      break;
    case 1:
      view.MoveRight(in.Byte() & 1, extend), desiredX = -1;
      break;
    case 2:
      if (in.Byte() & 1)
        view.MoveUp(in.Byte() & 1, extend, desiredX);
      else
        view.MoveDown(in.Byte() & 1, extend, desiredX);
      break;
    case 3:
      if (in.Byte() & 1)
        view.MoveHome(extend);
      else
        view.MoveEnd(extend);
      break;
    case 4:
      view.MoveToPoint(in.Int(click.span) - click.margin, in.Int(click.span) - click.margin, true,
                       extend);
      break;
    case 5: {
      int col = in.Int(static_cast<int>(length) + 2), row = 0;
      view.OffsetToPos(col, row);
      view.SetPosition(col, row, !extend);
      break;
    }
  }
}

}  // namespace prambus::fuzz
