// Drawing and exports: a full redraw of every screen layer of a filled 15x15 and 63x63 grid into
// an image surface at the start-up zoom, one cell's redraw, and each export kind.
#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "bench/benchutil.h"
#include "core/prefs.h"
#include "draw/draw.h"
#include "export/kinds.h"
#include "filler/filler.h"
#include "grid/lights.h"

namespace {

// A grid of the pattern's blocks with a letter in every clear cell, numbered, with the
// entries' feasible sets as interactive assistance would leave them.
void filledgrid(const std::vector<std::string>& rows) {
  setgrid(rows);
  unsigned r = 1;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      r = r * 1103515245 + 12345;
      if ((r >> 16) % 8) sqarray[x][y].charsets[0][0] = 1ULL << ((r >> 8) % 26);  // an eighth stay empty
    }
  rebuild();
  numbering();
  for (int i = 0; i < ne; i++) entries[i].flbmh = 0x7;  // three candidates
}

// The layers the window composites, in its order, drawn into one surface as refreshall does.
const char* const layernames[] = {"backgrounds", "hints", "cells", "marks", "selection and cursor"};
void drawlayer(cairo_t* cr, int layer) {
  drawscope ds(squarepx, true);
  switch (layer) {
    case 0:
      for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) drawcellbg(cr, x, y, squarepx, 0);
      break;
    case 1: drawhints(cr); break;
    case 2:
      for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) drawcellfg(cr, x, y, squarepx, bawdpx(), 1, 1, 1);
      break;
    case 3: drawmarks(cr, 1); break;
    default:
      drawselection(cr);
      drawcursor(cr);
  }
}

void benchredraw(const char* name) {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, imagewidth(squarepx, bawdpx()), imageheight(squarepx, bawdpx()));
  int reps = width > 20 ? 20 : 400;
  // Processor time per layer, the best of three rounds (the machine is shared).
  double layer[5], t = 0, c = 0;
  for (int l = 0; l < 5; l++) {
    layer[l] = 1e9;
    for (int round = 0; round < 3; round++) {
      double t0 = now(), c0 = cpu();
      for (int i = 0; i < reps; i++) {
        cairo_t* cr = cairo_create(s);
        drawlayer(cr, l);
        cairo_destroy(cr);
      }
      if ((cpu() - c0) / reps < layer[l]) layer[l] = (cpu() - c0) / reps;
      if (round == 0) t += (now() - t0) / reps;
    }
    c += layer[l];
  }
  // One cell, as typing a letter redraws it: its background, lines, bars and contents.
  int creps = 20000;
  cairo_t* cr = cairo_create(s);
  double u0 = now();
  for (int i = 0; i < creps; i++) {
    drawscope ds(squarepx, true);
    drawcellbg(cr, 2, 0, squarepx, 0);
    drawcellfg(cr, 2, 0, squarepx, bawdpx(), 1, 1, 1);
  }
  double u = (now() - u0) / creps;
  cairo_destroy(cr);
  cairo_surface_destroy(s);
  pstdout("%s: full redraw of every layer %.2f ms of processor time (%.2f ms elapsed); one cell %.1f us\n", name, c * 1e3, t * 1e3, u * 1e6);
  pstdout("  ");
  for (int l = 0; l < 5; l++) pstdout("%s %.2f ms%s", layernames[l], layer[l] * 1e3, l < 4 ? ", " : "\n");
}

void benchexports(const char* name) {
  char dir[] = "/tmp/zynbenchdrawXXXXXX";
  if (!mkdtemp(dir)) return;
  pstdout("%s exports:", name);
  for (const exportkind& k : exportkinds) {
    std::string path = std::string(dir) + "/x" + k.suffix;
    double t0 = now();
    k.run(path.c_str());
    filler_stop();
    pstdout(" %s %.0f ms;", k.name, (now() - t0) * 1e3);
  }
  pstdout("\n");
  std::string rm = std::string("rm -r ") + dir;
  if (system(rm.c_str())) pstdout("could not remove %s\n", dir);
}

}  // namespace

int main(int argc, char** argv) {
  initbitidx16();
  alphaload(2);
  loadprefdefaults();
  assistmode = 0;  // exports restart assistance; keep it from running between the timings
  const char* words = argc > 1 ? argv[1] : "/usr/share/dict/british-english";
  if (loadlowercase(words) < 0) return 1;

  std::vector<std::string> grid15;
  for (auto& row : readgrid(ZYN_SOURCE_DIR "/examples/grid15.txt"))
    if (row[0] != ';') grid15.push_back(row);
  filledgrid(grid15);
  benchredraw("15x15");
  benchexports("15x15");

  std::vector<std::string> big(63, std::string(63, '.'));
  for (int y = 1; y < 63; y += 4)
    for (int x = 1; x < 63; x += 4) big[y][x] = '#';
  filledgrid(big);
  benchredraw("63x63");
  benchexports("63x63");
  return 0;
}
