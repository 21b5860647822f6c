// Loads a file into the text view as the program does (8192-byte blocks,
// word wrap at 760 pixels), or into the hex view with --hex, and prints the
// time taken and the peak memory:
//   load_text [--hex | --proportional] FILE
//   load_text --largest
// --largest loads the largest text a document may hold (2^31 - 1 bytes,
// written under /tmp/prambus-bench on first use and kept there).
#include <malloc.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "bench_canvas.h"
#include "bench_data.h"
#include "process_figures.h"
#include "settings/settings.h"
#include "views/hex_view.h"
#include "views/text_view.h"

int main(int argc, char** argv) {
  const bool hex = argc > 2 && std::string(argv[1]) == "--hex";
  const bool proportional = argc > 2 && std::string(argv[1]) == "--proportional";
  if (argc < 2) {
    std::fprintf(stderr, "usage: load_text [--hex | --proportional] FILE | --largest\n");
    return 2;
  }
  const bool largest = std::string(argv[argc - 1]) == "--largest";
  const std::string file = largest ? prambus::bench::LargestTextFile() : argv[argc - 1];
  prambus::bench::BenchCanvas canvas(proportional);
  // The process's own private pages (the C++ runtime's, the heap's first
  // pages, the stack) before any document exists: what follows is the document's.
  const long anonBefore = prambus::bench::StatusKb("RssAnon");
  const auto start = std::chrono::steady_clock::now();
  std::unique_ptr<prambus::ViewBase> owner;
  if (hex) {
    owner = std::make_unique<prambus::HexView>(&canvas);
    owner->LoadFromFile(file);
  } else {
    auto text = std::make_unique<prambus::TextView>(&canvas);
    text->SetViewWidth(760);
    text->ToggleWordWrap(true);
    text->LoadFromFile(file);
    owner = std::move(text);
  }
  prambus::ViewBase& view = *owner;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  rusage ru{};
  getrusage(RUSAGE_SELF, &ru);
  const double user = ru.ru_utime.tv_sec + ru.ru_utime.tv_usec / 1e6;
  const double sys = ru.ru_stime.tv_sec + ru.ru_stime.tv_usec / 1e6;
  std::printf("rows %d seconds %.3f user %.3f sys %.3f peak_kb %ld\n", view.RowCount(), seconds,
              user, sys, ru.ru_maxrss);
  // Where the private memory goes: the rows' parts, the heap in use, the rest.
  if (const auto* text = dynamic_cast<const prambus::TextView*>(&view)) {
    const prambus::TextView::RowMemory m = text->MemoryUse();
    std::printf(
        "arena_kb %zu rows_kb %zu (reserved %zu) widths_kb %zu (reserved %zu) edited_kb %zu\n",
        m.arena >> 10, m.rowsUsed >> 10, m.rowsReserved >> 10, m.widthsUsed >> 10,
        m.widthsReserved >> 10, m.edited >> 10);
  }
  const struct mallinfo2 heap = mallinfo2();
  const long anonAfter = prambus::bench::StatusKb("RssAnon");
  std::printf("heap_in_use_kb %zu heap_free_kb %zu mapped_kb %zu rss_anon_kb %ld\n",
              heap.uordblks >> 10, heap.fordblks >> 10, heap.hblkhd >> 10, anonAfter);
  std::printf("document_kb %ld (%.4f of the file; the process held %ld KB before it)\n",
              anonAfter - anonBefore,
              static_cast<double>(anonAfter - anonBefore) * 1024.0 /
                  static_cast<double>(view.GetTextLength()),
              anonBefore);
  return 0;
}
