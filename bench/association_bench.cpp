// Binding an extension when the user's mimeapps.list is long (50,000 lines
// of other programs' defaults): the welcome window binds every extension
// typed in it this way, and each binding reads the lists, finds the types
// the program is the default for and writes the lists and the program's
// desktop entry back. Run with the pure lookup of those types as well.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "associations/key_file_text.h"
#include "associations/mimeapps_list.h"
#include "associations/xdg_association_store.h"

namespace prambus::bench {
namespace {

// Other programs' defaults, one type a line, with the program itself the
// default for every tenth type.
std::string LongList(int lines) {
  std::string text = "[Default Applications]\n";
  for (int i = 0; i < lines; ++i)
    text += "x-bench/type-" + std::to_string(i) + "=" +
            (i % 10 == 0 ? std::string("prambus.desktop;")
                         : "other-" + std::to_string(i) + ".desktop;") +
            "\n";
  return text;
}

void WriteFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

void BM_TypesDefaultingTo(benchmark::State& state) {
  const KeyFileText list(LongList(static_cast<int>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(TypesDefaultingTo(list, "prambus.desktop"));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TypesDefaultingTo)->Arg(2000)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

// One binding as the welcome window makes it, through the real files.
void BM_BindExtension(benchmark::State& state) {
  char tmpl[] = "/tmp/prambus-bench-xdgXXXXXX";
  const std::string root = ::mkdtemp(tmpl);
  XdgDirs dirs;
  dirs.configHome = root + "/config";
  dirs.dataHome = root + "/data";
  dirs.dataDirs = {root + "/system"};
  WriteFile(root + "/system/mime/globs2", "50:text/plain:*.txt\n");
  WriteFile(root + "/bin/prambus", "");
  const std::string list = LongList(static_cast<int>(state.range(0)));
  XdgAssociationStore store(dirs, ProgramFiles{root + "/bin/prambus", {}});
  for (auto _ : state) {
    state.PauseTiming();
    WriteFile(dirs.configHome + "/mimeapps.list", list);
    state.ResumeTiming();
    if (!store.BindExtension(".txt", true)) state.SkipWithError("not bound");
  }
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_BindExtension)
    ->Arg(2000)
    ->Arg(10000)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace prambus::bench
