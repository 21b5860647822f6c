// The look at a document's file that the window takes on every activation
// and before every save, on the 100 MB document: unchanged (one stat), and
// touched (only the times moved, so the content is hashed once). Also the
// hash a load or save of that document ends with.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "bench_data.h"
#include "shell/disk_watch.h"

namespace prambus::bench {
namespace {

void BM_ActivationCheckUnchanged(benchmark::State& state) {
  const std::string file = HundredMegabyteFile();
  DiskIdentity remembered = WithContentHash(file, DiskIdentityOf(file));
  for (auto _ : state) {
    if (CompareWithDisk(file, remembered) != DiskChange::kNone) state.SkipWithError("changed");
  }
}
BENCHMARK(BM_ActivationCheckUnchanged)->Unit(benchmark::kMicrosecond);

void BM_ActivationCheckAfterATouch(benchmark::State& state) {
  const std::string file = HundredMegabyteFile();
  DiskIdentity remembered = WithContentHash(file, DiskIdentityOf(file));
  for (auto _ : state) {
    state.PauseTiming();
    ::utimensat(AT_FDCWD, file.c_str(), nullptr, 0);  // now
    state.ResumeTiming();
    if (CompareWithDisk(file, remembered) != DiskChange::kNone) state.SkipWithError("changed");
  }
}
BENCHMARK(BM_ActivationCheckAfterATouch)->Unit(benchmark::kMillisecond);

void BM_ContentHashAtLoadEnd(benchmark::State& state) {
  const std::string file = HundredMegabyteFile();
  for (auto _ : state) benchmark::DoNotOptimize(WithContentHash(file, DiskIdentityOf(file)));
  state.SetBytesProcessed(state.iterations() * DiskIdentityOf(file).size);
}
BENCHMARK(BM_ContentHashAtLoadEnd)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace prambus::bench
