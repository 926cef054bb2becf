#include "common/allocator.h"

#include <cstdlib>  // defines __GLIBC__ on glibc
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace common {

void KeepFreedMemoryForReuse() {
#if defined(__GLIBC__)
  // Blocks up to 32 MB (the most glibc allows) come from the heap rather than from mmap, and
  // free memory at the top of the heap is returned only beyond 256 MB. Memory stays as high as
  // the largest page needed, not more: it is reused, not accumulated.
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
}

}  // namespace common
