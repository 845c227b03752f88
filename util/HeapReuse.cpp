#include "util/HeapReuse.h"

#include <cstdlib> // defines __GLIBC__ with the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace korvel {

void keepFreedMemoryForReuse()
{
#if defined(__GLIBC__)
    // Blocks up to the largest threshold glibc allows come from the heap, where they can be
    // used again, rather than from a mapping of their own that is unmapped when freed.
    constexpr int kLargestHeapBlock = 32 * 1024 * 1024;
    constexpr int kFreedTopKept = 256 * 1024 * 1024;
    mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
    mallopt(M_TRIM_THRESHOLD, kFreedTopKept);
#endif
}

} // namespace korvel
