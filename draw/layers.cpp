// The layers only the screen shows: interactive-assistance hints with their heat map, the
// cursor, the tints of the cursor's light and of failed lights, the cell and light selection,
// and the free lights.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "alphabet/alphabet.h"
#include "core/common.h"
#include "core/prefs.h"
#include "draw/draw.h"
#include "filler/filler.h"
#include "grid/cursor.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/select.h"

namespace {

void selcolour(cairo_t* cr) { cairo_set_source_rgba(cr, 1, 0.8, 0, 0.5); }

// The feasible set of the entry at a character position, 0 when there is none: the copy the
// filler published, since its thread may still be working on the sets themselves.
ABM assistset(int x, int y, int slot, int pos) {
  int e = entryat(x, y, slot, pos);
  return e >= 0 && entries ? entries[e].flbmh & ABM_ALLDASH : 0;
}

bool several(ABM b) { return !std::has_single_bit(b & ABM_ALLDASH); }

// The heat of a cell from the fewest candidates its lights kept: 1 for none or one, falling
// with their logarithm to nothing at a thousand.
double heat(int cands) { return cands <= 1 ? 1.0 : std::max(0.0, 1.0 - log10((double)cands) / 3.0); }

void heattint(cairo_t* cr, int x, int y) {
  int e = entryat(x, y, 0, 0);
  if (e < 0 || e >= (int)heatcands.size() || heatcands[e] < 0) return;
  double h = heat(heatcands[e]);
  if (h <= 0) return;
  cairo_set_source_rgba(cr, 1, 0.25, 0.1, 0.5 * h);
  celloutline(cr, x, y);
  cairo_fill(cr);
}

// The unit vector from grid point a to b, the short way across a joined edge.
gpoint towards(gpoint a, gpoint b) {
  double dx = b.x - a.x, dy = b.y - a.y;
  if (shapeclass() < SC_CIRC) {
    if (gtypes[gtype].xwrap && fabs(dx) > width / 2.0) dx -= copysign(width, dx);
    if (gtypes[gtype].ywrap && fabs(dy) > height / 2.0) dy -= copysign(height, dy);
  }
  double l = hypot(dx, dy);
  return l > 0 ? gpoint{dx / l, dy / l} : gpoint{0, 0};
}

// The direction of travel of the cursor along its free light; (0, 0) on a path of one cell.
gpoint freelightway() {
  int k = cursordir - 100, i = cursorflpos();
  if (i < 0) return {0, 0};
  const freelight& f = freelights[k];
  int a = i, b = flnextcell(k, i);
  if (b < 0) b = i, a = flprevcell(k, i);
  if (a < 0) return {0, 0};
  return towards(groupof(f.x[a], f.y[a]).c, groupof(f.x[b], f.y[b]).c);
}

}  // namespace

void drawtint(cairo_t* cr, int x, int y, unsigned bits) {
  if (!isclear(x, y)) return;
  if (bits & TINT_LIGHT) {
    cairo_set_source_rgba(cr, 0.55, 0.75, 1, 0.35);
    celloutline(cr, x, y);
    cairo_fill(cr);
  }
  if (bits & TINT_FAIL) {
    cairo_set_source_rgba(cr, 1, 0.3, 0.25, 0.4);
    celloutline(cr, x, y);
    cairo_fill(cr);
  }
}

void drawhints(cairo_t* cr) {
  const bool heatmap = prefint(PREF_EDIT_HEAT_MAP) != 0;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      if (!isclear(x, y)) continue;
      cellrun g = groupof(x, y);
      if (g.x != x || g.y != y) continue;
      double F = sizefactor(y, g.n);
      const cellprops* cp = getcprops(x, y);
      int c = cellchar(x, y);
      if (c > 0) continue;
      if (heatmap) heattint(cr, x, y);
      cairo_set_source_rgb(cr, 0.75, 0.75, 0.75);
      if (c == -1 || c == -2) {
        ABM s = assistset(x, y, 0, 0);
        int m = std::popcount(s);
        const char* t = m == 0 ? "?" : m == 1 ? icctext[std::countr_zero(s) + 1] : " ";
        ctext(cp->fontstyle, 1, g.c.x, g.c.y + 0.3 * F, 0.7 * F, cr, t);
        // The fewer the candidates, the larger the red square.
        if (m >= 2 && m < squarepx / 2.0) {
          double side = F / m;
          cairo_set_source_rgb(cr, 1, 0, 0);
          cairo_rectangle(cr, scale * (g.c.x - side / 2), scale * (g.c.y - side / 2), scale * side, scale * side);
          cairo_fill(cr);
        }
        continue;
      }
      square copy = sqarray[x][y];
      for (int s = 0; s < (cp->unlinked ? ndir() : 1); s++)
        for (int p = 0; p < copy.nchars[s]; p++)
          if (several(copy.charsets[s][p]))
            if (ABM a = assistset(x, y, s, p)) copy.charsets[s][p] = a;
      drawcontents(cr, x, y, copy, 1, 1, 1);
    }
}

