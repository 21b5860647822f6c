// Freed heap memory stays resident until the allocator is asked to give it
// back: the small row arrays a view starts with, dropped once a load moves
// its rows to storage of their own, would otherwise be held for as long as
// the document is open.
#pragma once

namespace prambus {

// Returns the whole pages of freed heap memory to the system (with the GNU C
// library; elsewhere nothing). Costs a walk over the free memory: for the
// end of a long operation, not for every edit.
void ReleaseFreeHeap();

}  // namespace prambus
