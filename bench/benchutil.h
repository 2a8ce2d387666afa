// Small helpers shared by the benchmarks: clocks, peak memory, and loading a grid pattern
// (rows of "." and "#") into the document.
#pragma once

#include <glib.h>
#include <sys/resource.h>

#include <ctime>
#include <fstream>
#include <string>
#include <vector>

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
