// A switch of view kind on the 100 MB text: the document handed from the text
// view to a fresh hex view and back, as F6 does.
#include <benchmark/benchmark.h>

#include <memory>

#include "bench_canvas.h"
#include "bench_data.h"
#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus::bench {
namespace {

std::unique_ptr<TextView> NewTextView(Canvas* canvas) {
  auto view = std::make_unique<TextView>(canvas);
  view->SetViewWidth(760);
  view->ToggleWordWrap(true);
  return view;
}

void BM_SwitchTextToHex100MB(benchmark::State& state) {
  BenchCanvas canvas;
  auto text = NewTextView(&canvas);
  text->LoadFromFile(HundredMegabyteFile());
  for (auto _ : state) {
    HexView hex(&canvas);
    hex.ExpectLength(text->GetTextLength());
    text->CopyContentTo(hex);
    benchmark::DoNotOptimize(hex.LastRow());
  }
  state.SetBytesProcessed(state.iterations() * text->GetTextLength());
}
BENCHMARK(BM_SwitchTextToHex100MB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_SwitchHexToText100MB(benchmark::State& state) {
  BenchCanvas canvas;
  HexView hex(&canvas);
  hex.LoadFromFile(HundredMegabyteFile());
  for (auto _ : state) {
    auto text = NewTextView(&canvas);
    text->ExpectLength(hex.GetTextLength());
    hex.CopyContentTo(*text);
    benchmark::DoNotOptimize(text->LastRow());
  }
  state.SetBytesProcessed(state.iterations() * hex.GetTextLength());
}
BENCHMARK(BM_SwitchHexToText100MB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace prambus::bench
