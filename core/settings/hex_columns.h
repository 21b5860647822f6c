// How many byte columns a hex view row may hold: the view keeps any count it
// is given to this, and data.dat's loader refuses a stored count outside it.
#pragma once

namespace prambus {

inline constexpr int kMinHexColumns = 2;
inline constexpr int kMaxHexColumns = 999;

}  // namespace prambus
