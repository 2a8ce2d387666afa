// libFuzzer target for the ipuz importer (and the JSON reader under it): every input is opened
// as a document, and an ipuz that loads must export as ipuz and load again.
// Run with tools/fuzz.sh (target ipuz).
#include "fuzz/fuzz_import.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzimport::init(".ipuz");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzimport::run(data, size, fuzzimport::asipuz);
  return 0;
}
