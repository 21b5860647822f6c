#include "shell/file_rules.h"

#include "text/utf8_scan.h"

namespace prambus {

uint32_t PathHash(const std::u16string& s) {
  uint32_t result = 0, a = 0;
  const size_t n = s.size();
  for (size_t i = 0; i < n; i += 8) {
    for (size_t j = 0; j < 8 && i + j < n; ++j) a = a * 256 + static_cast<uint32_t>(s[i + j]);
    result = result * 3 + a;
  }
  return result;
}

uint32_t FileNameHash(std::string_view path) {
  std::u16string units;
  units.reserve(path.size());
  for (size_t i = 0; i < path.size();) {
    const size_t n = Utf8SequenceAt(path, i);
    if (n == 0) {
      units += static_cast<char16_t>(0xDC00 + static_cast<unsigned char>(path[i++]));
      continue;
    }
    const char32_t c = Utf8CodePointAt(path, i, n);
    if (c >= 0x10000) {
      units += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      units += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      units += static_cast<char16_t>(c);
    }
    i += n;
  }
  return PathHash(units);
}

namespace {
const char* const kGroupNames[2] = {"Файлы для текстового редактора|", "Файлы для hex-редактора|"};

std::vector<std::string> PatternLists(const std::vector<ExtensionBinding>& bindings) {
  std::vector<std::string> lists(2);
  for (const auto& b : bindings)
    if (b.viewIndex < 2) lists[b.viewIndex] += "*" + b.ext + ";";
  return lists;
}
}  // namespace

std::string DialogFilter(const std::vector<ExtensionBinding>& bindings) {
  const auto lists = PatternLists(bindings);
  std::string filter;
  for (int i = 0; i < 2; ++i) {
    if (lists[i].empty()) continue;
    filter += kGroupNames[i];
    filter += lists[i].substr(0, lists[i].size() - 1);
    filter += "|";
  }
  return filter + "Все файлы|*.*";
}

int FilterIndexOf(const std::vector<ExtensionBinding>& bindings, const std::string& ext) {
  const auto lists = PatternLists(bindings);
  int k = 2;
  for (const auto& b : bindings)
    if (b.ext == ext) k = b.viewIndex;
  int result = 1;
  for (int i = 0; i < 2; ++i) {
    if (lists[i].empty()) continue;
    if (i == k) return result;
    ++result;
  }
  return result;
}

std::string FirstExtensionOfGroup(const std::vector<ExtensionBinding>& bindings, int group) {
  const auto lists = PatternLists(bindings);
  int count = 0;
  for (int i = 0; i < 2; ++i) {
    if (lists[i].empty()) continue;
    if (++count == group) {
      for (const auto& b : bindings)
        if (b.viewIndex == i) return b.ext;
    }
  }
  return {};
}

std::string ExtensionOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return path.substr(dot);
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

int ChooseViewKind(const std::string& path, const std::vector<RecentEntry>& recent,
                   const std::vector<ExtensionBinding>& bindings, bool rememberCurPos,
                   int defaultKind) {
  if (rememberCurPos) {
    for (const auto& e : recent)
      if (!e.path.empty() && e.path == path && (e.viewKind == 1 || e.viewKind == 2))
        return e.viewKind;
  }
  const std::string ext = ExtensionOf(path);
  for (const auto& b : bindings)
    if (!ext.empty() && b.ext == ext) return b.viewIndex == 1 ? 2 : 1;
  return defaultKind == 2 ? 2 : 1;
}

}  // namespace prambus
