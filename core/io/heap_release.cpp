#include "io/heap_release.h"

#include <cstdlib>  // defines __GLIBC__ where the GNU C library is the one in use

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace prambus {

void ReleaseFreeHeap() {
#if defined(__GLIBC__)
  ::malloc_trim(0);
#endif
}

}  // namespace prambus
