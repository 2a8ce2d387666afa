// What the importers' fuzz targets share: each input is opened as File > Open opens a file, and
// whatever loads must write out in the same format (unless the writer refuses it) and load again.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "core/hooks.h"
#include "core/prefs.h"
#include "docfile/docfile.h"
#include "docfile/import.h"
#include "export/interchange.h"
#include "filler/filler.h"
#include "grid/zyn.h"

namespace fuzzimport {

inline std::string input, output;

inline std::string scratch(const char* what) {
  char t[] = "/tmp/zynfuzzXXXXXX";
  int fd = mkstemp(t);
  if (fd < 0) abort();
  close(fd);
  return std::string(t) + what;
}

inline int loadfrom(const std::string& path) {
  strlcpy0(filename, path.c_str(), SLEN);
  int r = loaddocument(0);
  filler_stop();
  return r;
}

// Plain writes: the platform's safe writer syncs every file to the disk, which would slow each run.
inline void put(const std::string& path, const char* data, size_t n) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f || fwrite(data, 1, n, f) != n || fclose(f)) abort();
}

inline void init(const char* suffix) {
  initbitidx16();
  usezipinflate();
  loadprefdefaults();
  ui.errbox = ui.warnbox = ui.infobox = [](const char*) {};
  ui.askplugin = [](const char*) { return 0; };
  usegui = 1;
  assistmode = 0;
  input = scratch(suffix);
  output = scratch(suffix);
  alphaload(2);
  newdocument(0);
}

// text: the writer's output for the loaded document; false when it refuses the grid.
inline void run(const uint8_t* data, size_t size, bool (*write)(std::string* text)) {
  put(input, (const char*)data, size);
  if (loadfrom(input) != LOAD_OK) return;
  std::string text;
  if (!write(&text)) return;
  put(output, text.data(), text.size());
  if (loadfrom(output) != LOAD_OK) abort();
}

// The writer of the ipuz and XML targets.
inline bool asipuz(std::string* text) {
  std::string why;
  return ipuztext(text, &why);
}

}  // namespace fuzzimport