void drawcursor(cairo_t* cr) {
  bool free = cursordir >= 100;
  if ((cursordir >= ndir() && !free) || !sqexists(cursorx, cursory)) return;
  drawscope px(1, true);
  bool circ = shapeclass() >= SC_CIRC;
  double o = squarepx * (circ ? std::min(1.0, (height - cursory - 0.3) * 2 * M_PI / width) : 1.0);
  double ux, uy;
  if (free) {
    gpoint v = freelightway();
    if (v.x == 0 && v.y == 0) return;
    ux = v.x, uy = v.y;
  } else if (circ) {
    double th = 2 * M_PI * (cursorx + (shapeclass() == SC_CIRC ? 0.5 : 0)) / width;
    ux = cursordir == 0 ? cos(th) : -sin(th);
    uy = cursordir == 0 ? sin(th) : cos(th);
  } else {
    gpoint v = lightdir(cursordir);
    double l = hypot(v.x, v.y);
    ux = v.x / l, uy = v.y / l;
  }
  double vx = o * ux, vy = o * uy, nx = -vy, ny = vx, m = squarepx / 2.0;
  cairo_set_source_rgba(cr, 0.6, 0.6, 0.6, 0.8);
  cairo_move_to(cr, m + 0.4 * vx, m + 0.4 * vy);
  cairo_line_to(cr, m - 0.4 * vx + 0.3 * nx, m - 0.4 * vy + 0.3 * ny);
  cairo_line_to(cr, m - 0.4 * vx - 0.3 * nx, m - 0.4 * vy - 0.3 * ny);
  cairo_close_path(cr);
  cairo_fill(cr);

  // The layer of a multiplexed light that typing goes to.
  if (free) return;
  int sx = cursorx, sy = cursory;
  if (lightstart(sx, sy, cursordir) != 1 || !isstartoflight(sx, sy, cursordir)) return;
  if (!getlprops(sx, sy, cursordir)->layered) return;
  int n = lightmaxchars(cursorx, cursory, cursordir);
  if (n <= 1) return;
  cursorlayer = (cursorlayer % n + n) % n;
  cairo_set_source_rgb(cr, 0, 1, 0);
  ctext(0, 0, 0.5 * squarepx, 0.3 * squarepx, 0.35 * squarepx, cr, std::to_string(cursorlayer + 1).c_str());
}

void cursorpos(int* px, int* py) {
  gpoint c = runcentre(cursorx, cursory, 0, 1);
  *px = bawdpx() + (int)floor(squarepx * c.x + 0.5) - squarepx / 2;
  *py = bawdpx() + (int)floor(squarepx * c.y + 0.5) - squarepx / 2;
}

void drawselection(cairo_t* cr) {
  if (selmode == SEL_CELLS) {
    selcolour(cr);
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++) {
        if (!sqexists(x, y)) continue;
        int rx = x, ry = y;
        cellrep(rx, ry);
        if (!(sqarray[rx][ry].sqflags & SQF_SEL)) continue;
        if (deb(DEB_DRAW)) pstdout("sel fill %d,%d\n", x, y);
        celloutline(cr, x, y);
        cairo_fill(cr);
      }
  } else if (selmode == SEL_LIGHTS) {
    drawlightsel(cr);
  }
  if (selmode == SEL_FREE || cursordir >= ndir()) drawfreelights(cr);
}

