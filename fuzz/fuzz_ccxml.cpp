// libFuzzer target for the Crossword Compiler XML importer: every input is opened as a
// document, and one that loads must export as ipuz and load again.
// Run with tools/fuzz.sh (target ccxml).
#include "fuzz/fuzz_import.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzimport::init(".xml");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzimport::run(data, size, fuzzimport::asipuz);
  return 0;
}
