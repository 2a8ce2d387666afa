// libFuzzer target for the clue-file reader: every input is read as a clue file for a grid with
// lights in both directions and a free light. What it accepts must write out and read back to
// the same clues, and what it refuses must leave the clues as they were.
// Run it with `bash tools/fuzz.sh 300 clues`.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "core/hooks.h"
#include "core/prefs.h"
#include "core/undo.h"
#include "docfile/docfile.h"
#include "grid/clues.h"
#include "grid/lights.h"
#include "grid/zyn.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  initbitidx16();
  loadprefdefaults();
  ui.errbox = ui.warnbox = ui.infobox = [](const char*) {};
  usegui = 1;
  alphaload(2);
  width = height = 7;
  docreset();
  for (int i = 0; i < 7; i += 2) sqarray[i][3].sqflags = SQF_BLOCK;
  freelights[0].n = 3;
  for (int k = 0; k < 3; k++) freelights[0].x[k] = k, freelights[0].y[k] = k;
  nfreelights = 1;
  numbering();
  undo_start();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  cluesclear();
  clueset({0, 0, 0}, "Kept", "");
  cluestore before = cluesget();
  std::vector<std::string> skipped;
  std::string bytes((const char*)data, size);
  if (readclues(bytes, "fuzz", &skipped)) {
    if (cluesget() != before) abort();
    return 0;
  }
  std::string text = cluestext();
  cluesclear();
  if (readclues(text, "again", &skipped) || cluestext() != text) abort();
  return 0;
}
