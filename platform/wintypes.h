/*
 * The few Windows types and calling-convention words that the public header
 * and the platform layer share. On Win32 they come from the Windows headers;
 * on POSIX they are plain equivalents of the same width where it matters.
 */
#ifndef TESSEL_WINTYPES_H
#define TESSEL_WINTYPES_H

#include <stdint.h>

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
/* Exports are listed in .def files; nothing to mark on the definitions. */
#define TS_EXPORT
#else
typedef void *HMODULE;
typedef void *HANDLE;
typedef struct TsRegKey *HKEY;
typedef uint32_t DWORD;
typedef int BOOL;
#define WINAPI
#define TS_EXPORT __attribute__((visibility("default")))
#endif

/* The host's calling convention for its slots and a plug-in's entry points. */
#define TS_HOSTAPI WINAPI

#ifdef __cplusplus
#define TS_STATIC_ASSERT(cond, text) static_assert(cond, text)
#else
#define TS_STATIC_ASSERT(cond, text) _Static_assert(cond, text)
#endif

#endif /* TESSEL_WINTYPES_H */
