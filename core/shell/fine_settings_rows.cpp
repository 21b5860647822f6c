// The rows of the fine-settings table: keys, kinds, ranges and descriptions.
#include <type_traits>
#include <utility>

#include "shell/fine_settings.h"

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

// A row for a member of the record; min and max matter for numbers only.
template <auto Member>
constexpr SettingRow Row(const char* key, const char* description, double min = 0, double max = 0) {
  return {key, KindOf<MemberType<Member>>(), min, max, description, &Get<Member>, &Set<Member>};
}

template <uint8_t Bit>
SettingValue GetStyle(const Settings& s) {
  return (s.TextStyle & Bit) != 0;
}

template <uint8_t Bit>
void SetStyle(Settings& s, const SettingValue& v) {
  s.TextStyle = static_cast<uint8_t>(std::get<bool>(v) ? s.TextStyle | Bit : s.TextStyle & ~Bit);
}

template <uint8_t Bit>
constexpr SettingRow StyleRow(const char* key, const char* description) {
  return {key, SettingKind::kBool, 0, 0, description, &GetStyle<Bit>, &SetStyle<Bit>};
}

constexpr SettingRow Section(const char* name) {
  return {name, SettingKind::kSection};
}

// The running program keeps the block size it started with; the table edits
// the copy that is saved for the next start.
SettingValue GetShag(const Settings& s) {
  return s.ShagSaved;
}
void SetShag(Settings& s, const SettingValue& v) {
  s.ShagSaved = std::get<int32_t>(v);
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

const SettingRow kRows[] = {
    Section("ОБЩИЕ"),
    Row<&Settings::MaxUndoLen>(
        "MaxUndoLen",
        "Максимальное число байт, которое может занимать буфер произведённых "
        "действий (чтобы можно было воспользоваться отменой).",
        1, kIntMax),
    Row<&Settings::OtstupX>("OtstupX", "Расстояние от границы окна до текста по горизонтали.",
                            kMarginMin, kIntMax),
    Row<&Settings::OtstupY>("OtstupY", "Расстояние от границы окна до текста по вертикали.",
                            kMarginMin, kIntMax),
    Row<&Settings::MaxRecentListLen>(
        "MaxRecentListLen",
        "Максимальная длина списка файлов, недавно открытых Прамбусом. Файл из этого списка можно "
        "снова открыть, щёлкнув по его имени в меню \"Файл\".",
        1, 99),
    Row<&Settings::RecListinSubMenu>(
        "RecListinSubMenu",
        "Указывает, будет ли список последних открытых файлов располагаться в отдельном подменю."),
    Row<&Settings::RememberCurPos>("RememberCurPos",
                                   "Указывает, будет ли запоминаться положение курсора в файлах из "
                                   "списка последних открытых Прамбусом файлов."),
    Row<&Settings::ExitOnEsc>("ExitOnEsc",
                              "Указывает, будет ли закрываться Прамбус при нажатии на Esc."),
    Row<&Settings::SaveOnF2>(
        "SaveOnF2",
        "Указывает, будет ли документ сохраняться при нажатии на F2. Если указано \"Да\", то режим "
        "\"Всё лишнее убрано\" включается и выключается клавишей F12."),
    Row<&Settings::CutOnCtrlDel>(
        "CutOnCtrl+Del",
        "Указывает, будет ли Ctrl+Del вырезать выделенный текст. Если указано \"Нет\", то Ctrl+Del "
        "удаляет слово после курсора."),
    Row<&Settings::TrySaveReadOnly>("TrySaveReadOnly",
                                    "Указывает, будет ли программа пытаться сохранить документ, "
                                    "помеченный как readonly (только для чтения)."),
    Row<&Settings::ReloadChangedFiles>(
        "ReloadChangedFiles",
        "Указывает, будет ли документ без несохранённых изменений загружаться заново без вопроса, "
        "когда его файл изменила другая программа."),
    Row<&Settings::DetectEncoding>(
        "DetectEncoding",
        "Указывает, будет ли Прамбус угадывать кодировку открываемого файла по его первым байтам. "
        "Если указано \"Нет\", файл открывается в той кодировке, что была выбрана последней."),
    Section("ПЕЧАТЬ"),
    Row<&Settings::LeftMargin>("LeftMargin",
                               "Отступ текста при печати слева от края листа (в сантиметрах).",
                               -kRealMax, kRealMax),
    Row<&Settings::RightMargin>("RightMargin",
                                "Отступ текста при печати справа от края листа (в сантиметрах).",
                                -kRealMax, kRealMax),
    Row<&Settings::TopMargin>("TopMargin",
                              "Отступ текста при печати сверху (в сантиметрах). Отсчитывается вниз "
                              "от того места, с которого принтер начинает печатать.",
                              -kRealMax, kRealMax),
    Row<&Settings::BottomMargin>("BottomMargin",
                                 "Отступ текста при печати снизу (в сантиметрах). Отсчитывается "
                                 "вверх от того места, на котором принтер заканчивает печатать.",
                                 -kRealMax, kRealMax),
    Row<&Settings::NumPages>("NumPages", "Указывает, будут ли печататься номера страниц."),
    Section("ДИАЛОГОВЫЕ ОКНА"),
    Row<&Settings::HButtonMargin>(
        "HButtonMargin",
        "Расстояние по горизонтали от границы кнопки до текста, написанного на кнопке.", 1,
        kPixelsMax),
    Row<&Settings::VButtonMargin>(
        "VButtonMargin",
        "Расстояние по вертикали от границы кнопки до текста, написанного на кнопке.", 1,
        kPixelsMax),
    Row<&Settings::MaxButtonsinRow>("MaxButtonsinRow",
                                    "Максимальное число кнопок в одном ряду. Если число кнопок "
                                    "окажется больше, то кнопки будут выведены в несколько рядов.",
                                    1, 99),
    Row<&Settings::HSpaceBetween>("HSpaceBetween", "Горизонтальное расстояние между кнопками.", 1,
                                  kPixelsMax),
    Row<&Settings::MarginforButton>(
        "MarginforButton", "Горизонтальное расстояние от кнопки до границы окна.", 1, kPixelsMax),
    Row<&Settings::VSpaceBetween>("VSpaceBetween",
                                  "Расстояние по вертикали между кнопками, если вдруг кнопки будут "
                                  "расположены в несколько рядов.",
                                  1, kPixelsMax),
    Row<&Settings::MarginforText>(
        "MarginforText", "Расстояние от текста до границы диалогового окна.", 1, kPixelsMax),
    Row<&Settings::TextColor>("TextColor", "Цвет текста сообщения."),
    Row<&Settings::TextFont>(
        "TextFont",
        "Название шрифта, которым пишутся сообщения. Двойной щелчок по полю открывает список "
        "шрифтов. Если указать \"системный\", то будет взят шрифт, которым пишет свои сообщения "
        "система."),
    Row<&Settings::TextSize>("TextSize", "Размер символов в сообщении." AUTO_STYLE, -299, 299),
    StyleRow<kStyleItalic>("Italic",
                           "Указывает, будут ли символы в сообщении написаны курсивом." AUTO_STYLE),
    StyleRow<kStyleBold>("Bold",
                         "Указывает, будут ли символы в сообщении написаны жирно." AUTO_STYLE),
    StyleRow<kStyleUnderline>("Underlined",
                              "Указывает, будут ли символы в сообщении подчёркнуты." AUTO_STYLE),
    StyleRow<kStyleStrikeOut>("Strikeout",
                              "Указывает, будут ли символы в сообщении зачёркнуты." AUTO_STYLE),
    Section("ОБЛАСТЬ ПРОСМОТРА"),
    {"Shag", SettingKind::kInt, 1, kIntMax,
     "Число элементов, на которое сразу растут динамические массивы программы. Чем больше это "
     "число, тем быстрее работа, но тем больше расходуется памяти. Новое значение вступит в силу "
     "при следующем запуске программы.",
     &GetShag, &SetShag},
    Row<&Settings::HScrollStep>("HScrollStep",
                                "На сколько символов произойдёт скроллинг, если курсор выйдет за "
                                "границы экрана по горизонтали.",
                                1, kIntMax),
    Row<&Settings::VScrollStep>("VScrollStep",
                                "На сколько символов произойдёт скроллинг, если курсор выйдет за "
                                "границы экрана по вертикали.",
                                1, kIntMax),
    Row<&Settings::Distance>("Distance",
                             "Расстояние между строками текста по отношению к высоте строки: 0 — "
                             "строки идут вплотную, 1 — одинарный интервал.",
                             -0.5, kSpacingMax),
    Row<&Settings::ChosenTextClr>("ChosenTextClr", "Цвет выделенного текста."),
    Row<&Settings::ChosenFonClr>("ChosenFonClr", "Цвет фона под выделенным текстом."),
    Section("ПРОСМОТР ТЕКСТА"),
    Row<&Settings::PageFracture>("PageFracture",
                                 "На какую долю от величины всей страницы будет смещаться курсор "
                                 "при нажатии PgDown и PgUp.",
                                 0, kViewRealMax),
    Row<&Settings::MaxTextWidth>("MaxTextWidth",
                                 "В случае, когда нет переноса по словам, то такой будет "
                                 "максимальная ширина текста (в пикселях).",
                                 0, kIntMax),
    Section("HEX-РЕДАКТОР"),
    Row<&Settings::HDistance>("HDistance",
                              "Расстояние по горизонтали между соседними кодами. За единицу "
                              "принимается ширина нуля.",
                              -kViewRealMax, kViewRealMax),
    Row<&Settings::TextBaseSyst>("TextBaseSyst",
                                 "Система счисления, в которой записываются коды символов файла."
                                 "\n\rЭтот параметр должен быть целым числом от 2 до 36.",
                                 2, 36),
    Row<&Settings::CoordBaseSyst>("CoordBaseSyst",
                                  "Система счисления, в которой записываются координаты кодов."
                                  "\n\rЭтот параметр должен быть целым числом от 2 до 36.",
                                  2, 36),
    Row<&Settings::CoordColor>("CoordColor",
                               "Цвет координат. Остальные свойства их шрифта те же, что и у кодов, "
                               "и задаются в меню \"Формат / Шрифт\"."),
    Row<&Settings::FirstZeroes>("FirstZeroes",
                                "Указывает, будут ли выводиться первые нули у кодов."),
    Row<&Settings::LineColor>("LineColor", "Цвет линии, отделяющей координаты от области кодов."),
    Row<&Settings::LineWidth>(
        "LineWidth",
        "Толщина линии, отделяющей координаты от области кодов.\n\rИзмеряется "
        "в мм.",
        -kViewRealMax, kViewRealMax),
    Row<&Settings::MarginColor>(
        "MarginColor", "Цвет линии, разделяющей область кодов и область задаваемых ими символов."),
    Row<&Settings::MarginWidth>("MarginWidth",
                                "Толщина линии, разделяющей область кодов и область задаваемых ими "
                                "символов.\n\rИзмеряется в мм.",
                                -kViewRealMax, kViewRealMax),
    Row<&Settings::CodeInfo>(
        "CodeInfo",
        "Какие строки показывает окно \"Расшифровка данных\": по одному символу на строку, 1 — "
        "строка показана, 0 — скрыта. Строки по порядку: 8 бит (+), 8 бит (±), 16 бит (+), 16 бит "
        "(±), 32 бита (+), 32 бита (±), 64 бита (±), double."),
};

#undef AUTO_STYLE

}  // namespace

std::span<const SettingRow> FineSettingRows() {
  return kRows;
}

}  // namespace prambus
