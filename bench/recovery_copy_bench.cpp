// What a recovery copy of the 100 MB document costs the window's thread:
// the snapshot of its bytes (in the text view the edited rows are copied
// and the rest kept; the hex view's first snapshot maps its buffer, later
// ones reuse it while typing goes on), and taking over the written copy in
// place of the last one. Writing the copy itself runs on another thread; its time
// is shown for comparison. "longest_ms" is the longest single pause.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "bench_canvas.h"
#include "bench_data.h"
#include "extensions/recovery_copy.h"
#include "views/document_snapshot.h"
#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus::bench {
namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The process's private resident memory in KB ("RssAnon"); -1 where unknown.
long PrivateKb() {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return -1;
  char line[256];
  long kb = -1;
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, "RssAnon:", 8) == 0) kb = std::atol(line + 8);
  std::fclose(f);
  return kb;
}

// Between copies: a key somewhere in the document, as typing does, or a
// pasted piece of `pasted` bytes.
template <typename View>
void Snapshots(benchmark::State& state, View& view, bool reuse, size_t pasted = 1) {
  DocumentSnapshot snapshot;
  double longest = 0;
  int edit = 0;
  std::string piece(pasted, 'x');
  for (size_t i = 60; i < piece.size(); i += 61) piece[i] = ' ';
  const long privateBefore = PrivateKb();
  for (auto _ : state) {
    if (!reuse) snapshot = DocumentSnapshot();
    state.PauseTiming();
    view.SetPosition(3, (edit++ * 7919) % std::max(1, view.LastRow()), true);
    view.InsertText(piece, true, true);
    state.ResumeTiming();
    const Clock::time_point start = Clock::now();
    TakeSnapshot(view, snapshot);
    longest = std::max(longest, Ms(Clock::now() - start));
    benchmark::DoNotOptimize(snapshot.bytes.data());
  }
  state.counters["longest_ms"] = longest;
  // What the snapshots (and the edits between them) added to the private
  // memory: a whole copy's buffer, or only what was edited.
  state.counters["added_kb"] = static_cast<double>(PrivateKb() - privateBefore);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(view.GetTextLength()));
}

void BM_RecoverySnapshotText100MB(benchmark::State& state) {
  BenchCanvas canvas;
  TextView view(&canvas);
  view.SetViewWidth(760);
  view.ToggleWordWrap(true);
  view.LoadFromFile(HundredMegabyteFile());
  Snapshots(state, view, state.range(0) != 0, static_cast<size_t>(state.range(1)));
}
BENCHMARK(BM_RecoverySnapshotText100MB)
    ->Args({0, 1})
    ->Args({1, 1})
    ->Args({1, 1 << 20})
    ->Args({1, 10 << 20})
    ->ArgNames({"reused", "pasted"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->UseRealTime();

void BM_RecoverySnapshotHex100MB(benchmark::State& state) {
  BenchCanvas canvas;
  HexView view(&canvas);
  view.SetViewWidth(760);
  view.LoadFromFile(HundredMegabyteFile());
  Snapshots(state, view, state.range(0) != 0);
}
BENCHMARK(BM_RecoverySnapshotHex100MB)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("reused")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->UseRealTime();

// The other thread's part (written and flushed to the disk), then the
// window's: holding the new copy in place of the old one, whose files the
// other thread removes.
void BM_RecoveryWriteAndReplace100MB(benchmark::State& state) {
  BenchCanvas canvas;
  TextView view(&canvas);
  view.SetViewWidth(760);
  view.LoadFromFile(HundredMegabyteFile());
  DocumentSnapshot snapshot;
  TakeSnapshot(view, snapshot);
  const std::string folder = "/tmp/prambus-bench/recovery";
  RecoveryCopy held;
  double longestWrite = 0, longestReplace = 0;
  for (auto _ : state) {
    Clock::time_point start = Clock::now();
    WrittenCopy written = WriteCopyFiles(folder, {"/tmp/doc.txt", "", 1, 0, 0},
                                         [&](int fd) { WriteSnapshot(fd, snapshot); });
    longestWrite = std::max(longestWrite, Ms(Clock::now() - start));
    if (!written) state.SkipWithError("not written");
    start = Clock::now();
    WrittenCopy earlier = held.Exchange(std::move(written));
    longestReplace = std::max(longestReplace, Ms(Clock::now() - start));
    DiscardWrittenCopy(earlier);  // on the other thread in the window
  }
  held.Remove();
  state.counters["write_ms"] = longestWrite;
  state.counters["longest_ms"] = longestReplace;
}
BENCHMARK(BM_RecoveryWriteAndReplace100MB)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();

}  // namespace
}  // namespace prambus::bench
