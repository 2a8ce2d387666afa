// Time of one symmetric block edit with everything that follows it: the squares changed at
// every image, renumbering, the rebuild of words and entries, and the undo snapshot. Assistance
// is off (assistmode 0), so the restarted filler builds no lists and searches nothing; only its
// thread's start and join remain in the figure. Grids: the 15x15 grid 15.01 of the standard set
// and a 63x63 grid with about a third of its squares blocked; twofold rotational symmetry.
#include <cstdio>
#include <string>

#include "alphabet/alphabet.h"
#include "bench/benchutil.h"
#include "core/lock.h"
#include "core/prefs.h"
#include "core/undo.h"
#include "filler/filler.h"
#include "grid/edit.h"
#include "grid/geometry.h"
#include "grid/select.h"

// Block then empty again each clear square in turn; the time per edit, wall and processor.
static void timeedits(const char* name, int reps) {
  rotsym = 2, mirsym = dupsym = 0;
  undo_start();
  runfiller(FM_ASSIST);
  int n = 0;
  double w0 = now(), c0 = cpu();
  for (int r = 0; r < reps; r++)
    for (int x = 0; x < width; x++)
      for (int y = 0; y < height; y++) {
        if (!isclear(x, y)) continue;
        cursorx = x, cursory = y, cursordir = 0;
        editblock();
        cursorx = x, cursory = y;
        editempty();
        n += 2;
      }
  double w = (now() - w0) / n * 1e6, c = (cpu() - c0) / n * 1e6;
  filler_stop();
  // The parts: the after-edit routine alone, and the undo snapshot alone.
  double a0 = now();
  for (int i = 0; i < 200; i++) afteredit();
  double a = (now() - a0) / 200 * 1e6;
  filler_stop();
  double u0 = now();
  for (int i = 0; i < 200; i++) undo_push();
  double u = (now() - u0) / 200 * 1e6;
  pstdout("%s: %d edits, %.1f us per edit (%.1f us processor); of which after-edit %.1f us, undo snapshot %.1f us\n",
          name, n, w, c, a, u);
}

int main(int argc, char** argv) {
  std::string src = __FILE__;
  src = src.substr(0, src.rfind('/'));
  src = src.substr(0, src.rfind('/'));
  std::string dir = argc > 1 && *argv[1] ? argv[1] : src + "/../shared/bench/grids";
  initbitidx16();
  alphaload(0);
  loadprefdefaults();
  usegui = 0;
  assistmode = 0;
  zyn_lock();
  std::vector<std::string> g15 = readgrid(dir + "/15.01.txt");
  if (g15.empty()) {
    fprintf(stderr, "cannot read %s/15.01.txt\n", dir.c_str());
    return 1;
  }
  std::string only = argc > 2 ? argv[2] : "";
  if (only != "63") {
    setgrid(g15);
    timeedits("15x15 (15.01)", 3);
  }
  if (only == "15") {
    filler_stop();
    return 0;
  }
  std::vector<std::string> g63(63, std::string(63, '.'));
  for (int x = 0; x < 63; x++)
    for (int y = 0; y < 63; y++)
      if ((x * 7 + y * 13) % 6 == 0) g63[y][x] = g63[62 - y][62 - x] = '#';  // symmetric, as edits keep it
  setgrid(g63);
  timeedits("63x63", 1);
  filler_stop();
  return 0;
}
