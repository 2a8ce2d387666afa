// Cell geometry of the five grid shapes, arc flattening and the pointer hit test.
#include "draw/shape.h"

#include <cassert>
#include <cmath>
#include <initializer_list>

#include "grid/geometry.h"

double scale = 1;
double arcpx = STARTPX;
int squarepx = STARTPX;

namespace {

// Light direction vectors of the square and hexagonal shapes, in grid units.
const gpoint dirvec[3][3] = {
    {{1, 0}, {0, 1}, {0, 0}},
    {{1.2, -0.7}, {1.2, 0.7}, {0, 1.4}},
    {{1.4, 0}, {0.7, 1.2}, {-0.7, 1.2}},
};

bool circular() { return shapeclass() >= SC_CIRC; }

// Angle, clockwise from the top, of angular position a on a circular grid (radians).
double polarangle(double a) {
  if (shapeclass() == SC_CIRCHALF) a -= 0.5;
  return 2 * M_PI * a / width;
}

// The point at angular position a and ring position r (0 the outer edge) of a circular grid.
gpoint polar(double a, double r) {
  double R = height, th = polarangle(a);
  return {R + (R - r) * sin(th), R - (R - r) * cos(th)};
}

// The same angle in the arc routines' convention (from the positive x axis).
double arcangle(double a) { return polarangle(a) - M_PI / 2; }

void lineto(cairo_t* cr, gpoint p) { cairo_line_to(cr, scale * p.x, scale * p.y); }
void moveto(cairo_t* cr, gpoint p) { cairo_move_to(cr, scale * p.x, scale * p.y); }

// The inner arc of ring y from angle x+1 back to x, and the outer arc from x to x+1.
void innerarc(cairo_t* cr, int x, int y) { arcccw(arcangle(x + 1), arcangle(x), cr, height, height, height - y - 0.999); }
void outerarc(cairo_t* cr, int x, int y) { arccw(arcangle(x), arcangle(x + 1), cr, height, height, height - y); }

// Polyline from angle a0 to a1 (either way round): the span is halved until each segment
// satisfies the tolerance.
void arcpoly(double a0, double a1, cairo_t* cr, double cx, double cy, double r) {
  double d = a1 - a0, tol = 1 / arcpx;
  int n = 1;
  while (d * d * r > tol && n < (1 << 16)) d /= 2, n *= 2;
  for (int i = 1; i <= n; i++) {
    double a = i == n ? a1 : a0 + (a1 - a0) * i / n;
    cairo_line_to(cr, scale * (cx + r * cos(a)), scale * (cy + r * sin(a)));
  }
}

double linedist(gpoint a, gpoint b, double u, double v) {
  double dx = b.x - a.x, dy = b.y - a.y, l = hypot(dx, dy);
  if (l == 0) return hypot(u - a.x, v - a.y);
  return fabs(dx * (v - a.y) - dy * (u - a.x)) / l;
}

// Hexagons in columns: column q, the point's offsets f across and v down; the square whose
// hexagon holds it. Hexagons in rows use the same rule with the axes exchanged.
void hexhit(double u, double v, int& col, int& row) {
  int q = (int)floor(u / 1.2);
  double f = u - 1.2 * q;
  int odd = q & 1;
  int r = odd ? (int)floor((v - 0.7) / 1.4) : (int)floor(v / 1.4);
  double a = odd ? v - 0.7 - 1.4 * r : v - 1.4 * r;
  col = q, row = r;
  if (f >= 0.4) return;
  if (0.4 * a + 0.7 * f < 0.28) {  // above the upper-left edge
    col = q - 1, row = odd ? r : r - 1;
  } else if (0.4 * a - 0.7 * f > 0.28) {  // below the lower-left edge
    col = q - 1, row = odd ? r + 1 : r;
  }
}

}  // namespace

gpoint lightdir(int d) { return dirvec[shapeclass() % 3][d % 3]; }

int shapeclass() { return gtype == 4 ? SC_CIRCHALF : gtypes[gtype].shape; }

int hbawdpx() {
  int h = (int)floor(squarepx * 0.139 * 0.5 + 0.5);
  return h < 2 ? 2 : h;
}
int bawdpx() { return 2 * hbawdpx() - 1; }

