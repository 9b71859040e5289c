// Win32: the C runtime's heap, which every module of the process allocates
// from, walked block by block; the sizes of the blocks in use are summed.
#include <malloc.h>

#include "heap.h"

size_t heapInUse(void) {
  _HEAPINFO entry;
  entry._pentry = nullptr;
  size_t used = 0;
  while (_heapwalk(&entry) == _HEAPOK)
    if (entry._useflag == _USEDENTRY) used += entry._size;
  return used;
}
