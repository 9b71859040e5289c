/* Preloaded into 32-bit Wine when it runs under qemu-i386 user-mode
   emulation (tests/win32/run). It mends two places where the emulator is not
   the kernel Wine expects:

   - mmap's MAP_FIXED_NOREPLACE ("this address or fail"), with which Wine
     reserves the Windows address space and maps the shared user data page.
     The emulator does not know the flag and takes the address as a mere hint,
     so nearly every reservation comes back elsewhere; Wine then splits the
     range and tries again, down to 64 KiB pieces: some 65,000 calls and 45 s
     of emulated start-up per process, and which reservations survive depends
     on where the emulator happens to put things. Here the request goes to the
     emulator as a hint, and a mapping that did not land on the address asked
     for is undone and reported as EEXIST, as the kernel does.

   - Per-thread segment descriptors. The kernel keeps the thread-local
     descriptors of the global table (set_thread_area) apart for each thread;
     the emulator keeps one table for all threads, so a new thread moves the
     others' %gs (the C library's thread block) and %fs (Wine's thread block)
     onto its own the next time they are loaded, and Wine loads both at every
     switch between Windows and Unix code: a second thread left the first one
     with the wrong errno, stack guard and Windows thread. So each thread gets
     descriptors of its own in the local table (modify_ldt), which the
     emulator does keep apart: Wine's request for a shared descriptor for %fs
     is refused, which makes Wine take local ones, and %gs is moved to a local
     descriptor of the same base at the start of each thread, before Wine
     records it.

   Built with -nostdlib for i386 (no 32-bit C library headers needed); the C
   library functions it calls are bound when Wine's loader loads it. */

#define RTLD_NEXT ((void *)-1l)
#define MAP_FIXED_NOREPLACE 0x100000
#define MAP_FAILED ((void *)-1)
#define EEXIST 17
#define ENOSYS 38
#define SYS_modify_ldt 123
#define SYS_set_thread_area 243
#define NEW_ENTRY 0xffffffffu
#define LDT_ENTRIES 8192

typedef unsigned int size_t;
typedef long long off64_t;

extern void *dlsym(void *handle, const char *name);
extern int *__errno_location(void);
extern int munmap(void *address, size_t length);
extern int unsetenv(const char *name);
extern void *malloc(size_t size);
extern void free(void *block);

typedef void *(*mmap64_fn)(void *, size_t, int, int, int, off64_t);
typedef long (*syscall_fn)(long, long, long, long, long, long, long);
typedef void *(*thread_fn)(void *);
typedef int (*pthread_create_fn)(void *, const void *, thread_fn, void *);

/* The kernel's struct user_desc. */
struct descriptor {
  unsigned entry_number, base_addr, limit;
  unsigned seg_32bit : 1, contents : 2, read_exec_only : 1, limit_in_pages : 1, seg_not_present : 1, useable : 1;
};

static long real_syscall(long number, long a, long b, long c) {
  static syscall_fn real;
  if (!real) real = (syscall_fn)dlsym(RTLD_NEXT, "syscall");
  return real(number, a, b, c, 0, 0, 0);
}

void *mmap64(void *address, size_t length, int prot, int flags, int fd, off64_t offset) {
  static mmap64_fn real;
  if (!real) real = (mmap64_fn)dlsym(RTLD_NEXT, "mmap64");
  if (!(flags & MAP_FIXED_NOREPLACE)) return real(address, length, prot, flags, fd, offset);
  void *placed = real(address, length, prot, flags & ~MAP_FIXED_NOREPLACE, fd, offset);
  if (placed == MAP_FAILED || placed == address) return placed;
  munmap(placed, length);
  *__errno_location() = EEXIST;
  return MAP_FAILED;
}

void *mmap(void *address, size_t length, int prot, int flags, int fd, long offset) {
  return mmap64(address, length, prot, flags, fd, (off64_t)offset);
}

/* The first thread keeps the global descriptor the C library gave it, whose
   base each new thread's clone overwrites with its own: it is put back. Every
   other thread moves to a local descriptor of its own, taken from the top of
   the local table (Wine takes its own for %fs, and for 16-bit code, from the
   bottom). */
