// The hex view: the whole file as one byte array (with a gap at the last
// edit, so typing in the middle of a large file moves little), shown as rows of HexColumns
// codes in the base TextBaseSyst, with coordinates on the left and the bytes
// as characters on the right. The cursor has a byte, a digit position inside
// that byte's code, and an area (codes or characters).
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "views/gap_bytes.h"
#include "views/view_base.h"

namespace prambus {

class HexView : public ViewBase {
 public:
  explicit HexView(Canvas* canvas);
  ~HexView() override;

  std::string_view GetRow(int row) const override;
  int64_t GetDocumentHeight() override;
  void ReflowFrom(int row) override;
  void Relayout() override;
  void UpdateCaretPoint() override;
  void ScrollToCaret() override;
  bool HasSelection() const override;
  int GetDocumentWidth() override;
  void SetCharTable(const CodeTable& table) override;
  // The character column reads the bytes as UTF-8: a character at its first
  // byte, a continuation mark on the bytes after it, a substitute on a byte
  // of no character.
  bool ShowUtf8 = false;
  int64_t GetTextLength() const override;
  void AppendBytes(const uint8_t* bytes, int count) override;
  std::unique_ptr<DocumentLoad> BeginLoad(const std::string& name) override;
  void Paint() override;
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
  bool Backspace() override;
  std::string GetSelectedText() const override;
  std::string GetAdjacentText(bool forward) const override;
  bool FindText(std::string_view text, int& count, bool fromCursor, bool caseSensitive) override;
  // Finds the bytes exactly (a number searched for by its value), from the
  // start or from the byte after the cursor, and selects the match as
  // FindText does.
  bool FindBytes(std::string_view bytes, bool fromCursor);
  ViewMenuActions GetViewMenu() override;
  void Clear() override;
  Rect GetCaretArea() const override;
  void Undo() override;
  void Redo() override;
  void AttachMenuItem(int index, MenuEntry* entry) override;
  int PosToOffset(int col, int row) override;
  void OffsetToPos(int& col, int& row) override;
  void CopyContentTo(ViewBase& target) override;
  bool TypingReplacesSelection(uint8_t ch) const override;
  bool Recode(const CodeTable& source, const CodeTable& target) override;
  bool ForEachRow(const RowVisitor& visit) override;
  bool TransformRows(const RowRewriter& rewrite) override;
  void WriteContent(int fd) override;
  void ExpectLength(int64_t bytes) override;
  void ReadRange(int from, int to, std::string& out, std::vector<int>* lineEnds) override;
  void SpliceRange(int from, int to, size_t size, const SpliceWriter& write) override;
  void RecordReplacement(int at, std::string_view removed, std::string_view inserted) override;

  // Non-virtual operations.
  void MeasureDigits();
  void UpdateLineWidths();
  std::string CodeText(uint8_t v) const;
  void SetColumns(int n);
  // HexColumns was changed from previous elsewhere (printing narrows it):
  // cursor and anchor stay on their bytes and digits, the selection with them.
  void ColumnsChangedFrom(int previous);
  // The selected bytes, [lo, hi): GetSelectedText's bytes, what a deletion
  // of whole bytes removes.
  void SelectedRange(int& lo, int& hi) const;
  std::string CodeTextOfSelection() const;  // "Копировать код в виде текста"
  bool PasteCodeText(std::string_view text);  // "Вставить текст в виде кода"; false: beep
  void SetBytes(std::string_view bytes);  // for tests and tools
  const GapBytes& Data() const { return Bytes; }
  int CursorOffset() const { return cursorRow_ * Columns() + cursorCol_; }
  int AnchorOffset() const { return anchorRow_ * Columns() + anchorCol_; }
  // Where the character column is drawn, in surface pixels (one cell of the
  // code digit's width per byte), over the whole height of the view.
  Rect CharacterColumn() const;
  void MoveCursorToByte(int offset);  // the data window's byte number
  // Writes bytes at the cursor as one undoable edit, selecting them (the
  // data window's values).
  void WriteAtCursor(const std::string& bytes);

