// libFuzzer target for the answer-index cache reader. An input starting "Zyn" is a whole cache
// file; any other is a list of changes (a 4-byte offset, then a byte to xor there) to a good file
// of a small index made at start, since a good file is too large for the fuzzer to make. Either
// way the checksum is made right first, so that the structural checks behind it are reached,
// and the file is read under its key and freed again. Run it with
// `bash tools/fuzz.sh 300 cache`.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "core/prefs.h"
#include "dicts/dictcache.h"
#include "dicts/dicts.h"

namespace {
std::string good, goodkey = "fuzz";

// A file of a small index with citation chains, hash chains and rejected characters.
void makegood() {
  char path[] = "/tmp/zynfuzzcacheXXXXXX";
  int fd = mkstemp(path);
  if (fd < 0) return;
  const char words[] = "apple\nApple\nbanana 2\nNew York\nnew-york\ncaf\xC3\xA9\nzebra\n\xCE\xBB\xCE\xB1\nfish\nq\n";
  if (write(fd, words, sizeof words - 1) != (ssize_t)(sizeof words - 1)) return;
  close(fd);
  loadprefdefaults();
  prefdata[PREF_DICT_CACHE] = 0;
  strlcpy0(dictpaths[0], path, SLEN);
  if (dictsload(1) == 0) {
    FILE* f = tmpfile();
    if (f && writeindex(f, goodkey) == 0) {
      good.resize((size_t)ftell(f));
      rewind(f);
      if (fread(good.data(), 1, good.size(), f) != good.size()) good.clear();
    }
    if (f) fclose(f);
  }
  dictsfree();
  unlink(path);
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  initbitidx16();
  alphaload(0);
  makegood();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes;
  if (size >= 3 && !memcmp(data, "Zyn", 3)) {
    bytes.assign((const char*)data, size);
  } else {
    if (good.empty()) return 0;
    bytes = good;
    for (size_t i = 0; i + 5 <= size; i += 5) {
      uint32_t at;
      memcpy(&at, data + i, 4);
      bytes[at % bytes.size()] ^= (char)data[i + 4];
    }
  }
  cachereseal(bytes);
  FILE* f = fmemopen(bytes.data(), bytes.size(), "rb");
  if (!f) return 0;
  if (readindex(f, goodkey) == CR_OK) {
    // The index must be one a consumer can walk, used in place: every answer's length is that
    // of its codes, which are codes of the alphabet's range, and every text ends.
    for (int i = 0; i < atotal; i++) {
      const char* codes = answerlist[i]->answercodes;
      if (strlen(codes) != answerlen[i]) __builtin_trap();
      for (const char* c = codes; *c; c++)
        if ((unsigned char)*c > MAXICC) __builtin_trap();
      for (const answer* a = answerlist[i]; a; a = a->acf) {
        (void)findanswer(a->answercodes);
        (void)strlen(a->cf);
      }
    }
  }
  fclose(f);
  dictsfree();
  return 0;
}
