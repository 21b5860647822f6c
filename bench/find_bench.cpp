// Searching the 100 MB document for a word that does not occur, beside vim
// and grep on the same file (their figures include starting and reading);
// and "Заменить всё" of a word found 100,000 times in 10 MB, with undo on.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <memory>

#include "bench_canvas.h"
#include "bench_data.h"
#include "settings/settings.h"
#include "shell/find_replace.h"
#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus::bench {
namespace {

std::unique_ptr<TextView> Loaded(Canvas* canvas, const std::string& path) {
  auto view = std::make_unique<TextView>(canvas);
  view->SetViewWidth(760);
  view->ToggleWordWrap(true);
  view->LoadFromFile(path);
  return view;
}

const std::string kMissing = "\xCF\xF0\xE0\xEC\xE1\xF3\xF1zz";  // "Прамбусzz"

void Search(benchmark::State& state, bool caseSensitive) {
  BenchCanvas canvas;
  auto view = Loaded(&canvas, HundredMegabyteFile());
  for (auto _ : state) {
    int limit = kNoLimit;
    view->SetPosition(0, 0, true);
    if (view->FindText(kMissing, limit, false, caseSensitive)) state.SkipWithError("found");
  }
  state.SetBytesProcessed(state.iterations() * (100ll << 20));
}
void BM_FindMissingWordCaseSensitive(benchmark::State& s) {
  Search(s, true);
}
void BM_FindMissingWordIgnoringCase(benchmark::State& s) {
  Search(s, false);
}
BENCHMARK(BM_FindMissingWordCaseSensitive)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();
BENCHMARK(BM_FindMissingWordIgnoringCase)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

void Shell(benchmark::State& state, const std::string& cmd) {
  for (auto _ : state) benchmark::DoNotOptimize(std::system(cmd.c_str()));
  state.SetBytesProcessed(state.iterations() * (100ll << 20));
}
void BM_VimSearchMissingWord(benchmark::State& s) {
  Shell(s, "vim -u NONE -n -es -c '/" + kMissing + "' -c 'q!' " + HundredMegabyteFile() +
               " >/dev/null 2>&1");
}
void BM_GrepMissingWord(benchmark::State& s) {
  Shell(s, "grep -c -F '" + kMissing + "' " + HundredMegabyteFile() + " >/dev/null 2>&1");
}
BENCHMARK(BM_VimSearchMissingWord)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_GrepMissingWord)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_ReplaceAll100000In10MB(benchmark::State& state) {
  BenchCanvas canvas;
  std::string text = MakeRussianText(10u << 20, 3);
  // Every 100th byte starts the word "qqq".
  for (size_t i = 0; i + 3 < text.size(); i += 100)
    if (text[i] != '\r' && text[i + 1] != '\r' && text[i + 2] != '\r' && text[i + 1] != '\n')
      text.replace(i, 3, "qqq");
  for (auto _ : state) {
    state.PauseTiming();
    TextView view(&canvas);
    view.SetViewWidth(760);
    view.ToggleWordWrap(true);
    view.AppendString(text);
    ReplaceSession r;
    r.options = ReplaceOptions{.find = "qqq", .replace = "zz"};
    std::string message;
    state.ResumeTiming();
    const int n = r.ReplaceAll(view, message);
    state.counters["replaced"] = n;
  }
}
BENCHMARK(BM_ReplaceAll100000In10MB)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// Searching codes that do not occur through the 100 MB file in the hex view.
void BM_HexFindMissingCodes(benchmark::State& state) {
  BenchCanvas canvas;
  HexView view(&canvas);
  view.LoadFromFile(HundredMegabyteFile());
  view.SearchAs = 2;
  for (auto _ : state) {
    int limit = kNoLimit;
    view.MoveCursorToByte(0);
    if (view.FindText("00 01 02 03", limit, false, true)) state.SkipWithError("found");
  }
  state.SetBytesProcessed(state.iterations() * (100ll << 20));
}
BENCHMARK(BM_HexFindMissingCodes)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace prambus::bench
