// "Заменить всё" checked against a plain reference. The reference reads the
// bytes left to right: a match is the pattern's bytes (or the same letters in
// the other case), found from where the last one ended, ending inside the
// region and, in the text view, holding no line's end (LF, CR, CR LF, LF CR) before
// its last byte. The search alone runs with tiny pieces, so that matches fall
// across the pieces, and is stopped on a chosen report: what it found by then
// is the reference's first matches. In the text view and the hex view the
// bytes and the count must be the reference's; undoing everything gives the
// bytes back exactly, and redoing everything the replaced ones.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "settings/settings.h"
#include "shell/find_replace.h"
#include "shell/replace_pass.h"
#include "support/test_canvas.h"
#include "text/cp1251.h"
#include "views/hex_view.h"
#include "views/text_view.h"

using namespace prambus;

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "replace all check failed: %s\n", what);
  std::abort();
}

bool IsEnd(char c) {
  return c == '\r' || c == '\n';
}

// The offsets just past each line's end; CR LF and LF CR are one end each.
std::vector<int> LineBreaks(const std::string& s) {
  std::vector<int> breaks;
  for (size_t i = 0; i < s.size(); ++i) {
    if (IsEnd(s[i]) && i + 1 < s.size() && IsEnd(s[i + 1]) && s[i] != s[i + 1]) ++i;
    if (IsEnd(s[i])) breaks.push_back(static_cast<int>(i + 1));
  }
  return breaks;
}

bool SameAt(const std::string& s, size_t at, const std::string& pattern, bool caseSensitive) {
  const uint8_t* up = UpperTable1251();
  for (size_t i = 0; i < pattern.size(); ++i) {
    const auto a = static_cast<uint8_t>(s[at + i]), b = static_cast<uint8_t>(pattern[i]);
    if (caseSensitive ? a != b : up[a] != up[b]) return false;
  }
  return true;
}

// The matches' starts in [from, to), left to right, none overlapping.
std::vector<int> ReferenceMatches(const std::string& s, size_t from, size_t to,
                                  const std::string& pattern, bool caseSensitive,
                                  const std::vector<int>& breaks) {
  std::vector<int> starts;
  const size_t m = pattern.size();
  for (size_t p = from; m > 0 && p + m <= to;) {
    bool across = false;
    for (const int b : breaks)
      across = across || (static_cast<size_t>(b) > p && static_cast<size_t>(b) < p + m);
    if (!across && SameAt(s, p, pattern, caseSensitive)) {
      starts.push_back(static_cast<int>(p));
      p += m;
    } else {
      ++p;
    }
  }
  return starts;
}

std::string Replaced(std::string s, const std::vector<int>& starts, size_t m,
                     const std::string& with) {
  for (auto it = starts.rbegin(); it != starts.rend(); ++it)
    s.replace(static_cast<size_t>(*it), m, with);
  return s;
}

std::string AllBytes(ViewBase& v) {
  std::string s;
  v.ReadRange(0, static_cast<int>(v.GetTextLength()), s, nullptr);
  return s;
}

// The search alone, in pieces of 1 to 8 bytes, stopped on the stopAt-th
// report of progress (never when stopAt is 0).
void CheckSearch(const std::string& text, const std::string& pattern, bool caseSensitive,
                 bool lines, size_t piece, int stopAt) {
  const std::vector<int> breaks = lines ? LineBreaks(text) : std::vector<int>{};
  const std::vector<int> expected =
      ReferenceMatches(text, 0, text.size(), pattern, caseSensitive, breaks);
  std::vector<int> starts;
  int reports = 0;
  int64_t lastDone = 0;
  const bool whole = FindAllMatches(
      text, {pattern, caseSensitive}, breaks,
      [&](int64_t done, int64_t total) {
        if (done <= lastDone || done > total || total != static_cast<int64_t>(text.size()))
          Fail("progress went back or past the end");
        lastDone = done;
        return ++reports != stopAt;
      },
      starts, piece);
  if (whole != (stopAt == 0 || reports < stopAt)) Fail("the search ran on or stopped otherwise");
  if (whole ? starts != expected
            : starts.size() > expected.size() ||
                  !std::equal(starts.begin(), starts.end(), expected.begin()))
    Fail("the search found other matches");
}

struct Region {
  StartFrom start;
  int from, to;  // offsets chosen for the cursor and the anchor
};

