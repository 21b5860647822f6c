// The settings schema: every stored field of the settings record with its
// place in data.dat, range, fine-settings row and effects.
#include "settings/settings_schema.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>
#include <utility>

#include "settings/hex_columns.h"
#include "settings/stored_bounds.h"

namespace prambus {

namespace {

template <auto Member>
using MemberType = std::remove_cvref_t<decltype(std::declval<Settings&>().*Member)>;

template <auto Member>
SettingValue Get(const Settings& s) {
  return s.*Member;
}

template <auto Member>
void Set(Settings& s, const SettingValue& v) {
  s.*Member = std::get<MemberType<Member>>(v);
}

template <typename T>
constexpr SettingKind KindOf() {
  if constexpr (std::is_same_v<T, int32_t>) return SettingKind::kInt;
  if constexpr (std::is_same_v<T, bool>) return SettingKind::kBool;
  if constexpr (std::is_same_v<T, double>) return SettingKind::kReal;
  if constexpr (std::is_same_v<T, Color>) return SettingKind::kColor;
  if constexpr (std::is_same_v<T, std::string>) return SettingKind::kText;
  if constexpr (std::is_same_v<T, Flags8>) return SettingKind::kFlags8;
}

// A field of the record with a row in the table; min and max matter for
// numbers only.
template <auto Member>
constexpr SettingField Row(const char* key, int slot, const char* description, double min = 0,
                           double max = 0, uint8_t effects = 0) {
  return {key,         KindOf<MemberType<Member>>(), slot,    true,        min,
          max,         OutOfRange::kDefault,         effects, description, &Get<Member>,
          &Set<Member>};
}

// A field data.dat keeps that the table does not show.
template <auto Member>
constexpr SettingField Kept(const char* name, int slot, double min = 0, double max = 0,
                            OutOfRange outOfRange = OutOfRange::kDefault) {
  return {name,        KindOf<MemberType<Member>>(),
          slot,        false,
          min,         max,
          outOfRange,  0,
          nullptr,     &Get<Member>,
          &Set<Member>};
}

template <uint8_t Bit>
SettingValue GetStyle(const Settings& s) {
  return (s.TextStyle & Bit) != 0;
}

template <uint8_t Bit>
void SetStyle(Settings& s, const SettingValue& v) {
  s.TextStyle = static_cast<uint8_t>(std::get<bool>(v) ? s.TextStyle | Bit : s.TextStyle & ~Bit);
}

// One bit of the message font's style, a yes/no row and a yes/no in the file.
template <uint8_t Bit>
constexpr SettingField StyleRow(const char* key, int slot, const char* description) {
  return {key, SettingKind::kBool, slot,           true,          0, 0, OutOfRange::kDefault,
          0,   description,        &GetStyle<Bit>, &SetStyle<Bit>};
}

constexpr SettingField Section(const char* name) {
  return {name, SettingKind::kSection};
}

// The running program keeps the block size it started with; the table and
// data.dat hold the copy for the next start.
SettingValue GetShag(const Settings& s) {
  return s.ShagSaved;
}
void SetShag(Settings& s, const SettingValue& v) {
  s.ShagSaved = std::get<int32_t>(v);
}

// The three line-end styles the menu stores; anything else is CR.
void SetLineEnd(Settings& s, const SettingValue& v) {
  const std::string& text = std::get<std::string>(v);
  s.LineEnd = text == "\r\n" || text == "\n" ? text : std::string("\r");
}

constexpr double kIntMax = 2147483646;
// A margin below zero puts the text partly outside the window and widens the
// view by twice as much; beyond this the view would paint thousands of rows
// nobody sees.
constexpr double kMarginMin = -100;
// Pixel sizes of the message box: the limit data.dat is read with, far
// beyond any screen, that keeps the box's arithmetic in range.
constexpr double kPixelsMax = 100000;
// Reals "of any size" stop where the pixels they turn into still fit an int.
constexpr double kRealMax = 1e6;
// Spacings, line widths and page steps of the views multiply the rows and
// columns of a whole document: beyond these its pixel sizes would not fit an
// int. A page step backwards would take Page Down before the first row.
constexpr double kSpacingMax = 10;
constexpr double kViewRealMax = 100;

#define AUTO_STYLE \
  " Если в поле TextFont вы указали \"системный\", то этот параметр установится автоматически"

// The number after each key is the field's place among the settings
// data.dat holds: stored files depend on it, so a place is never given to
// another field, and a new field takes the next number.
const SettingField kFields[] = {
    Section("ОБЩИЕ"),
    Row<&Settings::MaxUndoLen>(
        "MaxUndoLen", 0,
        "Максимальное число байт, которое может занимать буфер произведённых "
        "действий (чтобы можно было воспользоваться отменой).",
        1, kIntMax),
    Row<&Settings::OtstupX>("OtstupX", 1, "Расстояние от границы окна до текста по горизонтали.",
                            kMarginMin, kIntMax, kRelayout),
    Row<&Settings::OtstupY>("OtstupY", 2, "Расстояние от границы окна до текста по вертикали.",
                            kMarginMin, kIntMax, kRelayout),
    Row<&Settings::MaxRecentListLen>(
        "MaxRecentListLen", 28,
        "Максимальная длина списка файлов, недавно открытых Прамбусом. Файл из этого списка можно "
        "снова открыть, щёлкнув по его имени в меню \"Файл\".",
        1, 99, kRecentLength),
    Row<&Settings::RecListinSubMenu>(
        "RecListinSubMenu", 51,
        "Указывает, будет ли список последних открытых файлов располагаться в отдельном подменю."),
    Row<&Settings::RememberCurPos>("RememberCurPos", 31,
                                   "Указывает, будет ли запоминаться положение курсора в файлах из "
                                   "списка последних открытых Прамбусом файлов."),
    Row<&Settings::ExitOnEsc>("ExitOnEsc", 33,
                              "Указывает, будет ли закрываться Прамбус при нажатии на Esc."),
    Row<&Settings::SaveOnF2>(
        "SaveOnF2", 34,
        "Указывает, будет ли документ сохраняться при нажатии на F2. Если указано \"Да\", то режим "
        "\"Всё лишнее убрано\" включается и выключается клавишей F12.",
        0, 0, kMinimalShortcut),
    Row<&Settings::CutOnCtrlDel>(
        "CutOnCtrl+Del", 53,
        "Указывает, будет ли Ctrl+Del вырезать выделенный текст. Если указано \"Нет\", то Ctrl+Del "
        "удаляет слово после курсора."),
    Row<&Settings::TrySaveReadOnly>("TrySaveReadOnly", 48,
                                    "Указывает, будет ли программа пытаться сохранить документ, "
                                    "помеченный как readonly (только для чтения)."),
    Row<&Settings::ReloadChangedFiles>(
        "ReloadChangedFiles", 54,
        "Указывает, будет ли документ без несохранённых изменений загружаться заново без вопроса, "
        "когда его файл изменила другая программа."),
    Row<&Settings::DetectEncoding>(
        "DetectEncoding", 55,
        "Указывает, будет ли Прамбус угадывать кодировку открываемого файла по его первым байтам. "
        "Если указано \"Нет\", файл открывается в той кодировке, что была выбрана последней."),
    Section("ПЕЧАТЬ"),
    Row<&Settings::LeftMargin>("LeftMargin", 3,
                               "Отступ текста при печати слева от края листа (в сантиметрах).",
                               -kRealMax, kRealMax),
    Row<&Settings::RightMargin>("RightMargin", 4,
                                "Отступ текста при печати справа от края листа (в сантиметрах).",
                                -kRealMax, kRealMax),
    Row<&Settings::TopMargin>("TopMargin", 5,
                              "Отступ текста при печати сверху (в сантиметрах). Отсчитывается вниз "
                              "от того места, с которого принтер начинает печатать.",
                              -kRealMax, kRealMax),
    Row<&Settings::BottomMargin>("BottomMargin", 6,
                                 "Отступ текста при печати снизу (в сантиметрах). Отсчитывается "
                                 "вверх от того места, на котором принтер заканчивает печатать.",
                                 -kRealMax, kRealMax),
    Row<&Settings::NumPages>("NumPages", 7, "Указывает, будут ли печататься номера страниц."),
    Section("ДИАЛОГОВЫЕ ОКНА"),
    Row<&Settings::HButtonMargin>(
        "HButtonMargin", 8,
        "Расстояние по горизонтали от границы кнопки до текста, написанного на кнопке.", 1,
        kPixelsMax),
    Row<&Settings::VButtonMargin>(
        "VButtonMargin", 9,
        "Расстояние по вертикали от границы кнопки до текста, написанного на кнопке.", 1,
        kPixelsMax),
    Row<&Settings::MaxButtonsinRow>("MaxButtonsinRow", 10,
                                    "Максимальное число кнопок в одном ряду. Если число кнопок "
                                    "окажется больше, то кнопки будут выведены в несколько рядов.",
                                    1, 99),
    Row<&Settings::HSpaceBetween>("HSpaceBetween", 11, "Горизонтальное расстояние между кнопками.",
                                  1, kPixelsMax),
    Row<&Settings::MarginforButton>("MarginforButton", 12,
                                    "Горизонтальное расстояние от кнопки до границы окна.", 1,
                                    kPixelsMax),
    Row<&Settings::VSpaceBetween>("VSpaceBetween", 13,
                                  "Расстояние по вертикали между кнопками, если вдруг кнопки будут "
                                  "расположены в несколько рядов.",
                                  1, kPixelsMax),
    Row<&Settings::MarginforText>(
        "MarginforText", 14, "Расстояние от текста до границы диалогового окна.", 1, kPixelsMax),
    Row<&Settings::TextColor>("TextColor", 15, "Цвет текста сообщения."),
    Row<&Settings::TextFont>(
        "TextFont", 16,
        "Название шрифта, которым пишутся сообщения. Двойной щелчок по полю открывает список "
        "шрифтов. Если указать \"системный\", то будет взят шрифт, которым пишет свои сообщения "
        "система."),
    Row<&Settings::TextSize>("TextSize", 17, "Размер символов в сообщении." AUTO_STYLE, -299, 299),
    StyleRow<kStyleItalic>("Italic", 18,
                           "Указывает, будут ли символы в сообщении написаны курсивом." AUTO_STYLE),
    StyleRow<kStyleBold>("Bold", 19,
                         "Указывает, будут ли символы в сообщении написаны жирно." AUTO_STYLE),
    StyleRow<kStyleUnderline>("Underlined", 20,
                              "Указывает, будут ли символы в сообщении подчёркнуты." AUTO_STYLE),
    StyleRow<kStyleStrikeOut>("Strikeout", 21,
                              "Указывает, будут ли символы в сообщении зачёркнуты." AUTO_STYLE),
    Section("ОБЛАСТЬ ПРОСМОТРА"),
    {"Shag", SettingKind::kInt, 24, true, 1, kIntMax, OutOfRange::kDefault, 0,
     "Число элементов, на которое сразу растут динамические массивы программы. Чем больше это "
     "число, тем быстрее работа, но тем больше расходуется памяти. Новое значение вступит в силу "
     "при следующем запуске программы.",
     &GetShag, &SetShag},
    Row<&Settings::HScrollStep>("HScrollStep", 25,
                                "На сколько символов произойдёт скроллинг, если курсор выйдет за "
                                "границы экрана по горизонтали.",
                                1, kIntMax),
    Row<&Settings::VScrollStep>("VScrollStep", 26,
                                "На сколько символов произойдёт скроллинг, если курсор выйдет за "
                                "границы экрана по вертикали.",
                                1, kIntMax),
    Row<&Settings::Distance>("Distance", 27,
                             "Расстояние между строками текста по отношению к высоте строки: 0 — "
                             "строки идут вплотную, 1 — одинарный интервал.",
                             -0.5, kSpacingMax, kRelayout),
    Row<&Settings::ChosenTextClr>("ChosenTextClr", 49, "Цвет выделенного текста.", 0, 0, kRelayout),
    Row<&Settings::ChosenFonClr>("ChosenFonClr", 50, "Цвет фона под выделенным текстом.", 0, 0,
                                 kRelayout),
    Section("ПРОСМОТР ТЕКСТА"),
    Row<&Settings::PageFracture>("PageFracture", 29,
                                 "На какую долю от величины всей страницы будет смещаться курсор "
                                 "при нажатии PgDown и PgUp.",
                                 0, kViewRealMax),
    Row<&Settings::MaxTextWidth>("MaxTextWidth", 30,
                                 "В случае, когда нет переноса по словам, то такой будет "
                                 "максимальная ширина текста (в пикселях).",
                                 0, kIntMax, kRelayout),
    Section("HEX-РЕДАКТОР"),
    Row<&Settings::HDistance>("HDistance", 35,
                              "Расстояние по горизонтали между соседними кодами. За единицу "
                              "принимается ширина нуля.",
                              -kViewRealMax, kViewRealMax, kRelayout),
    Row<&Settings::TextBaseSyst>("TextBaseSyst", 36,
                                 "Система счисления, в которой записываются коды символов файла."
                                 "\n\rЭтот параметр должен быть целым числом от 2 до 36.",
                                 2, 36, kRelayout),
    Row<&Settings::CoordBaseSyst>("CoordBaseSyst", 37,
                                  "Система счисления, в которой записываются координаты кодов."
                                  "\n\rЭтот параметр должен быть целым числом от 2 до 36.",
                                  2, 36, kRelayout),
    Row<&Settings::CoordColor>("CoordColor", 39,
                               "Цвет координат. Остальные свойства их шрифта те же, что и у кодов, "
                               "и задаются в меню \"Формат / Шрифт\".",
                               0, 0, kRelayout),
    Row<&Settings::FirstZeroes>(
        "FirstZeroes", 40, "Указывает, будут ли выводиться первые нули у кодов.", 0, 0, kRelayout),
    Row<&Settings::LineColor>(
        "LineColor", 41, "Цвет линии, отделяющей координаты от области кодов.", 0, 0, kRelayout),
    Row<&Settings::LineWidth>(
        "LineWidth", 46,
        "Толщина линии, отделяющей координаты от области кодов.\n\rИзмеряется "
        "в мм.",
        -kViewRealMax, kViewRealMax, kRelayout | kHexLineWidths),
    Row<&Settings::MarginColor>(
        "MarginColor", 42,
        "Цвет линии, разделяющей область кодов и область задаваемых ими символов.", 0, 0,
        kRelayout),
    Row<&Settings::MarginWidth>("MarginWidth", 47,
                                "Толщина линии, разделяющей область кодов и область задаваемых ими "
                                "символов.\n\rИзмеряется в мм.",
                                -kViewRealMax, kViewRealMax, kRelayout | kHexLineWidths),
    Row<&Settings::CodeInfo>(
        "CodeInfo", 43,
        "Какие строки показывает окно \"Расшифровка данных\": по одному символу на строку, 1 — "
        "строка показана, 0 — скрыта. Строки по порядку: 8 бит (+), 8 бит (±), 16 бит (+), 16 бит "
        "(±), 32 бита (+), 32 бита (±), 64 бита (±), double.",
        0, 0, kRelayout | kDataWindow),

    // Kept in data.dat without a row: what the window's commands and its
    // tool windows remember.
    Kept<&Settings::MinRestoredWidth>("MinRestoredWidth", 22, 0, kMaxWindowCoordinate,
                                      OutOfRange::kNearestEnd),
    Kept<&Settings::MinRestoredHeight>("MinRestoredHeight", 23, 0, kMaxWindowCoordinate,
                                       OutOfRange::kNearestEnd),
    {"LineEnd", SettingKind::kText, 32, false, 0, 0, OutOfRange::kDefault, 0, nullptr,
     &Get<&Settings::LineEnd>, &SetLineEnd},
    Kept<&Settings::HexColumns>("HexColumns", 38, kMinHexColumns, kMaxHexColumns),
    Kept<&Settings::DataWindowLeft>("DataWindowLeft", 44, -kMaxWindowCoordinate,
                                    kMaxWindowCoordinate, OutOfRange::kNearestEnd),
    Kept<&Settings::DataWindowTop>("DataWindowTop", 45, -kMaxWindowCoordinate, kMaxWindowCoordinate,
                                   OutOfRange::kNearestEnd),
    Kept<&Settings::MinimalModeWarning>("MinimalModeWarning", 52),
};

#undef AUTO_STYLE

}  // namespace

std::span<const SettingField> SettingsSchema() {
  return kFields;
}

std::span<const SettingField* const> StoredFieldsInFileOrder() {
  static const auto stored = [] {
    std::array<const SettingField*, std::size(kFields)> byPlace{};
    size_t n = 0;
    for (const SettingField& f : kFields)
      if (f.slot >= 0) byPlace[n++] = &f;
    std::sort(byPlace.begin(), byPlace.begin() + n,
              [](const SettingField* a, const SettingField* b) { return a->slot < b->slot; });
    return std::pair{byPlace, n};
  }();
  return std::span(stored.first.data(), stored.second);
}

const SettingField* StoredFieldOf(const char* key) {
  for (const SettingField& f : kFields)
    if (f.slot >= 0 && std::strcmp(f.key, key) == 0) return &f;
  return nullptr;
}

}  // namespace prambus