void drawlightsel(cairo_t* cr) {
  double R = height;
  bool circ = shapeclass() >= SC_CIRC;
  selcolour(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 0.5 * scale);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      for (int k = 0; k < ndir(); k++) {
        if (!(sqarray[x][y].lightsel >> k & 1) || !isstartoflight(x, y, k)) continue;
        int lx[MXCL], ly[MXCL], gx[MXCL], gy[MXCL];
        int n = lightsquares(lx, ly, x, y, k);
        gridcheck(n >= 2, "selected light of fewer than two cells");
        gpoint prev{};
        for (int i = 0; i < n; i++) {
          int m = mergegroup(gx, gy, lx[i], ly[i], k);
          gpoint p = runcentre(gx[0], gy[0], k, m);
          if (i == 0) {
            cairo_move_to(cr, scale * p.x, scale * p.y);
            prev = p;
            continue;
          }
          // On a joined edge the stroke leaves the grid and comes back in on the other side.
          if (gtype >= 5) {
            bool wraps = k == 0 ? lx[i] < lx[i - 1] || ly[i] != ly[i - 1] : ly[i] < ly[i - 1] || lx[i] != lx[i - 1];
            if (wraps && k == 0) {
              cairo_line_to(cr, scale * (width + 0.5), scale * prev.y);
              cairo_move_to(cr, scale * -0.5, scale * p.y);
            } else if (wraps) {
              cairo_line_to(cr, scale * prev.x, scale * (height + 0.5));
              cairo_move_to(cr, scale * p.x, scale * -0.5);
            }
          }
          double a0 = atan2(prev.y - R, prev.x - R), a1 = atan2(p.y - R, p.x - R);
          if (deb(DEB_DRAW)) pstdout("%f,%f (%f) - %f,%f (%f)\n", prev.x, prev.y, a0, p.x, p.y, a1);
          if (circ && k == 0) arccw(a0, a1, cr, R, R, R - ly[i] - 0.5);
          else cairo_line_to(cr, scale * p.x, scale * p.y);
          prev = p;
        }
        cairo_stroke(cr);
      }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void drawfreelights(cairo_t* cr) {
  static int visits[MXSZ][MXSZ], seen[MXSZ][MXSZ];
  memset(visits, 0, sizeof visits);
  memset(seen, 0, sizeof seen);
  for (int k = 0; k < nfreelights; k++)
    for (int i = 0; i < freelights[k].n; i++)
      if (sqexists(freelights[k].x[i], freelights[k].y[i])) visits[freelights[k].x[i]][freelights[k].y[i]]++;
  for (int k = 0; k < nfreelights; k++) {
    const freelight& f = freelights[k];
    bool sel = f.sel, cur = cursordir == 100 + k;
    // Several free lights through one cell are spread on a P by P grid within it.
    gpoint pts[MXCL];
    double fs[MXCL];
    int n = 0;
    for (int i = 0; i < f.n; i++) {
      int x = f.x[i], y = f.y[i];
      if (!sqexists(x, y)) continue;
      int P = (int)ceil(sqrt((double)visits[x][y])), q = seen[x][y]++;
      double F = sizefactor(y, 1);
      gpoint c = groupof(x, y).c;
      pts[n] = {c.x + ((2 * (q % P) + 1) / (2.0 * P) - 0.5) * F, c.y + ((2 * (q / P) + 1) / (2.0 * P) - 0.5) * F};
      fs[n++] = F;
    }
    if (!sel && !cur) continue;
    if (sel && cur) cairo_set_source_rgba(cr, 0.8, 0.7, 0.3, 0.5);
    else if (sel) cairo_set_source_rgba(cr, 1, 0.8, 0, 0.5);
    else cairo_set_source_rgba(cr, 0.6, 0.6, 0.6, 0.5);
    for (int i = 0; i < n; i++) {
      if (deb(DEB_DRAW)) pstdout("refreshsel2: %d,%5.2f %5.2f %5.3f\n", k, pts[i].x, pts[i].y, fs[i]);
      cairo_set_line_width(cr, 0.25 * fs[i] * scale);
      cairo_set_line_cap(cr, i == 0 ? CAIRO_LINE_CAP_SQUARE : CAIRO_LINE_CAP_ROUND);
      cairo_move_to(cr, scale * pts[i].x, scale * pts[i].y);
      cairo_line_to(cr, scale * (pts[i].x + 0.001), scale * pts[i].y);
      cairo_stroke(cr);
    }
    cairo_set_line_width(cr, 0.05 * scale);
    for (int i = 0; i < n; i++) cairo_line_to(cr, scale * pts[i].x, scale * pts[i].y);
    cairo_stroke(cr);
  }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}
