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

// The path of the largest text a document may hold (2^31 - 1 bytes: the
// 100 MB text over and over), written on first use under /tmp/prambus-bench
// and kept there for the next run (2 GB: remove it when done).
const std::string& LargestTextFile();

}  // namespace prambus::bench
