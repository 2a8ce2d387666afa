// Time of one rebuild() of the words and entries: a full 63x63 grid with a sixth of its
// squares blocked, and an ordinary 15x15 grid.
#include <chrono>
#include <cstdio>

#include "core/prefs.h"
#include "grid/lights.h"

static double timerebuild(int w, int h, int reps) {
  gtype = 0, width = w, height = h;
  docreset();
  for (int x = 0; x < w; x++)
    for (int y = 0; y < h; y++)
      if ((x * 7 + y * 13) % 6 == 0) sqarray[x][y].sqflags = SQF_BLOCK;
  rebuild();
  auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < reps; i++) rebuild();
  auto t1 = std::chrono::steady_clock::now();
  return std::chrono::duration<double, std::micro>(t1 - t0).count() / reps;
}

int main() {
  loadprefdefaults();
  double big = timerebuild(63, 63, 2000);
  pstdout("63x63: %d words, %d entries: %.1f us per rebuild\n", nw, ne, big);
  double small = timerebuild(15, 15, 20000);
  pstdout("15x15: %d words, %d entries: %.1f us per rebuild\n", nw, ne, small);
  return 0;
}
