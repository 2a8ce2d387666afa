// Grid topology: existence of squares, stepping with the edge joins of each grid type,
// bars and merges, merged cells and their representatives, lights and their squares.
#include "grid/geometry.h"

#include <bit>

static square& sq(int x, int y) { return sqarray[x][y]; }

// Joined edges: re-enter on the other side, mirroring the other coordinate on a flip.
static void wrap(int& x, int& y) {
  const gtypeinfo& g = gtypes[gtype];
  if (g.xwrap && (x < 0 || x >= width)) {
    x += x < 0 ? width : -width;
    if (g.xwrap == 2) y = height - 1 - y;
  }
  if (g.ywrap && (y < 0 || y >= height)) {
    y += y < 0 ? height : -height;
    if (g.ywrap == 2) x = width - 1 - x;
  }
}

static void checkdir(int d, int n) { gridcheck(d >= 0 && d < n, "direction out of range"); }

static void forward(int& x, int& y, int d) {
  switch (gtype) {
    case 1:  // odd columns sit half a cell lower
      if (d == 0) {
        y -= !(x & 1);
        x++;
      } else if (d == 1) {
        y += x & 1;
        x++;
      } else {
        y++;
      }
      break;
    case 2:  // odd rows sit half a cell to the right
      if (d == 0) {
        x++;
      } else if (d == 1) {
        x += y & 1;
        y++;
      } else {
        x -= !(y & 1);
        y++;
      }
      break;
    default:
      if (d == 0) x++;
      else y++;
      wrap(x, y);
  }
}

static void backward(int& x, int& y, int d) {
  switch (gtype) {
    case 1:  // the parity tests look at the column stepped to
      if (d == 0) {
        x--;
        y += !(x & 1);
      } else if (d == 1) {
        x--;
        y -= x & 1;
      } else {
        y--;
      }
      break;
    case 2:
      if (d == 0) {
        x--;
      } else if (d == 1) {
        y--;
        x -= y & 1;
      } else {
        y--;
        x += !(y & 1);
      }
      break;
    default:
      if (d == 0) x--;
      else y--;
      wrap(x, y);
  }
}

void stepnext(int& x, int& y, int d) {
  int n = ndir();
  checkdir(d, 2 * n);
  if (d < n) forward(x, y, d);
  else backward(x, y, d - n);
}

void stepprev(int& x, int& y, int d) {
  int n = ndir();
  checkdir(d, 2 * n);
  if (d < n) backward(x, y, d);
  else forward(x, y, d - n);
}

// The square holding the bits of the edge after (x, y) in d (before it for d >= ndir), and the
// bit's direction; 0 when either square of the edge does not exist.
static int edgeowner(int& x, int& y, int& d) {
  int n = ndir();
  checkdir(d, 2 * n);
  if (!sqexists(x, y)) return 0;
  int x1 = x, y1 = y;
  if (d < n) {
    forward(x1, y1, d);
    return sqexists(x1, y1);
  }
  d -= n;
  backward(x1, y1, d);
  if (!sqexists(x1, y1)) return 0;
  x = x1, y = y1;
  return 1;
}

int isbar(int x, int y, int d) { return edgeowner(x, y, d) && (sq(x, y).bars >> d & 1); }
int ismerge(int x, int y, int d) { return edgeowner(x, y, d) && (sq(x, y).merge >> d & 1); }

// A merge counts only between two clear squares: a merge bit that touches a block or cutout
// (possible only in a loaded file) would otherwise make a non-clear square part of a cell.
static int mergedfwd(int x, int y, int d) {
  if (!isclear(x, y) || !(sq(x, y).merge >> d & 1)) return 0;
  forward(x, y, d);
  return isclear(x, y);
}

static int mergedback(int x, int y, int d) {
  if (!isclear(x, y)) return 0;
  backward(x, y, d);
  return isclear(x, y) && (sq(x, y).merge >> d & 1);
}

