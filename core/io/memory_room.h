// Whether a large edit can have the memory it needs, asked before it changes
// anything: an edit that runs out half-way would leave the document half
// changed, so one that cannot have its memory is refused whole instead.
#pragma once

#include <cstddef>

namespace prambus {

// Whether `bytes` of memory can be had at once now: that much address space
// is mapped and given straight back, untouched, so asking costs no memory.
// The system refuses such a mapping when it could never back it (more than
// memory and swap together, or past a limit on the process's address space).
bool MemoryRoomFor(size_t bytes);

// Tests answer in place of the system with `probe`; nullptr: the system again.
void SetMemoryRoomProbe(bool (*probe)(size_t bytes));

}  // namespace prambus
