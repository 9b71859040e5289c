// Writes the benchmark description file: a realistic mix of item lines
// (boxes, texts, edit fields, check boxes, radio buttons, buttons; texts from
// the file, the message table and the version), grouped into 99 dialogs of
// equal size and a last dialog of 512 items, after 100 ENUM entries.
#include "bench/bench_files.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "dialog/dialog_internal.h"

namespace {

void appendf(std::string *out, const char *format, ...) __attribute__((format(printf, 2, 3)));
void appendf(std::string *out, const char *format, ...) {
  char line[TS_LINE_SIZE];
  va_list args;
  va_start(args, format);
  vsnprintf(line, sizeof line, format, args);
  va_end(args);
  *out += line;
  *out += '\n';
}

// Two ENUM blocks of 50 entries each: message names on shared lines, then
// identifiers one a line with explicit values and comments.
void appendEnums(std::string *out) {
  appendf(out, "; Benchmark dialogs: %d dialogs, the last one holds %d items.", kBenchDialogCount, kBenchBigItems);
  appendf(out, "ENUM");
  appendf(out, "{");
  appendf(out, "  ; message names, in the order of the language file");
  for (int i = 0; i < 50; i += 5)
    appendf(out, "  MMsg%02d, MMsg%02d, MMsg%02d, MMsg%02d, MMsg%02d,", i, i + 1, i + 2, i + 3, i + 4);
  appendf(out, "}");
  *out += '\n';  // a blank line
  appendf(out, "ENUM {");
  appendf(out, "  eShared = %d, ; the check boxes that change together", kBenchSharedId);
  for (int i = 1; i < 50; i++) {
    if (i % 10 == 1) appendf(out, "  eItem%02d = %d, ; group %d", i, 100 + i, i / 10);
    else appendf(out, "  eItem%02d,", i);
  }
  appendf(out, "}");
  *out += '\n';  // a blank line
}

// One ordinary item line at row y, chosen by k from the mix.
void appendItem(std::string *out, int k, int y) {
  int m = k % 50, e = 1 + k % 49;
  switch (k % 9) {
    case 0:
      appendf(out, "TEXT 0 5 %d 0 %d F 0 0 F \"Label number %d:\"", y, y, k);
      break;
    case 1:
      appendf(out, "EDIT eItem%02d 22 %d 30 %d T \"History%d\" DIF_HISTORY F %%T%% \"value %d\"", e, y, y, k, k);
      break;
    case 2:
      appendf(out, "CHECKBOX eItem%02d 5 %d 0 %d F 1 (DIF_GROUP) F %%L%% MMsg%02d", e, y, y, m);
      break;
    case 3:
      appendf(out, "RADIOBUTTON %d 5 %d 0 %d F T (DIF_GROUP+YELLOW+BK_BLUE) F %%T%% \"Option %d\"", 300 + k, y, y, k);
      break;
    case 4:
      appendf(out, "FIXEDIT %d 5 %d 20 %d F 0 0 F %%T%% \"99/99/9999\"", 400 + k, y, y);
      break;
    case 5:
      appendf(out, "text 1 40 %d 60 %d f \"Contents of the %d%s line\"", y, y, k, k % 2 ? "st" : "nd");
      break;
    case 6:
      appendf(out, "SINGLEBOX 0 3 %d 60 2 F 0 (DIF_BOXCOLOR+LIGHTCYAN) F %%L%% MMsg%02d", y, m);
      break;
    case 7:
      appendf(out, "BUTTON eItem%02d 0 %d 0 %d F 0 (DIF_CENTERGROUP) T %%L%% MMsg%02d", e, y, y, m);
      break;
    default:
      appendf(out, "TEXT 0 5 %d 0 %d F 0 0 F %%V%%", y, y);
      break;
  }
}

// An ordinary dialog of about quota bytes.
void appendDialog(std::string *out, int n, size_t quota) {
  size_t start = out->size();
  appendf(out, "name \"Dialog %d\"", n);
  appendf(out, "help Topic%d", n);
  appendf(out, "DOUBLEBOX 0 3 1 72 20 F 0 0 F %%L%% MMsg%02d", n % 50);
  for (int k = 0; out->size() - start < quota; k++) {
    if (k % 40 == 39) appendf(out, "; rows %d to %d", k - 39, k);
    appendItem(out, k + n, 2 + k % 18);
  }
  *out += '\n';  // a blank line
}

// The big dialog: a box, 495 items in five columns (every 16th a check box of
// the shared identifier), then one group of 16 radio buttons.
void appendBigDialog(std::string *out) {
  appendf(out, "name \"%s\"", kBenchBigDialog);
  appendf(out, "help BigTopic");
  const int grid = kBenchBigItems - 1 - kBenchRadioCount;
  const int rows = (grid + 4) / 5;
  appendf(out, "DOUBLEBOX 0 3 1 116 %d F 0 0 F %%L%% MMsg00", rows + kBenchRadioCount + 3);
  for (int k = 0; k < grid; k++) {
    int x = 5 + (k % 5) * 22, y = 2 + k / 5;
    switch (k % 16) {
      case 0:
        appendf(out, "CHECKBOX eShared %d %d 0 %d F 0 0 F %%T%% \"Shared %d\"", x, y, y, k);
        break;
      case 1:
      case 6:
      case 11:
        appendf(out, "TEXT %d %d %d 0 %d F 0 0 F \"Field %d:\"", 1000 + k, x, y, y, k);
        break;
      case 2:
      case 7:
      case 12:
        appendf(out, "EDIT %d %d %d 18 %d T \"Hist%d\" DIF_HISTORY F %%T%% \"text %d\"", 1000 + k, x, y, y, k, k);
        break;
      case 3:
      case 8:
      case 13:
        appendf(out, "CHECKBOX %d %d %d 0 %d F 1 (DIF_GROUP) F %%L%% MMsg%02d", 1000 + k, x, y, y, k % 50);
        break;
      case 4:
      case 9:
        appendf(out, "FIXEDIT %d %d %d 10 %d F 0 0 F %%T%% \"99-99\"", 1000 + k, x, y, y);
        break;
      case 14:
        appendf(out, "BUTTON %d %d %d 0 %d F 0 (DIF_NOBRACKETS) F %%L%% MMsg%02d", 1000 + k, x, y, y, k % 50);
        break;
      default:
        appendf(out, "TEXT %d %d %d 0 %d F 0 (BLUE+BK_LIGHTGRAY) F %%V%%", 1000 + k, x, y, y);
        break;
    }
  }
  for (int r = 0; r < kBenchRadioCount; r++)
    appendf(out, "RADIOBUTTON %d 5 %d 0 %d F %c %s F %%T%% \"Choice %d\"", kBenchRadioFirstId + r, rows + 3 + r,
            rows + 3 + r, r == 0 ? 'T' : 'F', r == 0 ? "DIF_GROUP" : "0", r);
}

std::string fileText(int crlf) {
  std::string enums, big;
  appendEnums(&enums);
  appendBigDialog(&big);
  const int ordinary = kBenchDialogCount - 1;
  size_t quota = (kBenchFileSize - enums.size() - big.size()) / ordinary;
  std::string text = enums;
  text.reserve(kBenchFileSize * 2);
  for (int n = 1; n <= ordinary; n++) appendDialog(&text, n, quota);
  text += big;
  if (!crlf) return text;
  std::string windows;
  windows.reserve(text.size() * 2);
  for (char c : text) {
    if (c == '\n') windows += '\r';
    windows += c;
  }
  return windows;
}

std::string paths[2];

void removeFiles(void) {
  for (const std::string &path : paths)
    if (!path.empty()) unlink(path.c_str());
}

const char *kMessageText = "Message text";

const char *TS_HOSTAPI benchGetMsg(int moduleNumber, int messageNumber) {
  (void)moduleNumber;
  (void)messageNumber;
  return kMessageText;
}

}  // namespace

size_t benchWriteFile(const char *path, int crlf) {
  std::string text = fileText(crlf);
  FILE *file = fopen(path, "wb");
  if (!file) return 0;
  size_t written = fwrite(text.data(), 1, text.size(), file);
  if (fclose(file) != 0 || written != text.size()) return 0;
  return written;
}

const char *benchFilePath(int crlf) {
  std::string &path = paths[crlf ? 1 : 0];
  if (!path.empty()) return path.c_str();
  const char *dir = getenv("TMPDIR");
  if (!dir || !dir[0]) dir = "/tmp";
  std::string candidate =
      std::string(dir) + "/tessel-bench-" + std::to_string(getpid()) + (crlf ? "-crlf.dlg" : ".dlg");
  if (!benchWriteFile(candidate.c_str(), crlf)) return nullptr;
  if (paths[0].empty() && paths[1].empty()) atexit(removeFiles);
  path = candidate;
  return path.c_str();
}

void benchInitHost(void) {
  StartupInfo info;
  memset(&info, 0, sizeof info);
  info.structSize = sizeof info;
  info.moduleNumber = 1;
  info.rootKey = "Software\\Tessel\\Bench";
  info.hostGetMsg = benchGetMsg;
  TS_Init(info);
}
