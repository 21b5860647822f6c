#include "shell/find_replace.h"

#include "platform/services.h"
#include "text/cp1251.h"

namespace prambus {

std::string NothingFoundMessage(const std::string& text) {
  return "Я завершил поиск текста \"" + Cp1251ToUtf8(text) + "\". Ничего не найдено.";
}

std::string NoMoreMessage(const std::string& text) {
  return "Я завершил поиск текста \"" + Cp1251ToUtf8(text) + "\". Больше он не встречается.";
}

bool ReplaceSession::SearchStep(ViewBase& view, bool fromCursor, std::string& message) {
  if (hooks.setSearchAs) hooks.setSearchAs(view, options.replaceCodes ? 2 : 1);
  SavedCol = view.CursorCol;
  SavedRow = view.CursorRow;
  const bool found = view.FindText(options.find, RegionLeft, fromCursor, options.caseSensitive);
  if (found) {
    MatchStartCol = view.CursorCol, MatchStartRow = view.CursorRow;
    MatchEndCol = view.AnchorCol, MatchEndRow = view.AnchorRow;
  } else {
    view.SetPosition(SavedCol, SavedRow, true);
    view.SetPosition(SavedCol, SavedRow, false);
    Beep();
    Finished = true;
    message = NoMoreMessage(options.find);
  }
  if (hooks.setSearchAs) hooks.setSearchAs(view, 3);
  return found;
}

bool ReplaceSession::FindNext(ViewBase& view, std::string& message) {
  Finished = false;
  if (options.find.empty()) return false;
  bool fromCursor = true;
  if (RegionLeft == -1) {
    fromCursor = options.start != StartFrom::kBeginning;
    if (options.start == StartFrom::kSelection) {
      RegionLeft = static_cast<int32_t>(view.GetSelectedText().size());
      const bool cursorAfter =
          view.CursorRow > view.AnchorRow ||
          (view.CursorRow == view.AnchorRow && view.CursorCol >= view.AnchorCol);
      if (cursorAfter) view.SetPosition(view.AnchorCol, view.AnchorRow, true);
    } else {
      RegionLeft = kNoLimit;
    }
    if (view.CursorCol == 0 && view.CursorRow == 0) fromCursor = false;
    if (fromCursor) {
      // The search skips the character at the cursor: start one before it.
      view.MoveLeft(false, false);
      if (RegionLeft != kNoLimit) ++RegionLeft;
    }
  }
  return SearchStep(view, fromCursor, message);
}

bool ReplaceSession::Replacement(std::string& bytes, std::string& message) {
  if (options.replaceCodes && hooks.parseCodes) {
    if (!hooks.parseCodes(options.replace, bytes) || bytes.empty()) {
      Finished = true;
      Beep();
      message.clear();
      return false;
    }
    return true;
  }
  bytes = options.replace;
  return true;
}

// The search after a replacement begins right after the inserted text. As a
// search from the cursor skips the character at the cursor, the cursor steps
// one back first; at the very start of the document (an empty replacement
// there) the search starts from the top instead, so no match is skipped.
bool ReplaceSession::StepBack(ViewBase& view) {
  if (view.CursorCol == 0 && view.CursorRow == 0) return false;
  view.MoveLeft(false, false);
  return true;
}

bool ReplaceSession::Replace(ViewBase& view, std::string& message) {
  const bool onMatch = view.CursorCol == MatchStartCol && view.CursorRow == MatchStartRow &&
                       view.AnchorCol == MatchEndCol && view.AnchorRow == MatchEndRow;
  if (RegionLeft == -1 || !onMatch) {
    FindNext(view, message);
    return false;
  }
  std::string bytes;
  if (!Replacement(bytes, message)) return false;
  view.DeleteSelection(options.undoOn, true);
  if (options.undoOn) view.SealUndo();
  view.InsertText(bytes, options.undoOn, true);
  SearchStep(view, StepBack(view), message);
  return true;
}

int ReplaceSession::ReplaceAll(ViewBase& view, std::string& message) {
  if (RegionLeft == -1) FindNext(view, message);
  int count = 0;
  while (!Finished) {
    std::string bytes;
    if (!Replacement(bytes, message)) break;
    view.DeleteSelection(options.undoOn, false);
    if (options.undoOn) view.SealUndo();
    view.InsertText(bytes, options.undoOn, true);
    ++count;
    SearchStep(view, StepBack(view), message);
  }
  return count;
}

}  // namespace prambus