  // Fields added to the base.
  GapBytes Bytes;
  uint8_t CursorDigit = 0;
  uint8_t AnchorDigit = 0;
  bool InCodes = true;
  int CodeDigitWidth = 8;
  int CoordDigitWidth = 8;
  int LinePixels = 0;
  int MarginPixels = 0;
  uint8_t SearchAs = 3;
  bool DataWindowShown = false;
  MenuEntry* DataWindowMenuItem = nullptr;

  // What the main window provides: clipboard text, its relayout, and the two
  // tool windows (the view only asks for them).
  std::function<std::string()> getClipboardText;
  // "Вставить текст в виде кода" found no codes of this base in the text.
  std::function<void(int base)> codeTextRefused;
  std::function<void(const std::string&)> setClipboardUnicodeText;  // UTF-8
  std::function<void()> formResize;
  std::function<void(bool)> showDataWindow;
  std::function<void()> paintDataWindow;
  std::function<void()> showColumnsDialog;

 protected:
  int64_t MemoryForEdit(int64_t bytes) const override;

 private:
  class FileLoad;  // hex_view_file.cpp
  int Columns() const;
  int Base() const;
  int K255() const;
  int KC() const;
  int RowHeight();
  int Pitch() const;                                         // s
  int Gap() const;                                           // g
  int CellWidth() const { return K255() * CodeDigitWidth; }  // W
  int CodeAreaLeft() const;              // x0 with no scroll: where column 0's code begins
  void SelectMatch(int at, int length);  // a found match: cursor on it, anchor after it
  void ScrollMatchIntoView();            // after ScrollToCaret, the rest of a found match
  void ScrollMatchRowsIntoView(int firstRow, int lastRow);
  int CaretTopLimit();             // a caret above this y is scrolled down to
  int FirstRowTextHeight() const;  // h: the height the bottom of the view is tested with
  // The scroll position that shows `row`, and up to extraRows after it, at
  // the bottom of the view.
  int64_t ScrollShowingRowAtBottom(int row, int extraRows);
  int CodeLength(uint8_t b) const;  // L(b)
  int Length() const { return static_cast<int>(Bytes.size()); }
  void ToOffset(int offset, bool cursor);
  void AfterWholeRewrite();
  void AfterMove(bool extend, bool scroll = true);
  void AdjustSelectionEdge();
  void ClampCursorDigit();
  void Finish();
  void InsertBytes(int at, const std::string& bytes);
  void EraseBytes(int at, int count);
  // A selection inside one code: the code's byte and its digits before and
  // after the selected ones. False for a selection of whole bytes.
  bool DigitCut(int& at, std::string& head, std::string& tail) const;
  // The code a first digit begins: the digit, then zeros with FirstZeroes.
  std::string FreshCode(char digit) const;
  bool RefuseAtLengthLimit();
  bool DeleteAtCursor(bool& recorded);
  // Undo records of kind 5.
  bool Joinable() const;
  std::string BuildHexUndoText(const std::string& oldBytes, const std::string& newBytes,
                               int digitBefore, int offset) const;
  void ExtendHexUndo(UndoRecord& r, const std::string& newBytes);
  void PushHexRecord(const std::string& oldBytes, const std::string& newBytes, int digitBefore,
                     int editOffset, int beforeOffset);
  void CloseJoinable();
  int SealedJoin(bool& continuesByte);
  void ApplyHexRecord(UndoRecord& r, UndoHistory& target, bool isUndo);

  // The digits around the cut of the last digit-level DeleteSelection, kept
  // while its record is the last one: a typed digit goes between them.
  struct DigitJoin {
    int offset = -1;
    std::string head, tail;
  };
  DigitJoin digitJoin_;
  // The one row that lies across the gap, copied (GetRow gives a view).
  mutable std::string rowAcrossGap_;
};

}  // namespace prambus
