// The callbacks a plug-in calls, with the arguments a careless plug-in might
// pass, against a plain reference string of the document: reading lines,
// positions and the selection by the (length, buffer) rule, inserting over
// the selection, walking and rewriting the lines. After every call the rows
// concatenate to the reference and what was read matches it.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "extensions/plugin_callbacks.h"
#include "fuzz_input.h"
#include "settings/settings.h"
#include "support/test_canvas.h"
#include "views/text_view.h"

using namespace prambus;

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "callback check failed: %s\n", what);
  std::abort();
}

std::string Text(const ViewBase& v) {
  std::string s;
  for (int r = 0; r <= v.LastRow(); ++r) s += v.GetRow(r);
  return s;
}

class Window : public ExtensionWindow {
 public:
  explicit Window(ViewBase* v) : view(v) {}
  ViewBase* CurrentView() override { return view; }
  int CurrentViewKind() const override { return 1; }
  bool WholeDocument() override { return true; }
  bool PressKey(int, uint8_t) override { return true; }
  bool TypeCharacter(uint8_t) override { return true; }
  void Relayout() override {}
  bool OpenFile(const std::string&) override { return false; }
  bool SaveFile(const std::string&) override { return false; }
  std::string FileName() const override { return "/tmp/name.txt"; }
  void BeforeViewChange() override {}
  void AfterCursorMove() override {}
  void AfterEdit() override {}
  ViewBase* view;
};

template <typename Fn>
Fn Get(int number) {
  prambus_function f = nullptr;
  PluginGetFunction()(number, &f);
  return reinterpret_cast<Fn>(f);
}

// The plug-in's side of a pass: plain functions sharing this state.
fuzz::Input* input = nullptr;
std::vector<std::string> seen;   // rows as the walk or the rewrite saw them
std::vector<std::string> after;  // rows as the rewrite left them
std::vector<std::string> pieces;
int stopAt = -1;

void Visit(int32_t length, const char* data, int32_t* stop) {
  if (length < 0 || (length > 0 && !data)) Fail("walk passed an impossible line");
  seen.emplace_back(data, static_cast<size_t>(length));
  if (static_cast<int>(seen.size()) == stopAt) *stop = 1;
}

