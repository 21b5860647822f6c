// Each conversion over the 100 MB text, and iconv doing the same job in the
// same run where it can (its figures are the BM_Iconv* lines).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "bench_data.h"
#include "encodings/code_tables.h"
#include "encodings/conversions.h"
#include "encodings/recode.h"

namespace prambus::bench {
namespace {

const std::string& Ansi() {
  static const std::string text = [] {
    std::ifstream in(HundredMegabyteFile(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  return text;
}

const std::string& Utf8File() {
  static const std::string path = [] {
    const std::string p = "/tmp/prambus-bench/text100m.utf8";
    std::ofstream(p, std::ios::binary) << ansiToUtf8(Ansi());
    return p;
  }();
  return path;
}

// The text view converts its document row by row; here the 100 MB go through
// in pieces of 64 KiB.
template <typename F>
void Run(benchmark::State& state, const std::string& input, F convert) {
  constexpr size_t kPiece = 64 << 10;
  for (auto _ : state) {
    size_t total = 0;
    for (size_t i = 0; i < input.size(); i += kPiece)
      total += convert(std::string_view(input).substr(i, kPiece)).size();
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(input.size()));
}

void BM_AnsiToUtf8(benchmark::State& s) {
  Run(s, Ansi(), [](std::string_view t) { return ansiToUtf8(t); });
}
void BM_Utf8ToAnsi(benchmark::State& s) {
  static const std::string utf8 = ansiToUtf8(Ansi());
  Run(s, utf8, [](std::string_view t) { return utf8ToAnsi(t); });
}
void BM_AnsiToUtf16(benchmark::State& s) {
  Run(s, Ansi(), [](std::string_view t) { return ansiToUtf16(t); });
}
void BM_Utf16ToAnsi(benchmark::State& s) {
  static const std::string utf16 = ansiToUtf16(Ansi());
  Run(s, utf16, [](std::string_view t) { return utf16ToAnsi(t, true); });
}
void BM_WindowsToDosTable(benchmark::State& s) {
  const RecodePlan plan(WindowsTable(), DosForOutputTable());
  const CodeTable table = plan.Composed();
  Run(s, Ansi(), [&](std::string_view t) {
    std::string out(t);
    for (char& c : out) c = static_cast<char>(table[static_cast<uint8_t>(c)]);
    return out;
  });
}
void BM_EncodeQuotedPrintable(benchmark::State& s) {
  Run(s, Ansi(), [](std::string_view t) { return encodeQuotedPrintable(t, true); });
}
void BM_DecodeQuotedPrintable(benchmark::State& s) {
  static const std::string qp = encodeQuotedPrintable(Ansi(), true);
  Run(s, qp, [](std::string_view t) { return decodeQuotedPrintable(t); });
}
void BM_CyrillicToTranslit(benchmark::State& s) {
  Run(s, Ansi(), [](std::string_view t) { return cyrillicToTranslit(t); });
}
void BM_TranslitToCyrillic(benchmark::State& s) {
  static const std::string latin = cyrillicToTranslit(Ansi());
  Run(s, latin, [](std::string_view t) { return translitToCyrillic(t); });
}

void Iconv(benchmark::State& state, const std::string& from, const std::string& to,
           const std::string& file) {
  const std::string cmd = "iconv -f " + from + " -t " + to + " " + file + " > /dev/null 2>&1";
  for (auto _ : state) benchmark::DoNotOptimize(std::system(cmd.c_str()));
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Ansi().size()));
}
void BM_IconvCp1251ToUtf8(benchmark::State& s) {
  Iconv(s, "CP1251", "UTF-8", HundredMegabyteFile());
}
void BM_IconvUtf8ToCp1251(benchmark::State& s) {
  Iconv(s, "UTF-8", "CP1251", Utf8File());
}
void BM_IconvCp1251ToUtf16(benchmark::State& s) {
  Iconv(s, "CP1251", "UTF-16LE", HundredMegabyteFile());
}
void BM_IconvCp1251ToCp866(benchmark::State& s) {
  Iconv(s, "CP1251", "CP866", HundredMegabyteFile());
}

#define CONVERSION(name) \
  BENCHMARK(name)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime()
CONVERSION(BM_AnsiToUtf8);
CONVERSION(BM_Utf8ToAnsi);
CONVERSION(BM_AnsiToUtf16);
CONVERSION(BM_Utf16ToAnsi);
CONVERSION(BM_WindowsToDosTable);
CONVERSION(BM_EncodeQuotedPrintable);
CONVERSION(BM_DecodeQuotedPrintable);
CONVERSION(BM_CyrillicToTranslit);
CONVERSION(BM_TranslitToCyrillic);
CONVERSION(BM_IconvCp1251ToUtf8);
CONVERSION(BM_IconvUtf8ToCp1251);
CONVERSION(BM_IconvCp1251ToUtf16);
CONVERSION(BM_IconvCp1251ToCp866);

}  // namespace
}  // namespace prambus::bench
