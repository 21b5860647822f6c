// The list of recovery copies left behind, as the start-up window shows it:
// one row per copy (the document, when the copy was made, its size, why it
// was made) in texts cut to a sane length, since a copy's description is
// read from a file anyone who could write the folder may have made.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "extensions/recovery_copy.h"

namespace prambus {

struct RecoveryListRow {
  std::string document;  // the file name, or "Безымянный.txt"
  std::string path;      // the whole path, cut, for a tool tip; empty for a new document
  std::string savedAt;   // "31.12.2024 23:59", local time
  std::string size;      // "1 234 байт", the digits grouped by non-breaking spaces
  std::string reason;    // why the copy was made
};

// Texts longer than this many characters are cut.
inline constexpr size_t kMaxRowChars = 80;

RecoveryListRow DescribeOrphanCopy(const OrphanCopy& copy);

// At most maxChars characters of UTF-8 text, ending in "…" when cut, with
// line breaks and other control codes shown as spaces; bytes that are not
// UTF-8 count as one character each and are kept as they are.
std::string CutForDisplay(std::string_view text, size_t maxChars);

// "1 234 567 байт", the groups joined by non-breaking spaces.
std::string ByteCountText(int64_t bytes);

// The question before "Удалить" discards `count` copies: they may be the
// only versions of that work.
std::string RecoveryDiscardQuestion(size_t count);

// A copy that could not be opened: it stays where it is, and the message
// says where that is.
std::string RecoveryOpenFailedMessage(const OrphanCopy& copy);

}  // namespace prambus
