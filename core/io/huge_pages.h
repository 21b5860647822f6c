// Large buffers backed by huge pages where the system offers them. Filling
// fresh memory costs one page fault per page; with 4 KiB pages a 100 MB
// document pays about 25,000 of them, which on a virtual machine is a few
// hundred milliseconds, while 2 MiB pages make it about fifty.
#pragma once

#include <cstddef>

namespace prambus {

// Below this size a buffer keeps ordinary pages: a small document should
// not occupy a whole huge page.
constexpr size_t kHugePageWorthy = size_t(4) << 20;

// Asks for huge pages for the whole 2 MiB blocks inside [p, p + n), when n
// is at least kHugePageWorthy. Only a hint: the contents stay as they are,
// and nothing changes where the system has no huge pages.
void AdviseHugePages(void* p, size_t n);

// Maps n bytes (a multiple of 4 KiB) of zeroed memory aligned to 2 MiB,
// advised for huge pages and populated, for a buffer that will be filled at
// once; release it with munmap(p, n). Null when the mapping fails.
void* MapFilledSoon(size_t n);

}  // namespace prambus
