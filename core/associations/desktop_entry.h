// The program's desktop entry: how the desktop starts it with a file, which
// types it opens, and the key that tells this program's entries from another
// program's file of the same name.
#pragma once

#include <string>
#include <vector>

#include "associations/key_file_text.h"

namespace prambus {

inline constexpr const char* kDesktopEntryGroup = "Desktop Entry";
inline constexpr const char* kProgramMarkerKey = "X-Prambus-Entry";
inline constexpr const char* kIconName = "prambus";
// The entry's one action: opening the file it is given, under the verb the
// desktop may show for it.
inline constexpr const char* kOpenActionId = "open";
inline constexpr const char* kOpenActionGroup = "Desktop Action open";
inline constexpr const char* kOpenActionName = "Открыть Прамбусом";

// The Exec value that starts the executable with one file: the path quoted
// and escaped as the desktop entry format asks, then "%f".
std::string ExecValue(const std::string& executable);

// The whole entry. execValue as ExecValue gives it (or as an earlier entry
// had it); the MimeType key lists mimeTypes and is left out when empty; the
// open action runs the same command.
std::string DesktopEntryText(const std::string& execValue,
                             const std::vector<std::string>& mimeTypes);

// Whether the file is an entry this program wrote (or installed).
bool IsProgramEntry(const KeyFileText& entry);

}  // namespace prambus
