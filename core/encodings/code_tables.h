// The display code tables: entry b is the Windows-1251 character shown for
// file byte b. A table whose entries 0 and 1 are both 0 is a marker naming a
// conversion by its entry 2.
#pragma once

#include "views/view_base.h"

namespace prambus {

enum ConversionKind : uint8_t {
  kConvQuotedPrintable = 0,
  kConvTranslit = 1,
  kConvUtf16 = 2,
  kConvUtf8 = 3,
  kConvDosForOutput = 4,
};

const CodeTable& WindowsTable();
const CodeTable& DosTable();
// The DOS table marked with 0, 0, 4: valid only as a recode target.
CodeTable DosForOutputTable();
CodeTable MarkerTable(uint8_t kind);
inline bool IsMarker(const CodeTable& t) {
  return t[0] == 0 && t[1] == 0;
}
// Whether every byte has a character of its own. Only such a table can show a
// document: the text view keeps characters and turns them back into bytes
// when it saves, so two bytes shown alike would be saved alike. Any table may
// still serve as a recode source or target.
bool CanShowDocument(const CodeTable& t);

}  // namespace prambus
