// The fine-settings table: every tunable value of the settings record as a
// row with its key, kind, accepted range and description, the row's value
// as text and back, and what a change of the record asks of the program.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"
#include "settings/settings_schema.h"
#include "shell/setting_text.h"

namespace prambus {

// A row of the table shows one field of the settings schema, or a section.
using SettingRow = SettingField;

// The rows below the header, in table order (index 0 is the first section).
std::span<const SettingRow> FineSettingRows();
// The index of the row with this key, or -1.
int FineSettingRowOf(std::string_view key);

// What a section row's value cell always shows.
inline constexpr const char* kSectionValueText = "===============";

// The value of the row in the record as the cell shows it.
std::string RowValueText(const SettingRow& row, const Settings& s, std::string_view separator);
std::string ValueText(const SettingRow& row, const SettingValue& value, std::string_view separator);
// The value a cell's text stands for, or nothing when the text is refused or
// out of the row's range. Section rows refuse every text.
std::optional<SettingValue> ParseRowText(const SettingRow& row, std::string_view text,
                                         std::string_view separator);

// The description shown for the row, with the sentence every yes/no row adds
// and the one the message box's and the selection's colours add; "Пусто."
// for rows without one.
std::string RowDescription(const SettingRow& row);

// Whether a TextFont cell asks for the desktop's message font: "системный"
// or "system" in any case.
bool AsksForSystemFont(std::string_view text);

// A font as the font dialog and the desktop give it: the cells it fills are
// TextFont, TextSize and the four style rows.
struct FontCells {
  std::string name;
  int32_t height = 0;  // TextSize: negative for the character height in pixels
  bool italic = false, bold = false, underlined = false, strikeout = false;
};
// (row index, cell text) for each row the font fills.
std::vector<std::pair<int, std::string>> FontCellTexts(const FontCells& font);

// What a change of the record asks of the program beyond storing it: the
// effects of the fields that differ (reals by more than 0.0001 for a new
// layout).
struct FineSettingsEffects {
  bool relayout = false;         // the view is laid out again as on a resize
  bool recentLength = false;     // the recent list takes its new length
  bool minimalShortcut = false;  // "Всё лишнее убрано" moves between F2 and F12
  bool hexLineWidths = false;    // the hex view measures its lines again
  bool dataWindow = false;       // the data window shows other rows
};
FineSettingsEffects EffectsOfChange(const Settings& before, const Settings& after);

}  // namespace prambus
