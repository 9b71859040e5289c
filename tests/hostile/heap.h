// How many bytes the process's heap holds in allocated blocks right now, as
// the allocator in use counts them, so that a test can tell a steady heap
// from a growing one. Each platform's allocator is asked in its own way.
#ifndef TESSEL_TESTS_HOSTILE_HEAP_H
#define TESSEL_TESTS_HOSTILE_HEAP_H

#include <stddef.h>

// Bytes in allocated blocks (what the allocator counts, overhead included or
// not, always the same way within one process).
size_t heapInUse(void);

#endif
