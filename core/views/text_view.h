// The text view: the document as display rows already wrapped to the wrap
// width. Each row carries its own line-end characters, so the concatenation
// of all rows is exactly the document text.
#pragma once

#include <deque>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "views/row_text.h"
#include "views/row_widths.h"
#include "views/view_base.h"

namespace prambus {

class PatternFinder;

class TextView : public ViewBase {
 public:
  explicit TextView(Canvas* canvas);
  ~TextView() override;

  std::string_view GetRow(int row) const override;
  void ReflowFrom(int row) override;
  void Relayout() override;
  void UpdateCaretPoint() override;
  void ScrollToCaret() override;
  int GetDocumentWidth() override;
  void SetInsertMode(bool on) override;
  void SetCharTable(const CodeTable& table) override;
  int64_t GetTextLength() const override;
  void AppendBytes(const uint8_t* bytes, int count) override;
  std::unique_ptr<DocumentLoad> BeginLoad(const std::string& name) override;
  // Loads bytes in the file's form from memory in steps, as BeginLoad does a
  // file: first's, then second's, through the display table into the rows.
  // The bytes must stay as they are until the load ends.
  std::unique_ptr<DocumentLoad> BeginCopy(std::span<const uint8_t> first,
                                          std::span<const uint8_t> second = {});
  void Paint() override;
  void SetFont(const Font& font) override;
  bool Backspace() override;
  void EndAppend() override;
  bool TypeChar(uint8_t ch) override;
  bool InsertText(std::string_view text, bool recordUndo, bool layOut) override;
  bool DeleteForward() override;
  bool DeleteSelection(bool recordUndo, bool layOut) override;
  bool DeleteLine(bool wholeHardLine) override;
  void MoveLeft(bool byWord, bool extend) override;
  void MoveRight(bool byWord, bool extend) override;
  void MoveUp(bool byHardLine, bool extend, int& desiredX) override;
  void MoveDown(bool byHardLine, bool extend, int& desiredX) override;
  void MoveHome(bool extend) override;
  void MoveEnd(bool extend) override;
  void PageUp(bool extend, int& desiredX) override;
  void PageDown(bool extend, int& desiredX) override;
  void MoveToPoint(int x, int64_t y, bool scroll, bool extend) override;
  bool SetPosition(int col, int row, bool cursor) override;
  std::string GetAdjacentText(bool forward) const override;
  bool FindText(std::string_view text, int& count, bool fromCursor, bool caseSensitive) override;
  ViewMenuActions GetViewMenu() override;
  void OffsetToPos(int& col, int& row) override;
  void Clear() override;
  void AttachMenuItem(int index, MenuEntry* entry) override;
  int PosToOffset(int col, int row) override;
  void CopyContentTo(ViewBase& target) override;
  bool Recode(const CodeTable& source, const CodeTable& target) override;
  bool ForEachRow(const RowVisitor& visit) override;
  bool TransformRows(const RowRewriter& rewrite) override;
  void WriteContent(int fd) override;
  void ExpectLength(int64_t bytes) override;
  bool HasRoomFor(int64_t added) override;
  void SpliceRange(int from, int to, size_t size, const SpliceWriter& write) override;
  const std::string* LineEndOnWrite() const override;
  bool LineEndsWrittenDiffer(const std::string* a, const std::string* b) const override;

  // Shows the bytes as UTF-8 characters (on) or one character per byte
  // through the display table (off). Under UTF-8 the display table is the
  // identity: the rows hold the file's bytes, and layout, caret, selection
  // and editing step over whole characters.
  void SetUtf8(bool on);
  // Installs a display table and the way the bytes are read in one layout
  // (under UTF-8 the table is the identity).
  void SetDisplay(const CodeTable& table, bool utf8);
  bool Utf8() const { return utf8_; }
  // Types one character given in UTF-8 (any character under UTF-8; under
  // a display table only a single byte).
  bool TypeText(std::string_view utf8);
  // How many bytes the character at (col, row) takes: 1 but under UTF-8.
  int CharLength(int row, int col) const;
  // The column where the character before col starts (col > 0).
  int PreviousCharStart(int row, int col) const;
  // The character column of a byte column: characters before it in its row.
  int CharColumn(int row, int col) const;

