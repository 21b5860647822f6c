// Encoding detection over the sample it is given on open (64 KiB), for a
// Windows-1251 text, the same text in KOI8-R (every candidate scored) and a
// UTF-8 text (validity only).
#include <benchmark/benchmark.h>

#include "bench_data.h"
#include "encodings/conversions.h"
#include "encodings/cyrillic_tables.h"
#include "encodings/encoding_detection.h"
#include "views/view_base.h"

namespace prambus::bench {
namespace {

std::string Sample(int kind) {
  std::string text = MakeRussianText(kDetectionSample);
  if (kind == 1) {
    const CodeTable inverse = InverseTable(Koi8rTable());
    for (char& c : text) c = static_cast<char>(inverse[static_cast<uint8_t>(c)]);
  } else if (kind == 2) {
    text = ansiToUtf8(text).substr(0, kDetectionSample);
  }
  return text;
}

void BM_DetectEncoding(benchmark::State& state) {
  const std::string sample = Sample(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(DetectEncoding(sample, false));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * sample.size()));
}
BENCHMARK(BM_DetectEncoding)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace prambus::bench
