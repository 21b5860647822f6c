#include "associations/mime_types.h"

#include <cstdlib>

#include "associations/ascii_text.h"

namespace prambus {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

bool IsTypeChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("!#$&.+-^_").find(c) != std::string_view::npos;
}

// Letters and digits stand for themselves; any other byte is "_" and two hex
// digits, so different extensions never share a name.
std::string Slug(std::string_view ext) {
  static const char kHex[] = "0123456789abcdef";
  std::string slug;
  for (char c : ext.substr(1)) {
    c = AsciiLower(c);
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) {
      slug += c;
    } else {
      const auto b = static_cast<unsigned char>(c);
      slug += '_';
      slug += kHex[b >> 4];
      slug += kHex[b & 15];
    }
  }
  return slug;
}

std::string XmlEscaped(std::string_view s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace

bool IsValidMimeType(std::string_view type) {
  const size_t slash = type.find('/');
  if (slash == 0 || slash == std::string_view::npos || slash + 1 == type.size()) return false;
  for (size_t i = 0; i < type.size(); ++i)
    if (i != slash && !IsTypeChar(type[i])) return false;
  return true;
}

bool IsStorableExtension(std::string_view ext) {
  if (ext.size() < 2 || ext[0] != '.') return false;
  for (char c : ext) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) return false;
    if (std::string_view("*?[]/\\").find(c) != std::string_view::npos) return false;
  }
  return true;
}

std::string TypeFromGlobs(std::string_view globs2, std::string_view ext) {
  const std::string pattern = "*" + std::string(ext);
  std::string best;
  long bestWeight = -1;
  bool bestExact = false;
  while (!globs2.empty()) {
    const size_t nl = globs2.find('\n');
    std::string_view line = globs2.substr(0, nl);
    globs2.remove_prefix(nl == std::string_view::npos ? globs2.size() : nl + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;
    // weight:type:glob[:flags[:...]]
    const size_t c1 = line.find(':');
    const size_t c2 = c1 == std::string_view::npos ? c1 : line.find(':', c1 + 1);
    if (c2 == std::string_view::npos) continue;
    const std::string weightText(line.substr(0, c1));
    char* end = nullptr;
    const long weight = std::strtol(weightText.c_str(), &end, 10);
    if (weightText.empty() || *end != '\0') continue;
    const std::string_view type = line.substr(c1 + 1, c2 - c1 - 1);
    std::string_view glob = line.substr(c2 + 1);
    std::string_view flags;
    if (const size_t c3 = glob.find(':'); c3 != std::string_view::npos) {
      flags = glob.substr(c3 + 1);
      glob = glob.substr(0, c3);
    }
    const bool caseSensitive =
        flags.substr(0, flags.find(':')).find("cs") != std::string_view::npos;
    const bool exact = glob == pattern;
    if (!(caseSensitive ? exact : EqualNoCase(glob, pattern)) || !IsValidMimeType(type)) continue;
    const bool better =
        weight > bestWeight || (weight == bestWeight && caseSensitive && exact && !bestExact);
    if (!better) continue;
    best = std::string(type);
    bestWeight = weight;
    bestExact = caseSensitive && exact;
  }
  return best;
}

std::string OwnMimeType(std::string_view ext) {
  return "application/x-prambus-" + Slug(ext);
}

std::string OwnPackageFileName(std::string_view ext) {
  return "prambus-" + Slug(ext) + ".xml";
}

std::string OwnPackageXml(std::string_view ext) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
         "  <mime-type type=\"" +
         OwnMimeType(ext) +
         "\">\n"
         "    <comment>Текстовый файл</comment>\n"
         "    <glob pattern=\"*" +
         XmlEscaped(ext) +
         "\"/>\n"
         "  </mime-type>\n"
         "</mime-info>\n";
}

}  // namespace prambus
