// Heap settings for the OpenGL driver: blocks up to 32 MB come from the heap, and up to 64 MB
// freed at its top stay there.
#include "platform/driver_heap.h"

#include <cstdlib>  // defines __GLIBC__ with the C library's headers
#if defined(__GLIBC__)
#include <malloc.h>
#endif

void KeepDriverBuffersInHeap() {
#if defined(__GLIBC__)
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  mallopt(M_TRIM_THRESHOLD, 64 << 20);
#endif
}
