#include "extensions/plugin_callbacks.h"

#include <atomic>
#include <cstring>
#include <optional>
#include <string_view>
#include <thread>

#include "extensions/fault_guard.h"
#include "extensions/virtual_keys.h"
#include "io/posix_file.h"

namespace prambus {

struct PluginCallScope::State {
  ExtensionWindow* window;
  std::thread::id thread;
  int passes = 0;  // walks and rewrites running
  bool faulted = false;
};

namespace {

std::atomic<PluginCallScope::State*> active{nullptr};

enum class Access { kRead, kChange };

// Runs a callback's body for the active call, or refuses (0) outside one,
// from another thread, or when it would change the document during a pass.
// Nothing may be thrown back into the plug-in's C code.
template <typename Body>
int32_t Run(Access access, Body body) {
  PluginCallScope::State* s = active.load();
  if (!s || s->thread != std::this_thread::get_id()) return 0;
  if (access == Access::kChange && s->passes > 0) return 0;
  try {
    return body(*s);
  } catch (...) {
    return 0;
  }
}

// A callback on the view sees the whole document: a load still running
// (a file the plug-in opened, a switch of view it asked for) ends first.
template <typename Body>
int32_t RunOnView(Access access, Body body) {
  return Run(access, [&](PluginCallScope::State& s) -> int32_t {
    if (!s.window->CurrentView() || !s.window->WholeDocument()) return 0;
    ViewBase* view = s.window->CurrentView();
    return view ? body(s, *view) : 0;
  });
}

// The (length, buffer) rule: no buffer asks for the length; otherwise as
// much as fits is copied and the count reported.
int32_t CopyOut(std::string_view text, int32_t* length, char* buffer) {
  if (!length) return 0;
  if (!buffer) {
    *length = static_cast<int32_t>(std::min<size_t>(text.size(), INT32_MAX));
    return 1;
  }
  if (*length < 0) return 0;
  const size_t n = std::min(static_cast<size_t>(*length), text.size());
  if (n) std::memcpy(buffer, text.data(), n);
  *length = static_cast<int32_t>(n);
  return 1;
}

// Bytes from the plug-in: (length, pointer), no NUL inside for a path.
bool ValidBytes(int32_t length, const char* bytes) {
  return length >= 0 && (length == 0 || bytes);
}

// The plug-in's bytes copied into the program's own memory before anything
// acts on them: a pointer that does not hold `length` bytes faults here,
// under a guard, never in the middle of an edit. Nothing when it faulted;
// the call is then marked as faulted.
std::optional<std::string> CopyIn(PluginCallScope::State& s, int32_t length, const char* bytes) {
  std::string out(static_cast<size_t>(length), '\0');
  if (length > 0 && !RunGuarded([&] { std::memcpy(out.data(), bytes, out.size()); })) {
    s.faulted = true;
    return std::nullopt;
  }
  return out;
}

// A file name from the plug-in: some bytes, none of them NUL.
std::optional<std::string> CopyInPath(PluginCallScope::State& s, int32_t length,
                                      const char* bytes) {
  std::optional<std::string> path = CopyIn(s, length, bytes);
  if (path && path->find('\0') != std::string::npos) return std::nullopt;
  return path;
}

struct PassScope {
  explicit PassScope(PluginCallScope::State& s) : s(s) { ++s.passes; }
  ~PassScope() { --s.passes; }
  PluginCallScope::State& s;
};

int32_t GetFunction(int32_t number, prambus_function* out);

int32_t KeyDown(int32_t virtualKey, int32_t flags) {
  return Run(Access::kChange, [&](PluginCallScope::State& s) -> int32_t {
    const std::optional<uint8_t> state = ShiftStateFromKeyFlags(flags);
    if (!state || !IsKnownVirtualKey(virtualKey) || !s.window->CurrentView()) return 0;
    return s.window->PressKey(virtualKey, *state) ? 1 : 0;
  });
}

int32_t KeyPress(int32_t character) {
  return Run(Access::kChange, [&](PluginCallScope::State& s) -> int32_t {
    if (character < 0 || character > 255 || !s.window->CurrentView()) return 0;
    return s.window->TypeCharacter(static_cast<uint8_t>(character)) ? 1 : 0;
  });
}

int32_t Position(int32_t* column, int32_t* row, int32_t which) {
  return RunOnView(Access::kRead, [&](PluginCallScope::State&, ViewBase& v) -> int32_t {
    if (!column || !row) return 0;
    *column = which != 0 ? v.CursorColumn() : v.AnchorColumn();
    *row = which != 0 ? v.CursorRow() : v.AnchorRow();
    return 1;
  });
}

int32_t SetPosition(int32_t column, int32_t row, int32_t which) {
  return RunOnView(Access::kChange, [&](PluginCallScope::State& s, ViewBase& v) -> int32_t {
    if (which != 0 && which != 1) return 0;
    s.window->BeforeViewChange();
    const bool result = v.SetPosition(column, row, which == 1);
    s.window->AfterCursorMove();
    return result ? 1 : 0;
  });
}

int32_t Size(int32_t* count) {
  return RunOnView(Access::kRead, [&](PluginCallScope::State&, ViewBase& v) -> int32_t {
    if (!count) return 0;
    *count = v.PosToOffset(static_cast<int>(v.GetRow(v.LastRow()).size()), v.LastRow());
    return 1;
  });
}

int32_t GetLine(int32_t line, int32_t* length, char* buffer) {
  return RunOnView(Access::kRead, [&](PluginCallScope::State&, ViewBase& v) -> int32_t {
    if (!length || line < 0 || line > v.LastRow()) return 0;
    return CopyOut(v.GetRow(line), length, buffer);
  });
}

int32_t Nothing() {
  return 0;
}

int32_t Refresh() {
  return Run(Access::kChange, [&](PluginCallScope::State& s) -> int32_t {
    s.window->Relayout();
    return 1;
  });
}

int32_t Open(int32_t length, const char* path) {
  return Run(Access::kChange, [&](PluginCallScope::State& s) -> int32_t {
    if (length <= 0 || !path) return 0;
    const std::optional<std::string> name = CopyInPath(s, length, path);
    return name && s.window->OpenFile(*name) ? 1 : 0;
  });
}

int32_t Save(int32_t length, const char* path) {
  return Run(Access::kChange, [&](PluginCallScope::State& s) -> int32_t {
    if (!ValidBytes(length, path) || !s.window->CurrentView()) return 0;
    const std::optional<std::string> name = CopyInPath(s, length, path);
    return name && s.window->SaveFile(*name) ? 1 : 0;
  });
}

int32_t GetFileName(int32_t* length, char* buffer) {
  return Run(Access::kRead, [&](PluginCallScope::State& s) -> int32_t {
    return CopyOut(s.window->FileName(), length, buffer);
  });
}

// The text view keeps empty rows beyond the last one in its row array; a
// plug-in walking the document's lines sees only the document's own.
int32_t WalkLines(prambus_line_visitor visit) {
  return RunOnView(Access::kRead, [&](PluginCallScope::State& s, ViewBase& v) -> int32_t {
    if (!visit) return 0;
    PassScope pass(s);
    const bool textRows = s.window->CurrentViewKind() == 1;
    const int rows = v.RowCount();
    int seen = 0;
    bool faulted = false;
    v.ForEachRow([&](int length, const uint8_t* data, bool* stop) {
      int32_t flag = 0;
      if (!RunGuarded([&] { visit(length, reinterpret_cast<const char*>(data), &flag); })) {
        faulted = true;
        flag = 1;
      }
      if (textRows && ++seen >= rows) flag = 1;
      *stop = flag != 0;
    });
    if (faulted) s.faulted = true;
    return faulted ? 0 : 1;
  });
}

int32_t RewriteLines(prambus_line_rewriter rewrite) {
  return RunOnView(Access::kChange, [&](PluginCallScope::State& s, ViewBase& v) -> int32_t {
    if (!rewrite) return 0;
    s.window->BeforeViewChange();
    bool faulted = false;
    std::string line;  // the replacement of the current line, in the program's memory
    {
      PassScope pass(s);
      int64_t total = v.GetTextLength();
      v.TransformRows([&](int* length, const uint8_t** data, bool* last) {
        int32_t newLength = *length;
        const char* newData = reinterpret_cast<const char*>(*data);
        int32_t flag = *last ? 1 : 0;
        if (!RunGuarded([&] { rewrite(&newLength, &newData, &flag); })) {
          faulted = true;  // the line stays; the lines before keep their new text
          *last = true;
          return;
        }
        // A line the plug-in described impossibly stays as it was; one that
        // would make the document too long for its offsets ends the pass.
        if (ValidBytes(newLength, newData)) {
          const int64_t grown = total - *length + newLength;
          if (grown > kMaxDocumentSize) {
            *last = true;
            return;
          }
          std::optional<std::string> copied = CopyIn(s, newLength, newData);
          if (!copied) {
            faulted = true;
            *last = true;
            return;
          }
          line = std::move(*copied);
          total = grown;
          *length = newLength;
          *data = reinterpret_cast<const uint8_t*>(line.data());
        }
        *last = flag != 0;
      });
    }
    if (faulted) s.faulted = true;
    s.window->AfterEdit();
    return faulted ? 0 : 1;
  });
}

int32_t GetSelection(int32_t* length, char* buffer) {
  return RunOnView(Access::kRead, [&](PluginCallScope::State&, ViewBase& v) -> int32_t {
    if (!length) return 0;
    return CopyOut(v.GetSelectedText(), length, buffer);
  });
}

int32_t Insert(int32_t length, const char* text) {
  return RunOnView(Access::kChange, [&](PluginCallScope::State& s, ViewBase& v) -> int32_t {
    if (!ValidBytes(length, text)) return 0;
    if (v.GetTextLength() + length > kMaxDocumentSize) return 0;
    if (length == 0 && !v.HasSelection()) return 1;
    const std::optional<std::string> bytes = CopyIn(s, length, text);
    if (!bytes) return 0;
    // Asked before the selection goes: a refused insertion changes nothing.
    if (!v.HasMemoryFor(length)) return 0;
    s.window->BeforeViewChange();
    if (length == 0) {  // only the selection goes
      const bool deleted = !v.GetSelectedText().empty();
      v.DeleteSelection(true, true);
      if (deleted) v.SealUndo();
    } else {
      // As typing and pasting do: the text lands where the selection was.
      v.DeleteSelectionForInsert();
      v.InsertText(*bytes, true, true);
    }
    s.window->AfterEdit();
    return 1;
  });
}

int32_t ViewSize(int32_t* width, int32_t* height) {
  return RunOnView(Access::kRead, [&](PluginCallScope::State&, ViewBase& v) -> int32_t {
    if (!width || !height) return 0;
    *width = v.ViewWidth();
    *height = v.ViewHeight();
    return 1;
  });
}

int32_t Version() {
  return Run(Access::kRead,
             [](PluginCallScope::State&) -> int32_t { return PRAMBUS_EXTENSION_VERSION; });
}

const prambus_function kCallbacks[] = {
    reinterpret_cast<prambus_function>(&GetFunction),
    reinterpret_cast<prambus_function>(&KeyDown),
    reinterpret_cast<prambus_function>(&KeyPress),
    reinterpret_cast<prambus_function>(&Position),
    reinterpret_cast<prambus_function>(&SetPosition),
    reinterpret_cast<prambus_function>(&Size),
    reinterpret_cast<prambus_function>(&GetLine),
    reinterpret_cast<prambus_function>(&Nothing),
    reinterpret_cast<prambus_function>(&Refresh),
    reinterpret_cast<prambus_function>(&Open),
    reinterpret_cast<prambus_function>(&Save),
    reinterpret_cast<prambus_function>(&GetFileName),
    reinterpret_cast<prambus_function>(&WalkLines),
    reinterpret_cast<prambus_function>(&RewriteLines),
    reinterpret_cast<prambus_function>(&GetSelection),
    reinterpret_cast<prambus_function>(&Insert),
    reinterpret_cast<prambus_function>(&ViewSize),
    reinterpret_cast<prambus_function>(&Version),
};
static_assert(std::size(kCallbacks) == PRAMBUS_VERSION + 1);

int32_t GetFunction(int32_t number, prambus_function* out) {
  if (!out) return 0;
  constexpr int32_t count = static_cast<int32_t>(std::size(kCallbacks));
  *out = number >= 0 && number < count ? kCallbacks[number] : nullptr;
  return *out ? 1 : 0;
}

}  // namespace

PluginCallScope::PluginCallScope(ExtensionWindow& window)
    : state_(new State{&window, std::this_thread::get_id()}), outer_(active.load()) {
  active.store(state_);
}

PluginCallScope::~PluginCallScope() {
  active.store(outer_);
  delete state_;
}

bool PluginCallScope::Faulted() const {
  return state_->faulted;
}

prambus_get_function PluginGetFunction() {
  return &GetFunction;
}

}  // namespace prambus
