// The description file the loader and item benchmarks work on: 100 ENUM
// entries at the top, 99 ordinary dialogs and, last, a 512-item dialog, about
// 1 MB in all. It is written once per process, so every run reads the same
// bytes, and removed when the process ends.
#ifndef TESSEL_BENCH_BENCH_FILES_H
#define TESSEL_BENCH_BENCH_FILES_H

#include <stddef.h>

// What the file holds, for the benchmarks that look things up in it.
constexpr int kBenchDialogCount = 100;  // dialogs in the file; the big one is last
constexpr int kBenchEnumCount = 100;    // ENUM entries, the table's limit
constexpr int kBenchBigItems = 512;     // items of the big dialog, the dialog limit
constexpr const char *kBenchBigDialog = "Big";
constexpr int kBenchSharedId = 7;         // eShared: every 16th item of the big dialog
constexpr int kBenchRadioFirstId = 2000;  // the big dialog ends with 16 radio buttons,
constexpr int kBenchRadioCount = 16;      // identifiers 2000 to 2015
constexpr int kBenchLastId = kBenchRadioFirstId + kBenchRadioCount - 1;
constexpr size_t kBenchFileSize = 1 << 20;  // the file's size, give or take one line

// Writes the benchmark description file to path, with CR LF line ends when
// crlf is nonzero (as a file written on Windows), else LF. Returns the number
// of bytes written, 0 on failure.
size_t benchWriteFile(const char *path, int crlf);

// The path of the benchmark file of this process (written on first use under
// $TMPDIR or /tmp, removed at exit); null when it cannot be written.
const char *benchFilePath(int crlf);

// Hands the library a startup record whose message slot answers every
// message number with one fixed text, as a host with a language file does.
void benchInitHost(void);

#endif  // TESSEL_BENCH_BENCH_FILES_H
