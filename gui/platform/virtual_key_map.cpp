#include "virtual_key_map.h"

namespace prambus {

namespace {

struct KeyPair {
  int qt;
  int vk;
};

// Keys whose code differs between Qt and the virtual keys. The first entry
// of a virtual key is the one pressed for it.
constexpr KeyPair kKeys[] = {
    {Qt::Key_Backspace, 0x08},
    {Qt::Key_Tab, 0x09},
    {Qt::Key_Backtab, 0x09},
    {Qt::Key_Return, 0x0D},
    {Qt::Key_Enter, 0x0D},
    {Qt::Key_Escape, 0x1B},
    {Qt::Key_Space, 0x20},
    {Qt::Key_PageUp, 0x21},
    {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23},
    {Qt::Key_Home, 0x24},
    {Qt::Key_Left, 0x25},
    {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27},
    {Qt::Key_Down, 0x28},
    {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, 0x2E},
    {Qt::Key_Semicolon, 0xBA},
    {Qt::Key_Colon, 0xBA},
    {Qt::Key_Equal, 0xBB},
    {Qt::Key_Plus, 0xBB},
    {Qt::Key_Comma, 0xBC},
    {Qt::Key_Less, 0xBC},
    {Qt::Key_Minus, 0xBD},
    {Qt::Key_Underscore, 0xBD},
    {Qt::Key_Period, 0xBE},
    {Qt::Key_Greater, 0xBE},
    {Qt::Key_Slash, 0xBF},
    {Qt::Key_Question, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0},
    {Qt::Key_AsciiTilde, 0xC0},
    {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_BraceLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC},
    {Qt::Key_Bar, 0xDC},
    {Qt::Key_BracketRight, 0xDD},
    {Qt::Key_BraceRight, 0xDD},
    {Qt::Key_Apostrophe, 0xDE},
    {Qt::Key_QuoteDbl, 0xDE},
    // Shifted digits on the main keyboard.
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'},
};

// Keypad keys other than digits.
constexpr KeyPair kKeypad[] = {
    {Qt::Key_Asterisk, 0x6A}, {Qt::Key_Plus, 0x6B},  {Qt::Key_Minus, 0x6D},
    {Qt::Key_Period, 0x6E},   {Qt::Key_Comma, 0x6E}, {Qt::Key_Slash, 0x6F},
};

// The Russian layout's letters (upper case, as Qt reports them) on the keys
// of the Latin layout.
constexpr KeyPair kCyrillic[] = {
    {0x0419, 'Q'},  {0x0426, 'W'},  {0x0423, 'E'},  {0x041A, 'R'},  {0x0415, 'T'},  {0x041D, 'Y'},
    {0x0413, 'U'},  {0x0428, 'I'},  {0x0429, 'O'},  {0x0417, 'P'},  {0x0425, 0xDB}, {0x042A, 0xDD},
    {0x0424, 'A'},  {0x042B, 'S'},  {0x0412, 'D'},  {0x0410, 'F'},  {0x041F, 'G'},  {0x0420, 'H'},
    {0x041E, 'J'},  {0x041B, 'K'},  {0x0414, 'L'},  {0x0416, 0xBA}, {0x042D, 0xDE}, {0x042F, 'Z'},
    {0x0427, 'X'},  {0x0421, 'C'},  {0x041C, 'V'},  {0x0418, 'B'},  {0x0422, 'N'},  {0x042C, 'M'},
    {0x0411, 0xBC}, {0x042E, 0xBE}, {0x0401, 0xC0},
};

}  // namespace

int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers) {
  const bool keypad = modifiers & Qt::KeypadModifier;
  if (keypad && qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return 0x60 + (qtKey - Qt::Key_0);
  if (keypad)
    for (const KeyPair& k : kKeypad)
      if (k.qt == qtKey) return k.vk;
  if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9))
    return qtKey;  // the same codes
  if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) return 0x70 + (qtKey - Qt::Key_F1);
  for (const KeyPair& k : kKeys)
    if (k.qt == qtKey) return k.vk;
  for (const KeyPair& k : kCyrillic)
    if (k.qt == qtKey) return k.vk;
  return 0;
}

std::optional<QtKeyPress> QtKeyFromVirtual(int vk, uint8_t shiftState) {
  Qt::KeyboardModifiers mods;
  if (shiftState & kShiftBit) mods |= Qt::ShiftModifier;
  if (shiftState & kAltBit) mods |= Qt::AltModifier;
  if (shiftState & kCtrlBit) mods |= Qt::ControlModifier;
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return QtKeyPress{vk, mods};
  if (vk >= 0x60 && vk <= 0x69)
    return QtKeyPress{Qt::Key_0 + (vk - 0x60), mods | Qt::KeypadModifier};
  if (vk >= 0x70 && vk <= 0x87) return QtKeyPress{Qt::Key_F1 + (vk - 0x70), mods};
  for (const KeyPair& k : kKeypad)
    if (k.vk == vk) return QtKeyPress{k.qt, mods | Qt::KeypadModifier};
  for (const KeyPair& k : kKeys)
    if (k.vk == vk) return QtKeyPress{k.qt, mods};
  return std::nullopt;
}

uint8_t ShiftStateOf(Qt::KeyboardModifiers m) {
  return static_cast<uint8_t>((m & Qt::ShiftModifier ? kShiftBit : 0) |
                              (m & Qt::AltModifier ? kAltBit : 0) |
                              (m & Qt::ControlModifier ? kCtrlBit : 0));
}

QKeySequence SequenceOf(const HotKey& key) {
  const std::optional<QtKeyPress> press = QtKeyFromVirtual(key.virtualKey, key.shiftState);
  if (!press) return {};
  return QKeySequence(QKeyCombination(press->modifiers, static_cast<Qt::Key>(press->key)));
}

}  // namespace prambus
