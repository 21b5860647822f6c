// SHA-256 of the 100 MB document as "Контрольные суммы..." takes it (the
// bytes as saved, read in pieces and fed to libcrypto), in the text view and
// in the hex view, against sha256sum on the same file; and the four
// checksums the window shows together.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench_canvas.h"
#include "bench_data.h"
#include "checksum_digests.h"
#include "settings/settings.h"
#include "views/hex_view.h"
#include "views/saved_bytes.h"
#include "views/text_view.h"

namespace prambus::bench {
namespace {

constexpr int kSha256 = 3;  // its place in kChecksumNames

std::string Sha256sum(const std::string& path) {
  std::string out;
  if (FILE* p = ::popen(("sha256sum " + path).c_str(), "r")) {
    char buf[256];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    ::pclose(p);
  }
  return out.substr(0, out.find(' '));
}

// The job the checksum window runs, to its end; the digests' results.
std::vector<std::string> Sum(ViewBase& view, std::vector<std::unique_ptr<Digest>> digests) {
  ChecksumJob job(ReadSavedBytes(view, false), std::move(digests));
  while (!job.Step(size_t(64) << 20)) {
  }
  return job.Results();
}

std::vector<std::unique_ptr<Digest>> Sha256Only() {
  std::vector<std::unique_ptr<Digest>> d;
  d.push_back(MakeChecksumDigest(kSha256));
  return d;
}

void Sha256Of(benchmark::State& state, ViewBase& view) {
  const std::string expected = Sha256sum(HundredMegabyteFile());
  for (auto _ : state) {
    if (Sum(view, Sha256Only()).at(0) != expected) state.SkipWithError("not sha256sum's value");
  }
  state.SetBytesProcessed(state.iterations() * view.GetTextLength());
}

void BM_Sha256TextDocument100MB(benchmark::State& state) {
  BenchCanvas canvas;
  TextView view(&canvas);
  view.SetViewWidth(760);
  view.ToggleWordWrap(true);
  view.LoadFromFile(HundredMegabyteFile());
  Sha256Of(state, view);
}
BENCHMARK(BM_Sha256TextDocument100MB)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_Sha256HexDocument100MB(benchmark::State& state) {
  BenchCanvas canvas;
  HexView view(&canvas);
  view.LoadFromFile(HundredMegabyteFile());
  Sha256Of(state, view);
}
BENCHMARK(BM_Sha256HexDocument100MB)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// The same bytes through the system's own tool (its start and the read of
// the file from the page cache included, as a user runs it).
void BM_Sha256sumOfTheFile100MB(benchmark::State& state) {
  const std::string& path = HundredMegabyteFile();
  for (auto _ : state) benchmark::DoNotOptimize(Sha256sum(path));
  state.SetBytesProcessed(state.iterations() *
                          static_cast<int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_Sha256sumOfTheFile100MB)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_FourChecksumsTextDocument100MB(benchmark::State& state) {
  BenchCanvas canvas;
  TextView view(&canvas);
  view.SetViewWidth(760);
  view.ToggleWordWrap(true);
  view.LoadFromFile(HundredMegabyteFile());
  for (auto _ : state) benchmark::DoNotOptimize(Sum(view, MakeChecksumDigests()));
  state.SetBytesProcessed(state.iterations() * view.GetTextLength());
}
BENCHMARK(BM_FourChecksumsTextDocument100MB)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

}  // namespace
}  // namespace prambus::bench
