// Test data the benchmarks make themselves.
#pragma once

#include <cstddef>
#include <string>

namespace prambus::bench {

// A Windows-1251 text of about `bytes` bytes: lines of about 70 characters
// ending in CR LF, mixed Cyrillic and Latin words and punctuation.
std::string MakeRussianText(size_t bytes, unsigned seed = 1);

// The path of the 100 MB text, written on first use under /tmp/prambus-bench.
const std::string& HundredMegabyteFile();

}  // namespace prambus::bench
