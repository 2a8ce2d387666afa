// libFuzzer target for the .puz importer: every input is opened as a document, and a .puz that
// loads must export as .puz (unless the writer refuses its grid) and load again.
// Run with tools/fuzz.sh (target puz).
#include "export/interchange.h"
#include "fuzz/fuzz_import.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzzimport::init(".puz");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzimport::run(data, size, [](std::string* bytes) {
    puzdata p;
    std::string why;
    return puzfromdoc(&p, &why) && puzencode(p, bytes, &why);
  });
  return 0;
}