static struct descriptor first_thread_gs;

static unsigned thread_block(void) {
  unsigned base;
  __asm__ volatile("movl %%gs:0, %0" : "=r"(base)); /* the block points to itself */
  return base;
}

static unsigned short gs_selector(void) {
  unsigned short selector;
  __asm__ volatile("movw %%gs, %0" : "=r"(selector));
  return selector;
}

static void remember_first_thread_gs(void) {
  first_thread_gs.entry_number = gs_selector() >> 3;
  first_thread_gs.base_addr = thread_block();
  first_thread_gs.limit = 0xfffff;
  first_thread_gs.seg_32bit = 1;
  first_thread_gs.limit_in_pages = 1;
  first_thread_gs.useable = 1;
}

static void restore_first_thread_gs(void) {
  struct descriptor d = first_thread_gs;
  real_syscall(SYS_set_thread_area, (long)&d, 0, 0);
}

static unsigned next_gs_entry = LDT_ENTRIES - 1;

/* Wine starts each thread with its thread block (TEB) as the argument and
   has already noted there, at offset 0x1d8, the %gs selector to load when
   entering Unix code: the creator's. It is replaced by the new one. */
#define TEB_UNIX_GS 0x1d8

static void move_gs_to_local_descriptor(void *teb) {
  struct descriptor d = first_thread_gs;
  d.entry_number = __atomic_fetch_sub(&next_gs_entry, 1, __ATOMIC_SEQ_CST);
  d.base_addr = thread_block();
  if (d.entry_number < 64 || real_syscall(SYS_modify_ldt, 1, (long)&d, sizeof d) != 0) return;
  unsigned short selector = (unsigned short)(d.entry_number << 3 | 7); /* local table, ring 3 */
  unsigned short *noted = (unsigned short *)((char *)teb + TEB_UNIX_GS);
  if (teb && *noted == (first_thread_gs.entry_number << 3 | 3)) *noted = selector;
  __asm__ volatile("movw %0, %%gs" : : "r"(selector));
}

struct thread_start {
  thread_fn function;
  void *argument;
};

static void *start_thread(void *block) {
  struct thread_start start = *(struct thread_start *)block;
  free(block);
  move_gs_to_local_descriptor(start.argument);
  return start.function(start.argument);
}

int pthread_create(void *thread, const void *attributes, thread_fn function, void *argument) {
  static pthread_create_fn real;
  if (!real) real = (pthread_create_fn)dlsym(RTLD_NEXT, "pthread_create");
  struct thread_start *start = malloc(sizeof *start);
  if (!start) return 11; /* EAGAIN */
  start->function = function;
  start->argument = argument;
  int result = real(thread, attributes, start_thread, start);
  if (result) free(start);
  restore_first_thread_gs();
  return result;
}

/* Wine's request for a new descriptor: a struct user_desc whose first field,
   the entry number, is -1. Every other system call passes through. */
long syscall(long number, ...) {
  static syscall_fn real;
  __builtin_va_list list;
  __builtin_va_start(list, number);
  long a = __builtin_va_arg(list, long), b = __builtin_va_arg(list, long), c = __builtin_va_arg(list, long);
  long d = __builtin_va_arg(list, long), e = __builtin_va_arg(list, long), f = __builtin_va_arg(list, long);
  __builtin_va_end(list);
  if (number == SYS_set_thread_area && a && *(const unsigned *)a == NEW_ENTRY) {
    *__errno_location() = ENOSYS;
    return -1;
  }
  if (!real) real = (syscall_fn)dlsym(RTLD_NEXT, "syscall");
  return real(number, a, b, c, d, e, f);
}

/* Before Wine starts: the first thread's %gs is noted. The preload is for this emulated process only: the 64-bit
   wineserver it starts must not try to load it, and each Windows child process comes back through the wrapper's loader
   script, which adds it again. */
__attribute__((constructor)) static void start_process(void) {
  remember_first_thread_gs();
  unsetenv("LD_PRELOAD");
}
