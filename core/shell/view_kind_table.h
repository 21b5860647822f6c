// The names of the two view kinds as menus and dialogs show them, and the
// extension lists the welcome window offers for each (table index 0: the
// text view, 1: the hex view).
#pragma once

#include <array>

namespace prambus {

inline constexpr std::array<const char*, 2> kViewKindNames = {"Обычный текст", "hex-редактор"};
inline constexpr std::array<const char*, 2> kFirstRunExtensionLists = {"*.txt, *.dat", "*.hex"};

}  // namespace prambus
