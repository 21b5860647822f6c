// The settings schema: one declaration for each field of the settings record
// that data.dat keeps. It says where data.dat holds the field, which values
// the field keeps, its row in the fine-settings table (key and description)
// and what a change of it asks of the window. Reading and writing data.dat,
// bounding what was read, the table's rows and the effects of "Готово" all
// walk this one list; the defaults are the record's own.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>

#include "settings/settings.h"

namespace prambus {

// The type of a field's value; sections are the table's headings.
enum class SettingKind : uint8_t { kSection, kInt, kBool, kReal, kColor, kText, kFlags8 };

// One value of a field, of the type its kind holds.
using SettingValue = std::variant<int32_t, bool, double, Color, std::string, Flags8>;

// What a change of a field asks of the window beyond storing it.
enum SettingEffect : uint8_t {
  kRelayout = 1,         // the view is laid out again as on a resize
  kRecentLength = 2,     // the recent list takes its new length
  kMinimalShortcut = 4,  // "Всё лишнее убрано" moves between F2 and F12
  kHexLineWidths = 8,    // the hex view measures its lines again
  kDataWindow = 16,      // the data window shows other rows
};

// A number outside a field's range, read from data.dat: the field's default,
// or the nearest end of the range.
enum class OutOfRange : uint8_t { kDefault, kNearestEnd };

struct SettingField {
  const char* key;  // as the table shows it; a section's heading; a name for fields without a row
  SettingKind kind;
  int slot = -1;            // place among the settings data.dat holds; -1: a section
  bool inTable = true;      // shown as a row of the fine-settings table
  double min = 0, max = 0;  // the accepted range of int and real fields
  OutOfRange outOfRange = OutOfRange::kDefault;
  uint8_t effects = 0;                // SettingEffect bits
  const char* description = nullptr;  // the row's, UTF-8; nullptr for sections
  SettingValue (*get)(const Settings&) = nullptr;
  void (*set)(Settings&, const SettingValue&) = nullptr;
};

// Every field and section, in the table's order; the fields without a row
// follow the rows.
std::span<const SettingField> SettingsSchema();

// The fields data.dat holds, in the order it holds them (by slot).
std::span<const SettingField* const> StoredFieldsInFileOrder();

// The field with this key, or nullptr.
const SettingField* StoredFieldOf(const char* key);

}  // namespace prambus
