// The abstract document view. The main window owns exactly one view and
// reaches the document only through these operations; the text view and the
// hex view derive from it. The base keeps what both share: viewport, cursor
// and anchor, caret point, character width cache, display table and the undo
// and redo histories, and implements what needs only the text of each row.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/posix_file.h"
#include "platform/canvas.h"
#include "views/document_load.h"
#include "views/document_revision.h"
#include "views/undo_record.h"
#include "views/view_menu_action.h"

namespace prambus {

using CodeTable = std::array<uint8_t, 256>;
CodeTable IdentityTable();
// inverse[table[i]] = i for i = 0..255 in increasing order.
CodeTable InverseTable(const CodeTable& table);

// Plug-in passes over the rows.
using RowVisitor = std::function<void(int length, const uint8_t* data, bool* stop)>;
// May replace the row by setting length and data (data must stay valid until
// the call returns the next time or the pass ends). *last is preset true for
// the last row; setting it stops the pass.
using RowRewriter = std::function<void(int* length, const uint8_t** data, bool* last)>;
// Hands each row of `rows` to rewrite until it says the last; true when any
// row came back different.
bool RewriteRowStrings(std::vector<std::string>& rows, const RowRewriter& rewrite);
class ViewBase;
// Whether the rows, read one after another, hold the bytes the view holds.
bool SameBytesAsRows(const std::vector<std::string>& rows, const ViewBase& view);

class ViewBase {
 public:
  explicit ViewBase(Canvas* canvas);
  virtual ~ViewBase();
  ViewBase(const ViewBase&) = delete;
  ViewBase& operator=(const ViewBase&) = delete;

  // ---- Rows and layout ----
  virtual std::string_view GetRow(int row) const = 0;
  virtual int64_t GetDocumentHeight();
  virtual int GetDocumentWidth() = 0;
  virtual int64_t GetTextLength() const;
  virtual void ReflowFrom(int row) = 0;
  virtual void Relayout() = 0;
  virtual void SetFont(const Font& font);
  virtual void SetCharTable(const CodeTable& table) = 0;
  // Column and row of a document offset, and back.
  virtual void OffsetToPos(int& col, int& row);
  virtual int PosToOffset(int col, int row);

  // ---- Building, loading and saving ----
  virtual void Clear() = 0;
  virtual void AppendString(std::string_view s);
  virtual void AppendBytes(const uint8_t* bytes, int count) = 0;
  virtual void EndAppend();
  virtual void CopyContentTo(ViewBase& target);
  // Loading reads only regular files and throws IoError when the file cannot
  // be read whole (folders, FIFOs, devices, files too long, files that shrink
  // while they are read).
  virtual void LoadFromFile(const std::string& name);
  // Opens the file for a load in steps (see DocumentLoad); throws IoError as
  // LoadFromFile does when the file cannot be read at all.
  virtual std::unique_ptr<DocumentLoad> BeginLoad(const std::string& name) = 0;
  // Creates or truncates the file and writes the document (WriteContent).
  virtual void SaveToFile(const std::string& name);
  // Writes the whole document to fd from its current position, leaving the
  // position after the last byte; throws IoError. The file commands hand it
  // the descriptor of the copy they are preparing.
  virtual void WriteContent(int fd) = 0;

  // ---- Painting and the caret ----
  virtual void Paint() = 0;
  virtual void UpdateCaretPoint() = 0;
  virtual void ScrollToCaret() = 0;
  virtual Rect GetCaretArea() const;

  // ---- Editing ----
  virtual void SetInsertMode(bool on);
  virtual bool TypeChar(uint8_t ch) = 0;
  virtual bool TypingReplacesSelection(uint8_t ch) const;
  virtual bool InsertText(std::string_view text, bool recordUndo, bool layOut) = 0;
  virtual bool DeleteForward() = 0;
  virtual bool Backspace();
  virtual bool DeleteSelection(bool recordUndo, bool layOut) = 0;
  virtual bool DeleteLine(bool wholeHardLine) = 0;
  // False, with nothing changed, when the result would be longer than a
  // document may be.
  virtual bool Recode(const CodeTable& source, const CodeTable& target) = 0;

