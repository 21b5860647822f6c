// The fine-settings table without a window: the rows, the texts of the six
// kinds and back, ranges, descriptions, the effects of a change, the panel's
// line layout and the placement at the pointer.
#include "shell/fine_settings.h"

#include <gtest/gtest.h>

#include <limits>

#include "settings/data_file.h"
#include "shell/description_layout.h"
#include "shell/window_layout.h"
#include "support/temp_dir.h"
#include "support/test_canvas.h"
#include "text/cp1251.h"

namespace prambus {
namespace {

const SettingRow& RowOf(const char* key) {
  const int i = FineSettingRowOf(key);
  EXPECT_GE(i, 0) << key;
  return FineSettingRows()[static_cast<size_t>(i)];
}

// Accepted (true) or refused (false), and the value's text when accepted.
std::optional<std::string> Read(const char* key, std::string_view text,
                                std::string_view separator = ",") {
  const SettingRow& row = RowOf(key);
  const std::optional<SettingValue> v = ParseRowText(row, text, separator);
  if (!v) return std::nullopt;
  return ValueText(row, *v, separator);
}

TEST(FineSettingRows, WholeNumbersKeepTheirRanges) {
  EXPECT_EQ(Read("MaxUndoLen", "0"), std::nullopt);
  EXPECT_EQ(Read("MaxUndoLen", "1"), "1");
  EXPECT_EQ(Read("MaxUndoLen", "2147483646"), "2147483646");
  EXPECT_EQ(Read("MaxUndoLen", "2147483647"), std::nullopt);
  EXPECT_EQ(Read("MaxUndoLen", "$FF"), "255");
  EXPECT_EQ(Read("MaxUndoLen", "$ff"), "255");
  EXPECT_EQ(Read("MaxUndoLen", " 12\t"), "12");
  EXPECT_EQ(Read("OtstupX", "-5"), "-5");
  EXPECT_EQ(Read("OtstupX", "-$10"), "-16");
  EXPECT_EQ(Read("OtstupY", "-100"), "-100");
  EXPECT_EQ(Read("OtstupY", "-101"), std::nullopt);
  EXPECT_EQ(Read("TextBaseSyst", "37"), std::nullopt);
  EXPECT_EQ(Read("TextBaseSyst", "1"), std::nullopt);
  EXPECT_EQ(Read("TextBaseSyst", "2"), "2");
  EXPECT_EQ(Read("TextBaseSyst", "36"), "36");
  EXPECT_EQ(Read("MaxRecentListLen", "100"), std::nullopt);
  EXPECT_EQ(Read("TextSize", "-299"), "-299");
  EXPECT_EQ(Read("TextSize", "300"), std::nullopt);
  EXPECT_EQ(Read("MaxTextWidth", "0"), "0");
  // Message box sizes end where data.dat's reading ends them.
  EXPECT_EQ(Read("HButtonMargin", "100000"), "100000");
  EXPECT_EQ(Read("HButtonMargin", "100001"), std::nullopt);
  for (const char* bad : {"", "$", "-", "+", "1.5", "1,5", "1e3", "0x10", "12a", "$G", "1:", "$1@",
                          "99999999999999999999", "$FFFFFFFFFFFFFFFFFF", "١٢"})
    EXPECT_EQ(Read("MaxUndoLen", bad), std::nullopt) << bad;
}

TEST(FineSettingRows, YesNoTakesNumbersAndWordsInAnyCase) {
  for (const char* yes : {"да", "ДА", "Правда", "true", "Так", "2", "-1", "0,5", " Да "})
    EXPECT_EQ(Read("ExitOnEsc", yes), "True") << yes;
  for (const char* no : {"нет", "Ложь", "FALSE", "Неправда", "не", "0", "0,0", "-0"})
    EXPECT_EQ(Read("ExitOnEsc", no), "False") << no;
  for (const char* bad : {"может", "", "yes", "Да!", "0.0", "1e400"})
    EXPECT_EQ(Read("ExitOnEsc", bad), std::nullopt) << bad;
  // With a decimal point as the user's separator, "0.0" is the number.
  EXPECT_EQ(Read("ExitOnEsc", "0.0", "."), "False");
  EXPECT_EQ(Read("ExitOnEsc", "0,0", "."), std::nullopt);
}

TEST(FineSettingRows, RealsUseOnlyTheUsersSeparator) {
  EXPECT_EQ(Read("HDistance", "0,75"), "0,75");
  EXPECT_EQ(Read("HDistance", "0.75"), std::nullopt);
  EXPECT_EQ(Read("HDistance", "0.75", "."), "0.75");
  EXPECT_EQ(Read("HDistance", "0,75", "."), std::nullopt);
  EXPECT_EQ(Read("HDistance", "-2,5E1"), "-25");
  EXPECT_EQ(Read("HDistance", "+,5"), "0,5");
  EXPECT_EQ(Read("LeftMargin", "1e-5", "."), "1E-5");
  EXPECT_EQ(Read("LeftMargin", "1e5", "."), "100000");
  EXPECT_EQ(RealToText(1e20, "."), "1E20");
  EXPECT_EQ(RealToText(123456789012345678.0, ","), "1,23456789012346E17");
  EXPECT_EQ(RealToText(-0.0, ","), "0");
  // Fifteen significant digits are kept, exactly as shown.
  const std::optional<double> v = ParseReal("0.1234567890123456789", ".");
  ASSERT_TRUE(v);
  EXPECT_EQ(*v, 0.123456789012346);
  EXPECT_EQ(Read("Distance", "-0,5"), "-0,5");
  EXPECT_EQ(Read("Distance", "-0,6"), std::nullopt);
  for (const char* bad : {"", ",", "-", "1e400", "inf", "nan", "INFINITY", "1,2,3", "1e", "0x1p3",
                          "1 000", "--1", "+-1", "1e7"})
    EXPECT_EQ(Read("LineWidth", bad), std::nullopt) << bad;
}

TEST(FineSettingRows, ColoursByNumberOrEitherName) {
  for (const char* blue :
       {"Drak blue", "Dark blue", "тёмно-синий", "ТЕМНО-СИНИЙ", "$800000", "8388608"})
    EXPECT_EQ(Read("CoordColor", blue), "Тёмно-синий") << blue;
  EXPECT_EQ(Read("CoordColor", "$0000FF"), "Красный");
  EXPECT_EQ(Read("CoordColor", "$123456"), "$123456");
  EXPECT_EQ(Read("CoordColor", "1"), "$000001");
  EXPECT_EQ(Read("CoordColor", "light GRAY"), "Светло-серый");
  EXPECT_EQ(Read("CoordColor", "Зеленый"), "Зелёный");
  for (const char* bad : {"$1000000", "-1", "Бирюзовый", "", "$"})
    EXPECT_EQ(Read("CoordColor", bad), std::nullopt) << bad;
  // Every name reads back as its own colour.
  for (const NamedColor& c : kNamedColors) {
    EXPECT_EQ(ParseColor(c.russian), c.value);
    EXPECT_EQ(ParseColor(c.english), c.value);
  }
}

TEST(FineSettingRows, FlagsTextsAndSections) {
  EXPECT_EQ(Read("CodeInfo", "11110000"), "11110000");
  EXPECT_EQ(Read("CodeInfo", "1111000"), std::nullopt);
  EXPECT_EQ(Read("CodeInfo", "11110020"), std::nullopt);
  EXPECT_EQ(Read("CodeInfo", "111100001"), std::nullopt);
  const std::string longName(10000, 'x');
  EXPECT_EQ(Read("TextFont", longName), longName);
  EXPECT_EQ(Read("TextFont", std::string("a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(Read("TextFont", ""), "");
  const SettingRow& section = FineSettingRows()[0];
  EXPECT_EQ(section.kind, SettingKind::kSection);
  EXPECT_EQ(ParseRowText(section, kSectionValueText, ","), std::nullopt);
  EXPECT_EQ(RowValueText(section, Settings{}, ","), kSectionValueText);
}

TEST(FineSettingRows, StoreIntoTheirPlacesInTheRecord) {
  Settings s;
  auto store = [&s](const char* key, const char* text) {
    const SettingRow& row = RowOf(key);
    row.set(s, *ParseRowText(row, text, ","));
  };
  store("Bold", "Да");
  store("Strikeout", "1");
  EXPECT_EQ(s.TextStyle, kStyleBold | kStyleStrikeOut);
  store("Bold", "Нет");
  EXPECT_EQ(s.TextStyle, kStyleStrikeOut);
  store("Shag", "50");
  EXPECT_EQ(s.ShagSaved, 50);
  EXPECT_EQ(s.Shag, 10000);  // the running program keeps its block size
  store("CutOnCtrl+Del", "True");
  EXPECT_TRUE(s.CutOnCtrlDel);
  store("CodeInfo", "10000001");
  EXPECT_EQ(s.CodeInfo, (Flags8{true, false, false, false, false, false, false, true}));
}

TEST(FineSettingRows, DescriptionsAddTheKindsSentences) {
  EXPECT_EQ(RowDescription(FineSettingRows()[0]), "Пусто.");
  EXPECT_EQ(RowDescription(RowOf("ExitOnEsc")),
            "Указывает, будет ли закрываться Прамбус при нажатии на Esc.\n\rУстановить этот "
            "параметр можно и цифрами: 1=Да, 0=Нет. Двойной щелчок по полю меняет его значение на "
            "противоположное.");
  EXPECT_EQ(RowDescription(RowOf("ChosenTextClr")),
            "Цвет выделенного текста.\n\rДважды щёлкнув по этому полю, вы попадёте в диалоговое "
            "окно выбора цветов.");
  EXPECT_EQ(RowDescription(RowOf("LineColor")),
            "Цвет линии, отделяющей координаты от области кодов.");
  EXPECT_EQ(RowDescription(RowOf("TextBaseSyst")),
            "Система счисления, в которой записываются коды символов файла.\n\rЭтот параметр "
            "должен быть целым числом от 2 до 36.");
  for (const SettingRow& r : FineSettingRows()) {
    const std::string d = RowDescription(r);
    EXPECT_EQ(Cp1251ToUtf8(Utf8ToCp1251(d)), d) << r.key;  // drawable as 8-bit text
    EXPECT_EQ(d.find("Верилон"), std::string::npos);
  }
}

TEST(FineSettingRows, SystemFontWordAndFontCells) {
  for (const char* w : {"системный", "СИСТЕМНЫЙ", "System", "SYSTEM", " system "})
    EXPECT_TRUE(AsksForSystemFont(w)) << w;
  for (const char* w : {"systems", "Системная", "", "Arial"}) EXPECT_FALSE(AsksForSystemFont(w));
  const auto cells = FontCellTexts({"DejaVu Sans", -13, true, false, true, false});
  std::vector<std::string> keys, texts;
  for (const auto& [row, text] : cells) {
    keys.push_back(FineSettingRows()[static_cast<size_t>(row)].key);
    texts.push_back(text);
  }
  EXPECT_EQ(keys, (std::vector<std::string>{"TextFont", "TextSize", "Italic", "Bold", "Underlined",
                                            "Strikeout"}));
  EXPECT_EQ(texts,
            (std::vector<std::string>{"DejaVu Sans", "-13", "True", "False", "True", "False"}));
}

TEST(FineSettingsEffects, RelayoutOnlyForLayoutValues) {
  const Settings a;
  auto changed = [&a](auto edit) {
    Settings b = a;
    edit(b);
    return EffectsOfChange(a, b);
  };
  EXPECT_FALSE(changed([](Settings&) {}).relayout);
  EXPECT_TRUE(changed([](Settings& s) { s.OtstupY = 3; }).relayout);
  EXPECT_TRUE(changed([](Settings& s) { s.ChosenFonClr = 1; }).relayout);
  EXPECT_TRUE(changed([](Settings& s) { s.FirstZeroes = false; }).relayout);
  EXPECT_TRUE(changed([](Settings& s) { s.CodeInfo[7] = false; }).relayout);
  EXPECT_TRUE(changed([](Settings& s) { s.Distance = 0.00011; }).relayout);
  EXPECT_FALSE(changed([](Settings& s) { s.Distance = 0.0001; }).relayout);
  EXPECT_FALSE(changed([](Settings& s) { s.HDistance += 0.00005; }).relayout);
  EXPECT_FALSE(changed([](Settings& s) { s.MaxUndoLen = 5; }).relayout);
  EXPECT_FALSE(changed([](Settings& s) { s.TextColor = 5; }).relayout);
  const FineSettingsEffects e = changed([](Settings& s) {
    s.MaxRecentListLen = 9;
    s.SaveOnF2 = true;
    s.MarginWidth = 1;
    s.CodeInfo[0] = true;
  });
  EXPECT_TRUE(e.recentLength && e.minimalShortcut && e.hexLineWidths && e.dataWindow);
}

// Every value the table accepts at the ends of a range is read back from
// data.dat as it was written.
TEST(FineSettingRows, RangeEndsSurviveARestart) {
  for (bool low : {true, false}) {
    Settings s;
    for (const SettingRow& r : FineSettingRows()) {
      if (r.kind == SettingKind::kInt) r.set(s, static_cast<int32_t>(low ? r.min : r.max));
      if (r.kind == SettingKind::kReal) r.set(s, low ? r.min : r.max);
    }
    TempDir dir;
    StoredState state;
    state.recent.resize(static_cast<size_t>(s.MaxRecentListLen));
    ASSERT_TRUE(WriteDataFile(dir.File("data.dat"), state, s));
    Settings back;
    StoredState stateBack;
    ASSERT_TRUE(ReadDataFile(dir.File("data.dat"), stateBack, back));
    for (const SettingRow& r : FineSettingRows()) {
      if (!r.get) continue;
      EXPECT_EQ(r.get(back), r.get(s)) << r.key << (low ? " low" : " high");
    }
  }
}

// What the table would refuse is read from data.dat as the row's default.
TEST(FineSettingRows, ValuesBeyondARangeAreReadAsTheDefault) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (int side : {-1, 1, 0}) {
    Settings s;
    for (const SettingRow& r : FineSettingRows()) {
      if (r.kind == SettingKind::kInt)
        r.set(s, static_cast<int32_t>(side == 0 ? INT32_MIN : side < 0 ? r.min - 1 : r.max + 1));
      if (r.kind == SettingKind::kReal)
        r.set(s, side == 0 ? nan : side < 0 ? r.min - 1 : r.max + 1);
      if (r.kind == SettingKind::kColor) r.set(s, Color{side == 0 ? 0xFFFFFFFFu : 0x1000000u});
    }
    TempDir dir;
    StoredState state;
    state.recent.resize(5);
    ASSERT_TRUE(WriteDataFile(dir.File("data.dat"), state, s));
    Settings back;
    StoredState stateBack;
    ASSERT_TRUE(ReadDataFile(dir.File("data.dat"), stateBack, back));
    const Settings defaults;
    for (const SettingRow& r : FineSettingRows()) {
      if (r.kind == SettingKind::kInt || r.kind == SettingKind::kReal ||
          r.kind == SettingKind::kColor) {
        EXPECT_EQ(r.get(back), r.get(defaults)) << r.key << " side " << side;
      }
    }
    EXPECT_EQ(back.Shag, defaults.Shag);  // the block size in effect too
  }
}

TEST(DescriptionPanel, LinesCentredVerticallyAndCutAtTheBottom) {
  TestCanvas canvas;  // 8 x 16 pixels a character
  // 13 characters a line: width 110 - 3 = 107 holds 13 of them.
  const Rect r{10, 20, 120, 120};
  PanelLayout layout = LayOutDescription(canvas, "one two three four\n\rfive", r);
  std::vector<PanelLine>& lines = layout.lines;
  EXPECT_FALSE(layout.clipped);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].text, "one two three");
  EXPECT_EQ(lines[1].text, "four");
  EXPECT_EQ(lines[2].text, "five");
  // Three lines of 17 pixels from 21: the next would start at 72; the block
  // starts at 20 + (120 - 72 + 2) / 2 = 45.
  EXPECT_EQ(lines[0].y, 45);
  EXPECT_EQ(lines[1].y, 62);
  EXPECT_EQ(lines[0].x, 11);
  // An empty line between two breaks; lines reaching the bottom are dropped.
  layout = LayOutDescription(canvas, "a\r\n\r\nb\nc\nd\ne\nf\ng", {0, 0, 100, 100});
  EXPECT_TRUE(layout.clipped);
  std::vector<std::string> texts;
  for (const PanelLine& l : lines) texts.push_back(l.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"a", "", "b", "c", "d"}));  // 6 * 17 + 1 reaches 100
  // A line fits while one pixel is left below it: "e" (86 to 102) fits above
  // 104, not above 103.
  EXPECT_EQ(LayOutDescription(canvas, "a\r\n\r\nb\nc\nd\ne\nf\ng", {0, 0, 100, 104}).lines.size(),
            6u);
  EXPECT_EQ(LayOutDescription(canvas, "a\r\n\r\nb\nc\nd\ne\nf\ng", {0, 0, 100, 103}).lines.size(),
            5u);
  // A panel narrower than a character still moves through the text.
  layout = LayOutDescription(canvas, "abc", {0, 0, 4, 100});
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_TRUE(LayOutDescription(canvas, "", r).lines.empty());
}

