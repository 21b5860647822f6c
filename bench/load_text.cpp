// Loads a file into the text view as the program does (8192-byte blocks,
// word wrap at 760 pixels), or into the hex view with --hex, and prints the
// time taken and the peak memory:
//   load_text [--hex | --proportional] FILE
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "bench_canvas.h"
#include "settings/settings.h"
#include "views/hex_view.h"
#include "views/text_view.h"

int main(int argc, char** argv) {
  const bool hex = argc > 2 && std::string(argv[1]) == "--hex";
  const bool proportional = argc > 2 && std::string(argv[1]) == "--proportional";
  if (argc < 2) {
    std::fprintf(stderr, "usage: load_text [--hex] FILE\n");
    return 2;
  }
  prambus::bench::BenchCanvas canvas(proportional);
  const auto start = std::chrono::steady_clock::now();
  std::unique_ptr<prambus::ViewBase> owner;
  if (hex) {
    owner = std::make_unique<prambus::HexView>(&canvas);
    owner->LoadFromFile(argv[2]);
  } else {
    auto text = std::make_unique<prambus::TextView>(&canvas);
    text->SetViewWidth(760);
    text->ToggleWordWrap(true);
    text->LoadFromFile(argv[argc - 1]);
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
  return 0;
}