  // ---- Moving and selecting ----
  virtual void MoveLeft(bool byWord, bool extend) = 0;
  virtual void MoveRight(bool byWord, bool extend) = 0;
  virtual void MoveUp(bool byHardLine, bool extend, int& desiredX) = 0;
  virtual void MoveDown(bool byHardLine, bool extend, int& desiredX) = 0;
  virtual void MoveHome(bool extend) = 0;
  virtual void MoveEnd(bool extend) = 0;
  virtual void PageUp(bool extend, int& desiredX) = 0;
  virtual void PageDown(bool extend, int& desiredX) = 0;
  // (x, y) in document pixels; y is 64-bit since a document may be taller
  // than an int counts.
  virtual void MoveToPoint(int x, int64_t y, bool scroll, bool extend) = 0;
  // Puts the cursor (or the anchor) at a column of a row, as each view
  // keeps positions valid (the text view steps back over line ends).
  virtual bool SetPosition(int col, int row, bool cursor) = 0;
  virtual bool HasSelection() const;
  virtual void SelectAll();
  virtual void SelectWord();
  virtual std::string GetSelectedText() const;
  virtual std::string GetAdjacentText(bool forward) const = 0;

  // ---- Finding, undo, the view's menu ----
  virtual bool FindText(std::string_view text, int& count, bool fromCursor, bool caseSensitive) = 0;
  virtual void ApplyUndoRecord(UndoRecord& r);
  virtual void Undo();
  virtual void Redo();
  virtual ViewMenuActions GetViewMenu() = 0;
  virtual void AttachMenuItem(int index, MenuEntry* entry);

  // ---- Plug-in passes over the rows ----
  virtual bool ForEachRow(const RowVisitor& visit) = 0;
  virtual bool TransformRows(const RowRewriter& rewrite) = 0;

  // A document of about `bytes` bytes is about to be appended to this empty
  // view (a switch of view kind): room for it is taken at once instead of by
  // repeated growth. Only a hint; the default does nothing.
  virtual void ExpectLength(int64_t bytes);

  // Whether `added` more bytes keep the document within LengthLimit.
  virtual bool HasRoomFor(int64_t added);
  // Whether memory can be had for an edit putting `bytes` new bytes into the
  // document (an insertion, a replacement's text, an undo step): all the view
  // allocates for them is asked for at once, before anything changes. Edits
  // under a mebibyte are not asked about. A refused edit changes nothing and
  // sets MemoryShort, for the window to say why (TakeMemoryShort, once).
  bool HasMemoryFor(int64_t bytes) const;
  bool TakeMemoryShort() { return std::exchange(MemoryShort, false); }
  // Whether applying an undo or redo record can have its memory.
  bool HasMemoryForStep(const UndoRecord& r) const;

  // Layout that edits left to be finished from the event loop (the text
  // view's long paragraphs): the first row it changes, -1 when none is
  // left; and one step of it, about maxBytes of the document, true when none
  // is left after it.
  virtual int PendingLayoutRow() const { return -1; }
  virtual bool ContinueLayout(size_t /*maxBytes*/) { return true; }
  // A run of many edits ("Заменить всё"): while on, each edit lays out only
  // the rows it must and leaves the rest of a long paragraph for later, so
  // dense edits in one paragraph do not each lay out screens of rows; turned
  // off, the rows up to two screens past the cursor are laid out.
  virtual void BatchEdits(bool /*on*/) {}

  // What "Заменить всё" in one pass works with. ReadRange appends the bytes
  // [from, to) to out and, given lineEnds, the offsets (counted from `from`)
  // where a hard line ends, which no match runs across (the text view's).
  virtual void ReadRange(int from, int to, std::string& out, std::vector<int>* lineEnds);
  // Puts `size` bytes, which `write` writes where it is told, in place of
  // [from, to) as one change, laid out once, and records nothing: the caller
  // records the history the replacements make. The new bytes are written
  // straight into the document's own store, never built apart first.
  using SpliceWriter = std::function<void(char* to)>;
  virtual void SpliceRange(int from, int to, size_t size, const SpliceWriter& write) = 0;
  // Records what replacing the selected match at `at` records: its deletion
  // sealed, joined by the insertion of the replacement (nothing inserted
  // when it is empty), as the replace commands' single steps do.
  virtual void RecordReplacement(int at, std::string_view removed, std::string_view inserted);
  // The history of replacing, one after another, the matches of length
  // `length` at `starts` (offsets into `old`, whose first byte was at offset
  // `at` of the document) by `inserted`: each offset as it stood when its
  // match was replaced. The records the undo budget would drop again are not
  // made. Without recordUndo the history goes, as after any edit without it.
  void RecordReplacements(int at, std::string_view old, std::span<const int> starts, size_t length,
                          std::string_view inserted, bool recordUndo);