void Rewrite(int32_t* length, const char** data, int32_t* last) {
  seen.emplace_back(*data, static_cast<size_t>(*length));
  const int choice = input->Int(4);
  if (choice == 1) {  // a new text
    pieces.push_back(input->Bytes(static_cast<size_t>(input->Int(12))));
    *data = pieces.back().data();
    *length = static_cast<int32_t>(pieces.back().size());
  } else if (choice == 2) {  // impossible: the line stays
    *length = -1 - input->Int(5);
  } else if (choice == 3) {
    *length = 0;
  }
  after.push_back(*length >= 0 ? std::string(*data, static_cast<size_t>(*length)) : seen.back());
  if (static_cast<int>(seen.size()) == stopAt) *last = 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  input = &in;
  Cfg() = Settings{};
  Cfg().Shag = 1 + in.Int(6);
  TestCanvas canvas;
  TextView view(&canvas);
  view.SetViewWidth(120);
  view.WrapWidth = 40 + in.Int(200);
  std::string ref = in.Bytes(static_cast<size_t>(in.Int(80)));
  view.AppendBytes(reinterpret_cast<const uint8_t*>(ref.data()), static_cast<int>(ref.size()));
  Window window(&view);
  PluginCallScope scope(window);
  char buffer[64];
  while (!in.Empty()) {
    switch (in.Int(7)) {
      case 0: {  // a line by the (length, buffer) rule
        const int line = in.Int(view.LastRow() + 5) - 2;
        int32_t length = in.Int(70) - 3;
        const bool withBuffer = in.Byte() & 1;
        const int32_t asked = length;
        const int32_t r = Get<prambus_get_line_fn>(PRAMBUS_GET_LINE)(
            line, &length, withBuffer && asked <= 64 ? buffer : nullptr);
        const bool valid =
            line >= 0 && line <= view.LastRow() && !(withBuffer && asked <= 64 && asked < 0);
        if ((r != 0) != valid) Fail("get line accepted or refused wrongly");
        if (!r) break;
        const std::string_view row = view.GetRow(line);
        if (!withBuffer || asked > 64) {
          if (length != static_cast<int32_t>(row.size())) Fail("line length");
        } else if (length != std::min<int32_t>(asked, row.size()) ||
                   (length > 0 && std::memcmp(buffer, row.data(), length) != 0)) {
          Fail("line copy");
        }
        break;
      }
      case 1: {  // insert over the selection
        const std::string text = in.Bytes(static_cast<size_t>(in.Int(10)));
        const int a = view.PosToOffset(view.AnchorColumn(), view.AnchorRow());
        const int c = view.PosToOffset(view.CursorColumn(), view.CursorRow());
        const bool selection = view.HasSelection();
        if (!Get<prambus_insert_fn>(PRAMBUS_INSERT)(static_cast<int32_t>(text.size()), text.data()))
          Fail("insert refused");
        if (selection || !text.empty())
          ref.replace(std::min(a, c), static_cast<size_t>(std::abs(a - c)), text);
        break;
      }
      case 2: {
        const int32_t which = in.Int(3);
        const int32_t r = Get<prambus_set_position_fn>(PRAMBUS_SET_POSITION)(
            in.Int(60) - 5, in.Int(view.LastRow() + 6) - 3, which);
        if (which > 1 && r != 0) Fail("set position accepted another end");
        break;
      }
      case 3: {  // rewrite some lines
        seen.clear();
        after.clear();
        pieces.clear();
        pieces.reserve(1024);
        stopAt = in.Int(view.RowCount() + 2);
        const int rows = view.RowCount();
        std::vector<std::string> before;
        for (int r = 0; r < rows; ++r) before.emplace_back(view.GetRow(r));
        const uint64_t revision = view.Revision();
        if (!Get<prambus_rewrite_lines_fn>(PRAMBUS_REWRITE_LINES)(Rewrite)) Fail("rewrite refused");
        std::string expect;
        for (size_t r = 0; r < before.size(); ++r) {
          if (r < seen.size() && seen[r] != before[r]) Fail("rewrite showed another line");
          expect += r < after.size() ? after[r] : before[r];
        }
        // A rewrite that changed a byte drops the history and moves the
        // revision; one that gave every byte back changes nothing at all.
        const bool changed = expect != ref;
        ref = expect;
        if (changed && (view.CanUndo() || view.CanRedo())) Fail("undo kept after a rewrite");
        if (changed != (view.Revision() != revision))
          Fail("the revision does not follow a rewrite");
        break;
      }
      case 4: {  // walk
        seen.clear();
        stopAt = in.Int(view.RowCount() + 2);
        if (!Get<prambus_walk_lines_fn>(PRAMBUS_WALK_LINES)(Visit)) Fail("walk refused");
        if (static_cast<int>(seen.size()) > view.RowCount()) Fail("walk went past the last line");
        for (size_t r = 0; r < seen.size(); ++r)
          if (seen[r] != view.GetRow(static_cast<int>(r))) Fail("walk line");
        break;
      }
      case 5: {  // selection
        int32_t length = in.Int(70);
        const int32_t asked = length;
        const std::string selected = view.GetSelectedText();
        if (!Get<prambus_get_selection_fn>(PRAMBUS_GET_SELECTION)(&length,
                                                                  asked <= 64 ? buffer : nullptr))
          Fail("selection refused");
        if (asked <= 64 && (length != std::min<int32_t>(asked, selected.size()) ||
                            (length > 0 && std::memcmp(buffer, selected.data(), length) != 0)))
          Fail("selection copy");
        break;
      }
      default: {
        int32_t count = -1;
        Get<prambus_size_fn>(PRAMBUS_SIZE)(&count);
        if (count != static_cast<int32_t>(ref.size())) Fail("size");
        break;
      }
    }
    if (Text(view) != ref) Fail("rows differ from the reference");
  }
  return 0;
}
