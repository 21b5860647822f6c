#include "shell/fine_settings.h"

#include <cmath>

namespace prambus {

namespace {

constexpr const char* kYesNoNote =
    "\n\rУстановить этот параметр можно и цифрами: 1=Да, 0=Нет. Двойной щелчок по полю меняет его "
    "значение на противоположное.";
constexpr const char* kColorNote =
    "\n\rДважды щёлкнув по этому полю, вы попадёте в диалоговое окно выбора цветов.";

bool InRange(const SettingRow& row, double v) {
  return v >= row.min && v <= row.max;
}

// The colours of the message box and of the selection tell the user about
// the colour dialog; the hex view's colours keep their own short texts.
bool NamesTheColorDialog(const SettingRow& row) {
  const std::string_view key = row.key;
  return key == "TextColor" || key == "ChosenTextClr" || key == "ChosenFonClr";
}

bool RealChanged(double a, double b) {
  return std::fabs(a - b) > 0.0001;
}

}  // namespace

int FineSettingRowOf(std::string_view key) {
  const std::span<const SettingRow> rows = FineSettingRows();
  for (size_t i = 0; i < rows.size(); ++i)
    if (key == rows[i].key && rows[i].kind != SettingKind::kSection) return static_cast<int>(i);
  return -1;
}

std::string ValueText(const SettingRow& row, const SettingValue& value,
                      std::string_view separator) {
  switch (row.kind) {
    case SettingKind::kSection:
      return kSectionValueText;
    case SettingKind::kInt:
      return std::to_string(std::get<int32_t>(value));
    case SettingKind::kBool:
      return YesNoText(std::get<bool>(value));
    case SettingKind::kReal:
      return RealToText(std::get<double>(value), separator);
    case SettingKind::kColor:
      return ColorText(std::get<Color>(value));
    case SettingKind::kText:
      return std::get<std::string>(value);
    case SettingKind::kFlags8:
      return Flags8Text(std::get<Flags8>(value));
  }
  return {};
}

std::string RowValueText(const SettingRow& row, const Settings& s, std::string_view separator) {
  if (row.kind == SettingKind::kSection) return kSectionValueText;
  return ValueText(row, row.get(s), separator);
}

std::optional<SettingValue> ParseRowText(const SettingRow& row, std::string_view text,
                                         std::string_view separator) {
  switch (row.kind) {
    case SettingKind::kSection:
      return std::nullopt;
    case SettingKind::kInt: {
      const std::optional<int64_t> v = ParseWholeNumber(text);
      if (!v || !InRange(row, static_cast<double>(*v))) return std::nullopt;
      return static_cast<int32_t>(*v);
    }
    case SettingKind::kBool:
      if (const std::optional<bool> v = ParseYesNo(text, separator)) return *v;
      return std::nullopt;
    case SettingKind::kReal: {
      const std::optional<double> v = ParseReal(text, separator);
      if (!v || !InRange(row, *v)) return std::nullopt;
      return *v;
    }
    case SettingKind::kColor:
      if (const std::optional<Color> v = ParseColor(text)) return *v;
      return std::nullopt;
    case SettingKind::kText:
      return std::string(text);
    case SettingKind::kFlags8:
      if (const std::optional<Flags8> v = ParseFlags8(text)) return *v;
      return std::nullopt;
  }
  return std::nullopt;
}

std::string RowDescription(const SettingRow& row) {
  if (!row.description) return "Пусто.";
  std::string text = row.description;
  if (row.kind == SettingKind::kBool) text += kYesNoNote;
  if (row.kind == SettingKind::kColor && NamesTheColorDialog(row)) text += kColorNote;
  return text;
}

bool AsksForSystemFont(std::string_view text) {
  const std::string folded = FoldForComparison(TrimBlanks(text));
  return folded == FoldForComparison("системный") || folded == FoldForComparison("system");
}

std::vector<std::pair<int, std::string>> FontCellTexts(const FontCells& font) {
  return {
      {FineSettingRowOf("TextFont"), font.name},
      {FineSettingRowOf("TextSize"), std::to_string(font.height)},
      {FineSettingRowOf("Italic"), YesNoText(font.italic)},
      {FineSettingRowOf("Bold"), YesNoText(font.bold)},
      {FineSettingRowOf("Underlined"), YesNoText(font.underlined)},
      {FineSettingRowOf("Strikeout"), YesNoText(font.strikeout)},
  };
}

std::span<const SettingRow> FineSettingRows() {
  static const std::vector<SettingRow> rows = [] {
    std::vector<SettingRow> inTable;
    for (const SettingField& f : SettingsSchema())
      if (f.inTable) inTable.push_back(f);
    return inTable;
  }();
  return rows;
}

FineSettingsEffects EffectsOfChange(const Settings& a, const Settings& b) {
  FineSettingsEffects e;
  for (const SettingField& f : SettingsSchema()) {
    if (f.effects == 0) continue;
    const SettingValue before = f.get(a), after = f.get(b);
    const bool changed = before != after;
    // A difference below what the table shows does not move a pixel.
    const bool shows = f.kind == SettingKind::kReal
                           ? RealChanged(std::get<double>(before), std::get<double>(after))
                           : changed;
    e.relayout |= (f.effects & kRelayout) && shows;
    e.recentLength |= (f.effects & kRecentLength) && changed;
    e.minimalShortcut |= (f.effects & kMinimalShortcut) && changed;
    e.hexLineWidths |= (f.effects & kHexLineWidths) && changed;
    e.dataWindow |= (f.effects & kDataWindow) && changed;
  }
  return e;
}

}  // namespace prambus