  // ---- The view's state, read-only; the operations change it ----
  // The index of the last row (a view always holds at least one row).
  int LastRow() const { return lastRow_; }
  // The document pixel at the view's left and top edge.
  int ScrollX() const { return scrollX_; }
  int64_t ScrollY() const { return scrollY_; }
  // The view's size in pixels.
  int ViewHeight() const { return viewHeight_; }
  int ViewWidth() const { return viewWidth_; }
  // The cursor and the anchor (the selection's other end) as column and row.
  int CursorColumn() const { return cursorCol_; }
  int CursorRow() const { return cursorRow_; }
  int AnchorColumn() const { return anchorCol_; }
  int AnchorRow() const { return anchorRow_; }
  // Typing inserts (true) or overwrites.
  bool InsertMode() const { return insertMode_; }
  // The table the view shows the file's bytes through.
  const CodeTable& CharTable() const { return charTable_; }
  // The undo and redo histories, oldest record first.
  const UndoHistory& UndoStack() const { return undoStack_; }
  const UndoHistory& RedoStack() const { return redoStack_; }
  // Whether the last page painted since BeginPrinting drew the last row.
  bool PrintDone() const { return printDone_; }

  // ---- Non-virtual operations ----
  int RowCount() const { return lastRow_ + 1; }
  int LineHeight();
  void SetViewHeight(int h) {
    if (h > 0) viewHeight_ = h;
  }
  void SetViewWidth(int w) {
    if (w >= 0) viewWidth_ = w;
  }
  void SetScrollX(int x);
  // The scroll position is 64-bit: rows times the row height passes 2^31
  // for a large file, a small column count or a large font.
  void SetScrollY(int64_t y);
  void SetCursorColumn(int col);
  // Puts cursor and anchor back at positions read from this view before
  // (a search tried twice from the same place); the caret follows.
  void RestorePositions(int col, int row, int anchorCol, int anchorRow);
  // Limits the document's length (the largest file the program opens by
  // default); an edit past it changes nothing and is remembered until the
  // window asks, once, whether one was refused.
  void SetLengthLimit(int64_t bytes) { LengthLimit = bytes; }
  int64_t LengthLimitBytes() const { return LengthLimit; }
  bool TakeLengthLimitReached() { return std::exchange(LengthLimitReached, false); }
  // Printing draws pages from the top; Paint says when the last row was
  // drawn (PrintDone).
  void BeginPrinting() {
    printMode_ = true;
    printDone_ = false;
  }
  // The bytes the undo history holds, kept within the undo budget.
  int64_t UndoHistoryBytes() const { return UndoBytes; }
  Point GetCaretPoint() const { return {caretX_, caretY_}; }
  std::string GetParagraphText() const;
  void SealUndo();
  // Takes the selection out, as one sealed undo step, before typed or pasted
  // text takes its place; the insertion that follows lays the rows out.
  void DeleteSelectionForInsert();
  // Records an undo record of the given kind; point is (column, row). The
  // after offset is the cursor's unless given.
  void RecordUndo(uint8_t kind, std::string_view text, int col, int row, int afterOffset = -1) {
    RecordUndoFrom(kind, text, nullptr, col, row, afterOffset);
  }
  // The same, taking the text over instead of copying it (a large deletion
  // would otherwise be copied once more into its record).
  void RecordUndo(uint8_t kind, std::string&& text, int col, int row, int afterOffset = -1) {
    RecordUndoFrom(kind, text, &text, col, row, afterOffset);
  }
  bool CanUndo() const { return !undoStack_.empty(); }
  bool CanRedo() const { return !redoStack_.empty(); }

