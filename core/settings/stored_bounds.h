// Bounds on what data.dat may hold. The file is outside input: values the
// reader accepts as numbers are still brought within what the program can
// take. The settings keep the ranges of the settings schema (a value
// outside falls back to its default or its nearest end); window places and sizes stay within
// what the desktop addresses, the font within sensible pixel heights. So no
// stored value can make a window larger than any screen, a line taller than
// a page, or a sum of pixel sizes overflow.
#pragma once

#include "settings/settings.h"
#include "settings/stored_state.h"

namespace prambus {

// Window coordinates and sizes stay within what the desktop can address.
inline constexpr int kMaxWindowCoordinate = 32767;
// Font heights in pixels (either sign), a zero height meaning the default.
inline constexpr int kMaxFontHeight = 1000;

void BoundStoredState(StoredState& state, Settings& settings);

}  // namespace prambus