gpoint cellvertex(int k, int x, int y) {
  switch (shapeclass()) {
    case SC_SQUARE: {
      const gpoint v[4] = {{x + 1.0, (double)y}, {x + 1.0, y + 1.0}, {(double)x, y + 1.0}, {(double)x, (double)y}};
      return v[k & 3];
    }
    case SC_HEXV: {
      double X = 1.2 * x + 0.4, Y = 1.4 * y + 0.7 * (x & 1);
      const gpoint v[6] = {{X + 0.8, Y}, {X + 1.2, Y + 0.7}, {X + 0.8, Y + 1.4}, {X, Y + 1.4}, {X - 0.4, Y + 0.7}, {X, Y}};
      return v[k % 6];
    }
    case SC_HEXH: {
      double X = 1.4 * x + 0.7 * (y & 1), Y = 1.2 * y + 0.4;
      const gpoint v[6] = {{X + 1.4, Y}, {X + 1.4, Y + 0.8}, {X + 0.7, Y + 1.2}, {X, Y + 0.8}, {X, Y}, {X + 0.7, Y - 0.4}};
      return v[k % 6];
    }
    case SC_CIRC:
    case SC_CIRCHALF: {
      switch (k & 3) {
        case 0: return polar(x + 1, y);
        case 1: return polar(x + 1, y + 1);
        case 2: return polar(x, y + 1);
        default: return polar(x, y);
      }
    }
  }
  assert(!"unknown grid shape");
  return {0, 0};
}

void celloutline(cairo_t* cr, int x, int y) {
  moveto(cr, cellvertex(0, x, y));
  lineto(cr, cellvertex(1, x, y));
  if (circular()) {
    // The inner radius stays above 0 so that the innermost ring's arc is never a point.
    innerarc(cr, x, y);
    lineto(cr, cellvertex(3, x, y));
    outerarc(cr, x, y);
  } else {
    for (int k = 2; k < 2 * ndir(); k++) lineto(cr, cellvertex(k, x, y));
  }
  cairo_close_path(cr);
}

void edgepath(cairo_t* cr, int x, int y, unsigned mask) {
  int ne = 2 * ndir();
  unsigned all = (1u << ne) - 1;
  mask &= all;
  if (!mask) return;
  int start = 0;
  while (start < ne && (mask >> start & 1)) start++;
  if (start == ne) start = 0;
  bool prev = false;
  for (int i = 0; i < ne; i++) {
    int k = (start + i) % ne;
    if (!(mask >> k & 1)) {
      prev = false;
      continue;
    }
    gpoint a = cellvertex(k, x, y), b = cellvertex(k + 1, x, y);
    if (!prev) moveto(cr, a);
    if (circular() && (k & 1)) {
      if (k == 1) innerarc(cr, x, y);
      else outerarc(cr, x, y);
    } else if (circular()) {
      lineto(cr, b);
    } else {
      // Each edge in two halves, so that every half ends with a butt cap at the midpoint.
      gpoint m = {(a.x + b.x) / 2, (a.y + b.y) / 2};
      lineto(cr, m);
      moveto(cr, m);
      lineto(cr, b);
    }
    prev = true;
  }
  if (mask == all) cairo_close_path(cr);
}

gpoint cellref(int x, int y) {
  switch (shapeclass()) {
    case SC_SQUARE: return {(double)x, (double)y};
    case SC_HEXV: return cellvertex(5, x, y);
    case SC_HEXH: return cellvertex(4, x, y);
    default: return polar(x + 1, y + 1);
  }
}


gpoint runcentre(int x, int y, int d, int n) {
  if (circular()) {
    double f = y + 0.5, e = x + n / 2.0;
    if (d & 1) f = y + n / 2.0, e = x + 0.5;
    return polar(e, f);
  }
  if (gtype >= 5) {
    // A run may wrap across a joined edge: measure from its middle cell instead, and from that
    // cell alone when the run leaves the grid right after it.
    if (n > 2) {
      int k = (n - 1) / 2;
      for (int i = 0; i < k; i++) stepnext(x, y, d);
      n -= 2 * k;
    }
    if ((d == 0 && x == width - 1) || (d == 1 && y == height - 1)) n = 1;
  }
  gpoint a = cellvertex(0, x, y), b = cellvertex(ndir(), x, y);
  gpoint v = lightdir(d);
  return {(a.x + b.x) / 2 + (n - 1) / 2.0 * v.x, (a.y + b.y) / 2 + (n - 1) / 2.0 * v.y};
}