// Whether a bar lies on the edge after (px, py) in d; a merged edge is never separated.
static int separated(int px, int py, int d) {
  const square& p = sq(px, py);
  return (p.bars >> d & 1) && !(p.merge >> d & 1);
}

void stepnextcell(int& x, int& y, int d) {
  checkdir(d, ndir());
  int sx = x, sy = y;
  while (mergedfwd(x, y, d)) {
    forward(x, y, d);
    // A merged ring is a single cell with no cell after it.
    if (x == sx && y == sy) return;
  }
  forward(x, y, d);
}

int openbefore(int x, int y, int d) {
  checkdir(d, ndir());
  if (!sqexists(x, y)) return 0;
  int px = x, py = y;
  backward(px, py, d);
  return isclear(px, py) && !separated(px, py, d);
}

int openafter(int x, int y, int d) {
  checkdir(d, ndir());
  // Walk to the last square of the merged run, then look at the next square.
  int cx = x, cy = y;
  while (mergedfwd(cx, cy, d)) {
    forward(cx, cy, d);
    if (cx == x && cy == y) return 0;  // a merged ring has no next cell
  }
  int nx = cx, ny = cy;
  forward(nx, ny, d);
  if ((nx == x && ny == y) || !isclear(nx, ny) || !sqexists(cx, cy)) return 0;
  return !separated(cx, cy, d);
}

int isstartoflight(int x, int y, int d) { return isclear(x, y) && !openbefore(x, y, d) && openafter(x, y, d); }

int mergedir(int x, int y) {
  if (!isclear(x, y)) return -1;
  for (int d = 0; d < ndir(); d++)
    if (mergedfwd(x, y, d) || mergedback(x, y, d)) return d;
  return 0;
}

void mergerep(int& x, int& y, int d) {
  checkdir(d, ndir());
  int cx = x, cy = y, bx = x, by = y;
  while (mergedback(cx, cy, d)) {
    backward(cx, cy, d);
    if (cx == x && cy == y) {  // merged ring: the smallest y*63+x stands for it
      x = bx, y = by;
      return;
    }
    if (cy * MXSZ + cx < by * MXSZ + bx) bx = cx, by = cy;
  }
  x = cx, y = cy;
}

void cellrep(int& x, int& y) {
  int l = mergedir(x, y);
  if (l >= 0) mergerep(x, y, l);
}

int mergegroup(int* gx, int* gy, int x, int y, int d) {
  int n = 0;
  gx[n] = x, gy[n++] = y;
  if (!isclear(x, y)) return n;
  mergerep(x, y, d);
  int rx = x, ry = y;
  gx[0] = x, gy[0] = y;
  while (mergedfwd(x, y, d)) {
    forward(x, y, d);
    if (x == rx && y == ry) break;
    gridcheck(n < MXCL, "merged run too long");
    gx[n] = x, gy[n++] = y;
  }
  return n;
}

int cellgroup(int* gx, int* gy, int x, int y) {
  int l = mergedir(x, y);
  return mergegroup(gx, gy, x, y, l < 0 ? 0 : l);
}

int lightstart(int& x, int& y, int d) {
  if (!isclear(x, y)) return 0;
  int cx = x, cy = y;
  while (openbefore(cx, cy, d)) {
    backward(cx, cy, d);
    if (cx == x && cy == y) return -1;
  }
  x = cx, y = cy;
  return 1;
}

int lightsquares(int* lx, int* ly, int x, int y, int d) {
  int n = 0;
  if (d >= 100) {
    d -= 100;
    if (d >= nfreelights) return 0;
    const freelight& f = freelights[d];
    for (int i = 0; i < f.n; i++)
      if (isclear(f.x[i], f.y[i])) lx[n] = f.x[i], ly[n++] = f.y[i];
    return n;
  }
  int r = lightstart(x, y, d);
  if (r <= 0) return r;
  lx[n] = x, ly[n++] = y;
  while (openafter(x, y, d)) {
    stepnextcell(x, y, d);
    gridcheck(n < MXLL, "light too long");
    lx[n] = x, ly[n++] = y;
  }
  return n;
}

