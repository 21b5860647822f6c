#include "shell/find_replace.h"

#include <algorithm>

#include "platform/services.h"
#include "shell/file_messages.h"
#include "text/cp1251.h"
#include "views/char_class.h"

namespace prambus {

std::string NothingFoundMessage(const std::string& text, bool utf8) {
  return "Я завершил поиск текста \"" + (utf8 ? text : Cp1251ToUtf8(text)) +
         "\". Ничего не найдено.";
}

std::string NoMoreMessage(const std::string& text, bool utf8) {
  return "Я завершил поиск текста \"" + (utf8 ? text : Cp1251ToUtf8(text)) +
         "\". Больше он не встречается.";
}

namespace {
int CursorOffset(ViewBase& v) {
  return v.PosToOffset(v.CursorColumn(), v.CursorRow());
}
int AnchorOffset(ViewBase& v) {
  return v.PosToOffset(v.AnchorColumn(), v.AnchorRow());
}
}  // namespace

void ReplaceSession::Show(bool hasSelection) {
  RegionLeft = -1;
  Finished = false;
  SelectionChoice = hasSelection;
  if (hasSelection)
    options.start = StartFrom::kSelection;
  else if (options.start == StartFrom::kSelection)
    options.start = StartFrom::kBeginning;
}

void ReplaceSession::Reset() {
  RegionLeft = -1;
  Finished = false;
  if (!SelectionChoice && options.start == StartFrom::kSelection)
    options.start = StartFrom::kBeginning;
}

// A match counts only when it ends inside the region: the limit handed to
// the view is what remains of the region after the place its search starts
// (the character at the cursor, which a search from the cursor passes over,
// counted in), recomputed for every step from the region's end.
bool ReplaceSession::SearchStep(ViewBase& view, bool fromCursor, std::string& message) {
  if (hooks.setSearchAs) hooks.setSearchAs(view, options.replaceCodes ? 2 : 1);
  savedCol_ = view.CursorColumn();
  savedRow_ = view.CursorRow();
  RegionLeft = regionEnd_ < 0 ? kNoLimit : regionEnd_ - (fromCursor ? CursorOffset(view) : 0);
  const bool found = view.FindText(options.find, RegionLeft, fromCursor, options.caseSensitive);
  RegionLeft = std::max(RegionLeft, 0);  // -1 would read as "no search yet"
  if (found) {
    matchStart_ = CursorOffset(view);
    matchEnd_ = AnchorOffset(view);
  } else {
    matchStart_ = matchEnd_ = -1;
    view.SetPosition(savedCol_, savedRow_, true);
    view.SetPosition(savedCol_, savedRow_, false);
    Beep();
    Finished = true;
    message = NoMoreMessage(options.find, hooks.readsUtf8 && hooks.readsUtf8(view));
  }
  if (hooks.setSearchAs) hooks.setSearchAs(view, 3);
  return found;
}

// Looks for a match that starts at the cursor or after it. As a search from
// the cursor passes over the character at the cursor, the cursor steps one
// character back first (over a whole line end in the text view); at the very
// start the search runs from the top instead.
bool ReplaceSession::SearchFromCursor(ViewBase& view, std::string& message) {
  view.SetPosition(view.CursorColumn(), view.CursorRow(), true);  // the hex view: digit 0
  const bool fromCursor = CursorOffset(view) > 0;
  if (fromCursor) view.MoveLeft(false, false);
  return SearchStep(view, fromCursor, message);
}

// A fresh search takes its region from the start choice; a selection
// becomes the region and is used up by it.
bool ReplaceSession::BeginSearch(ViewBase& view, std::string& message) {
  const int cursor = CursorOffset(view), anchor = AnchorOffset(view);
  regionEnd_ = -1;
  switch (options.start) {
    case StartFrom::kSelection:
      regionStart_ = std::min(cursor, anchor);
      regionEnd_ = regionStart_ + static_cast<int>(view.GetSelectedText().size());
      if (cursor >= anchor) view.SetPosition(view.AnchorColumn(), view.AnchorRow(), true);
      break;
    case StartFrom::kCursor:
      regionStart_ = cursor;
      break;
    case StartFrom::kBeginning:
      regionStart_ = 0;
      break;
  }
  SelectionChoice = false;
  if (options.start == StartFrom::kBeginning) return SearchStep(view, false, message);
  return SearchFromCursor(view, message);
}

void ReplaceSession::FollowDocument(const ViewBase& view) {
  if (RegionLeft != -1 && !view.IsAt(mark_)) Show(view.HasSelection());
}

bool ReplaceSession::FindNext(ViewBase& view, std::string& message) {
  FollowDocument(view);
  Finished = false;
  if (options.find.empty()) return false;
  const bool found =
      RegionLeft == -1 ? BeginSearch(view, message) : SearchStep(view, true, message);
  mark_ = view.Mark();
  return found;
}

bool ReplaceSession::OnMatch(ViewBase& view) const {
  return matchStart_ >= 0 && CursorOffset(view) == matchStart_ && AnchorOffset(view) == matchEnd_;
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

// Replaces the selected match; the region's end moves by the difference.
// The insertion lays the rows out, not the deletion: a CR and a LF meeting
// across the gap would pair up and push the cursor in front of the CR. An
// empty replacement inserts nothing, so the deletion lays the rows out
// itself, and nothing is sealed for a join that will not come.
// A replacement that would make the document too long replaces nothing and
// ends the replacing, with the reason in message.
bool ReplaceSession::ReplaceMatch(ViewBase& view, const std::string& bytes, std::string& message) {
  const int64_t grows = static_cast<int64_t>(bytes.size()) - (matchEnd_ - matchStart_);
  if (grows > 0 && !view.HasRoomFor(grows)) {
    Finished = true;
    Beep();
    message = kDocumentTooLongMessage;
    return false;
  }
  if (!view.HasMemoryFor(static_cast<int64_t>(bytes.size()))) {
    Finished = true;
    Beep();
    message = kOutOfMemoryMessage;
    return false;
  }
  view.DeleteSelection(options.undoOn, bytes.empty());
  if (!bytes.empty()) {
    if (options.undoOn) view.SealUndo();
    view.InsertText(bytes, options.undoOn, true);
  }
  if (regionEnd_ >= 0) regionEnd_ += static_cast<int>(bytes.size()) - (matchEnd_ - matchStart_);
  matchStart_ = matchEnd_ = -1;  // replaced: no longer a match to act on
  return true;
}

// Both commands replace only a selection that is exactly the current match;
// otherwise they search first.
bool ReplaceSession::Replace(ViewBase& view, std::string& message) {
  FollowDocument(view);
  if (RegionLeft == -1 || !OnMatch(view)) {
    FindNext(view, message);
    return false;
  }
  std::string bytes;
  const bool replaced = Replacement(bytes, message) && ReplaceMatch(view, bytes, message);
  if (replaced) SearchFromCursor(view, message);
  mark_ = view.Mark();
  return replaced;
}

int ReplaceSession::ReplaceAll(ViewBase& view, std::string& message, const PassProgress& progress) {
  FollowDocument(view);
  if (options.find.empty()) return 0;
  if (RegionLeft == -1) {
    FindNext(view, message);
  } else if (Finished) {  // a finished search runs again over its region
    Finished = false;
    int col = regionStart_, row = 0;
    view.OffsetToPos(col, row);
    view.SetPosition(col, row, true);
    view.SetPosition(col, row, false);
    SearchFromCursor(view, message);
  } else if (!OnMatch(view)) {
    FindNext(view, message);
  }
  int count = 0;
  std::string bytes;
  if (!Finished && Replacement(bytes, message)) {
    struct Batch {
      ViewBase& view;
      explicit Batch(ViewBase& v) : view(v) { view.BatchEdits(true); }
      ~Batch() { view.BatchEdits(false); }
    } batch(view);
    count = ReplaceInOnePass(view, bytes, message, progress);
  }
  mark_ = view.Mark();
  return count;
}

// The matches are those the searches after each replacement would select:
// from the selected one on, each starting after the one before and ending
// inside the region, none across a hard line's end. The document would grow
// past its limit: the matches that fit are replaced, and the next one stays
// selected, as the replacing one by one stops before it.
int ReplaceSession::ReplaceInOnePass(ViewBase& view, const std::string& bytes, std::string& message,
                                     const PassProgress& progress) {
  MatchPattern pattern{options.find, options.caseSensitive,
                       hooks.readsUtf8 && hooks.readsUtf8(view)};
  std::string codes;
  if (options.replaceCodes && hooks.parseCodes && hooks.parseCodes(options.find, codes))
    pattern = {codes, true};
  const size_t length = pattern.text.size();
  const int base = matchStart_;
  const int64_t documentEnd = view.GetTextLength();
  const int end =
      static_cast<int>(regionEnd_ < 0 ? documentEnd : std::min<int64_t>(regionEnd_, documentEnd));
  bool acrossLines = false;
  for (const char c : pattern.text) acrossLines = acrossLines || IsLineEnd(static_cast<uint8_t>(c));
  // The region is copied once and a new span as long is written: the memory
  // for both is asked for before anything changes.
  if (!view.HasMemoryFor(std::max(end - base, 0))) {
    Finished = true;
    Beep();
    message = kOutOfMemoryMessage;
    return 0;
  }
  std::string old;
  old.reserve(static_cast<size_t>(std::max(end - base, 0)));  // read once, never moved
  std::vector<int> lineEnds;
  view.ReadRange(base, end, old, acrossLines ? &lineEnds : nullptr);
  std::vector<int> starts;
  if (!FindAllMatches(old, pattern, lineEnds, progress, starts) || starts.empty()) return 0;

  const int64_t grows = static_cast<int64_t>(bytes.size()) - static_cast<int64_t>(length);
  size_t count = starts.size();
  if (grows > 0 && !view.HasRoomFor(grows * static_cast<int64_t>(count))) {
    size_t fits = 0, fails = count;
    while (fails - fits > 1) {
      const size_t mid = fits + (fails - fits) / 2;
      (view.HasRoomFor(grows * static_cast<int64_t>(mid)) ? fits : fails) = mid;
    }
    count = fits;
  }
  if (count > 0) {
    const std::span<const int> done(starts.data(), count);
    const int spanStart = base + starts.front();
    const int spanEnd = base + starts[count - 1] + static_cast<int>(length);
    const size_t spanSize = ReplacedSpanSize(done, length, bytes.size());
    if (grows > 0 && !view.HasMemoryFor(static_cast<int64_t>(spanSize))) {
      Finished = true;
      Beep();
      message = kOutOfMemoryMessage;
      return 0;
    }
    view.SpliceRange(spanStart, spanEnd, spanSize,
                     [&](char* to) { WriteReplacedSpan(old, done, length, bytes, to); });
    view.RecordReplacements(base, old, done, length, bytes, options.undoOn);
    if (regionEnd_ >= 0) regionEnd_ += static_cast<int>(grows * static_cast<int64_t>(count));
    // The cursor after the last replacement, and the search on from there,
    // as the last single step leaves them. The cursor is placed first: the
    // view scrolls from where it was to that caret, not by way of wherever
    // the splice left the cursor in between.
    int col = static_cast<int>(spanEnd + grows * static_cast<int64_t>(count)), row = 0;
    view.OffsetToPos(col, row);
    view.SetPosition(col, row, true);
    view.SetPosition(col, row, false);
    matchStart_ = matchEnd_ = -1;
    SearchFromCursor(view, message);
  }
  if (count < starts.size()) {
    Finished = true;
    Beep();
    message = kDocumentTooLongMessage;
  }
  return static_cast<int>(count);
}

}  // namespace prambus