// "Заменить всё" once in a fresh view, then everything undone and redone.
void CheckView(const std::string& text, const std::string& pattern, const std::string& with,
               bool caseSensitive, bool hex, const Region& region) {
  TestCanvas canvas;
  std::unique_ptr<ViewBase> v;
  if (hex) {
    auto h = std::make_unique<HexView>(&canvas);
    h->SetBytes(text);
    v = std::move(h);
  } else {
    auto t = std::make_unique<TextView>(&canvas);
    t->WrapWidth = 40;
    t->AppendString(text);
    v = std::move(t);
  }
  v->SetViewWidth(400);
  v->SetViewHeight(160);
  for (const bool cursor : {false, true}) {
    int col = cursor ? region.to : region.from, row = 0;
    v->OffsetToPos(col, row);
    v->SetPosition(col, row, cursor);
  }
  // The region as the view holds it: an offset inside CR LF moves off it.
  const int cursor = v->PosToOffset(v->CursorColumn(), v->CursorRow());
  const int anchor = v->PosToOffset(v->AnchorColumn(), v->AnchorRow());
  size_t from = 0, to = text.size();
  if (region.start == StartFrom::kCursor) from = static_cast<size_t>(cursor);
  if (region.start == StartFrom::kSelection) {
    if (!v->HasSelection()) return;  // the choice is not open without a selection
    from = static_cast<size_t>(std::min(cursor, anchor));
    to = from + v->GetSelectedText().size();
  }

  ReplaceSession s;
  s.options.find = pattern;
  s.options.replace = with;
  s.options.caseSensitive = caseSensitive;
  s.options.start = region.start;
  s.hooks.setSearchAs = [](ViewBase& view, int as) {
    if (auto* h = dynamic_cast<HexView*>(&view)) h->SearchAs = static_cast<uint8_t>(as);
  };
  s.Show(v->HasSelection());
  s.options.start = region.start;

  const std::vector<int> starts = ReferenceMatches(text, from, to, pattern, caseSensitive,
                                                   hex ? std::vector<int>{} : LineBreaks(text));
  const std::string expected = Replaced(text, starts, pattern.size(), with);
  std::string message;
  const int count = s.ReplaceAll(*v, message);
  if (std::getenv("REPLACE_TRACE")) {
    auto shown = [](const std::string& b) {
      std::string out;
      for (const char c : b) {
        char hexByte[8];
        std::snprintf(hexByte, sizeof hexByte, "%02x ", static_cast<uint8_t>(c));
        out += hexByte;
      }
      return out;
    };
    std::fprintf(stderr, "%s start %d region %zu..%zu cursor %d anchor %d case %d count %d/%zu\n",
                 hex ? "hex" : "text", static_cast<int>(region.start), from, to, cursor, anchor,
                 caseSensitive, count, starts.size());
    std::fprintf(stderr, "  text    %s\n  pattern %s\n  with    %s\n  got     %s\n",
                 shown(text).c_str(), shown(pattern).c_str(), shown(with).c_str(),
                 shown(AllBytes(*v)).c_str());
  }
  if (count != static_cast<int>(starts.size())) Fail("another count");
  if (AllBytes(*v) != expected) Fail("other bytes");
  if (count > 0 && !v->CanUndo()) Fail("nothing to undo");
  while (v->CanUndo()) v->Undo();
  if (AllBytes(*v) != text) Fail("undo does not give the bytes back");
  while (v->CanRedo()) v->Redo();
  if (AllBytes(*v) != expected) Fail("redo does not replace again");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  Cfg() = Settings{};
  Cfg().MaxUndoLen = 1 << 30;
  Cfg().EffOtstupX = Cfg().EffOtstupY = 0;
  // Few letters, so that matches are many and run into one another; both
  // cases of a Latin and a Cyrillic letter, and the bytes of line ends.
  const std::string alphabet = "aA\xE0\xC0\r\n b";
  const bool raw = in.Byte() & 1;  // any bytes at all, as the hex view holds
  auto pick = [&](size_t n) {
    std::string s = in.Bytes(n);
    if (!raw)
      for (char& c : s) c = alphabet[static_cast<uint8_t>(c) % alphabet.size()];
    return s;
  };
  const std::string pattern = pick(1 + in.Int(4));
  const std::string with = pick(in.Int(5));
  const bool caseSensitive = in.Byte() & 1;
  const size_t piece = 1 + in.Int(8);
  const int stopAt = in.Int(6);
  const Region region{static_cast<StartFrom>(in.Int(3)), in.Int(300), in.Int(300)};
  const std::string text = pick(size > 2000 ? 2000 : size);
  if (pattern.empty()) return 0;
  for (const bool lines : {false, true})
    CheckSearch(text, pattern, caseSensitive, lines, piece, stopAt);
  Region inside = region;
  inside.from %= static_cast<int>(text.size()) + 1;
  inside.to %= static_cast<int>(text.size()) + 1;
  for (const bool hex : {false, true}) CheckView(text, pattern, with, caseSensitive, hex, inside);
  return 0;
}
