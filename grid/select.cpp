// Selection state and the after-edit routine.
#include "grid/select.h"

#include <cstdlib>

#include "core/hooks.h"
#include "core/common.h"
#include "filler/filler.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/zyn.h"

int selmode = SEL_CELLS;
int nsel = 0;

void countsel() {
  int n = 0;
  if (selmode == SEL_CELLS) {
    for (int x = 0; x < width; x++)
      for (int y = 0; y < height; y++) n += (sqarray[x][y].sqflags & SQF_SEL) != 0;
  } else if (selmode == SEL_LIGHTS) {
    for (int x = 0; x < width; x++)
      for (int y = 0; y < height; y++)
        for (int d = 0; d < ndir(); d++) n += ((sqarray[x][y].lightsel >> d) & 1) && isstartoflight(x, y, d);
  } else {
    for (int i = 0; i < nfreelights; i++) n += freelights[i].sel != 0;
  }
  nsel = n;
  if (usegui && ui.selchanged) ui.selchanged();
}

void clearsel() {
  for (auto& col : sqarray)
    for (square& s : col) {
      s.sqflags &= ~SQF_SEL;
      s.lightsel = 0;
    }
  for (freelight& f : freelights) f.sel = 0;
  countsel();
}

int fixcursor() {
  int x = cursorx, y = cursory, d = cursordir;
  if (d >= 100 ? d - 100 >= nfreelights : (d < 0 || d >= ndir())) d = 0;
  if (x >= width) x = width - 1;
  if (y >= height) y = height - 1;
  if (x < 0) x = 0;
  if (y < 0) y = 0;
  if (!sqexists(x, y)) {
    // Only the incomplete last half-row or half-column of a hexagonal grid is missing: take the
    // nearest square that exists.
    int best = -1, bx = 0, by = 0;
    for (int i = 0; i < width; i++)
      for (int j = 0; j < height; j++)
        if (sqexists(i, j)) {
          int dist = abs(i - x) + abs(j - y);
          if (best < 0 || dist < best) best = dist, bx = i, by = j;
        }
    x = bx, y = by;
  }
  int moved = x != cursorx || y != cursory || d != cursordir;
  cursorx = x, cursory = y, cursordir = d;
  return moved;
}

void afteredit() {
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++)
      for (int d = 0; d < ndir(); d++)
        if (((sqarray[x][y].lightsel >> d) & 1) && !isstartoflight(x, y, d)) sqarray[x][y].lightsel &= ~(1 << d);
  countsel();
  fixcursor();
  numbering();
  if (usegui && ui.afteredit) ui.afteredit();
  runfiller(FM_ASSIST);
}
