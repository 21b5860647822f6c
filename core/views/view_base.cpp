#include "views/view_base.h"

#include <algorithm>
#include <cmath>

#include "io/memory_room.h"
#include "io/posix_file.h"
#include "settings/settings.h"
#include "views/char_class.h"
#include "views/packed_int.h"

namespace prambus {

CodeTable IdentityTable() {
  CodeTable t;
  for (int i = 0; i < 256; ++i) t[i] = static_cast<uint8_t>(i);
  return t;
}

CodeTable InverseTable(const CodeTable& table) {
  CodeTable inv{};
  for (int i = 0; i < 256; ++i) inv[table[i]] = static_cast<uint8_t>(i);
  return inv;
}

ViewBase::ViewBase(Canvas* canvas) : canvas_(canvas), charTable_(IdentityTable()) {
  ResetWidthCache();
  caretX_ = Cfg().EffOtstupX;
  caretY_ = Cfg().EffOtstupY;
  insertMode_ = true;
}

ViewBase::~ViewBase() = default;

void ViewBase::ShareRevision(std::shared_ptr<DocumentRevision> revision) {
  if (revision) revision_ = std::move(revision);
}

void ViewBase::DropHistory() {
  undoStack_.clear();
  redoStack_.clear();
  UndoBytes = 0;
  NoteChange();
}

bool ViewBase::LineEndsWrittenDiffer(const std::string*, const std::string*) const {
  return false;
}

bool WritesSameBytes(const ViewBase& from, const ViewBase& to) {
  const std::string* a = from.LineEndOnWrite();
  const std::string* b = to.LineEndOnWrite();
  if (a == b || (a && b && *a == *b)) return true;
  // The view that converts holds the line ends as rows and can tell.
  const ViewBase& converting = a ? from : to;
  return !converting.LineEndsWrittenDiffer(a, b);
}

void ViewBase::ResetWidthCache() {
  std::fill(std::begin(CharWidths), std::end(CharWidths), -1);
}

int ViewBase::MeasureChar(uint8_t c) {
  char s[1] = {static_cast<char>(c)};
  int w = canvas_->TextWidth(std::string_view(s, 1));
  CharWidths[c] = w;
  return w;
}

int ViewBase::LineHeight() {
  std::string_view row0 = GetRow(0);
  std::string_view probe = row0.empty() ? std::string_view(" ") : row0.substr(0, 1);
  int h = canvas_->TextHeight(probe);
  return static_cast<int>(std::lrint((Cfg().Distance + 1.0) * h));
}

int64_t ViewBase::GetDocumentHeight() {
  if (GetRow(0).empty()) return 0;
  return int64_t{LineHeight()} * RowCount();
}

bool ViewBase::HasSelection() const {
  return anchorCol_ != cursorCol_ || anchorRow_ != cursorRow_;
}

void ViewBase::SetInsertMode(bool on) {
  insertMode_ = on;
}

int64_t ViewBase::GetTextLength() const {
  int64_t n = 0;
  for (int r = 0; r <= lastRow_; ++r) n += static_cast<int64_t>(GetRow(r).size());
  return n;
}

void ViewBase::AppendString(std::string_view s) {
  AppendBytes(reinterpret_cast<const uint8_t*>(s.data()), static_cast<int>(s.size()));
}

void ViewBase::SetFont(const Font& font) {
  canvas_->SetFont(font);
  Relayout();
}

void ViewBase::SetScrollX(int x) {
  caretX_ += scrollX_ - x;
  scrollX_ = x;
}

namespace {
// Far enough off the view for any drawing, with room to add a view's height
// without overflow.
constexpr int64_t kFarOffView = int64_t{1} << 30;
}  // namespace

void ViewBase::SetScrollY(int64_t y) {
  const int64_t shifted = int64_t{caretY_} + scrollY_ - y;
  scrollY_ = y;
  // A caret held at the far bound no longer knows its true distance.
  if (caretY_ == kFarOffView || caretY_ == -kFarOffView)
    UpdateCaretPoint();
  else
    caretY_ = ViewY(shifted);
}

int ViewBase::ViewY(int64_t y) const {
  return static_cast<int>(std::clamp(y, -kFarOffView, kFarOffView));
}

void ViewBase::SetCursorColumn(int col) {
  cursorCol_ = col;
  UpdateCaretPoint();
}

void ViewBase::RestorePositions(int col, int row, int anchorCol, int anchorRow) {
  cursorCol_ = col;
  cursorRow_ = row;
  anchorCol_ = anchorCol;
  anchorRow_ = anchorRow;
  UpdateCaretPoint();
}

bool ViewBase::Backspace() {
  const int before = PosToOffset(cursorCol_, cursorRow_);
  const std::string text = GetAdjacentText(false);
  if (cursorCol_ > 0) {
    --cursorCol_;
  } else if (cursorRow_ == 0) {
    return false;
  } else {
    MoveLeft(false, false);
  }
  anchorCol_ = cursorCol_;
  anchorRow_ = cursorRow_;
  const uint8_t saved = UndoReplay;
  UndoReplay = 1;
  bool changed = DeleteForward();
  UndoReplay = saved;
  RecordUndo(kUndoDelete, text, before, 0, before - static_cast<int>(text.size()));
  SettleCursor();
  return changed;
}

void ViewBase::SelectAll() {
  anchorCol_ = 0;
  anchorRow_ = 0;
  cursorRow_ = lastRow_;
  cursorCol_ = static_cast<int>(GetRow(lastRow_).size());
  UpdateCaretPoint();
}

std::string ViewBase::GetSelectedText() const {
  int r1 = anchorRow_, c1 = anchorCol_, r2 = cursorRow_, c2 = cursorCol_;
  if (r1 > r2 || (r1 == r2 && c1 > c2)) {
    std::swap(r1, r2);
    std::swap(c1, c2);
  }
  auto clampCol = [&](int r, int c) {
    return std::clamp(c, 0, static_cast<int>(GetRow(r).size()));
  };
  c1 = clampCol(r1, c1);
  c2 = clampCol(r2, c2);
  if (r1 == r2) return std::string(GetRow(r1).substr(c1, c2 - c1));
  // The exact size first: a large selection is copied once, not regrown.
  size_t size = GetRow(r1).size() - static_cast<size_t>(c1) + static_cast<size_t>(c2);
  for (int r = r1 + 1; r < r2; ++r) size += GetRow(r).size();
  std::string out;
  out.reserve(size);
  out += GetRow(r1).substr(c1);
  for (int r = r1 + 1; r < r2; ++r) out += GetRow(r);
  out += GetRow(r2).substr(0, c2);
  return out;
}

void ViewBase::OffsetToPos(int& col, int& row) {
  int offset = col;
  row = std::clamp(row, 0, lastRow_);
  while (row + 1 < RowCount()) {
    int len = static_cast<int>(GetRow(row).size());
    if (offset < len) break;
    offset -= len;
    ++row;
  }
  col = offset;
}

int ViewBase::PosToOffset(int col, int row) {
  int64_t off = col;
  for (int r = 0; r < row && r <= lastRow_; ++r) off += static_cast<int64_t>(GetRow(r).size());
  return static_cast<int>(off);
}

Rect ViewBase::GetCaretArea() const {
  return {0, 0, 1000000, 1000000};
}

void ViewBase::AttachMenuItem(int, MenuEntry*) {}

void ViewBase::SelectWord() {
  if (cursorRow_ < 0 || cursorRow_ > lastRow_) return;
  std::string_view row = GetRow(cursorRow_);
  if (row.empty()) return;
  int c = cursorCol_;
  if (c >= static_cast<int>(row.size())) c = static_cast<int>(row.size()) - 1;
  const uint8_t k = CharClass[static_cast<uint8_t>(row[c])];
  if (k > 4) return;
  auto cls = [](std::string_view r, int i) { return CharClass[static_cast<uint8_t>(r[i])]; };

  // Anchor: left while the preceding character has class k, across rows.
  int ar = cursorRow_, ac = c;
  for (;;) {
    if (ac > 0) {
      if (cls(GetRow(ar), ac - 1) != k) break;
      --ac;
    } else {
      if (ar == 0) break;
      std::string_view prev = GetRow(ar - 1);
      if (prev.empty() || cls(prev, static_cast<int>(prev.size()) - 1) != k) break;
      --ar;
      ac = static_cast<int>(prev.size()) - 1;
    }
  }
  if (ac == static_cast<int>(GetRow(ar).size()) && ar < lastRow_) {
    ++ar;
    ac = 0;
  }
  // Cursor: right while the character under it has class k, across rows.
  int cr = cursorRow_, cc = c;
  for (;;) {
    std::string_view r = GetRow(cr);
    if (cc < static_cast<int>(r.size())) {
      if (cls(r, cc) != k) break;
      ++cc;
    } else {
      if (cr >= lastRow_) break;
      std::string_view next = GetRow(cr + 1);
      if (next.empty() || cls(next, 0) != k) break;
      ++cr;
      cc = 1;
    }
  }
  anchorCol_ = ac;
  anchorRow_ = ar;
  cursorCol_ = cc;
  cursorRow_ = cr;
  UpdateCaretPoint();
}

std::string ViewBase::GetParagraphText() const {
  auto endsWithLineEnd = [](std::string_view r) {
    return !r.empty() && IsLineEnd(static_cast<uint8_t>(r.back()));
  };
  std::string head;
  int r = cursorRow_ - 1;
  int first = cursorRow_;
  while (r >= 0 && !endsWithLineEnd(GetRow(r))) {
    first = r;
    --r;
  }
  std::string out;
  for (int i = first; i < cursorRow_; ++i) out += GetRow(i);
  for (int i = cursorRow_; i <= lastRow_; ++i) {
    std::string_view row = GetRow(i);
    out += row;
    if (row.empty() || endsWithLineEnd(row)) break;
  }
  return out;
}

void ViewBase::CopyContentTo(ViewBase& target) {
  for (int r = 0; r <= lastRow_; ++r) {
    std::string_view row = GetRow(r);
    target.AppendBytes(reinterpret_cast<const uint8_t*>(row.data()), static_cast<int>(row.size()));
  }
  target.EndAppend();
}

bool ViewBase::TypingReplacesSelection(uint8_t) const {
  return true;
}

void ViewBase::EndAppend() {}

void ViewBase::ExpectLength(int64_t) {}

bool ViewBase::HasRoomFor(int64_t added) {
  return GetTextLength() + added <= LengthLimit;
}

bool ViewBase::HasMemoryFor(int64_t bytes) const {
  constexpr int64_t kAskedFrom = int64_t{1} << 20;
  if (bytes < kAskedFrom) return true;
  return MemoryRoomFor(static_cast<size_t>(MemoryForEdit(bytes)));
}

// Applying a record of an insertion only takes its text out again, copying
// it once on the way (the redo record then takes it over): it asks for that
// much, so that undoing the paste that used the memory up stays possible
// when less is left than another paste would need. Every other record puts
// its bytes back, as an edit of that many new bytes does.
bool ViewBase::HasMemoryForStep(const UndoRecord& r) const {
  if (r.kind != kUndoInsert) return HasMemoryFor(r.Size());
  return r.Size() < (int64_t{1} << 20) || MemoryRoomFor(static_cast<size_t>(r.Size()));
}

// A row takes the new bytes into a copy of its own with half as much again
// to spare, and the undo record copies them once more.
int64_t ViewBase::MemoryForEdit(int64_t bytes) const {
  return bytes + bytes / 2 + bytes;
}

void ViewBase::LoadFromFile(const std::string& name) {
  const std::unique_ptr<DocumentLoad> load = BeginLoad(name);
  while (!load->Step(SIZE_MAX)) {
  }
}

bool RewriteRowStrings(std::vector<std::string>& rows, const RowRewriter& rewrite) {
  bool changed = false;
  for (size_t i = 0; i < rows.size(); ++i) {
    int len = static_cast<int>(rows[i].size());
    const uint8_t* data = reinterpret_cast<const uint8_t*>(rows[i].data());
    bool last = (i + 1 == rows.size());
    rewrite(&len, &data, &last);
    if (data && len >= 0) {
      const std::string_view now(reinterpret_cast<const char*>(data), static_cast<size_t>(len));
      if (now != rows[i]) {
        rows[i].assign(now);
        changed = true;
      }
    }
    if (last) break;
  }
  return changed;
}

bool SameBytesAsRows(const std::vector<std::string>& rows, const ViewBase& view) {
  size_t i = 0, at = 0;  // in rows
  for (int r = 0; r <= view.LastRow(); ++r) {
    std::string_view row = view.GetRow(r);
    while (!row.empty()) {
      while (i < rows.size() && at == rows[i].size()) ++i, at = 0;
      if (i == rows.size()) return false;
      const size_t n = std::min(row.size(), rows[i].size() - at);
      if (row.substr(0, n) != std::string_view(rows[i]).substr(at, n)) return false;
      row.remove_prefix(n);
      at += n;
    }
  }
  while (i < rows.size() && at == rows[i].size()) ++i, at = 0;
  return i == rows.size();
}

void ViewBase::ReadRange(int from, int to, std::string& out, std::vector<int>* lineEnds) {
  int col = std::max(from, 0), row = 0;
  OffsetToPos(col, row);
  int at = from;
  for (; row <= lastRow_ && at < to; ++row, col = 0) {
    const std::string_view bytes = GetRow(row);
    if (lineEnds && bytes.empty() && at > from) lineEnds->push_back(at - from);
    if (static_cast<size_t>(col) >= bytes.size()) continue;
    const size_t left = bytes.size() - static_cast<size_t>(col);
    const size_t take = std::min(left, static_cast<size_t>(to - at));
    out.append(bytes.substr(static_cast<size_t>(col), take));
    at += static_cast<int>(take);
    if (lineEnds && take == left && IsLineEnd(static_cast<uint8_t>(bytes.back())))
      lineEnds->push_back(at - from);
  }
}

// The records of one replacement exactly as a deletion of the selected
// match, SealUndo and the insertion make them, offsets and joins included.
void ViewBase::RecordReplacement(int at, std::string_view removed, std::string_view inserted) {
  RecordUndo(kUndoDelete, removed, at, 0, at);
  if (inserted.empty()) return;
  SealUndo();
  RecordUndo(kUndoInsert, inserted, at, 0, at + static_cast<int>(inserted.size()));
}

// Only the records that can outlast the budget are made: no more than fit
// in it, and two besides, so that the oldest of them go as they would have.
// From there on the history is what the replacements one by one leave. A
// deletion of one character may join the deletion before it (a letter
// replaced by nothing): the records' sizes are unknown then, and all of them
// are made.
void ViewBase::RecordReplacements(int at, std::string_view old, std::span<const int> starts,
                                  size_t length, std::string_view inserted, bool recordUndo) {
  if (!recordUndo) {
    DropHistory();
    return;
  }
  const int64_t grows = static_cast<int64_t>(inserted.size()) - static_cast<int64_t>(length);
  size_t first = 0;
  if (!(inserted.empty() && length == 1)) {
    const int64_t smallest = 21 + static_cast<int64_t>(length + inserted.size());
    const int64_t limit = std::max<int64_t>(Cfg().MaxUndoLen, 0);
    const int64_t kept = (limit + smallest + 9) / smallest + 2;
    if (static_cast<int64_t>(starts.size()) > kept) {
      first = starts.size() - static_cast<size_t>(kept);
      undoStack_.clear();
      redoStack_.clear();
      UndoBytes = 0;
    }
  }
  for (size_t i = first; i < starts.size(); ++i) {
    const int64_t now = at + starts[i] + static_cast<int64_t>(i) * grows;
    RecordReplacement(static_cast<int>(now), old.substr(static_cast<size_t>(starts[i]), length),
                      inserted);
  }
}

// ---------------------------------------------------------------- undo ----

void ViewBase::SealUndo() {
  if (!undoStack_.empty() && UndoReplay != 1) undoStack_.back().kind = kUndoSealed;
}

// The rows are not laid out between the deletion and the insertion: a CR and
// a LF on either side of the selection would pair up, and the cursor, which
// cannot stand inside a pair, would move in front of the CR, so the new text
// would land on the wrong side of it.
void ViewBase::DeleteSelectionForInsert() {
  if (!HasSelection()) return;
  const bool deleted = !GetSelectedText().empty();
  DeleteSelection(true, false);
  if (deleted) SealUndo();
}

void ViewBase::PushUndoWithinBudget(UndoRecord&& r) {
  const int64_t size = r.Size();
  const int64_t limit = Cfg().MaxUndoLen;
  if (size > limit) {
    undoStack_.clear();
    UndoBytes = 0;
    return;
  }
  while (!undoStack_.empty() && UndoBytes + size > limit) {
    UndoBytes -= undoStack_.front().Size();
    undoStack_.pop_front();
  }
  UndoBytes += size;
  undoStack_.push_back(std::move(r));
}

namespace {
// A typed or deleted character joins the previous record only when that
// record's boundary character is a word character or closing punctuation.
bool MergesWithNext(const std::string& text, bool forward) {
  const uint8_t k = CharClass[static_cast<uint8_t>(forward ? text.back() : text.front())];
  return k == kWordChar || k == kClosingPunct;
}
}  // namespace

// Records made while a redo is replayed never merge with older records: a
// merged record would make the next undo take back more than the redo did.
void ViewBase::RecordUndoFrom(uint8_t kind, std::string_view text, std::string* owner, int col,
                              int row, int afterOffset) {
  NoteChange();                 // only an edit that changed the bytes records itself
  if (UndoReplay == 1) return;  // an undo step, or the inner half of an edit recorded once
  UndoRecord r;
  r.kind = kind;
  r.afterOffset = afterOffset >= 0 ? afterOffset : PosToOffset(cursorCol_, cursorRow_);
  const int before = PosToOffset(col, row);
  UndoRecord* last = undoStack_.empty() ? nullptr : &undoStack_.back();
  // A sealed deletion joins only an insertion made where the deletion ended;
  // otherwise it stays a deletion of its own, undone separately.
  if (last && last->kind == kUndoSealed && kind == kUndoHex) last->kind = kUndoHex;
  if (last && last->kind == kUndoSealed && (kind != kUndoInsert || last->afterOffset != before))
    last->kind = kUndoDelete;
  if (last && last->kind == kUndoSealed && kind == kUndoInsert) {
    r.kind = kUndoReplace;
    r.text.reserve(8 + last->text.size() + text.size());
    AppendBE32(r.text, last->afterOffset);
    AppendBE32(r.text, static_cast<int32_t>(last->text.size()));
    r.text += last->text;
    r.text += text;
    r.beforeOffset = last->beforeOffset;
    r.beforeRow = last->beforeRow;
    UndoBytes -= last->Size();
    undoStack_.pop_back();
  } else if (UndoReplay == 0 && last && last->kind == kind && IsOneCharacter(text) &&
             last->afterOffset == before && !last->text.empty() &&
             MergesWithNext(last->text, r.afterOffset >= before)) {
    // The record's text is taken over, not copied: a run of joined
    // deletions ("Заменить всё" of a letter by nothing) stays linear.
    UndoBytes -= last->Size();
    if (r.afterOffset >= before) {
      r.text = std::move(last->text);
      r.text.append(text);
    } else {
      r.text.reserve(text.size() + last->text.size());
      r.text.assign(text);
      r.text += last->text;
    }
    r.beforeOffset = last->beforeOffset;
    r.beforeRow = last->beforeRow;
    undoStack_.pop_back();
  } else {
    if (owner)
      r.text = std::move(*owner);
    else
      r.text.assign(text);
    r.beforeOffset = before;
  }
  if (UndoReplay == 0) redoStack_.clear();
  PushUndoWithinBudget(std::move(r));
}

void ViewBase::PlaceAtOffset(int offset, bool cursor) {
  int col = offset, row = 0;
  OffsetToPos(col, row);
  SetPosition(col, row, cursor);
}

void ViewBase::ApplyUndoRecord(UndoRecord& r) {
  PlaceAtOffset(r.afterOffset, true);
  auto anchorToOffset = [&](int offset) { PlaceAtOffset(offset, false); };
  auto cursorAndAnchorTo = [&](int offset) {
    PlaceAtOffset(offset, true);
    PlaceAtOffset(offset, false);
  };
  switch (r.kind) {
    case kUndoInsert:
      anchorToOffset(r.beforeOffset);
      DeleteSelection(true, true);
      r.afterOffset = PosToOffset(cursorCol_, cursorRow_);
      break;
    case kUndoDelete:
    case kUndoSealed:  // a deletion nothing replaced: restore it like a plain deletion
      InsertText(r.text, true, true);
      r.afterOffset = PosToOffset(cursorCol_, cursorRow_);
      cursorAndAnchorTo(r.beforeOffset);
      break;
    case kUndoReplace: {
      if (r.text.size() < 8) break;
      int32_t s = ReadBE32(r.text, 0);
      int32_t len = ReadBE32(r.text, 4);
      len = std::clamp<int32_t>(len, 0, static_cast<int32_t>(r.text.size() - 8));
      std::string restore = r.text.substr(8, len);
      std::string remove = r.text.substr(8 + len);
      anchorToOffset(s);
      DeleteSelection(true, true);
      if (!remove.empty()) SealUndo();
      s = PosToOffset(cursorCol_, cursorRow_);
      InsertText(restore, true, true);
      r.afterOffset = PosToOffset(cursorCol_, cursorRow_);
      cursorAndAnchorTo(r.beforeOffset);
      std::string packed;
      packed.reserve(r.text.size());
      AppendBE32(packed, s);
      AppendBE32(packed, static_cast<int32_t>(remove.size()));
      packed += remove;
      packed += restore;
      r.text = std::move(packed);
      break;
    }
    default:
      break;
  }
  r.afterRow = 0;
}

void ViewBase::Undo() {
  if (undoStack_.empty()) return;
  if (!HasMemoryForStep(undoStack_.back())) {
    MemoryShort = true;
    return;
  }
  NoteChange();
  UndoReplay = 1;
  UndoRecord last = std::move(undoStack_.back());
  undoStack_.pop_back();
  UndoBytes -= last.Size();
  UndoRecord redo;
  switch (last.kind) {
    case kUndoInsert:
      redo.kind = kUndoDelete;
      break;
    case kUndoReplace:
      redo.kind = kUndoReplace;
      break;
    default:
      redo.kind = kUndoInsert;
      break;
  }
  redo.beforeOffset = last.afterOffset;
  ApplyUndoRecord(last);
  redo.text = std::move(last.text);
  redo.afterOffset = last.afterOffset;
  redoStack_.push_back(std::move(redo));
  UndoReplay = 0;
  SettleCursor();
}

void ViewBase::Redo() {
  if (redoStack_.empty()) return;
  if (!HasMemoryForStep(redoStack_.back())) {
    MemoryShort = true;
    return;
  }
  NoteChange();
  UndoReplay = 2;
  UndoRecord r = std::move(redoStack_.back());
  redoStack_.pop_back();
  ApplyUndoRecord(r);
  UndoReplay = 0;
  SettleCursor();
}

void ViewBase::SaveToFile(const std::string& name) {
  OutputFile out(name);
  WriteContent(out.Descriptor());
  out.Close();
}

}  // namespace prambus
