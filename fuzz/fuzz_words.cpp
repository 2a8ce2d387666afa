// libFuzzer target for the word-list reader: every input is a dictionary file, read into slots
// 1 and 2 (with a file filter and an answer filter) and built into the answer index.
// Run it with `bash tools/fuzz.sh 300 words`.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "core/prefs.h"
#include "dicts/dicts.h"
#include "grid/zyn.h"

namespace {
int fd = -1;  // a file in memory that holds the input
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  initbitidx16();
  loadprefdefaults();
  docreset();
  alphaload(0);
  fd = memfd_create("zynwords", 0);
  if (fd < 0) return 1;
  std::string path = "/proc/self/fd/" + std::to_string(fd);
  for (int d = 0; d < 2; d++) strlcpy0(dictpaths[d], path.c_str(), SLEN);
  strlcpy0(dsfilter[0], "^.*+(?<!'s)", SLEN);
  strlcpy0(dafilter[1], "^[A-M]", SLEN);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (ftruncate(fd, 0) || pwrite(fd, data, size, 0) != (ssize_t)size) return 0;
  dictsload(1);
  dictsfree();
  return 0;
}
