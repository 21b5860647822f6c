// Qt keys to and from the virtual-key codes of plug-ins.
#pragma once

#include <QKeySequence>
#include <optional>

#include "extensions/virtual_keys.h"

namespace prambus {

// The virtual key of a Qt key (keypad keys told apart by the keypad
// modifier); 0 for a key plug-ins cannot name. Letters of the Russian layout
// give the key they share with the Latin one (Ф is A).
int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers);

struct QtKeyPress {
  int key;
  Qt::KeyboardModifiers modifiers;
};
// The Qt key and modifiers that press a virtual key with a shift state.
std::optional<QtKeyPress> QtKeyFromVirtual(int virtualKey, uint8_t shiftState);

// The shift state (Shift 1, Alt 2, Ctrl 4) of Qt modifiers.
uint8_t ShiftStateOf(Qt::KeyboardModifiers modifiers);

// How a hot key shows in a menu.
QKeySequence SequenceOf(const HotKey& key);

}  // namespace prambus
