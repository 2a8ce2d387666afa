// The selection: its three modes, the Select menu, conversions between modes, shift-drag
// selection, clearing cells; and the after-edit routine.
#include "grid/select.h"

#include <cstdlib>

#include "core/hooks.h"
#include "core/common.h"
#include "core/message.h"
#include "core/undo.h"
#include "filler/filler.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/zyn.h"
#include "treatment/treatment.h"

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
  if (ui.selchanged) ui.selchanged();
}

void clearsel() {
  eachsquare([](square& s) {
    s.sqflags &= ~SQF_SEL;
    s.lightsel = 0;
  });
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
  // The rebuild renumbers the lights before the window redraws the numbers.
  runfiller(FM_ASSIST);
  if (ui.afteredit) ui.afteredit();
}

static square& sq(int x, int y) { return sqarray[x][y]; }

// A command that works in mode m starts that mode from an empty selection.
static void entermode(int m) {
  if (selmode == m) return;
  clearsel();
  selmode = m;
}

// Whether the light through (x, y) in d is selected; -1 when there is no such light.
static int lightselected(int x, int y, int d) {
  if (d < 0 || d >= ndir() || lightstart(x, y, d) != 1 || !isstartoflight(x, y, d)) return -1;
  return sq(x, y).lightsel >> d & 1;
}

// Apply f to every light of the grid: x, y its start, d its direction.
template <class F>
static void eachlight(F f) {
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++)
      for (int d = 0; d < ndir(); d++)
        if (isstartoflight(x, y, d)) f(x, y, d);
}

void selcellgroup(int x, int y, int on) {
  int gx[MXCL], gy[MXCL];
  if (!sqexists(x, y)) return;
  int n = cellgroup(gx, gy, x, y);
  for (int i = 0; i < n; i++) {
    if (on) sq(gx[i], gy[i]).sqflags |= SQF_SEL;
    else sq(gx[i], gy[i]).sqflags &= ~SQF_SEL;
  }
}

void seltoc() {
  if (selmode == SEL_CELLS) return;
  if (deb(DEB_UI)) pstdout("seltoc()\n");
  eachsquare([](square& s) { s.sqflags &= ~SQF_SEL; });
  if (selmode == SEL_LIGHTS) {
    eachlight([](int x, int y, int d) {
      if (!(sq(x, y).lightsel >> d & 1)) return;
      if (deb(DEB_UI)) pstdout("  %d %d %d\n", x, y, d);
      int lx[MXLL], ly[MXLL];
      int n = lightsquares(lx, ly, x, y, d);
      for (int i = 0; i < n; i++) selcellgroup(lx[i], ly[i], 1);
    });
  } else {
    for (int i = 0; i < nfreelights; i++)
      for (int j = 0; j < freelights[i].n; j++) selcellgroup(freelights[i].x[j], freelights[i].y[j], 1);
  }
  selmode = SEL_CELLS;
}

void seltol() {
  if (deb(DEB_UI)) pstdout("seltol()\n");
  eachsquare([](square& s) { s.lightsel = 0; });
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++)
      if (sqexists(x, y) && (sq(x, y).sqflags & SQF_SEL))
        for (int d = 0; d < ndir(); d++) {
          if (deb(DEB_UI)) pstdout("  %d %d %d\n", x, y, d);
          sellight(x, y, d, 1);
        }
  selmode = SEL_LIGHTS;
}

void selviol(int m) {
  if (deb(DEB_UI)) pstdout("selviol(%d)\n", m);
  entermode(SEL_LIGHTS);
  eachlight([m](int x, int y, int d) { sellight(x, y, d, (sq(x, y).chk[d] & m) != 0); });
  countsel();
}

void selcurcell() {
  entermode(SEL_CELLS);
  if (isclear(cursorx, cursory)) selcellgroup(cursorx, cursory, !(sq(cursorx, cursory).sqflags & SQF_SEL));
  countsel();
}

void selcurlight() {
  if (cursordir >= 100) {
    int k = cursordir - 100;
    if (k >= nfreelights) return;
    entermode(SEL_FREE);
    freelights[k].sel = !freelights[k].sel;
  } else {
    entermode(SEL_LIGHTS);
    sellight(cursorx, cursory, cursordir, lightselected(cursorx, cursory, cursordir) != 1);
  }
  countsel();
}

void selswitchmode() {
  if (selmode == SEL_CELLS) seltol();
  else seltoc();
  countsel();
}

int onfreelight(int k, int x, int y) {
  if (k < 0 || k >= nfreelights || !sqexists(x, y)) return 0;
  int rx = x, ry = y;
  cellrep(rx, ry);
  const freelight& f = freelights[k];
  for (int i = 0; i < f.n; i++) {
    int fx = f.x[i], fy = f.y[i];
    if (!sqexists(fx, fy)) continue;
    cellrep(fx, fy);
    if (fx == rx && fy == ry) return 1;
  }
  return 0;
}

void selfreelight() {
  if (nfreelights == 0) {
    errbox("No free lights\nhave been defined");
    return;
  }
  int k = 0;
  if (selmode == SEL_FREE) {
    for (int i = 0; i < nfreelights; i++)
      if (freelights[i].sel) k = (i + 1) % nfreelights;
  } else {
    for (int i = nfreelights - 1; i >= 0; i--)
      if (onfreelight(i, cursorx, cursory)) k = i;
  }
  entermode(SEL_FREE);
  for (int i = 0; i < nfreelights; i++) freelights[i].sel = i == k;
  countsel();
}

