// Decisions of the file commands that need no widget: the window identity
// hash, the Open/Save dialog filters, and the view kind chosen for a file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "settings/stored_state.h"

namespace prambus {

// 32-bit hash of a path as UTF-16 code units, in blocks of eight units.
uint32_t PathHash(const std::u16string& path);
// The hash of a file name's bytes, as other copies ask for it: PathHash of
// its UTF-16 form, where each byte outside well-formed UTF-8 stands as the
// lone surrogate U+DC00 + byte (which no text holds). A name that is text
// hashes as its text always did.
uint32_t FileNameHash(std::string_view path);

// "Файлы для текстового редактора|*.txt;*.dat|...|Все файлы|*.*" (UTF-8).
std::string DialogFilter(const std::vector<ExtensionBinding>& bindings);
// The 1-based filter group of an extension; the "Все файлы" group when unbound.
int FilterIndexOf(const std::vector<ExtensionBinding>& bindings, const std::string& ext);
// The first extension bound to filter group g (1-based), empty for "Все файлы".
std::string FirstExtensionOfGroup(const std::vector<ExtensionBinding>& bindings, int group);

// The extension of a path with its dot ("" when none), as the platform
// extracts it: the part of the file name from its last dot.
std::string ExtensionOf(const std::string& path);

// The file name of a path without its folder.
std::string FileNameOf(const std::string& path);

// The view kind for a file without a pinned record: the recent list's when
// RememberCurPos is on, else the binding of its extension, else the default.
int ChooseViewKind(const std::string& path, const std::vector<RecentEntry>& recent,
                   const std::vector<ExtensionBinding>& bindings, bool rememberCurPos,
                   int defaultKind);

}  // namespace prambus
