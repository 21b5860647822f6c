// The views on the 100 MB Windows-1251 text: the text view's loading, full
// relayout, local reflow after a one-character change, recoding and safe
// saving; the hex view's load, save, insertion and painting.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <vector>

#include "bench_canvas.h"
#include "bench_data.h"
#include "encodings/code_tables.h"
#include "settings/settings.h"
#include "views/hex_view.h"
#include "views/text_view.h"

namespace prambus::bench {
namespace {

const std::string& Text() {
  static const std::string text = [] {
    std::ifstream in(HundredMegabyteFile(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  return text;
}

std::unique_ptr<TextView> LoadedView(Canvas* canvas) {
  auto view = std::make_unique<TextView>(canvas);
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
    TextView view(&canvas);
    view.SetViewWidth(760);
    view.ToggleWordWrap(true);
    view.LoadFromFile(path);
    benchmark::DoNotOptimize(view.LastRow());
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
  const int middle = view->LastRow() / 2;
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const int row = middle + (n++ % 100000);  // a fresh row each time
    view->SetPosition(3, row, true);
    view->SetPosition(3, row, false);
    view->TypeChar('x');
    state.ResumeTiming();
    view->ReflowFrom(row);
  }
}
BENCHMARK(BM_ReflowAfterOneCharacterInTheMiddle)->Unit(benchmark::kMicrosecond);

void BM_PaintOneScreen(benchmark::State& state) {
  BenchCanvas canvas;
  auto view = LoadedView(&canvas);
  view->SetViewHeight(700);
  view->SetScrollY(view->LineHeight() * (view->LastRow() / 2));
  for (auto _ : state) view->Paint();
}
BENCHMARK(BM_PaintOneScreen)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace prambus::bench

namespace prambus::bench {
namespace {

// One typed character in the middle of the document, with its undo record.
void BM_TypeCharacterInTheMiddle(benchmark::State& state) {
  BenchCanvas canvas;
  auto view = LoadedView(&canvas);
  const int middle = view->LastRow() / 2;
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const int row = middle + (n % 100000) / 4;  // four characters per row, then the next row
    if (n++ % 4 == 0) {
      view->SetPosition(10, row, true);
      view->SetPosition(10, row, false);
    }
    state.ResumeTiming();
    view->TypeChar(n % 4 ? 'x' : ' ');
  }
}
BENCHMARK(BM_TypeCharacterInTheMiddle)->Unit(benchmark::kMicrosecond);

// Delete inside a loaded row, a fresh row each time (the row takes its own
// copy of its bytes first), with its undo record.
void BM_DeleteCharacterInLoadedRows(benchmark::State& state) {
  BenchCanvas canvas;
  auto view = LoadedView(&canvas);
  const int middle = view->LastRow() / 2;
  int n = 0;
  for (auto _ : state) {
    state.PauseTiming();
    const int row = middle + (n++ % 100000);
    view->SetPosition(10, row, true);
    view->SetPosition(10, row, false);
    state.ResumeTiming();
    view->DeleteForward();
  }
}
BENCHMARK(BM_DeleteCharacterInLoadedRows)->Unit(benchmark::kMicrosecond);

// Selects the 10 MB from offset 40 MB to 50 MB.
void SelectTenMegabytes(TextView& view) {
  int col = 40 << 20, row = 0;
  view.OffsetToPos(col, row);
  view.SetPosition(col, row, false);
  col = 50 << 20, row = 0;
  view.OffsetToPos(col, row);
  view.SetPosition(col, row, true);
}

// Deleting 10 MB and taking it back. The undo budget is raised above the
// deletion for the run (by default a deletion this large is not kept), and
// each iteration checks that the document came back whole.
void BM_DeleteSelection10MBAndUndo(benchmark::State& state) {
  BenchCanvas canvas;
  auto view = LoadedView(&canvas);
  const int64_t length = view->GetTextLength();
  const int32_t budget = Cfg().MaxUndoLen;
  Cfg().MaxUndoLen = 64 << 20;
  for (auto _ : state) {
    SelectTenMegabytes(*view);
    view->DeleteSelection(true, true);
    view->Undo();
    if (view->GetTextLength() != length) {
      state.SkipWithError("the undo did not restore the document");
      break;
    }
  }
  Cfg().MaxUndoLen = budget;
}
BENCHMARK(BM_DeleteSelection10MBAndUndo)->Unit(benchmark::kMillisecond)->Iterations(3);

// Deleting 10 MB under the default undo budget, which cannot keep it: only
// the deletion is timed; the text is put back untimed for the next run.
void BM_DeleteSelection10MBBeyondUndoBudget(benchmark::State& state) {
  BenchCanvas canvas;
  auto view = LoadedView(&canvas);
  const std::string tenMegabytes = Text().substr(40 << 20, 10 << 20);
  for (auto _ : state) {
    SelectTenMegabytes(*view);
    view->DeleteSelection(true, true);
    state.PauseTiming();
    view->InsertText(tenMegabytes, false, true);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_DeleteSelection10MBBeyondUndoBudget)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SetCharTableWholeDocument(benchmark::State& state) {
  BenchCanvas canvas;
  auto view = LoadedView(&canvas);
  bool dos = false;
  for (auto _ : state) {
    dos = !dos;
    view->SetCharTable(dos ? DosTable() : WindowsTable());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Text().size()));
}
BENCHMARK(BM_SetCharTableWholeDocument)->Unit(benchmark::kMillisecond)->Iterations(3);

// Recoding converts the whole document as one piece and lays it out again:
// Windows-1251 to UTF-8 and back, 100 MB each way.
void BM_RecodeToUtf8AndBack100MB(benchmark::State& state) {
  BenchCanvas canvas;
  auto view = LoadedView(&canvas);
  for (auto _ : state) {
    view->Recode(WindowsTable(), MarkerTable(kConvUtf8));
    view->Recode(MarkerTable(kConvUtf8), WindowsTable());
  }
  state.SetBytesProcessed(state.iterations() * 2 * static_cast<int64_t>(Text().size()));
}
BENCHMARK(BM_RecodeToUtf8AndBack100MB)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_LoadThroughDosTable(benchmark::State& state) {
  BenchCanvas canvas;
  const std::string& path = HundredMegabyteFile();
  for (auto _ : state) {
    TextView view(&canvas);
    view.SetViewWidth(760);
    view.ToggleWordWrap(true);
    view.SetCharTable(DosTable());
    view.LoadFromFile(path);
    benchmark::DoNotOptimize(view.LastRow());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Text().size()));
}
BENCHMARK(BM_LoadThroughDosTable)->Unit(benchmark::kMillisecond)->Iterations(3);

// The hex view on the 100 MB file: load, save, one byte inserted in the
// middle (and far from the last edit), one screen painted.
void BM_HexLoad100MB(benchmark::State& state) {
  BenchCanvas canvas;
  for (auto _ : state) {
    HexView view(&canvas);
    view.LoadFromFile(HundredMegabyteFile());
    benchmark::DoNotOptimize(view.LastRow());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Text().size()));
}
BENCHMARK(BM_HexLoad100MB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_HexSave100MB(benchmark::State& state) {
  BenchCanvas canvas;
  HexView view(&canvas);
  view.LoadFromFile(HundredMegabyteFile());
  for (auto _ : state) view.SaveToFile("/tmp/prambus-bench/hex-saved.bin");
  std::remove("/tmp/prambus-bench/hex-saved.bin");
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Text().size()));
}
BENCHMARK(BM_HexSave100MB)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

void BM_HexInsertByteInTheMiddle(benchmark::State& state) {
  BenchCanvas canvas;
  HexView view(&canvas);
  view.LoadFromFile(HundredMegabyteFile());
  view.InCodes = false;
  for (auto _ : state) {
    view.MoveCursorToByte(static_cast<int>(view.Data().size() / 2));
    view.TypeChar('x');
  }
}
BENCHMARK(BM_HexInsertByteInTheMiddle)->Unit(benchmark::kMillisecond)->Iterations(20);

// Each byte typed a quarter of the file away from the last edit: the bytes
// in between move, as after a jump across the document.
void BM_HexInsertByteFarFromTheLastEdit(benchmark::State& state) {
  BenchCanvas canvas;
  HexView view(&canvas);
  view.LoadFromFile(HundredMegabyteFile());
  view.InCodes = false;
  view.TypeChar('x');  // the room for edits is taken before the timing
  int at = static_cast<int>(view.Data().size() / 4);
  for (auto _ : state) {
    at = static_cast<int>(view.Data().size()) - at;
    view.MoveCursorToByte(at);
    view.TypeChar('x');
  }
}
BENCHMARK(BM_HexInsertByteFarFromTheLastEdit)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_HexPaintOneScreen(benchmark::State& state) {
  BenchCanvas canvas;
  HexView view(&canvas);
  view.LoadFromFile(HundredMegabyteFile());
  view.SetViewWidth(1000);
  view.SetViewHeight(700);
  view.SetScrollY(view.LineHeight() * (view.LastRow() / 2));
  for (auto _ : state) view.Paint();
}
BENCHMARK(BM_HexPaintOneScreen)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace prambus::bench
