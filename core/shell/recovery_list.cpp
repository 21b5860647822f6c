#include "shell/recovery_list.h"

#include <ctime>

#include "shell/recent_switcher.h"
#include "shell/shown_name.h"

namespace prambus {
namespace {

// The length of the UTF-8 sequence starting at text[i], or 1 for a byte that
// starts none.
size_t SequenceLength(std::string_view text, size_t i) {
  const unsigned char c = static_cast<unsigned char>(text[i]);
  const size_t n = c < 0x80           ? 1
                   : (c >> 5) == 0x6  ? 2
                   : (c >> 4) == 0xE  ? 3
                   : (c >> 3) == 0x1E ? 4
                                      : 1;
  if (i + n > text.size()) return 1;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 1;
  return n;
}

}  // namespace

std::string CutForDisplay(std::string_view text, size_t maxChars) {
  std::string out;
  size_t chars = 0;
  for (size_t i = 0; i < text.size();) {
    if (chars == maxChars) {
      // The last character gives way to the mark that says the text goes on.
      size_t back = out.size();
      while (back > 0 && (static_cast<unsigned char>(out[back - 1]) & 0xC0) == 0x80) --back;
      if (back > 0) --back;
      out.resize(back);
      return out + "…";
    }
    const size_t n = SequenceLength(text, i);
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (n == 1 && (c < 0x20 || c == 0x7F))
      out += ' ';
    else
      out.append(text.substr(i, n));
    i += n;
    ++chars;
  }
  return out;
}

std::string ByteCountText(int64_t bytes) {
  const std::string digits = std::to_string(bytes < 0 ? 0 : bytes);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += "\u00A0";
    out += digits[i];
  }
  return out + "\u00A0байт";
}

RecoveryListRow DescribeOrphanCopy(const OrphanCopy& copy) {
  RecoveryListRow row;
  const std::string& path = copy.manifest.documentPath;
  row.document = path.empty() ? kUntitledName : CutForDisplay(ShownNameOf(path), kMaxRowChars);
  row.path = CutForDisplay(ShownPathOf(path), 4 * kMaxRowChars);
  const std::time_t when = static_cast<std::time_t>(copy.savedAt);
  std::tm local{};
  char buf[32] = "";
  if (::localtime_r(&when, &local)) std::strftime(buf, sizeof buf, "%d.%m.%Y %H:%M", &local);
  row.savedAt = buf;
  row.size = ByteCountText(copy.contentSize);
  row.reason = copy.manifest.pluginCaption.empty()
                   ? "несохранённые изменения"
                   : "перед запуском плагина «" +
                         CutForDisplay(copy.manifest.pluginCaption, kMaxRowChars) + "»";
  return row;
}

std::string RecoveryDiscardQuestion(size_t count) {
  constexpr char kWarning[] = "Несохранённые изменения, может быть, есть только в ";
  if (count == 1)
    return std::string("Удалить копию документа? ") + kWarning +
           "ней, и вернуть её после удаления я не смогу.";
  const size_t lastTwo = count % 100, last = count % 10;
  const char* noun = lastTwo >= 11 && lastTwo <= 14 ? "копий"
                     : last == 1                    ? "копию"
                     : last >= 2 && last <= 4       ? "копии"
                                                    : "копий";
  return "Удалить " + std::to_string(count) + "\u00A0" + noun + "? " + kWarning +
         "них, и вернуть их после удаления я не смогу.";
}

std::string RecoveryOpenFailedMessage(const OrphanCopy& copy) {
  const std::string& path = copy.manifest.documentPath;
  const std::string name =
      path.empty() ? kUntitledName : CutForDisplay(ShownNameOf(path), kMaxRowChars);
  return "Копию документа «" + name +
         "» открыть не получилось (возможно, она слишком велика или не хватило памяти). Копия "
         "цела и лежит в " +
         QuotedPath(copy.contentPath) + "; я предложу её снова при следующем запуске.";
}

}  // namespace prambus
