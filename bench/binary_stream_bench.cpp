// The block-buffered stream reading and writing 100 MB byte by byte, beside
// `cat FILE > /dev/null` on the same file for scale.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "bench_data.h"
#include "io/binary_stream.h"

namespace prambus::bench {
namespace {

void BM_BinaryStreamRead100MB(benchmark::State& state) {
  const std::string& path = HundredMegabyteFile();
  for (auto _ : state) {
    BinaryStream f(path, true);
    const int32_t n = f.Size();
    uint32_t sum = 0;
    for (int32_t i = 0; i < n; ++i) sum += f.ReadByte();
    benchmark::DoNotOptimize(sum);
  }
  state.SetBytesProcessed(state.iterations() * (100ll << 20));
}
BENCHMARK(BM_BinaryStreamRead100MB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BinaryStreamWrite100MB(benchmark::State& state) {
  const std::string path = "/tmp/prambus-bench/written.bin";
  for (auto _ : state) {
    BinaryStream f(path, false);
    for (int32_t i = 0; i < (100 << 20); ++i) f.WriteByte(static_cast<uint8_t>(i));
    f.Close();
  }
  std::remove(path.c_str());
  state.SetBytesProcessed(state.iterations() * (100ll << 20));
}
BENCHMARK(BM_BinaryStreamWrite100MB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CatToDevNull100MB(benchmark::State& state) {
  const std::string cmd = "cat " + HundredMegabyteFile() + " > /dev/null";
  for (auto _ : state) benchmark::DoNotOptimize(std::system(cmd.c_str()));
  state.SetBytesProcessed(state.iterations() * (100ll << 20));
}
BENCHMARK(BM_CatToDevNull100MB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace prambus::bench
