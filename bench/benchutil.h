// Small helpers shared by the benchmarks: clocks, peak memory, and loading a grid pattern
// (rows of "." and "#") into the document.
#pragma once

#include <glib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "dicts/dicts.h"
#include "grid/zyn.h"

inline double now() { return g_get_monotonic_time() / 1e6; }

// CPU time of the process, so that figures survive a busy machine.
inline double cpu() {
  timespec ts;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return ts.tv_sec + ts.tv_nsec / 1e9;
}

inline long peakmb() {
  rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_maxrss / 1024;
}

inline std::vector<std::string> readgrid(const std::string& path) {
  std::vector<std::string> rows;
  std::ifstream f(path);
  std::string l;
  while (std::getline(f, l))
    if (!l.empty()) rows.push_back(l);
  return rows;
}

// A plain grid of the pattern's size with its blocks; everything else at the defaults.
inline void setgrid(const std::vector<std::string>& rows) {
  gtype = 0;
  height = (int)rows.size();
  width = (int)rows[0].size();
  cursorx = cursory = cursordir = cursorlayer = 0;
  docreset();
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      if (rows[y][x] == '#') sqarray[x][y].sqflags = SQF_BLOCK;
}

// Load the lower-case a-z words of a word list as the only dictionary. Returns the number of
// such words, or -1 (with a message) when the list cannot be read or loaded.
inline int loadlowercase(const std::string& src) {
  std::ifstream in(src);
  if (!in) {
    fprintf(stderr, "cannot read %s\n", src.c_str());
    return -1;
  }
  char tmpl[] = "/tmp/zynbenchXXXXXX";
  int fd = mkstemp(tmpl);
  FILE* out = fd >= 0 ? fdopen(fd, "w") : nullptr;
  if (!out) return -1;
  std::string l;
  int n = 0;
  while (std::getline(in, l))
    if (!l.empty() && std::all_of(l.begin(), l.end(), [](char c) { return c >= 'a' && c <= 'z'; })) {
      fprintf(out, "%s\n", l.c_str());
      n++;
    }
  fclose(out);
  for (int d = 0; d < MAXNDICTS; d++) dictpaths[d][0] = dsfilter[d][0] = dafilter[d][0] = 0;
  strlcpy0(dictpaths[0], tmpl, SLEN);
  int r = dictsload(1);
  unlink(tmpl);
  if (r) {
    fprintf(stderr, "dictsload failed\n");
    return -1;
  }
  return n;
}
