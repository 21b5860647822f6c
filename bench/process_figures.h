// What the benchmarks read of their own process.
#pragma once

namespace prambus::bench {

// A figure of /proc/self/status in KB ("RssAnon", "RssFile"); -1 where the
// system has no such file or figure.
long StatusKb(const char* key);

}  // namespace prambus::bench
