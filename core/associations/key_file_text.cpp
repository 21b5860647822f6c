#include "associations/key_file_text.h"

#include "associations/ascii_text.h"

namespace prambus {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The key of a key line: what stands before "=", without blanks.
std::string_view KeyOf(const std::string& line) {
  return TrimBlanks(std::string_view(line).substr(0, line.find('=')));
}

// The group a header line opens, or nullopt for any other line.
std::optional<std::string> HeaderName(std::string_view line) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  const size_t close = line.rfind(']');
  return std::string(close == std::string_view::npos ? line : line.substr(0, close));
}

}  // namespace

KeyFileText::KeyFileText(std::string_view text) {
  size_t crlf = 0, lf = 0;
  size_t start = 0;
  while (start < text.size()) {
    const size_t nl = text.find('\n', start);
    Line line;
    if (nl == std::string_view::npos) {
      line.text = std::string(text.substr(start));
      start = text.size();
    } else {
      line.text = std::string(text.substr(start, nl - start));
      line.end = "\n";
      start = nl + 1;
    }
    if (!line.end.empty() && !line.text.empty() && line.text.back() == '\r') {
      line.text.pop_back();
      line.end = "\r" + line.end;
    }
    (line.end == "\r\n" ? crlf : lf) += line.end.empty() ? 0 : 1;
    lines_.push_back(std::move(line));
  }
  if (crlf > lf) newline_ = "\r\n";
}

std::string KeyFileText::Text() const {
  std::string out;
  for (const Line& l : lines_) out += l.text + l.end;
  return out;
}

std::vector<std::string> KeyFileText::GroupOfLines() const {
  std::vector<std::string> groups;
  std::string current;
  for (const Line& l : lines_) {
    if (auto name = HeaderName(l.text)) current = *name;
    groups.push_back(current);
  }
  return groups;
}

size_t KeyFileText::ValueStart(size_t line) const {
  const std::string& t = lines_[line].text;
  const std::string_view trimmed = TrimBlanks(t);
  if (trimmed.empty() || trimmed.front() == '#' || trimmed.front() == '[') return std::string::npos;
  size_t eq = t.find('=');
  if (eq == std::string::npos) return std::string::npos;
  ++eq;
  while (eq < t.size() && IsBlank(t[eq])) ++eq;
  return eq;
}

std::vector<size_t> KeyFileText::FindKey(std::string_view group, std::string_view key) const {
  std::vector<size_t> found;
  const std::vector<std::string> groups = GroupOfLines();
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (groups[i] != group || ValueStart(i) == std::string::npos) continue;
    if (KeyOf(lines_[i].text) == key) found.push_back(i);
  }
  return found;
}

std::optional<std::string> KeyFileText::Get(std::string_view group, std::string_view key) const {
  const std::vector<size_t> lines = FindKey(group, key);
  if (lines.empty()) return std::nullopt;
  return Value(lines.front());
}

std::vector<std::pair<std::string, std::string>> KeyFileText::Entries(
    std::string_view group) const {
  std::vector<std::pair<std::string, std::string>> entries;
  const std::vector<std::string> groups = GroupOfLines();
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (groups[i] != group || ValueStart(i) == std::string::npos) continue;
    entries.emplace_back(std::string(KeyOf(lines_[i].text)), Value(i));
  }
  return entries;
}

std::string KeyFileText::Value(size_t line) const {
  const size_t start = ValueStart(line);
  return start == std::string::npos ? std::string() : lines_[line].text.substr(start);
}

void KeyFileText::SetValue(size_t line, std::string_view value) {
  const size_t start = ValueStart(line);
  if (start == std::string::npos) return;
  lines_[line].text.replace(start, std::string::npos, value);
}

void KeyFileText::EraseLine(size_t line) {
  if (line >= lines_.size()) return;
  // A last line without a line end hands that state to the line before it.
  if (line + 1 == lines_.size() && lines_[line].end.empty() && line > 0)
    lines_[line - 1].end.clear();
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(line));
}

void KeyFileText::AddKey(std::string_view group, std::string_view key, std::string_view value) {
  const Line entry{std::string(key) + "=" + std::string(value), newline_};
  const std::vector<std::string> groups = GroupOfLines();
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (groups[i] != group || !HeaderName(lines_[i].text)) continue;
    // After the group's last line that is neither blank nor a comment.
    size_t last = i;
    for (size_t j = i + 1; j < lines_.size() && !HeaderName(lines_[j].text); ++j) {
      const std::string_view t = TrimBlanks(lines_[j].text);
      if (!t.empty() && t.front() != '#') last = j;
    }
    if (lines_[last].end.empty()) lines_[last].end = newline_;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(last + 1), entry);
    return;
  }
  if (!lines_.empty()) {
    if (lines_.back().end.empty()) lines_.back().end = newline_;
    if (!TrimBlanks(lines_.back().text).empty()) lines_.push_back({"", newline_});
  }
  lines_.push_back({"[" + std::string(group) + "]", newline_});
  lines_.push_back(entry);
}

}  // namespace prambus
