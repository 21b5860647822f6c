// The pinned window appearances: at most 100 files, each with the whole
// window appearance it gets whenever it is opened. Paths compare exactly.
#pragma once

#include <string>
#include <vector>

#include "settings/stored_state.h"

namespace prambus {

inline constexpr char kPinnedLimitMessage[] =
    "Я могу закрепить внешний вид максимум только за 100 файлами. Больше у меня не "
    "получается. Извините.";

// The index of the first record of the path, or -1.
int FindPinned(const std::vector<WindowAppearance>& pinned, const std::string& path);

// Appends a record for the path with the given appearance (stay-on-top is
// never pinned); false, with nothing added, when 100 records exist.
bool AddPinnedRecord(std::vector<WindowAppearance>& pinned, const std::string& path,
                     const WindowAppearance& appearance);

// One line of the pinned-files dialog.
struct PinnedLine {
  std::string path;
  bool checked = true;
};

// Adds a checked line for the path unless the list already has one; false
// when it was listed.
bool AddPinnedLine(std::vector<PinnedLine>& lines, const std::string& path);

// The dialog's confirmed lines, in order: a checked line without a record gets
// one with the given appearance, an unchecked line removes every record of its
// path. False when the 100-record limit stopped the walk at a checked line;
// the lines after it are left unprocessed.
bool ApplyPinnedLines(std::vector<WindowAppearance>& pinned, const std::vector<PinnedLine>& lines,
                      const WindowAppearance& appearance);

}  // namespace prambus