  // The fast path of the layout over runs of equally wide characters (on by
  // default; off only to compare it with the byte-by-byte path).
  void AllowWideSteps(bool on) {
    allowWideSteps_ = on;
    infoValid_ = false;
  }

  // The quick search over runs of rows (on by default; off only to compare it
  // with the search by hard lines).
  void AllowQuickSearch(bool on) { allowQuickSearch_ = on; }
  // How many bytes of rows that follow one another in memory the quick search
  // gathers into one run before it looks into them (small only in tests, to
  // put run seams everywhere).
  void LimitQuickSearchRun(size_t bytes) { quickSearchRun_ = bytes; }

  // The layout an edit leaves to be finished later. An edit lays out the rows
  // it changes until the new layout meets the old one. In a paragraph where
  // that never happens (one without break opportunities, or where each row
  // pushes a word on into the next) the edit stops once it has laid out
  // EditLayoutRows() rows, ending the last of them early; the rest of the
  // paragraph is laid out again by ContinueLayout, in steps.
  bool LayoutPending() const { return !seams_.empty(); }
  int PendingLayoutRow() const override { return seams_.empty() ? -1 : seams_.front(); }
  // Lays out what edits left, about maxBytes of it; true when nothing is left.
  // Cursor and anchor stay on their characters.
  bool ContinueLayout(size_t maxBytes) override;
  void BatchEdits(bool on) override;
  // The rows an edit lays out before it may end one early: at least
  // kEditLayoutRows, and two screens' worth; one during a batch of edits.
  static constexpr int kEditLayoutRows = 256;
  int EditLayoutRows();
  // How near before or after an edit a row ended early is laid out with it.
  static constexpr int kSeamReachRows = 16;
  // Another number of rows instead (small only in tests, to make edits end
  // rows early everywhere); 0: the rule above.
  void LimitEditLayout(int rows) { editLayoutLimit_ = rows; }
  // The rows ended early and not yet laid out again, in order.
  const std::vector<int>& RowsEndedEarly() const { return seams_; }

  // Non-virtual operations and menu handlers.
  void SetWrapWidth(int w);
  void ToggleWordWrap(bool on);
  void ToggleNonPrinting(bool on);
  void ChooseLineEnd(const std::string& lineEnd, int entryIndex, bool on);
  void KeepLineEnds(bool on);
  void RefreshLineEndMarks();
  // The line end that new lines at the cursor take: the one of the cursor's
  // line, else of the nearest line that has one; LF in a document without
  // any (Enter and pasted text use it).
  std::string LineEndAtCursor() const;
  // Whether saving would change a line end of the document: the conversion
  // is on and some line ends otherwise than LineEnd.
  bool SavingChangesLineEnds() const;
  int RowWidth(int row) const { return RowWidths[row]; }
  size_t RowArraySize() const { return Rows.size(); }
  // A row's storage and the arena rows borrow from, for a copy of the
  // document that another thread reads (views/document_snapshot.*).
  const RowText& RowStorage(int row) const { return Rows[row]; }
  const RowArena& Arena() const { return *arena_; }
  // Edited rows give up their own buffers and borrow copies of their bytes
  // from the arena, as loaded rows do: a copy of the document taken after
  // this keeps them instead of copying them again, until they are edited.
  void MoveEditedRowsToArena();
  // What the view's rows take, in bytes (figures for the benchmarks): the
  // arena's chunks, the row and width arrays' used and reserved parts, the
  // edited rows' own buffers.
  struct RowMemory {
    size_t arena = 0, rowsUsed = 0, rowsReserved = 0, widthsUsed = 0, widthsReserved = 0,
           edited = 0;
  };
  RowMemory MemoryUse() const;

  // Fields added to the base, in declaration order.
  std::string PendingTail;
  RowWidthArray RowWidths;
  uint8_t PrevChar = 0;
  int RowX = 0;
  int BreakX = 0;
  double MinFill = 0.66;
  bool ConvertLineEnds = false;
  int OffsetCacheRow = 0;
  int OffsetCacheStart = 0;

 private:
  std::vector<RowText> Rows;

 public:
  int WrapWidth = 200;
  MenuEntry* LineEndMenu = nullptr;
  bool ShowNonPrinting = false;

 protected:
  int MeasureChar(uint8_t c) override;
  bool IsOneCharacter(std::string_view text) const override;
  void PlaceAtOffset(int offset, bool cursor) override;
  void SettleCursor() override;

