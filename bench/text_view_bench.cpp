// The text view on the 100 MB Windows-1251 text: loading, full relayout and
// the local reflow after a one-character change.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <vector>

#include "bench_canvas.h"
#include "bench_data.h"
#include "settings/settings.h"
#include "views/viewtext.h"

namespace prambus::bench {
namespace {

const std::string& Text() {
  static const std::string text = [] {
    std::ifstream in(HundredMegabyteFile(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  return text;
}

std::unique_ptr<vwtext> LoadedView(Canvas* canvas) {
  auto view = std::make_unique<vwtext>(canvas);
  view->SetViewWidth(760);
  view->ToggleWordWrap(true);
  const std::string& t = Text();
  for (size_t i = 0; i < t.size(); i += 8192) {
    const size_t n = std::min<size_t>(8192, t.size() - i);
    view->AppendBytes(reinterpret_cast<const uint8_t*>(t.data() + i), static_cast<int>(n));
  }
  return view;
}

void BM_LoadFile100MB(benchmark::State& state) {
  BenchCanvas canvas;
  const std::string& path = HundredMegabyteFile();
  for (auto _ : state) {
    vwtext view(&canvas);
    view.SetViewWidth(760);
    view.ToggleWordWrap(true);
    view.LoadFromFile(path);
    benchmark::DoNotOptimize(view.LastRow);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Text().size()));
}
BENCHMARK(BM_LoadFile100MB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Relayout100MB(benchmark::State& state) {
  BenchCanvas canvas;
  auto view = LoadedView(&canvas);
  for (auto _ : state) view->Relayout();
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Text().size()));
}
BENCHMARK(BM_Relayout100MB)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReflowAfterOneCharacterInTheMiddle(benchmark::State& state) {
  BenchCanvas canvas;
  auto view = LoadedView(&canvas);
  const int row = view->LastRow / 2;
  for (auto _ : state) {
    view->SetPosition(3, row, true);
    view->SetPosition(3, row, false);
    view->TypeChar('x');
    view->ReflowFrom(row);
  }
}
BENCHMARK(BM_ReflowAfterOneCharacterInTheMiddle)->Unit(benchmark::kMicrosecond);

void BM_PaintOneScreen(benchmark::State& state) {
  BenchCanvas canvas;
  auto view = LoadedView(&canvas);
  view->SetViewHeight(700);
  view->SetScrollY(view->LineHeight() * (view->LastRow / 2));
  for (auto _ : state) view->Paint();
}
BENCHMARK(BM_PaintOneScreen)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace prambus::bench
