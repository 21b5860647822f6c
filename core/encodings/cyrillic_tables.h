// The built-in Cyrillic display tables besides "Windows" and "DOS": entry b
// is the Windows-1251 character shown for file byte b. Each is a permutation:
// a byte whose character Windows-1251 has shows as that character, the other
// bytes (box drawing, signs Windows-1251 lacks) take the codes of characters
// the encoding lacks, so a file shown through any of them saves unchanged.
#pragma once

#include "views/view_base.h"

namespace prambus {

const CodeTable& Koi8rTable();
const CodeTable& Koi8uTable();
const CodeTable& Iso88595Table();
const CodeTable& MacCyrillicTable();

}  // namespace prambus
