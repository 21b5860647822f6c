// The text of "Информация о документе...": the document's size, how long it
// took to open, its line count with the Russian plural ending, the cursor and
// the selection. Sizes and durations are 64-bit so no figure can wrap.
#pragma once

#include <cstdint>
#include <string>

namespace prambus {

struct DocumentFacts {
  std::string fileName;         // without folder, UTF-8; unused for a new document
  int64_t openDurationMs = -1;  // -1 for a new document
  uint64_t sizeBytes = 0;       // linear position of the end of the last line
  int64_t lineCount = 1;
  int64_t cursorRow = 0, cursorCol = 0;  // from 0
  int64_t cursorOffset = 0;              // linear position of the cursor
  bool hasSelection = false;
  uint64_t selectionBytes = 0;
  // Characters of a document read as UTF-8 (each ill-formed byte counts
  // one); -1 where a byte is a character.
  int64_t charCount = -1, selectionChars = -1;
};

// "3 б." or "1 Мб 0 Кб 0 б.": the parts from the largest non-zero one down.
std::string SizeText(uint64_t bytes);
// "1 с 5 мс." or "1 мин 1 с 0 мс.": the parts from the largest non-zero one down.
std::string DurationText(int64_t ms);
// The ending of "строч" after a count: "ек.", "ка." or "ки.".
std::string LinesEnding(int64_t n);

// The whole text of the "О документе" box, lines separated by "\n". Control
// characters of the file name (a line break is legal in one) show as spaces.
std::string DocumentInfoText(const DocumentFacts& facts);

}  // namespace prambus
