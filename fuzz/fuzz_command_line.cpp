// Any command line (arguments split at NUL bytes): reading it never fails,
// the file opened is one of the arguments as given, what Qt is given are
// arguments in their order and never the file, and a refusal says why.
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/command_line.h"

using namespace prambus;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      args.emplace_back();
    else
      args.back() += static_cast<char>(data[i]);
  }
  const CommandLine line = ParseCommandLine(args);
  if (line.request == CommandLine::Request::kMisuse && line.problem.empty()) std::abort();
  if (line.request != CommandLine::Request::kOpen) return 0;
  // The toolkit's options are a subsequence of the arguments, and the file
  // is an argument outside it.
  size_t at = 0;
  for (const std::string& option : line.toolkitOptions) {
    while (at < args.size() && args[at] != option) ++at;
    if (at == args.size()) std::abort();
    ++at;
  }
  if (!line.file.empty()) {
    bool found = false;
    for (const std::string& a : args) found = found || a == line.file;
    if (!found) std::abort();
  }
  return 0;
}