cellrun groupof(int x, int y) {
  int d = mergedir(x, y);
  if (d < 0) d = 0;
  int gx[MXCL], gy[MXCL];
  int n = cellgroup(gx, gy, x, y);
  return {gx[0], gy[0], d, n, runcentre(gx[0], gy[0], d, n)};
}

gbox cellbbox(int x, int y) {
  gpoint c = runcentre(x, y, 0, 1);
  gbox b = {c.x - 0.5, c.y - 0.5, c.x + 0.5, c.y + 0.5};
  auto add = [&b](gpoint p) {
    b.x0 = fmin(b.x0, p.x), b.y0 = fmin(b.y0, p.y);
    b.x1 = fmax(b.x1, p.x), b.y1 = fmax(b.y1, p.y);
  };
  for (int k = 0; k < 2 * ndir(); k++) add(cellvertex(k, x, y));
  if (circular())
    for (double a : {0.25, 0.5, 0.75}) add(polar(x + a, y));
  return b;
}

int imagewidth(int s, int b) {
  switch (shapeclass()) {
    case SC_SQUARE: return s * width + 2 * b - 1;
    case SC_HEXV: return (int)floor((1.2 * width + 0.4) * s + 2 * b - 1 + 0.5);
    case SC_HEXH: return (int)floor((1.4 * width + (height & 1 ? 0 : 0.7)) * s + 2 * b - 1 + 0.5);
    case SC_CIRC:
    case SC_CIRCHALF: return 2 * (b + s * height) - 1;
  }
  assert(!"unknown grid shape");
  return 0;
}

int imageheight(int s, int b) {
  switch (shapeclass()) {
    case SC_SQUARE: return s * height + 2 * b - 1;
    case SC_HEXV: return (int)floor((1.4 * height + (width & 1 ? 0 : 0.7)) * s + 2 * b - 1 + 0.5);
    case SC_HEXH: return (int)floor((1.2 * height + 0.4) * s + 2 * b - 1 + 0.5);
    case SC_CIRC:
    case SC_CIRCHALF: return 2 * (b + s * height) - 1;
  }
  assert(!"unknown grid shape");
  return 0;
}

double sizefactor(int y, int n) {
  if (!circular()) return 1;
  return fmin(1, n * (height - y - 0.3) * 2 * M_PI / width);
}

void arccw(double a0, double a1, cairo_t* cr, double cx, double cy, double r) {
  if (a0 > a1) a1 += 2 * M_PI;
  arcpoly(a0, a1, cr, cx, cy, r);
}

void arcccw(double a0, double a1, cairo_t* cr, double cx, double cy, double r) {
  if (a1 > a0) a0 += 2 * M_PI;
  arcpoly(a0, a1, cr, cx, cy, r);
}

hitresult hittest(double ex, double ey) {
  double px = floor(ex + 0.5), py = floor(ey);
  return hitgrid((px - bawdpx()) / squarepx, (py - bawdpx()) / squarepx);
}

hitresult hitgrid(double u, double v) {
  hitresult h = {0, 0, 0};
  int sc = shapeclass();
  if (sc >= SC_CIRC) {
    double R = height, r = hypot(u - R, v - R);
    if (r < 0.001) return {-1, -1, 0};
    double t = atan2(u - R, -(v - R)) * width / (2 * M_PI);
    if (sc == SC_CIRCHALF) t += 0.5;
    if (t < 0) t += width;
    if (t >= width) t -= width;
    double o = R - r;
    h.x = (int)floor(t), h.y = (int)floor(o);
    double w = r < 2 ? 1 : r - 1;
    if (o - h.y > 0.8) h.mask |= 2;
    if (o - h.y < 0.2) h.mask |= 8;
    if (t - h.x > 1 - 0.2 / w) h.mask |= 1;
    if (t - h.x < 0.2 / w) h.mask |= 4;
    return h;
  }
  if (sc == SC_SQUARE) h.x = (int)floor(u), h.y = (int)floor(v);
  else if (sc == SC_HEXV) hexhit(u, v, h.x, h.y);
  else hexhit(v, u, h.y, h.x);
  for (int k = 0; k < 2 * ndir(); k++)
    if (linedist(cellvertex(k, h.x, h.y), cellvertex(k + 1, h.x, h.y), u, v) < 0.2) h.mask |= 1u << k;
  return h;
}