  // The revision of the document this view holds (see DocumentRevision):
  // every operation that changes the bytes or the undo history advances it,
  // whoever calls it; one that changes nothing (a refused key, Delete at the
  // end, undo with nothing to undo) leaves it. Building a document (Clear,
  // AppendBytes: a load, a copy) is no change; a rewrite built from them
  // advances it once. A view counts on a counter of its own until a
  // document hands it the document's (ShareRevision).
  uint64_t Revision() const { return revision_->Value(); }
  const std::shared_ptr<DocumentRevision>& SharedRevision() const { return revision_; }
  void ShareRevision(std::shared_ptr<DocumentRevision> revision);
  RevisionMark Mark() const { return RevisionMark(revision_); }
  bool IsAt(const RevisionMark& mark) const { return mark.IsCurrent(revision_); }

  // How the view writes the line ends it holds: nullptr as they are, else
  // each one as this text.
  virtual const std::string* LineEndOnWrite() const { return nullptr; }
  // Whether a line end this view holds would be written otherwise under
  // rule `a` than under rule `b` (each as LineEndOnWrite gives it). Only a
  // view that converts line ends tells its line ends apart.
  virtual bool LineEndsWrittenDiffer(const std::string* a, const std::string* b) const;
  Canvas* GetCanvas() const { return canvas_; }

  // A y on the view computed in 64 bits (from document positions), kept
  // within what an int holds: a row far off the view stays far off it.
  int ViewY(int64_t y) const;

  // Width of one character as drawn, measured once and cached.
  int CharWidth(uint8_t c) {
    int w = CharWidths[c];
    return w >= 0 ? w : MeasureChar(c);
  }

  // ---- Fields in declaration order ----
 protected:
  Canvas* canvas_;  // not owned
  int lastRow_ = 0;
  int scrollX_ = 0;
  int64_t scrollY_ = 0;
  int viewHeight_ = 200;
  int viewWidth_ = 200;
  int cursorCol_ = 0, cursorRow_ = 0;
  int anchorCol_ = 0, anchorRow_ = 0;
  int caretX_ = 0, caretY_ = 0;
  bool insertMode_ = true;
  CodeTable charTable_;
  UndoHistory undoStack_;
  UndoHistory redoStack_;
  bool printMode_ = false;
  bool printDone_ = false;

  int CharWidths[256];
  int64_t UndoBytes = 0;
  uint8_t UndoReplay = 0;
  // The longest document a view holds, the largest file the program opens:
  // a key or an insertion that would pass it changes nothing and sets
  // LengthLimitReached, for the window to say why.
  int64_t LengthLimit = kMaxDocumentSize;
  bool LengthLimitReached = false;
  bool MemoryShort = false;
  // What an edit of `bytes` new bytes allocates at most, all told.
  virtual int64_t MemoryForEdit(int64_t bytes) const;

  // Measures a character's width into the cache (views may substitute glyphs).
  virtual int MeasureChar(uint8_t c);
  void ResetWidthCache();
  // Whether an edit's text is a single character (typed, or taken by one
  // key), which joins the record of the edit before it.
  virtual bool IsOneCharacter(std::string_view text) const { return text.size() == 1; }
  // Appends a record to the undo history within the MaxUndoLen budget.
  void PushUndoWithinBudget(UndoRecord&& r);
  // text, or *owner when given (holding the same text), which may be moved from.
  void RecordUndoFrom(uint8_t kind, std::string_view text, std::string* owner, int col, int row,
                      int afterOffset);
  // Puts the cursor or the anchor at an exact offset, for replaying undo
  // records (the text view's SetPosition would step back over line ends).
  virtual void PlaceAtOffset(int offset, bool cursor);
  // Moves cursor and anchor to valid positions after an edit or undo step.
  virtual void SettleCursor() {}
  // The bytes or the undo history changed: the revision advances.
  void NoteChange() { revision_->Advance(); }
  // An edit made without undo recording: the history no longer fits the
  // bytes and goes.
  void DropHistory();

 private:
  std::shared_ptr<DocumentRevision> revision_ = std::make_shared<DocumentRevision>();
};

// Whether a view of another kind taking over `from`'s bytes writes them as
// `from` did (a text view may convert line ends as it writes).
bool WritesSameBytes(const ViewBase& from, const ViewBase& to);

}  // namespace prambus
