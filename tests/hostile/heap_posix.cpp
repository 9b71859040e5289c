// POSIX: each allocator counts its live bytes its own way. Under valgrind a
// quick leak search counts every block not yet freed (leaked or reachable);
// under AddressSanitizer its allocator's own count (found as a weak symbol,
// present only when the runtime is linked in); otherwise glibc's count of
// bytes in allocated chunks, mapped ones included. glibc counts the blocks
// parked in its per-thread cache as allocated, and the cache can only be
// turned off from the environment at start-up: a program that measures with
// glibc's count restarts itself once with the cache off, so its count is
// exact however it was started.
#include <malloc.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "heap.h"

#if __has_include(<valgrind/memcheck.h>)
#include <valgrind/memcheck.h>
#define HEAP_UNDER_VALGRIND() RUNNING_ON_VALGRIND
#else
#define HEAP_UNDER_VALGRIND() 0
#endif

extern "C" size_t __sanitizer_get_current_allocated_bytes(void) __attribute__((weak));

namespace {

const char kNoThreadCache[] = "glibc.malloc.tcache_count=0";

// Runs before main with the program's arguments (glibc passes them to
// constructors). Restarts the program with kNoThreadCache added to
// GLIBC_TUNABLES unless it is there already or another count is in use; if
// the restart fails the program goes on with the cache on.
__attribute__((constructor)) void restartWithoutThreadCache(int argc, char **argv, char **envp) {
  (void)argc;
  (void)envp;
  if (HEAP_UNDER_VALGRIND() || __sanitizer_get_current_allocated_bytes) return;
  const char *tunables = getenv("GLIBC_TUNABLES");
  if (tunables && strstr(tunables, kNoThreadCache)) return;
  char value[1024];
  int length = tunables ? snprintf(value, sizeof value, "%s:%s", tunables, kNoThreadCache)
                        : snprintf(value, sizeof value, "%s", kNoThreadCache);
  if (length < 0 || (size_t)length >= sizeof value || setenv("GLIBC_TUNABLES", value, 1) != 0) return;
  execv("/proc/self/exe", argv);
}

}  // namespace

size_t heapInUse(void) {
  if (HEAP_UNDER_VALGRIND()) {
#if __has_include(<valgrind/memcheck.h>)
    unsigned long leaked = 0, dubious = 0, reachable = 0, suppressed = 0;
    VALGRIND_DO_QUICK_LEAK_CHECK;
    VALGRIND_COUNT_LEAKS(leaked, dubious, reachable, suppressed);
    return leaked + dubious + reachable + suppressed;
#endif
  }
  if (__sanitizer_get_current_allocated_bytes) return __sanitizer_get_current_allocated_bytes();
  struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}