 private:
  struct ReflowState;
  struct LayoutRun;
  // SettleCursor; without onCharStarts a position inside a character stays.
  void SettlePositions(bool onCharStarts);
  class SteppedLoad;  // text_view_file.cpp
  class FileLoad;
  class BytesLoad;
  // Asks for huge pages for the row array up to a little short of the rows
  // a load of total bytes is expected to end with, judged from the rows the
  // first done bytes made.
  void AdviseRowPages(int64_t done, int64_t total);

  // ReflowFrom that goes on at least until the old row throughRow is laid out
  // again, even where the rows before it line up. With earlyRows >= 0 it may
  // end a row early (see LayoutPending) once it has laid out that many rows
  // and taken in earlyBytes bytes. Returns the bytes taken in.
  // Positions given in `keep` (column and row of the old layout) come out on
  // the same characters, as does the offset cache.
  struct KeptPosition {
    int* col;
    int* row;
    int64_t from = -1;  // bytes from the start of row r, once known
  };
  size_t ReflowThrough(int r, int throughRow, int earlyRows, size_t earlyBytes = 0,
                       std::span<KeptPosition> keep = {});
  // The reflow after an edit at row r: ReflowThrough(r, throughRow), or from
  // a row ended early shortly before r, through r.
  void ReflowEdit(int r, int throughRow);
  // Whether the reflow may end the row it builds here, before the old rows
  // still to come: there are some, the next neither starts nor ends with a
  // line end, no row ended early lies within the next earlyRows (at least
  // kSeamReachRows) of them, and the row throughRow is behind.
  bool MayEndRowEarly(int throughRow, int earlyRows) const;
  // Whether the row being built is the old row oldRow again (oldSize bytes,
  // just laid out, none of it edited), so that the reflow may stop there.
  bool RowRepeatsOldRow(int oldRow, int oldSize, int lastEdited) const;
  int FullEditLayoutRows();  // EditLayoutRows outside a batch
  // The rows ended early, after a reflow from row r whose old rows from
  // firstKept on now start at row keptAt (-1: none kept).
  void MoveSeams(int r, int firstKept, int keptAt);
  // Layout engine shared by AppendBytes and ReflowFrom.
  void LayOut(const uint8_t* bytes, int count);
  // The layout under UTF-8 (text_view_utf8.cpp): a sequence cut at the end
  // of a block waits in utf8Carry_ for the next block; FlushUtf8Carry lays
  // it out as ill-formed bytes once no more bytes follow.
  void LayOutUtf8(const uint8_t* bytes, int count);
  void LayOutUtf8Block(const uint8_t* bytes, int end, int known, bool copy);
  void FlushUtf8Carry();
  // Width of the character of len bytes at p (len 1: a substitute cell).
  int Utf8CharWidth(const uint8_t* p, int len) const;
  // Width the character at byte i of a row adds at x, and its length.
  int AdvanceAt(const RowText& row, int i, int x, int& len) const;
  // Under UTF-8 the column of the character holding byte col of the row.
  int SnapToChar(int row, int col) const;
  // Before a reflow from row r: under UTF-8 a row that starts inside a
  // character the edit made is laid out from the row that character starts
  // in, with the cursor and anchor on row r moved there.
  void BackUpToCharStart(int& r);
  // w: the character's width on the way in, its advance on the way out (a
  // tab's reaches the next tab stop).
  [[gnu::noinline]] bool LayOutOther(LayoutRun& run, int i, uint8_t c, uint8_t k, int& w);
  // k: the class of character i (0 for a word character). Closing punctuation
  // and class 4 offer a break after themselves on the new row too, as in a
  // row laid out from its start.
  // advance: what character i took on the row being wrapped (a tab's differs
  // from its width w, which it takes at the start of a row); -1: w.
  [[gnu::noinline]] void WrapRow(LayoutRun& run, int i, int w, uint8_t k = 0, int advance = -1);
  static void AppendRun(RowText& row, const uint8_t* p, int n, const LayoutRun& run);
  void NewRow();
  void ResetLayoutState();
  void ResetWidths();
  void ResizeArraysToFit();
  // Gives back the arena chunks no row borrows from.
  void ReleaseIdleChunks();

