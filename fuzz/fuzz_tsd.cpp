// libFuzzer target for the TSD reader: the first byte of the input chooses format "0" or "1",
// the rest follows the four bytes "TSD" and the format character.
// Run it with `bash tools/fuzz.sh 300 tsd`.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "dicts/dicts.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  initbitidx16();
  alphaload(0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  char fmt = (data[0] & 1) ? '1' : '0';
  std::string file = std::string("TSD") + fmt + std::string((const char*)data + 1, size - 1);
  FILE* f = fmemopen(file.data(), file.size(), "r");
  if (!f) return 0;
  if (fseek(f, 4, SEEK_SET) == 0) {
    dictsink k(0);
    tsdload(f, &k, fmt, nullptr, nullptr);
  }
  fclose(f);
  return 0;
}
