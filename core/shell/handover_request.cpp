#include "shell/handover_request.h"

#include "text/utf8_scan.h"

namespace prambus {

namespace {
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool Escaped(unsigned char c) {
  return c < 0x20 || c == 0x7F || c == '%';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Exactly what FormatHandOverRequest writes, or nothing.
std::optional<std::string> Unescaped(std::string_view field) {
  std::string bytes;
  for (size_t i = 0; i < field.size(); ++i) {
    const auto c = static_cast<unsigned char>(field[i]);
    if (c != '%') {
      if (Escaped(c)) return std::nullopt;
      bytes += field[i];
      continue;
    }
    const int high = i + 2 < field.size() ? HexValue(field[i + 1]) : -1;
    const int low = high >= 0 ? HexValue(field[i + 2]) : -1;
    if (low < 0) return std::nullopt;
    const auto byte = static_cast<unsigned char>(high * 16 + low);
    if (!Escaped(byte)) return std::nullopt;
    bytes += static_cast<char>(byte);
    i += 2;
  }
  return bytes;
}

HandOverRequest Parse(std::string_view line) {
  HandOverRequest r;
  const size_t tab = line.find('\t');
  if (tab == 0 || tab == std::string_view::npos || tab > 10) return r;
  uint64_t hash = 0;
  for (char c : line.substr(0, tab)) {
    if (c < '0' || c > '9') return r;
    hash = hash * 10 + static_cast<uint64_t>(c - '0');
  }
  if (hash > UINT32_MAX) return r;
  std::string_view title = line.substr(tab + 1);
  if (const size_t second = title.find('\t'); second != std::string_view::npos) {
    r.path = Unescaped(title.substr(second + 1));
    if (!r.path || r.path->empty()) return HandOverRequest{};
    title = title.substr(0, second);
  }
  r.hash = static_cast<uint32_t>(hash);
  r.title = std::string(title);
  r.valid = true;
  return r;
}
}  // namespace

std::string FormatHandOverRequest(uint32_t hash, std::string_view title) {
  std::string out = std::to_string(hash);
  out += '\t';
  out += title;
  out += '\n';
  return out;
}

std::string FormatHandOverRequest(uint32_t hash, std::string_view title, std::string_view path) {
  if (IsWellFormedUtf8(path)) return FormatHandOverRequest(hash, title);
  std::string out = std::to_string(hash);
  out += '\t';
  out += title;
  out += '\t';
  for (char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (Escaped(byte)) {
      out += '%';
      out += kHexDigits[byte >> 4];
      out += kHexDigits[byte & 0x0F];
    } else {
      out += c;
    }
  }
  out += '\n';
  return out;
}

bool HandOverRequestReader::Feed(std::string_view bytes, std::vector<HandOverRequest>& complete) {
  while (!bytes.empty()) {
    const size_t end = bytes.find('\n');
    const size_t take = end == std::string_view::npos ? bytes.size() : end;
    if (pending_.size() + take > kMaxHandOverRequest) {
      pending_.clear();
      return false;
    }
    pending_.append(bytes.substr(0, take));
    if (end == std::string_view::npos) break;
    complete.push_back(Parse(pending_));
    pending_.clear();
    bytes.remove_prefix(end + 1);
  }
  return true;
}

}  // namespace prambus