  // Every character through `map`, in place.
  void MapRows(const CodeTable& map);
  // Whether a character of the document is one `map` changes.
  bool AnyCharacterMoves(const CodeTable& map) const;
  // Another way of writing the line ends: the revision advances when a
  // line end of the document would be written otherwise than before.
  void ChangeLineEndRule(bool convert, const std::string& lineEnd);

  // Row queries.
  int Len(int row) const { return Rows[row].size(); }
  bool EndsWithLineEnd(int row) const;
  int LineEndStart(int row) const;  // column where the row's line-end run begins
  bool StartsHardLine(int row) const { return row == 0 || EndsWithLineEnd(row - 1); }
  int ColumnX(int row, int col) const;  // pixel position of a column
  int Advance(uint8_t c, int x) const;  // width a character adds at pixel x
  int MeasuredRowWidth(int row) const;  // up to the first line-end character
  int ColumnForX(int row, int desiredX) const;

  // Editing helpers.
  void CacheBefore(int row);
  void NormaliseCursor();
  void Finish(int beforeOffset, uint8_t kind, std::string_view text);
  void ReexpressOnPreviousRow();
  void RemoveRows(int first, int count);
  void AppendEmptyRow();
  void EndMove(bool extend, bool scroll = true);
  void ScrollMatchIntoView();  // after ScrollToCaret, the rest of a found match
  void ScrollMatchRowsIntoView(int lastRow);
  int FirstRowTextHeight() const;  // h: the height the bottom of the view is tested with
  // The scroll position that shows `row`, and up to extraRows after it, at
  // the bottom of the view.
  int64_t ScrollShowingRowAtBottom(int row, int extraRows);
  // The search over the whole rest of the document at once, for a text
  // without line-end characters (such a text never spans a hard line's end):
  // 1 found and selected, 0 not found, -1 when the region limit decides,
  // which the search by hard lines then does.
  int FindQuickly(const PatternFinder& finder, int row, int col, int& count);

  std::unique_ptr<RowArena> arena_;
  ReflowState* reflow_ = nullptr;
  std::vector<int> seams_;  // rows ended early by a reflow, ascending
  // A selection deleted for an insert is not laid out: the row before it may
  // take in what is left of its rows, so the insert's reflow starts no later
  // than this row; -1: none.
  int reflowFloor_ = -1;
  int editLayoutLimit_ = 0;
  bool batching_ = false;     // BatchEdits
  bool allMeasured_ = false;  // every code's width is in CharWidths
  // The widest row's width, kept across typing so that the window's scroll
  // ranges need no walk over every row after each key; -1 when unknown.
  int widest_ = -1;
  int widestRows_ = 0;  // how many rows are that wide
  // Adds a row's width to the widest width and its count.
  void CountWidth(int width) {
    if (width > widest_) {
      widest_ = width;
      widestRows_ = 1;
    } else if (width == widest_) {
      ++widestRows_;
    }
  }
  // Width and kind of each code for the layout loop, rebuilt when widths or
  // the character classes change.
  static constexpr uint32_t kInfoOther = 1u << 31, kInfoSpace = 1u << 30,
                            kInfoWidth = (1u << 30) - 1;
  void BuildLayoutInfo();
  void CheckUniformWidth();
  int uniformWidth_ = 0;  // the one width of every code a wide step takes; 0: none
  // Under UTF-8: the cell, when every ASCII letter, digit and the space are
  // a cell wide (two-byte characters are), so that wide steps may take them.
  void CheckUtf8UniformWidth();
  int utf8UniformWidth_ = 0;
  bool allowWideSteps_ = true;
  bool allowQuickSearch_ = true;
  // Bounded so a match near the cursor (each step of "Заменить всё") does not
  // first walk every row to the end of the document.
  size_t quickSearchRun_ = size_t(256) << 10;
  static constexpr size_t kFirstQuickSearchRun = size_t(4) << 10;
  uint32_t layoutInfo_[256] = {};
  bool infoValid_ = false;
  unsigned infoGeneration_ = 0;
  std::vector<MenuEntry*> lineEndEntries_;
  bool utf8_ = false;
  std::string utf8Carry_;
  // The document's length when it was last known, and the rows' counters
  // then (RowText::Changes, RowText::BytesAdded); -1: not known.
  void NoteLength(int64_t length);
  int64_t knownLength_ = -1;
  uint64_t changesAtKnown_ = 0, addedAtKnown_ = 0;
};

}  // namespace prambus