// Margins anywhere in OtstupX's range give a surface with halved margins.
TEST(SurfaceLayoutMargins, TheLargestAcceptedMarginsShrinkToHalfTheWidth) {
  const SurfaceLayout l = ComputeSurfaceLayout(800, 600, 22, 22, 20, 2147483646, 2147483646);
  EXPECT_EQ(l.width, 778);
  EXPECT_EQ(l.effX, 389);
  EXPECT_EQ(l.height, 558);
  EXPECT_EQ(l.effY, 279);
  const SurfaceLayout n = ComputeSurfaceLayout(800, 600, 22, 22, 20, -100, 5);
  EXPECT_EQ(n.effX, -100);
  EXPECT_EQ(n.effY, 5);
  // A window smaller than its bars: an empty surface, margins halved and
  // rounded down, so a negative odd size gives -1, not 0.
  const SurfaceLayout tiny = ComputeSurfaceLayout(21, 41, 22, 22, 20, 5, 5);
  EXPECT_EQ(tiny.width, 0);
  EXPECT_EQ(tiny.height, 0);
  EXPECT_EQ(tiny.effX, -1);
  EXPECT_EQ(tiny.effY, -1);
  const SurfaceLayout small = ComputeSurfaceLayout(25, 45, 22, 22, 20, 5, 5);
  EXPECT_EQ(small.effX, 1);
  EXPECT_EQ(small.effY, 1);
}

TEST(PointerPlacement, KeptOnThePointersScreen) {
  const Rect second{1920, 0, 3200, 1000};  // a screen right of the primary one
  EXPECT_EQ(PlaceAtPointer({2500, 100}, 600, 400, second), (Point{2200, 100}));
  EXPECT_EQ(PlaceAtPointer({1950, 100}, 600, 400, second), (Point{1920, 100}));
  EXPECT_EQ(PlaceAtPointer({3190, 100}, 600, 400, second), (Point{2600, 100}));
  // Too low: it opens above the pointer; too tall for either: at the top.
  EXPECT_EQ(PlaceAtPointer({2500, 900}, 600, 400, second), (Point{2200, 500}));
  EXPECT_EQ(PlaceAtPointer({2500, 300}, 600, 1400, second), (Point{2200, 0}));
}

}  // namespace
}  // namespace prambus
