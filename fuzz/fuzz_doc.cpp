// libFuzzer target for the document reader: every input is loaded as a document (native,
// legacy or foreign), and whatever loads must save, load and save again to the same bytes
// (unless its alphabet gives one character to two entries).
// Build with clang and run for five minutes (from the source folder):
//   cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZYN_FUZZ=ON -DZYN_TESTS=OFF -DZYN_BENCH=OFF && cmake --build build-fuzz --target fuzz_doc -j2 && mkdir -p build-fuzz/doccorpus && build-fuzz/fuzz_doc -dict=fuzz/doc.dict -max_len=20000 -max_total_time=300 -close_fd_mask=1 build-fuzz/doccorpus tests/docfiles
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "core/hooks.h"
#include "core/prefs.h"
#include "core/undo.h"
#include "docfile/docfile.h"
#include "filler/filler.h"
#include "grid/zyn.h"

namespace {
std::string input, saved1, saved2;

std::string scratch(const char* what) {
  char t[] = "/tmp/zynfuzzXXXXXX";
  int fd = mkstemp(t);
  if (fd < 0) abort();
  close(fd);
  return std::string(t) + what;
}

std::string slurp(const std::string& path) {
  std::string s;
  if (FILE* f = fopen(path.c_str(), "rb")) {
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    fclose(f);
  }
  return s;
}

int loadfrom(const std::string& path) {
  strlcpy0(filename, path.c_str(), SLEN);
  return loaddocument(0);
}

// An alphabet in which some entry's own character stands for another entry (a later entry
// claimed it as an equivalent) cannot write that entry's cells so they read back the same.
bool ambiguousalphabet() {
  for (int c = 1; c <= MAXICC; c++) {
    int u[2];
    if ((alphaset >> (c - 1) & 1) && utf8tocps(u, icctext[c], 2) == 1 && uchartoICC(u[0]) != c) return true;
  }
  return false;
}

void saveto(const std::string& path) {
  strlcpy0(filename, path.c_str(), SLEN);
  if (savedocument()) abort();
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  initbitidx16();
  loadprefdefaults();
  // Messages go nowhere; a plug-in a document names is never loaded.
  ui.errbox = ui.warnbox = ui.infobox = [](const char*) {};
  ui.askplugin = [](const char*) { return 0; };
  usegui = 1;
  assistmode = 0;
  input = scratch(".in");
  saved1 = scratch(".1.zyn");
  saved2 = scratch(".2.zyn");
  alphaload(2);
  newdocument(0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (FILE* f = fopen(input.c_str(), "wb")) {
    fwrite(data, 1, size, f);
    fclose(f);
  }
  int r = loadfrom(input);
  // A failed load restarts the background fill; no thread may outlive the input.
  filler_stop();
  if (r != LOAD_OK) return 0;
  saveto(saved1);
  if (loadfrom(saved1) != LOAD_OK) abort();
  saveto(saved2);
  if (!ambiguousalphabet() && slurp(saved1) != slurp(saved2)) abort();
  filler_stop();
  return 0;
}
