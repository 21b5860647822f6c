// Saving the 100 MB document the way the Save command does, both ways: a
// complete copy renamed over the file (a file with one name), and the file
// rewritten in place behind a backup of its old content (a file with a
// second name). Both flush everything to the disk, so they measure the disk
// as much as the program.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "bench_canvas.h"
#include "bench_data.h"
#include "shell/safe_save.h"
#include "views/text_view.h"

namespace prambus::bench {
namespace {

void SaveRepeatedly(benchmark::State& state, bool secondName, SaveMethod expected) {
  BenchCanvas canvas;
  TextView view(&canvas);
  view.SetViewWidth(760);
  view.ToggleWordWrap(true);
  view.LoadFromFile(HundredMegabyteFile());
  const std::string target = "/tmp/prambus-bench/saved.txt";
  const std::string link = target + ".second-name";
  std::remove(link.c_str());
  view.SaveToFile(target);
  if (secondName && ::link(target.c_str(), link.c_str()) != 0) state.SkipWithError("no hard link");
  SaveOptions options;
  options.backupFolder = "/tmp/prambus-bench";
  for (auto _ : state) {
    const SaveOutcome saved = SaveSafely(target, options, [&](int fd) { view.WriteContent(fd); });
    if (!saved.Saved() || saved.method != expected) state.SkipWithError("not saved as expected");
  }
  std::remove(link.c_str());
  std::remove(target.c_str());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(view.GetTextLength()));
}

void BM_SaveByRename100MB(benchmark::State& state) {
  SaveRepeatedly(state, false, SaveMethod::kRename);
}
BENCHMARK(BM_SaveByRename100MB)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_SaveInPlace100MB(benchmark::State& state) {
  SaveRepeatedly(state, true, SaveMethod::kInPlace);
}
BENCHMARK(BM_SaveInPlace100MB)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace
}  // namespace prambus::bench
