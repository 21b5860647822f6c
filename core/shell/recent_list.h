// The recent-files list: exactly MaxRecentListLen entries, index 0 the most
// recent, unused entries (empty paths) at the end.
#pragma once

#include <string>
#include <vector>

#include "settings/stored_state.h"

namespace prambus {

// Puts the path at the head; an entry already among the first n - 1 moves up
// without a duplicate, otherwise the last entry falls off.
void PushRecent(std::vector<RecentEntry>& list, const std::string& path, int col, int row,
                uint8_t viewKind);
// Removes the entry at index; later entries move up and the last becomes empty.
void RemoveRecent(std::vector<RecentEntry>& list, size_t index);
// The index of the entry with this path, or -1.
int FindRecent(const std::vector<RecentEntry>& list, const std::string& path);

}  // namespace prambus
