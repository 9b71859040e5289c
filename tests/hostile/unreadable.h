// Makes one file unreadable for this process for a while, in whatever way the
// platform allows a process to be refused a file it could otherwise open: a
// removed read permission (with the process's effective user dropped when it
// runs as the superuser) on POSIX, a handle that shares nothing on Win32.
#ifndef TESSEL_TESTS_HOSTILE_UNREADABLE_H
#define TESSEL_TESTS_HOSTILE_UNREADABLE_H

#include <stdint.h>

// Starts refusing path (an existing file) to this process. Returns the
// platform error code that opening it then reports, or 0 when the file could
// not be made unreadable (nothing is changed then). At most one file at a time.
uint32_t beginUnreadable(const char *path);

// Makes the file readable again and restores the process's user.
void endUnreadable(void);

#endif
