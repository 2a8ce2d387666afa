// libFuzzer target for the deck parser: every input is parsed as a deck from empty deck tables.
// Run it with `bash tools/fuzz.sh 300 deck`.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "core/prefs.h"
#include "deck/deck.h"
#include "grid/zyn.h"

namespace {
// Whether the input holds ".AL" in any case, the start of every ALPHABET directive.
bool mayswitchalphabet(const uint8_t* data, size_t size) {
  for (size_t i = 0; i + 2 < size; i++)
    if (data[i] == '.' && (data[i + 1] | 0x20) == 'a' && (data[i + 2] | 0x20) == 'l') return true;
  return false;
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  initbitidx16();
  loadprefdefaults();
  docreset();
  alphaload(0);
  return 0;
}

// The parser reads only the alphabet and its own tables; the settings it writes need no reset.
// Reloading the alphabet is costly, so it happens only after an input that may have changed it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  deckreset();
  if (size == 0) return 0;  // fmemopen refuses an empty buffer
  FILE* f = fmemopen((void*)data, size, "r");
  if (!f) return 0;
  parsedeck(f);
  fclose(f);
  if (mayswitchalphabet(data, size)) alphaload(0);
  return 0;
}
