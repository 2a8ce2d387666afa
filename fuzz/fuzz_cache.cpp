// libFuzzer target for the answer-index cache reader: every input is a cache file, whose
// checksum is first made right (so that the structural checks behind it are reached), read
// under the key "fuzz" and freed again. Run it with `bash tools/fuzz.sh 300 cache`.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "dicts/dictcache.h"
#include "dicts/dicts.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  initbitidx16();
  alphaload(0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes((const char*)data, size);
  cachereseal(bytes);
  FILE* f = fmemopen(bytes.data(), bytes.size(), "rb");
  if (!f) return 0;
  if (readindex(f, "fuzz") == CR_OK) {
    // The index must be one a consumer can walk.
    for (int i = 0; i < atotal; i++)
      for (const answer* a = answerlist[i]; a; a = a->acf) (void)findanswer(a->answercodes);
  }
  fclose(f);
  dictsfree();
  return 0;
}
