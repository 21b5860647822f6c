// Differential fuzzing of the text view's layout: random byte blocks are
// appended, then random reflows (which may leave rows to lay out again later,
// in steps), relayouts, wrap widths (down to none at all), display tables and
// recodes; after every step the rows must concatenate to
// the bytes given, line ends may only end rows, and a row is wider than the
// wrap width only when it holds one character. A recode must give what the
// conversion gives for the whole text, whatever the rows. At the end, once
// the rows left for later are laid out, and again after a whole relayout, the
// layout must be the one the text gets in a single block, or byte by byte,
// or loaded from a file in steps of random sizes (the document's width kept
// right after every step).
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "encodings/code_tables.h"
#include "encodings/recode.h"
#include "fuzz_input.h"
#include "settings/settings.h"
#include "support/test_canvas.h"
#include "views/char_class.h"
#include "views/text_view.h"

using namespace prambus;

namespace {

[[noreturn]] void Fail(const char* what, int row) {
  std::fprintf(stderr, "layout check failed: %s (row %d)\n", what, row);
  std::abort();
}

void Dump(const TextView& v) {
  std::fprintf(stderr, "wrap %d\n", v.WrapWidth);
  for (int r = 0; r <= v.LastRow(); ++r) {
    std::fprintf(stderr, "%3d w=%4d |", r, v.RowWidth(r));
    for (unsigned char c : v.GetRow(r)) std::fprintf(stderr, " %02x", c);
    std::fprintf(stderr, "\n");
  }
}

void Check(const TextView& v, const std::string& expected) {
  if (std::getenv("LAYOUT_DUMP")) Dump(v);
  std::string all;
  for (int r = 0; r <= v.LastRow(); ++r) {
    std::string_view row = v.GetRow(r);
    all += row;
    size_t body = row.size();
    while (body > 0 && IsLineEnd(static_cast<uint8_t>(row[body - 1]))) --body;
    for (size_t i = 0; i < body; ++i)
      if (IsLineEnd(static_cast<uint8_t>(row[i]))) Fail("line end inside a row", r);
    if (row.size() - body > 2) Fail("more than two line-end characters", r);
    if (r < v.LastRow() && row.empty()) Fail("empty row before the last", r);
    // Only a single character wider than the wrap width (and a blank hanging
    // after it) may make a row wider.
    size_t counted = body;
    if (counted > 1 && CharClass[static_cast<uint8_t>(row[counted - 1])] == kBlank) --counted;
    if (v.RowWidth(r) > std::max(v.WrapWidth, 0) && counted != 1)
      Fail("row wider than the wrap width", r);
  }
  if (all != expected) Fail("rows differ from the text", -1);
}

// The tables a recode may go from and to, conversions included.
CodeTable RecodeTable(uint8_t pick) {
  switch (pick % 7) {
    case 0:
      return WindowsTable();
    case 1:
      return DosTable();
    case 2:
      return DosForOutputTable();
    default:
      return MarkerTable(static_cast<uint8_t>(pick % 7 - 3));
  }
}

std::string Through(std::string s, const CodeTable& t) {
  for (char& c : s) c = static_cast<char>(t[static_cast<uint8_t>(c)]);
  return s;
}

// The same text laid out from scratch, in blocks of the given size.
void ExpectSameLayout(const TextView& v, Canvas* canvas, const std::string& text, size_t block) {
  TextView fresh(canvas);
  fresh.WrapWidth = v.WrapWidth;
  for (size_t i = 0; i < text.size(); i += block) {
    const size_t n = std::min(block, text.size() - i);
    fresh.AppendBytes(reinterpret_cast<const uint8_t*>(text.data()) + i, static_cast<int>(n));
  }
  if (fresh.LastRow() != v.LastRow()) Fail("the row count depends on the blocks", -1);
  for (int r = 0; r <= v.LastRow(); ++r)
    if (fresh.GetRow(r) != v.GetRow(r) || fresh.RowWidth(r) != v.RowWidth(r))
      Fail("the layout depends on the blocks", r);
}

// The text saved to a file and loaded back in steps of random sizes.
void ExpectSameSteppedLoad(const TextView& v, Canvas* canvas, const std::string& text,
                           uint32_t seed) {
  static const std::string path = "/tmp/fuzz_text_layout." + std::to_string(::getpid());
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      << Through(text, InverseTable(v.CharTable()));
  TextView loaded(canvas);
  loaded.WrapWidth = v.WrapWidth;
  loaded.SetCharTable(v.CharTable());
  std::mt19937 random(seed);
  const auto load = loaded.BeginLoad(path);
  for (bool done = false; !done;) {
    done = load->Step(random() % 3 == 0 ? 1 + random() % 4 : 1 + random() % 200);
    int widest = 0;
    for (int r = 0; r <= loaded.LastRow(); ++r) widest = std::max(widest, loaded.RowWidth(r));
    if (loaded.GetDocumentWidth() != widest)
      Fail("the width after a step is not the widest row's", -1);
  }
  std::remove(path.c_str());
  if (loaded.LastRow() != v.LastRow()) Fail("the row count depends on the load steps", -1);
  for (int r = 0; r <= v.LastRow(); ++r)
    if (loaded.GetRow(r) != v.GetRow(r) || loaded.RowWidth(r) != v.RowWidth(r))
      Fail("the layout depends on the load steps", r);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  Cfg() = Settings{};
  Cfg().Shag = 1 + in.Int(20);
  TestCanvas canvas;
  for (int c = 0; c < 256; c += 1 + in.Int(40))
    canvas.SetCharWidth(static_cast<uint8_t>(c), 1 + in.Int(30));
  TextView view(&canvas);
  view.WrapWidth = in.Int(300) - 8;
  // A reflow may end a row early after a row or two, leaving the rest of its
  // paragraph to ContinueLayout steps of varying sizes.
  view.LimitEditLayout(1 + static_cast<int>(size % 3));
  std::string text;
  int steps = 0;
  while (!in.Empty()) {
    switch (in.Byte() % 8) {
      case 0:
      case 1:
      case 2: {
        const std::string block = in.Bytes(1 + in.Int(64));
        view.AppendBytes(reinterpret_cast<const uint8_t*>(block.data()),
                         static_cast<int>(block.size()));
        text += block;
        break;
      }
      case 3:
        view.ReflowFrom(in.Int(view.LastRow() + 1));
        break;
      case 4:
        view.Relayout();
        break;
      case 5:
        view.SetViewWidth(in.Int(300) - 8);
        view.ToggleWordWrap(in.Byte() & 1);
        break;
      case 6: {  // show through another table: every character is exchanged
        const CodeTable& shown = in.Byte() & 1 ? DosTable() : WindowsTable();
        text = Through(Through(text, InverseTable(view.CharTable())), shown);
        view.SetCharTable(shown);
        break;
      }
      case 7: {
        const CodeTable source = RecodeTable(in.Byte());
        const CodeTable target = RecodeTable(in.Byte());
        if (text.size() > 20000) break;  // conversions may grow it fourfold each time
        const RecodePlan plan(source, target);
        const std::string bytes = Through(text, InverseTable(view.CharTable()));
        if (!view.Recode(source, target)) Fail("recode refused", -1);
        text = Through(plan.Encode(plan.Decode(bytes)), view.CharTable());
        break;
      }
    }
    Check(view, text);
    if (++steps % 3 == 0) {
      view.ContinueLayout(1 + static_cast<size_t>(steps % 40));
      Check(view, text);
    }
  }
  // The rows left to lay out again, once laid out, are those of a whole layout.
  while (!view.ContinueLayout(1 + static_cast<size_t>(size % 50))) Check(view, text);
  ExpectSameLayout(view, &canvas, text, text.size() + 1);
  view.Relayout();
  Check(view, text);
  ExpectSameLayout(view, &canvas, text, text.size() + 1);
  ExpectSameLayout(view, &canvas, text, 1);
  ExpectSameSteppedLoad(view, &canvas, text, static_cast<uint32_t>(size * 2654435761u));
  return 0;
}