// The cells, lights or free lights that All and Invert act on, each set by f from its state.
template <class F>
static void eachselectable(F f) {
  if (selmode == SEL_CELLS) {
    for (int x = 0; x < width; x++)
      for (int y = 0; y < height; y++)
        if (isclear(x, y)) {
          square& s = sq(x, y);
          s.sqflags = f(s.sqflags & SQF_SEL) ? s.sqflags | SQF_SEL : s.sqflags & ~SQF_SEL;
        }
  } else if (selmode == SEL_LIGHTS) {
    eachlight([&f](int x, int y, int d) { sellight(x, y, d, f(sq(x, y).lightsel >> d & 1)); });
  } else {
    for (int i = 0; i < nfreelights; i++) freelights[i].sel = f(freelights[i].sel) != 0;
  }
  countsel();
}

void selall() {
  eachselectable([](int) { return 1; });
}

void selinvert() {
  eachselectable([](int on) { return !on; });
}

void selnothing() { clearsel(); }

// Cell mode: each merged cell (each square that is not clear) selected exactly when f says so
// for its representative.
template <class F>
static void selcellsby(F f) {
  entermode(SEL_CELLS);
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      if (!sqexists(x, y)) continue;
      int rx = x, ry = y;
      cellrep(rx, ry);
      int on = f(rx, ry);
      if (on >= 0) selcellgroup(x, y, on);
    }
  countsel();
}

void selcellsown() {
  selcellsby([](int x, int y) { return (int)sq(x, y).cellrec.cellown; });
}

void selcellstreat() {
  selcellsby([](int x, int y) { return (int)getcprops(x, y)->treatcell; });
}

void selcellsunchecked() {
  // By the first entry of the cell; a cell with no entry keeps its state.
  selcellsby([](int x, int y) {
    if (!isclear(x, y)) return -1;
    int ns = getcprops(x, y)->unlinked ? ndir() : 1;
    for (int s = 0; s < ns; s++) {
      int e = sq(x, y).nchars[s] > 0 ? entryat(x, y, s, 0) : -1;
      if (e >= 0) return entries[e].checking == 1 ? 1 : 0;
    }
    return -1;
  });
}

// Light mode: every light set to f(x, y, d).
template <class F>
static void sellightsby(F f) {
  entermode(SEL_LIGHTS);
  eachlight([&f](int x, int y, int d) { sellight(x, y, d, f(x, y, d)); });
  countsel();
}

void sellightsdir() {
  if (cursordir >= 100) return;
  int on = lightselected(cursorx, cursory, cursordir) != 1;
  int dir = cursordir;
  entermode(SEL_LIGHTS);
  eachlight([on, dir](int x, int y, int d) {
    if (d == dir) sellight(x, y, d, on);
  });
  countsel();
}

void sellightsown() {
  sellightsby([](int x, int y, int d) { return (int)sq(x, y).lightrec[d].lightown; });
}

void sellightsten() {
  sellightsby([](int x, int y, int d) { return (int)getlprops(x, y, d)->ten; });
}

int dragsel = -1;

void dragcell(int x, int y) {
  if (!sqexists(x, y)) return;
  if (selmode != SEL_CELLS) {
    clearsel();
    selmode = SEL_CELLS;
    countsel();
  }
  int on = (sq(x, y).sqflags & SQF_SEL) != 0;
  if (dragsel < 0) dragsel = on;
  if (on != dragsel) return;
  selcellgroup(x, y, !on);
  countsel();
}

void draglight(int x, int y) {
  if (cursordir >= 100 || !sqexists(x, y)) return;
  if (selmode != SEL_LIGHTS) {
    clearsel();
    selmode = SEL_LIGHTS;
    countsel();
  }
  int on = lightselected(x, y, cursordir);
  if (on < 0) return;
  if (dragsel < 0) dragsel = on;
  if (on != dragsel) return;
  sellight(x, y, cursordir, !on);
  countsel();
}

int resetconstraints() {
  bool asked[2] = {false, false}, any = false;
  for (int m = 0; m < 2; m++) {
    if ((allocmode[m] != 1 && allocmode[m] != 2) || !discretionok(treattype, m)) continue;
    for (ABM b : msgconstr[m])
      if (b != ABM_ALLDASH) asked[m] = any = true;
  }
  if (!any || !askyesno("\n  Reset answer  \n  treatment constraints?  \n")) return 0;
  for (int m = 0; m < 2; m++)
    if (asked[m])
      for (ABM& b : msgconstr[m]) b = ABM_ALLDASH;
  return 1;
}

editreport clearallcells() {
  filler_stop();
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) clearcell(x, y);
  resetconstraints();
  editreport r;
  r.all = 1;
  return endedit(r);
}

editreport clearselcells() {
  filler_stop();
  if (selmode != SEL_CELLS) {
    seltoc();
    countsel();
  }
  editreport r;
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++)
      if (sqexists(x, y) && (sq(x, y).sqflags & SQF_SEL)) {
        clearcell(x, y);
        reportcell(r, x, y);
      }
  resetconstraints();
  return endedit(r);
}
