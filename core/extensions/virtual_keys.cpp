#include "extensions/virtual_keys.h"

#include <array>
#include <cctype>

namespace prambus {

namespace {

struct NamedKey {
  uint16_t code;
  const char* name;  // canonical name first, then aliases with the same code
};

// Named keys other than letters, digits and function keys.
constexpr NamedKey kNamedKeys[] = {
    {0x08, "Backspace"}, {0x08, "BkSp"},   {0x09, "Tab"},    {0x0D, "Enter"},    {0x0D, "Return"},
    {0x1B, "Esc"},       {0x1B, "Escape"}, {0x20, "Space"},  {0x21, "PgUp"},     {0x21, "PageUp"},
    {0x21, "Prior"},     {0x22, "PgDown"}, {0x22, "PgDn"},   {0x22, "PageDown"}, {0x22, "Next"},
    {0x23, "End"},       {0x24, "Home"},   {0x25, "Left"},   {0x26, "Up"},       {0x27, "Right"},
    {0x28, "Down"},      {0x2D, "Ins"},    {0x2D, "Insert"}, {0x2E, "Del"},      {0x2E, "Delete"},
    {0x6A, "Num *"},     {0x6B, "Num +"},  {0x6D, "Num -"},  {0x6E, "Num ."},    {0x6F, "Num /"},
    {0xBA, ";"},         {0xBB, "="},      {0xBC, ","},      {0xBD, "-"},        {0xBE, "."},
    {0xBF, "/"},         {0xC0, "`"},      {0xDB, "["},      {0xDC, "\\"},       {0xDD, "]"},
    {0xDE, "'"},
};

char Lower(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Lower case without spaces: "Num 5" and "num5" name the same key.
std::string Normalized(std::string_view s) {
  std::string out;
  for (char c : s)
    if (c != ' ' && c != '\t') out += Lower(c);
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::optional<uint16_t> KeyFromName(std::string_view name) {
  const std::string n = Normalized(name);
  if (n.size() == 1 && n[0] >= 'a' && n[0] <= 'z') return static_cast<uint16_t>('A' + n[0] - 'a');
  if (n.size() == 1 && n[0] >= '0' && n[0] <= '9') return static_cast<uint16_t>(n[0]);
  if (n.size() == 4 && n.compare(0, 3, "num") == 0 && n[3] >= '0' && n[3] <= '9')
    return static_cast<uint16_t>(0x60 + n[3] - '0');
  if (n.size() >= 2 && n.size() <= 3 && n[0] == 'f') {
    int number = 0;
    for (size_t i = 1; i < n.size(); ++i) {
      if (n[i] < '0' || n[i] > '9') return std::nullopt;
      number = number * 10 + (n[i] - '0');
    }
    if (n[1] != '0' && number >= 1 && number <= 24) return static_cast<uint16_t>(0x70 + number - 1);
    return std::nullopt;
  }
  for (const NamedKey& k : kNamedKeys)
    if (Normalized(k.name) == n) return k.code;
  return std::nullopt;
}

// Takes a leading "ctrl+", "shift+" or "alt+" off the text.
std::optional<uint8_t> TakeModifier(std::string_view& text) {
  static constexpr std::array<std::pair<const char*, uint8_t>, 4> kModifiers = {
      {{"ctrl", kCtrlBit}, {"control", kCtrlBit}, {"shift", kShiftBit}, {"alt", kAltBit}}};
  for (const auto& [name, bit] : kModifiers) {
    const std::string_view word(name);
    if (text.size() <= word.size()) continue;
    bool same = true;
    for (size_t i = 0; i < word.size() && same; ++i) same = Lower(text[i]) == word[i];
    if (!same) continue;
    std::string_view rest = Trim(text.substr(word.size()));
    if (rest.size() < 2 || rest.front() != '+') continue;  // "+" and then a key
    text = Trim(rest.substr(1));
    return bit;
  }
  return std::nullopt;
}

}  // namespace

std::string VirtualKeyName(int vk) {
  if (vk >= 'A' && vk <= 'Z') return std::string(1, static_cast<char>(vk));
  if (vk >= '0' && vk <= '9') return std::string(1, static_cast<char>(vk));
  if (vk >= 0x60 && vk <= 0x69) return "Num " + std::string(1, static_cast<char>('0' + vk - 0x60));
  if (vk >= 0x70 && vk <= 0x87) return "F" + std::to_string(vk - 0x70 + 1);
  for (const NamedKey& k : kNamedKeys)
    if (k.code == vk) return k.name;
  return {};
}

bool IsKnownVirtualKey(int vk) {
  return !VirtualKeyName(vk).empty();
}

std::optional<HotKey> ParseHotKey(std::string_view text) {
  text = Trim(text);
  uint8_t state = 0;
  while (auto bit = TakeModifier(text)) {
    if (state & *bit) return std::nullopt;  // "Ctrl+Ctrl+A"
    state |= *bit;
  }
  const std::optional<uint16_t> key = KeyFromName(text);
  if (!key) return std::nullopt;
  return HotKey{*key, state};
}

std::string HotKeyText(const HotKey& key) {
  std::string out;
  if (key.shiftState & kCtrlBit) out += "Ctrl+";
  if (key.shiftState & kShiftBit) out += "Shift+";
  if (key.shiftState & kAltBit) out += "Alt+";
  return out + VirtualKeyName(key.virtualKey);
}

std::optional<uint8_t> ShiftStateFromKeyFlags(int flags) {
  if (flags & ~7) return std::nullopt;
  return static_cast<uint8_t>(((flags & 1) ? kShiftBit : 0) | ((flags & 2) ? kCtrlBit : 0) |
                              ((flags & 4) ? kAltBit : 0));
}

}  // namespace prambus
