#include "associations/desktop_entry.h"

namespace prambus {

std::string ExecValue(const std::string& executable) {
  // A path without reserved characters goes as it is: some desktop tools
  // take the first word of Exec literally and would not find a quoted one.
  // Otherwise it is quoted, and inside the quotes ", `, $ and \ take a
  // backslash. The value as a whole then doubles every backslash, writes
  // line breaks as escapes, and "%" as "%%" since it starts field codes.
  const bool plain = executable.find_first_of(" \t\n\r\"'\\><~|&;$*?#()`") == std::string::npos;
  std::string arg = plain ? executable : "\"";
  if (!plain) {
    for (char c : executable) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') arg += '\\';
      arg += c;
    }
    arg += '"';
  }
  std::string value;
  for (char c : arg) {
    switch (c) {
      case '\\':
        value += "\\\\";
        break;
      case '\n':
        value += "\\n";
        break;
      case '\r':
        value += "\\r";
        break;
      case '\t':
        value += "\\t";
        break;
      case '%':
        value += "%%";
        break;
      default:
        value += c;
    }
  }
  return value + " %f";
}

std::string DesktopEntryText(const std::string& execValue,
                             const std::vector<std::string>& mimeTypes) {
  std::string text =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=Прамбус\n"
      "GenericName=Текстовый и шестнадцатеричный редактор\n"
      "Comment=Просмотр и правка любого файла как текста или как таблицы кодов байтов\n"
      "Exec=" +
      execValue +
      "\n"
      "Icon=" +
      kIconName +
      "\n"
      "Terminal=false\n"
      "Categories=Utility;TextEditor;\n"
      "Actions=" +
      kOpenActionId + ";\n";
  if (!mimeTypes.empty()) {
    text += "MimeType=";
    for (const std::string& t : mimeTypes) text += t + ";";
    text += "\n";
  }
  text += std::string(kProgramMarkerKey) + "=true\n";
  // The verb for a file, for the desktop's lists that show an entry's actions.
  text += "\n[" + std::string(kOpenActionGroup) + "]\nName=" + kOpenActionName +
          "\nExec=" + execValue + "\n";
  return text;
}

bool IsProgramEntry(const KeyFileText& entry) {
  return entry.Get(kDesktopEntryGroup, kProgramMarkerKey) == "true";
}

}  // namespace prambus
