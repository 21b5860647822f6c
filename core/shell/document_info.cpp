#include "shell/document_info.h"

#include "shell/shown_name.h"

namespace prambus {

namespace {
std::string Num(uint64_t n) {
  return std::to_string(n);
}
}  // namespace

std::string SizeText(uint64_t s) {
  const uint64_t b = s % 1024, k = (s >> 10) % 1024, m = (s >> 20) % 1024, g = s >> 30;
  std::string out;
  if (g > 0) out += Num(g) + " Гб ";
  if (g > 0 || m > 0) out += Num(m) + " Мб ";
  if (g > 0 || m > 0 || k > 0) out += Num(k) + " Кб ";
  return out + Num(b) + " б.";
}

std::string DurationText(int64_t ms) {
  const uint64_t d = ms < 0 ? 0 : static_cast<uint64_t>(ms);
  const uint64_t h = d / 3600000, mi = (d / 60000) % 60, se = (d / 1000) % 60;
  std::string out;
  if (h > 0) out += Num(h) + " ч ";
  if (h > 0 || mi > 0) out += Num(mi) + " мин ";
  if (h > 0 || mi > 0 || se > 0) out += Num(se) + " с ";
  return out + Num(d % 1000) + " мс.";
}

std::string LinesEnding(int64_t n) {
  const int64_t m10 = n % 10, m100 = n % 100;
  if (m10 > 4 || m10 == 0 || (m100 >= 11 && m100 <= 19)) return "ек.";
  if (m10 == 1) return "ка.";
  return "ки.";
}

std::string DocumentInfoText(const DocumentFacts& f) {
  std::string t;
  if (f.openDurationMs < 0)
    t = "Вы сейчас пишете новый документ.\n";
  else
    t = "У вас открыт документ \"" + ShownPathOf(f.fileName) + "\".\n";
  t += "Он занимает " + SizeText(f.sizeBytes) + "\n";
  if (f.charCount >= 0) t += "Символов UTF-8 в нём: " + std::to_string(f.charCount) + ".\n";
  if (f.openDurationMs >= 0)
    t += "Он открывался в течение " + DurationText(f.openDurationMs) + "\n";
  t += "В документе " + std::to_string(f.lineCount) + " строч" + LinesEnding(f.lineCount);
  t += "\nКоординаты курсора: " + std::to_string(f.cursorRow + 1) + "-я строчка, " +
       std::to_string(f.cursorCol) + "-я позиция.";
  t += "\nВ целом это --- " + std::to_string(f.cursorOffset) + "-я позиция в тексте.";
  if (f.hasSelection) {
    t += "\nВ тексте есть выделенный фрагмент.";
    t += "\nВыделено " + Num(f.selectionBytes) + " б. текста";
    if (f.selectionChars >= 0) t += ", символов: " + std::to_string(f.selectionChars);
  }
  return t;
}

}  // namespace prambus
