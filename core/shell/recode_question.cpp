#include "shell/recode_question.h"

namespace prambus {
namespace {

// 1, 21, 101 … take the singular; 11 does not.
bool Singular(uint64_t n) {
  return n % 10 == 1 && n % 100 != 11;
}

}  // namespace

std::string CountWithNoun(uint64_t n, const char* one, const char* few, const char* many) {
  const uint64_t m10 = n % 10, m100 = n % 100;
  const char* noun = many;
  if (m100 < 11 || m100 > 14) {
    if (m10 == 1)
      noun = one;
    else if (m10 >= 2 && m10 <= 4)
      noun = few;
  }
  return std::to_string(n) + " " + noun;
}

std::string RecodeLossQuestion(const RecodeLosses& losses) {
  if (!losses.Any()) return {};
  std::string t = "Перекодировка сохранит не всё:";
  if (losses.questionMarks != 0) {
    t += std::string(" на месте символов, которых в новой кодировке нет, ") +
         (Singular(losses.questionMarks) ? "появится " : "появятся ") +
         CountWithNoun(losses.questionMarks, "знак", "знака", "знаков") + " «?»";
  }
  if (losses.lookalikes != 0) {
    t += losses.questionMarks != 0 ? ", а " : " ";
    const bool one = Singular(losses.lookalikes);
    t += CountWithNoun(losses.lookalikes, "буква", "буквы", "букв") +
         (one ? " «і» или «І» станет латинской «i» или «I»"
              : " «і» и «І» станут латинскими «i» и «I»");
  }
  return t + ". Перекодировать всё равно?";
}

}  // namespace prambus
