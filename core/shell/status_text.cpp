#include "shell/status_text.h"

namespace prambus {

std::string LineCountText(int n) {
  std::string s = std::to_string(n) + " строк";
  const int m10 = n % 10, m100 = n % 100;
  if (m10 == 1 && m100 != 11)
    s += "а";
  else if (m10 >= 2 && m10 <= 4 && (m100 < 12 || m100 > 14))
    s += "и";
  return s;
}

std::array<std::string, 6> StatusPanels(const StatusInput& in) {
  std::array<std::string, 6> p;
  p[0] = std::to_string(in.cursorRow + 1) + " : " + std::to_string(in.cursorCol + 1);
  if (in.hasSelection)
    p[1] = std::to_string(in.anchorRow + 1) + " : " + std::to_string(in.anchorCol + 1);
  p[2] = LineCountText(in.rowCount);
  if (in.rowCountPartial) p[2] += "…";
  p[3] = in.insertMode ? "Вставка" : "Замена";
  if (in.openDurationMs >= 0) {
    std::string ms = std::to_string(in.openDurationMs % 1000);
    while (ms.size() < 3) ms.insert(ms.begin(), '0');
    p[4] = std::to_string(in.openDurationMs / 1000) + "." + ms + " сек.";
  }
  std::string caption = in.encodingCaption;
  if (!caption.empty() && caption[0] == '&') caption.erase(0, 1);
  p[5] = "Кодировка - " + caption;
  // A conversion chosen for one file stays on for the next ones: it is named
  // so that it is never a surprise.
  if (!in.savedLineEnd.empty()) p[5] += ", переводы строки - " + LineEndName(in.savedLineEnd);
  return p;
}

std::string LineEndName(std::string_view lineEnd) {
  std::string name;
  for (char c : lineEnd) name += "#" + std::to_string(static_cast<unsigned char>(c));
  return name;
}

}  // namespace prambus
