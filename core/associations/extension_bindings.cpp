#include "associations/extension_bindings.h"

#include <algorithm>

#include "associations/ascii_text.h"
#include "shell/file_messages.h"

namespace prambus {
namespace {

bool IsExtensionChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

void Bind(const std::string& ext, bool writeProgramEntry, AssociationStore& store,
          const ShowMessage& show) {
  if (!store.BindExtension(ext, writeProgramEntry)) show(BindFailedMessage(store.LastFailure()));
}

}  // namespace

std::string BindFailedMessage(const std::optional<AssociationFailure>& failure) {
  const std::string head = "Не могу закрепить расширения за этой программой: ";
  if (!failure) return head + "не получилось записать настройки рабочего стола.";
  if (!failure->program.empty())
    return head + "программа «" + failure->program + "» не смогла добавить новый тип файлов.";
  if (!failure->reading)
    return head + WriteProblemClause(failure->path, failure->problem, failure->error) + ".";
  const std::string file = "«" + failure->path + "»";
  switch (failure->problem) {
    case FileProblem::kNotRegularFile:
      return head + "не могу прочитать " + file +
             ": это не обычный файл, а канал, устройство или сокет.";
    case FileProblem::kFolder:
      return head + "не могу прочитать " + file + ": это папка.";
    case FileProblem::kNoPermission:
      return head + "у меня нет прав на чтение " + file + ".";
    default:
      return head + "не могу прочитать " + file + " (система сообщила об ошибке с кодом " +
             std::to_string(failure->error) + ").";
  }
}

ShowMessage CollectingOnce(std::vector<std::string>& messages) {
  return [&messages](const std::string& m) {
    if (std::find(messages.begin(), messages.end(), m) == messages.end()) messages.push_back(m);
  };
}

bool IsRefusedExtension(std::string_view ext) {
  std::string lower;
  for (char c : ext) lower += AsciiLower(c);
  for (const char* refused : {".exe", ".com", ".sys", ".desktop"})
    if (lower == refused) return true;
  return false;
}

std::optional<std::string> ExtensionFromField(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (!text.empty() && text.front() == '*') text.remove_prefix(1);
  if (!text.empty() && text.front() == '.') text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  return "." + std::string(text);
}

void BindTypedList(std::string_view text, uint8_t viewIndex, AssociationStore& store,
                   std::vector<ExtensionBinding>& bindings, const ShowMessage& show) {
  bool first = true;
  while (!text.empty()) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    if (!text.empty() && text.front() == '*') text.remove_prefix(1);
    size_t length = 1;
    while (length < text.size() && IsExtensionChar(text[length])) ++length;
    // A lone dot names no extension: binding it would bind nothing real.
    if (text.empty() || text.front() != '.' || length == 1) {
      show(kParseFailedMessage);
      return;
    }
    const std::string ext(text.substr(0, length));
    if (IsRefusedExtension(ext)) {
      show("Расширение " + ext + kRefusedTypedExtensionTail);
    } else {
      Bind(ext, first, store, show);
      bool listed = false;
      for (const ExtensionBinding& b : bindings) listed = listed || b.ext == ext;
      if (!listed) bindings.push_back({ext, viewIndex});
    }
    first = false;
    text.remove_prefix(length);
    if (!text.empty() && (text.front() == ',' || text.front() == ';')) text.remove_prefix(1);
  }
}

std::vector<ExtensionBinding> ApplyBindingChoices(const std::vector<BindingChoice>& lines,
                                                  AssociationStore& store,
                                                  const ShowMessage& show) {
  for (const BindingChoice& line : lines)
    if (!line.ticked) store.UnbindExtension(line.binding.ext);
  std::vector<ExtensionBinding> kept;
  for (const BindingChoice& line : lines) {
    if (!line.ticked) continue;
    Bind(line.binding.ext, kept.empty(), store, show);
    kept.push_back(line.binding);
  }
  return kept;
}

std::vector<ExtensionBinding> KeepBoundBindings(const std::vector<ExtensionBinding>& bindings,
                                                AssociationStore& store) {
  std::vector<ExtensionBinding> kept;
  for (const ExtensionBinding& b : bindings)
    if (store.IsBoundToProgram(b.ext)) kept.push_back(b);
  return kept;
}

}  // namespace prambus
