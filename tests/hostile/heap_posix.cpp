// POSIX: each allocator counts its live bytes its own way. Under valgrind a
// quick leak search counts every block not yet freed (leaked or reachable);
// under AddressSanitizer its allocator's own count (found as a weak symbol,
// present only when the runtime is linked in); otherwise glibc's count of
// bytes in allocated chunks, mapped ones included, which is exact when its
// per-thread cache is off (ctest runs the program with
// GLIBC_TUNABLES=glibc.malloc.tcache_count=0).
#include <malloc.h>

#include "heap.h"

#if __has_include(<valgrind/memcheck.h>)
#include <valgrind/memcheck.h>
#define HEAP_ASK_VALGRIND 1
#else
#define HEAP_ASK_VALGRIND 0
#endif

extern "C" size_t __sanitizer_get_current_allocated_bytes(void) __attribute__((weak));

size_t heapInUse(void) {
#if HEAP_ASK_VALGRIND
  if (RUNNING_ON_VALGRIND) {
    unsigned long leaked = 0, dubious = 0, reachable = 0, suppressed = 0;
    VALGRIND_DO_QUICK_LEAK_CHECK;
    VALGRIND_COUNT_LEAKS(leaked, dubious, reachable, suppressed);
    return leaked + dubious + reachable + suppressed;
  }
#endif
  if (__sanitizer_get_current_allocated_bytes) return __sanitizer_get_current_allocated_bytes();
  struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}
