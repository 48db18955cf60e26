#include "platform/allocator.h"

#include <cstdlib> // defines __GLIBC__ on glibc systems
#if defined(__GLIBC__)
#include <malloc.h>
#endif

void ConfigureAllocator()
{
#if defined(__GLIBC__)
    // Setting the threshold also turns its automatic raising off.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}
