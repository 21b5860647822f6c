#include "shell/command_line.h"

#include <algorithm>
#include <iterator>

#include "shell/typed_number.h"

namespace prambus {

namespace {

struct ToolkitOption {
  std::string_view name;  // with one dash; Qt takes two as well
  bool takesValue;
  bool valueMayBeJoined = false;  // also "-style=fusion"
};

// The options Qt reads itself: the application's, the widgets' and the X11
// platform's.
constexpr ToolkitOption kToolkitOptions[] = {
    {"-platform", true},
    {"-platformpluginpath", true},
    {"-platformtheme", true},
    {"-plugin", true},
    {"-qwindowgeometry", true},
    {"-geometry", true},
    {"-qwindowtitle", true},
    {"-title", true},
    {"-qwindowicon", true},
    {"-icon", true},
    {"-session", true},
    {"-reverse", false},
    {"-style", true, true},
    {"-stylesheet", true, true},
    {"-widgetcount", false},
    {"-display", true},
    {"-name", true},
    {"-visual", true},
    {"-nograb", false},
    {"-dograb", false},
};

const ToolkitOption* FindToolkitOption(std::string_view name) {
  if (name.size() > 2 && name.substr(0, 2) == "--") name.remove_prefix(1);
  const auto it = std::find_if(std::begin(kToolkitOptions), std::end(kToolkitOptions),
                               [name](const ToolkitOption& o) { return o.name == name; });
  return it == std::end(kToolkitOptions) ? nullptr : it;
}

CommandLine Misuse(std::string problem) {
  CommandLine line;
  line.request = CommandLine::Request::kMisuse;
  line.problem = std::move(problem);
  return line;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  std::vector<std::string> files;
  bool optionsEnded = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& arg = arguments[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      if (!arg.empty()) files.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "-h" || arg == "--help") {
      line.request = CommandLine::Request::kHelp;
      return line;
    } else if (arg == "-v" || arg == "--version") {
      line.request = CommandLine::Request::kVersion;
      return line;
    } else if (const size_t eq = arg.find('='); eq != std::string::npos) {
      const ToolkitOption* option = FindToolkitOption(std::string_view(arg).substr(0, eq));
      if (!option || !option->valueMayBeJoined)
        return Misuse("я не знаю параметра " + Guillemets(arg) + ".");
      line.toolkitOptions.push_back(arg);
    } else if (const ToolkitOption* option = FindToolkitOption(arg)) {
      line.toolkitOptions.push_back(arg);
      if (option->takesValue) {
        if (i + 1 == arguments.size())
          return Misuse("после параметра " + Guillemets(arg) + " нужно его значение.");
        line.toolkitOptions.push_back(arguments[++i]);
      }
    } else {
      return Misuse("я не знаю параметра " + Guillemets(arg) +
                    ". Если это имя файла, напишите перед ним «--»: prambus -- " + arg);
    }
  }
  if (files.size() > 1)
    return Misuse("я открываю один файл, а назван ещё и " + Guillemets(files[1]) +
                  ". Чтобы открыть несколько, запустите меня для каждого.");
  if (!files.empty()) line.file = files.front();
  return line;
}

std::string HelpText() {
  return "Использование: prambus [ПАРАМЕТР]... [[--] ФАЙЛ]\n"
         "Прамбус — текстовый и шестнадцатеричный редактор в одном окне.\n"
         "Открываю ФАЙЛ как текст или как таблицу кодов байтов; без ФАЙЛА начинаю\n"
         "с пустого документа. Если ФАЙЛ уже открыт в другой моей копии, её окно\n"
         "выходит на передний план, а эта копия завершается.\n"
         "\n"
         "  -h, --help       показать эту справку и выйти\n"
         "  -v, --version    показать версию и выйти\n"
         "  --               дальше только имя файла, даже если оно начинается с «-»\n"
         "\n"
         "Параметры библиотеки Qt передаю ей как есть, например:\n"
         "  -platform ИМЯ    оконная система: xcb, wayland, offscreen\n"
         "  -style ИМЯ       вид кнопок и списков: Fusion, Windows\n"
         "  -display ДИСПЛЕЙ, -geometry ШxВ+X+Y, -reverse, -session ИД\n"
         "\n"
         "Настройки храню в ~/.config/prambus/data.dat (или в $XDG_CONFIG_HOME/prambus);\n"
         "копия, запущенная не оттуда, куда её установили, хранит их рядом с собой,\n"
         "если в её папку можно писать.\n"
         "Свои шкурки и плагины кладите в ~/.local/share/prambus/skins и .../plugins.\n"
         "Подробнее: man prambus и справка программы (F1).\n";
}

std::string VersionText(std::string_view version) {
  return "Прамбус " + std::string(version) + "\n";
}

std::string MisuseText(const std::string& problem) {
  return "prambus: " + problem + "\nСписок параметров: prambus --help\n";
}

}  // namespace prambus
