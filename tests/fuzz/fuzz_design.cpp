// Fuzz target for laying a dialog out by sight: the first byte says how many
// of the next bytes are changes (move, resize, add, the form, copy, delete,
// marks and alignments, the tab order, undo and redo), the rest is the
// dialog file. Each change is kept or refused; a refusal changes nothing;
// what is kept the library loads as the design read it; undoing once for
// every change that changed the file gives back the file's bytes (so a change
// that changes nothing leaves no step behind).
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "author/design.h"
#include "author/engine.h"
#include "dialog/dialog_internal.h"
#include "tests/author/lockstep.h"
#include "tests/fuzz/fuzz_file.h"

namespace {

void failWith(const char *what, const std::string &detail) {
  fprintf(stderr, "design: %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
  abort();
}

/* Applies change op (a byte of the input) to the design; whether it was kept. */
bool apply(author::Design *d, uint8_t op, std::string *why) {
  int count = (int)author::designItems(*d).size();
  int a = (op >> 4) & 3, b = op >> 6; /* small arguments from the byte's high bits */
  int step = a == 0 ? -1 : a == 1 ? 1 : 0, other = b == 0 ? -1 : b == 1 ? 1 : 0;
  author::ItemForm form = author::designForm(*d);
  switch (op & 15) {
    case 0:
      if (count > 0) d->selected = (d->selected + 1 + a) % count;
      return false;
    case 1:
      return author::designMove(d, step, other, why);
    case 2:
      return author::designResize(d, step, other, why);
    case 3:
      return author::designAdd(d, op % TS_TYPE_COUNT, a * 7, b * 3, why);
    case 4:
      form.text = b == 0 ? "" : b == 1 ? "a \"b\"" : "Text";
      form.flags ^= 1u << (8 + a * 3);
      return author::designApplyForm(d, form, why);
    case 5:
      form.type = a == 0 ? "edit" : a == 1 ? "NOTYPE" : "7";
      form.id = b == 0 ? "x y" : "eNew";
      return author::designApplyForm(d, form, why);
    case 6:
      return author::designDuplicate(d, why);
    case 7:
      return author::designDelete(d, why);
    case 8:
      author::designToggleMark(d);
      return false;
    case 9:
      return a & 1 ? author::designCentreGroup(d, why) : author::designAlignLeft(d, why);
    case 10:
      return author::designReorder(d, step, why);
    default:
      return false; /* undo and redo are the end's business */
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1) return 0;
  size_t ops = data[0] % 16;
  if (size < 1 + ops) return 0;
  const uint8_t *file = data + 1 + ops;
  const std::string &path = fuzzWriteInput(file, size - 1 - ops);
  author::Options options;
  author::Analysis first = author::analyzeFile(path, options);
  if (first.sections.empty()) return 0;
  author::Design d;
  std::string why;
  if (!author::designOpen(&d, path, first.sections[0].name, &why)) return 0;
  std::string original = d.bytes;
  size_t kept = 0;
  for (size_t i = 0; i < ops; i++) {
    std::string before = d.bytes;
    bool done = apply(&d, data[1 + i], &why);
    if (!done && d.bytes != before) failWith("a refusal changed the file", why);
    if (done && d.bytes != before) kept++; /* a form with nothing changed is done without a step */
  }
  if (kept > 0) {
    /* What the library loads from the changed file is what the design read. */
    FILE *out = fopen(path.c_str(), "wb");
    if (!out) abort();
    fwrite(d.bytes.data(), 1, d.bytes.size(), out);
    fclose(out);
    options.checks = false;
    std::string difference = lockstepDifference(path, author::analyzeFile(path, options));
    tsClearEnums();
    if (!difference.empty()) failWith("the changed file loads otherwise", difference);
  }
  for (size_t i = 0; i < kept; i++)
    if (!author::designUndo(&d)) failWith("a kept change cannot be undone", "");
  if (d.bytes != original) failWith("undoing every change does not give the file back", "");
  tsClearEnums();
  return 0;
}
