// The recent-files list: exactly MaxRecentListLen entries, index 0 the most
// recent, unused entries (empty paths) at the end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/stored_state.h"

namespace prambus {

// Puts the path at the head; an entry already among the first n - 1 moves up
// without a duplicate, otherwise the last entry falls off. The entry
// remembers the encoding the file was shown in (empty: none).
void PushRecent(std::vector<RecentEntry>& list, const std::string& path, int col, int row,
                uint8_t viewKind, std::string_view encodingId = {});
// Removes the entry at index; later entries move up and the last becomes empty.
void RemoveRecent(std::vector<RecentEntry>& list, size_t index);
// Removes the first entry holding the path, if any.
void RemoveRecentPath(std::vector<RecentEntry>& list, const std::string& path);
// The index of the entry with this path, or -1.
int FindRecent(const std::vector<RecentEntry>& list, const std::string& path);

// A list read from a settings file may hold the same path twice or unused
// entries between used ones: later duplicates are dropped and the used
// entries close up in their order, so every file is listed once and the
// menu, which stops at the first unused entry, shows all of them.
void CompactRecent(std::vector<RecentEntry>& list);

// What the "Файл" menu shows of the list: in a submenu or in the menu itself,
// and how many items (the used entries from the head, at most maxLen).
struct RecentMenuPlan {
  bool subMenu = false;
  int count = 0;
};
RecentMenuPlan PlanRecentMenu(const std::vector<RecentEntry>& list, int maxLen, bool inSubMenu);

// A shown name as a menu caption: "&" doubled, so it is not read as the
// accelerator mark.
std::string MenuCaptionOf(const std::string& shownName);

}  // namespace prambus