int lightreps(int* lx, int* ly, int x, int y, int d) {
  int n = lightsquares(lx, ly, x, y, d);
  for (int i = 0; i < n; i++) cellrep(lx[i], ly[i]);
  return n;
}

void setmerge(int x, int y, int d, int on) {
  if (!edgeowner(x, y, d)) return;
  square& s = sq(x, y);
  if (on) {
    s.merge |= 1u << d;
    s.bars &= ~(1u << d);
  } else {
    s.merge &= ~(1u << d);
  }
}

int setbar(int x, int y, int d, int on) {
  if (!edgeowner(x, y, d)) return 0;
  square& s = sq(x, y);
  s.merge &= ~(1u << d);
  if (on) s.bars |= 1u << d;
  else s.bars &= ~(1u << d);
  return 1;
}

void clearmerges(int x, int y) { clearmergesbut(x, y, -1); }

void clearmergesbut(int x, int y, int keep) {
  if (!sqexists(x, y)) return;
  square& s = sq(x, y);
  // A bar under a merge is hidden; it must not reappear when the merge goes.
  unsigned m = keep >= 0 ? s.merge & ~(1u << keep) : s.merge;
  s.bars &= ~m;
  s.merge &= ~m;
  for (int d = 0; d < ndir(); d++) {
    if (d == keep) continue;
    int px = x, py = y;
    backward(px, py, d);
    if (!sqexists(px, py)) continue;
    square& p = sq(px, py);
    if (p.merge >> d & 1) p.merge &= ~(1u << d), p.bars &= ~(1u << d);
  }
}

void clearcell(int x, int y) {
  if (!sqexists(x, y)) return;
  cellrep(x, y);
  for (auto& slot : sq(x, y).charsets)
    for (ABM& b : slot) b = ABM_ALL;
}

void sellight(int x, int y, int d, int on) {
  if (deb(DEB_DOC)) pstdout("sellight(%d,%d,%d,%d)\n", x, y, d, on);
  if (d < 0 || d >= ndir()) return;
  if (lightstart(x, y, d) != 1 || !isstartoflight(x, y, d)) return;
  if (on) sq(x, y).lightsel |= 1 << d;
  else sq(x, y).lightsel &= ~(1 << d);
}

int cellchar(int x, int y) {
  if (!sqexists(x, y)) return -3;
  cellrep(x, y);
  const square& s = sq(x, y);
  if (getcprops(x, y)->unlinked || s.nchars[0] != 1) return -3;
  ABM b = s.charsets[0][0] & ABM_ALL;
  if (!b) return -1;
  if (b & (b - 1)) return -2;
  return std::countr_zero(b) + 1;
}

int advancecursor() {
  if (cursordir < 0 || cursordir >= ndir() || !sqexists(cursorx, cursory)) return 0;
  int x = cursorx, y = cursory;
  stepnextcell(x, y, cursordir);
  if (!sqexists(x, y)) return 0;
  cursorx = x, cursory = y;
  return 1;
}

const char* markown(int x, int y, int k) {
  int n = ndir();
  gridcheck(k >= 0 && k < 2 * n, "mark out of range");
  int rx = x, ry = y;
  cellrep(rx, ry);
  const char* t = getcprops(rx, ry)->marktexts[k];
  if (t[0] == '\\' && t[1] == '#' && !t[2]) return t;
  if (iscirclemark(t)) return (x == rx && y == ry) ? t : "";
  int l = mergedir(x, y);
  if (l < 0) return t;
  // Corners on the forward side of the run belong to its last square, the others to its first.
  int m = (2 * n + k - l - 1) % (2 * n);
  int merged = m < n ? mergedfwd(x, y, l) : mergedback(x, y, l);
  return merged ? "" : t;
}

int circled(int x, int y) {
  for (int k = 0; k < 2 * ndir(); k++)
    if (iscirclemark(markown(x, y, k))) return 1;
  return 0;
}
