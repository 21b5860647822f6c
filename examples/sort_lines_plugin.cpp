// A plug-in for Прамбус: sorts lines.
//
//   F9        sort A to Я
//   Shift+F9  sort Я to A
//
// With a selection it sorts the whole lines the selection touches and
// selects them afterwards; without one, the whole document. Letters compare
// without regard to case, Ё after Е; equal lines keep their order. Each line
// keeps the place of its line end, so a last line without one stays so.
//
// Written in C++ against the public header alone.
#include <prambus/extension.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

template <typename Fn>
Fn Callback(prambus_get_function get, int32_t number) {
  prambus_function f = nullptr;
  return get && get(number, &f) ? reinterpret_cast<Fn>(f) : nullptr;
}

// Windows-1251 letters folded to one case, with Ё/ё placed just after Е/е.
int SortKey(unsigned char c) {
  if (c >= 'a' && c <= 'z') c = static_cast<unsigned char>(c - 'a' + 'A');
  if (c >= 0xE0) c = static_cast<unsigned char>(c - 0x20);  // а..я -> А..Я
  if (c == 0xB8) c = 0xA8;                                  // ё -> Ё
  if (c == 0xA8) return 0xC5 * 2 + 1;                       // after Е
  return c * 2;
}

bool LessText(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int ka = SortKey(static_cast<unsigned char>(a[i]));
    const int kb = SortKey(static_cast<unsigned char>(b[i]));
    if (ka != kb) return ka < kb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;  // same letters: a fixed order between cases
}

bool EndsLine(const std::string& row) {
  return !row.empty() && (row.back() == '\n' || row.back() == '\r');
}

// The lines of a text, each split into its content and its line end.
struct Line {
  std::string text, end;
};

std::vector<Line> SplitLines(const std::string& s) {
  std::vector<Line> lines;
  size_t i = 0;
  while (i < s.size()) {
    size_t j = i;
    while (j < s.size() && s[j] != '\r' && s[j] != '\n') ++j;
    size_t k = j;
    if (k < s.size() && s[k] == '\r') ++k;
    if (k < s.size() && s[k] == '\n' && (k == j || s[j] == '\r')) ++k;
    lines.push_back({s.substr(i, j - i), s.substr(j, k - j)});
    i = k;
  }
  return lines;
}

// The state the two passes share: the rewriter is a plain function.
std::vector<std::string> rows;
size_t first, last;  // rows being sorted
std::string sorted;
const std::string empty;

void Collect(int32_t length, const char* data, int32_t* stop) {
  (void)stop;
  rows.emplace_back(data, static_cast<size_t>(length));
}

size_t current;  // the row the rewriter is at

void Rewrite(int32_t* length, const char** data, int32_t* stop) {
  const size_t row = current++;
  if (row == first) {
    *length = static_cast<int32_t>(sorted.size());
    *data = sorted.data();
  } else if (row > first && row <= last) {
    *length = 0;
    *data = empty.data();
  }
  if (row >= last) *stop = 1;
}

int32_t Sort(prambus_get_function get, bool descending) {
  const auto position = Callback<prambus_position_fn>(get, PRAMBUS_POSITION);
  const auto setPosition = Callback<prambus_set_position_fn>(get, PRAMBUS_SET_POSITION);
  const auto walk = Callback<prambus_walk_lines_fn>(get, PRAMBUS_WALK_LINES);
  const auto rewrite = Callback<prambus_rewrite_lines_fn>(get, PRAMBUS_REWRITE_LINES);
  if (!position || !setPosition || !walk || !rewrite) return 0;

  rows.clear();
  if (!walk(Collect) || rows.empty()) return 0;
  int32_t cursorCol = 0, cursorRow = 0, anchorCol = 0, anchorRow = 0;
  position(&cursorCol, &cursorRow, 1);
  position(&anchorCol, &anchorRow, 0);
  const bool selection = cursorCol != anchorCol || cursorRow != anchorRow;
  first = 0;
  last = rows.size() - 1;
  if (selection) {
    auto lo = std::min(std::make_pair(anchorRow, anchorCol), std::make_pair(cursorRow, cursorCol));
    auto hi = std::max(std::make_pair(anchorRow, anchorCol), std::make_pair(cursorRow, cursorCol));
    first = static_cast<size_t>(std::max(0, lo.first));
    last = static_cast<size_t>(std::max(0, hi.first));
    if (hi.second == 0 && last > first) --last;  // ends at the start of a row
    last = std::min(last, rows.size() - 1);
    first = std::min(first, last);
    // Whole lines: a wrapped line spans rows without a line end.
    while (first > 0 && !EndsLine(rows[first - 1])) --first;
    while (last + 1 < rows.size() && !EndsLine(rows[last])) ++last;
  }
  std::string region;
  size_t before = 0;
  for (size_t r = 0; r < first; ++r) before += rows[r].size();
  for (size_t r = first; r <= last; ++r) region += rows[r];

  std::vector<Line> lines = SplitLines(region);
  std::vector<std::string> ends;
  for (const Line& l : lines) ends.push_back(l.end);
  std::stable_sort(lines.begin(), lines.end(), [descending](const Line& a, const Line& b) {
    return descending ? LessText(b.text, a.text) : LessText(a.text, b.text);
  });
  sorted.clear();
  for (size_t i = 0; i < lines.size(); ++i) sorted += lines[i].text + ends[i];

  current = 0;
  if (!rewrite(Rewrite)) return 0;

  // Select the sorted lines: the text before them and their length are
  // unchanged, so their ends are found by offset in the new rows.
  if (selection) {
    rows.clear();
    walk(Collect);
    auto at = [](size_t offset) {
      size_t row = 0;
      while (row + 1 < rows.size() && offset >= rows[row].size()) offset -= rows[row++].size();
      return std::make_pair(static_cast<int32_t>(offset), static_cast<int32_t>(row));
    };
    const auto start = at(before);
    const auto end = at(before + region.size());
    setPosition(start.first, start.second, 0);
    setPosition(end.first, end.second, 1);
  }
  return 1;
}

}  // namespace

extern "C" {

PRAMBUS_EXPORT const char* prambus_string(int32_t id) {
  switch (id) {
    case PRAMBUS_STRING_MARKER:
      return PRAMBUS_PLUGIN_MARKER;
    case PRAMBUS_STRING_CAPTION:
      return "Сортировать строки";
    case PRAMBUS_STRING_SHORTCUT:
      return "F9";
    case PRAMBUS_STRING_SHORTCUT + 1:
      return "Shift+F9";
    default:
      return nullptr;
  }
}

// Sorting is for text; in the hex view the command does nothing.
PRAMBUS_EXPORT int32_t StartProc(uint8_t view_kind, prambus_get_function get) {
  return view_kind == 1 ? Sort(get, false) : 0;
}

PRAMBUS_EXPORT int32_t StartDopProc(uint8_t view_kind, int32_t command, prambus_get_function get) {
  return view_kind == 1 && command == 1 ? Sort(get, true) : 0;
}

}  // extern "C"
