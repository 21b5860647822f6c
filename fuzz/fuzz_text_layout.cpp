// Differential fuzzing of the text view's layout: random byte blocks are
// appended, then random reflows, relayouts and wrap widths; after every step
// the rows must concatenate to the bytes given, line ends may only end rows,
// and a row is wider than the wrap width only when it holds one character.
#include <cstdio>
#include <cstdlib>
#include <string>

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
  for (int r = 0; r <= v.LastRow; ++r) {
    std::fprintf(stderr, "%3d w=%4d |", r, v.RowWidth(r));
    for (unsigned char c : v.GetRow(r)) std::fprintf(stderr, " %02x", c);
    std::fprintf(stderr, "\n");
  }
}

void Check(const TextView& v, const std::string& expected) {
  if (std::getenv("LAYOUT_DUMP")) Dump(v);
  std::string all;
  for (int r = 0; r <= v.LastRow; ++r) {
    std::string_view row = v.GetRow(r);
    all += row;
    size_t body = row.size();
    while (body > 0 && IsLineEnd(static_cast<uint8_t>(row[body - 1]))) --body;
    for (size_t i = 0; i < body; ++i)
      if (IsLineEnd(static_cast<uint8_t>(row[i]))) Fail("line end inside a row", r);
    if (row.size() - body > 2) Fail("more than two line-end characters", r);
    if (r < v.LastRow && row.empty()) Fail("empty row before the last", r);
    // Only a single character wider than the wrap width (and a blank hanging
    // after it) may make a row wider.
    size_t counted = body;
    if (counted > 1 && CharClass[static_cast<uint8_t>(row[counted - 1])] == kBlank) --counted;
    if (v.RowWidth(r) > v.WrapWidth && counted != 1) Fail("row wider than the wrap width", r);
  }
  if (all != expected) Fail("rows differ from the text", -1);
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
  view.WrapWidth = 16 + in.Int(300);
  std::string text;
  while (!in.Empty()) {
    switch (in.Byte() % 6) {
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
        view.ReflowFrom(in.Int(view.LastRow + 1));
        break;
      case 4:
        view.Relayout();
        break;
      case 5:
        view.SetViewWidth(16 + in.Int(300));
        view.ToggleWordWrap(in.Byte() & 1);
        break;
    }
    Check(view, text);
  }
  return 0;
}
