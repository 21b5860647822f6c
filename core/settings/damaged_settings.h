// A data.dat that could not be read to the end may hold anything in what was
// read: the window must still come up usable, and the user must be able to
// start afresh without losing the file.
#pragma once

#include <ctime>
#include <string>

#include "settings/settings.h"
#include "settings/stored_state.h"

namespace prambus {

// The window's own record and those of the pinned files give way to their
// defaults where they decide whether the window can be used at all: place
// and size, state, frame and menu (minimal mode), staying on top, the status
// bar, the skin and background, and the font of the text; so do the
// settings' colours and the font of the program's boxes, which could leave
// text unreadable. What names files (paths, view kinds, check marks,
// encodings), the lists and the other settings (bounded when read) stay.
void DistrustDamagedAppearance(StoredState& state, Settings& settings);

// Beside the file, saying what it is: "data.dat.damaged-20261209-175803"
// for a file set aside at that local time.
std::string DamagedSettingsName(const std::string& path, std::time_t when);

// Renames the file to `aside`, never over a file already there; 0, or the
// system's error number.
int SetDamagedSettingsAside(const std::string& path, const std::string& aside);

}  // namespace prambus
