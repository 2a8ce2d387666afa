// Editing operations: blocks, cutouts, bars and merges with symmetry, and the whole-grid
// rearrangements (flip, rotation, inserting and deleting rows and columns).
#include "grid/edit.h"

#include <algorithm>
#include <cstring>

#include "grid/clues.h"
#include "grid/freelight.h"
#include "grid/geometry.h"
#include "grid/road.h"
#include "grid/select.h"
#include "grid/symm.h"
#include "grid/zyn.h"

static square& sq(int x, int y) { return sqarray[x][y]; }

void reportsq(editreport& r, int x, int y) {
  if (sqexists(x, y)) r.squares.push_back({x, y});
}

void reportcell(editreport& r, int x, int y) {
  int gx[MXCL], gy[MXCL];
  int n = cellgroup(gx, gy, x, y);
  for (int i = 0; i < n; i++) reportsq(r, gx[i], gy[i]);
}

void reportdone(editreport& r) {
  r.done = 1;
  std::sort(r.squares.begin(), r.squares.end());
  r.squares.erase(std::unique(r.squares.begin(), r.squares.end()), r.squares.end());
}

void reportaround(editreport& r, int x, int y) {
  reportcell(r, x, y);
  for (int e = 0; e < 2 * ndir(); e++) {
    int nx = x, ny = y;
    stepnext(nx, ny, e);
    reportsq(r, nx, ny);
  }
}

static int cursoronsquare() { return sqexists(cursorx, cursory); }

// Images of a square edit: the new block and cutout flags.
struct flagedit {
  editreport* r;
  unsigned char flags;
};

static void setflags(int x, int y, int, void* arg) {
  flagedit* f = (flagedit*)arg;
  reportaround(*f->r, x, y);
  if (f->flags) {
    clearmerges(x, y);
    sq(x, y).sqflags = f->flags;  // also drops the selection
  } else {
    sq(x, y).sqflags &= ~(SQF_BLOCK | SQF_CUTOUT);
  }
  reportsq(*f->r, x, y);
}

static void symflags(editreport& r, int x, int y, unsigned char flags) {
  flagedit f = {&r, flags};
  symmapply(setflags, &f, x, y, 0);
}

// Empty: the contents of the square itself are cleared, its images only lose block and cutout.
static void symempty(editreport& r, int x, int y) {
  clearcell(x, y);
  reportcell(r, x, y);
  symflags(r, x, y, 0);
}

static editreport atcursor(unsigned char flags) {
  editreport r;
  if (!cursoronsquare()) return r;
  beginedit();
  if (flags) symflags(r, cursorx, cursory, flags);
  else symempty(r, cursorx, cursory);
  if (cursordir < 100) advancecursor();
  r.marks = r.sel = 1;
  return endedit(r);
}

editreport editblock() { return atcursor(SQF_BLOCK); }
editreport editempty() { return atcursor(0); }
editreport editcutout() { return atcursor(SQF_CUTOUT); }

editreport toggleblock(int x, int y) {
  editreport r;
  if (!sqexists(x, y)) return r;
  beginedit();
  if (sq(x, y).sqflags & SQF_BLOCK) symempty(r, x, y);
  else symflags(r, x, y, SQF_BLOCK);
  r.marks = r.sel = 1;
  return endedit(r);
}

// Images of a bar or merge edit: the state every image edge is set to.
struct edgeedit {
  editreport* r;
  int on;
};

static void setbarimage(int x, int y, int e, void* arg) {
  edgeedit* b = (edgeedit*)arg;
  int nx = x, ny = y;
  stepnext(nx, ny, e);
  if (!setbar(x, y, e, b->on)) return;
  reportcell(*b->r, x, y);
  reportcell(*b->r, nx, ny);
}

// Set the bar on edge e of (x, y) and its images to the opposite of its present state.
static editreport symbar(int x, int y, int e) {
  editreport r;
  int nx = x, ny = y;
  stepnext(nx, ny, e);
  if (!sqexists(x, y) || !sqexists(nx, ny)) return r;
  beginedit();
  edgeedit b = {&r, !isbar(x, y, e)};
  symmapply(setbarimage, &b, x, y, e);
  r.marks = r.sel = 1;
  return endedit(r);
}

editreport togglebar(int x, int y, int e) {
  if (e < 0 || e >= 2 * ndir()) return {};
  return symbar(x, y, e);
}

editreport editbarbefore() {
  if (cursordir >= 100 || !cursoronsquare()) return {};
  return symbar(cursorx, cursory, cursordir + ndir());
}

static void setmergeimage(int x, int y, int e, void* arg) {
  edgeedit* m = (edgeedit*)arg;
  int nx = x, ny = y, d = e % ndir();
  stepnext(nx, ny, e);
  if (!isclear(x, y) || !isclear(nx, ny)) return;
  reportcell(*m->r, x, y);
  reportcell(*m->r, nx, ny);
  if (m->on) {
    clearmergesbut(x, y, d);
    clearmergesbut(nx, ny, d);
  }
  setmerge(x, y, e, m->on);
  // The merged cell takes the selection state of the square merged.
  int gx[MXCL], gy[MXCL];
  int n = mergegroup(gx, gy, x, y, d);
  unsigned char sel = sq(x, y).sqflags & SQF_SEL;
  for (int i = 0; i < n; i++) sq(gx[i], gy[i]).sqflags = (sq(gx[i], gy[i]).sqflags & ~SQF_SEL) | sel;
  reportcell(*m->r, x, y);
  reportcell(*m->r, nx, ny);
}

editreport editmerge() {
  editreport r;
  if (cursordir >= 100 || !isclear(cursorx, cursory)) return r;
  int nx = cursorx, ny = cursory;
  stepnext(nx, ny, cursordir);
  if (!isclear(nx, ny)) return r;  // nothing to merge with
  beginedit();
  edgeedit m = {&r, !ismerge(cursorx, cursory, cursordir)};
  symmapply(setmergeimage, &m, cursorx, cursory, cursordir);
  r.marks = r.sel = 1;
  return endedit(r);
}

// ---- Whole-grid operations ----

static square moved[MXSZ][MXSZ];

// The squares in use, [0, n) x [0, n), from moved back into the grid.
static void putmoved(int n) {
  sqreserve(n);
  for (int x = 0; x < n; x++) std::copy_n(moved[x], n, sqarray[x]);
}

// Where a square (or a free light cell, which may lie outside the grid) goes: false when it is
// removed. Coordinates are those before the change.
typedef bool (*mapfn)(int& x, int& y, const int* arg);

// A merge that joined (x, y) to (tx, ty) in direction d, in coordinates after the change.
struct keptmerge {
  int x, y, d, tx, ty;
};

// Move every square of the grid to where map sends it, on a grid of the new size; places
// nothing moved to get fresh squares. A merge survives only when it still joins the same two
// squares: a removed or inserted line, or a change of column parity on hexagonal grids, would
// otherwise merge squares that never were.
static void relayout(int nwidth, int nheight, mapfn map, const int* arg) {
  std::vector<keptmerge> merges;
  int n = std::max({sqext, nwidth, nheight});
  for (int x = 0; x < n; x++)
    for (int y = 0; y < n; y++) initsquare(&moved[x][y]);
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      int mx = x, my = y;
      if (!sqexists(x, y) || !map(mx, my, arg) || mx >= nwidth || my >= nheight) continue;
      moved[mx][my] = sq(x, y);
      for (int d = 0; d < ndir(); d++) {
        if (!(sq(x, y).merge >> d & 1)) continue;
        int tx = x, ty = y;
        stepnext(tx, ty, d);
        if (!sqexists(tx, ty) || !map(tx, ty, arg)) tx = ty = -1;
        merges.push_back({mx, my, d, tx, ty});
      }
    }
  putmoved(n);
  width = nwidth, height = nheight;
  for (const keptmerge& m : merges) {
    int tx = m.x, ty = m.y;
    stepnext(tx, ty, m.d);
    if (tx == m.tx && ty == m.ty && sqexists(tx, ty)) continue;
    // The bar under the merge goes with it, as when a merge is cleared by hand.
    sq(m.x, m.y).merge &= ~(1u << m.d);
    sq(m.x, m.y).bars &= ~(1u << m.d);
  }
}

// Move the cells of every free light the same way; a free light left with no cells is deleted
// and the cursor follows its free light to its new index.
static void movefreelights(mapfn map, const int* arg) {
  for (int i = 0; i < nfreelights; i++) {
    freelight& f = freelights[i];
    int n = 0;
    for (int j = 0; j < f.n; j++) {
      int x = f.x[j], y = f.y[j];
      if (map(x, y, arg) && x >= 0 && y >= 0 && x < MXSZ && y < MXSZ) f.x[n] = x, f.y[n++] = y;
    }
    f.n = n;
  }
  compactfreelights();
}

// The squares of each clue's light, moved by map; a square that goes is dropped.
static std::vector<cluemove> captureclues(mapfn map, const int* arg) {
  std::vector<cluemove> moves = cluecapture();
  for (cluemove& m : moves) {
    size_t n = 0;
    for (size_t i = 0; i < m.x.size(); i++) {
      int x = m.x[i], y = m.y[i];
      if (map(x, y, arg)) m.x[n] = x, m.y[n++] = y;
    }
    m.x.resize(n), m.y.resize(n);
  }
  return moves;
}

static editreport wholegrid() {
  // The grid the symmetry settings were chosen for is gone; keep only what the new one allows.
  symmreduce();
  fixcursor();
  editreport r;
  r.all = r.shape = r.marks = r.sel = 1;
  return endedit(r);
}

// Rearrange the squares, the free lights and the cursor by map.
static void rearrange(int nwidth, int nheight, mapfn map, const int* arg) {
  int cx = cursorx, cy = cursory;
  std::vector<cluemove> clues = captureclues(map, arg);
  relayout(nwidth, nheight, map, arg);
  movefreelights(map, arg);
  clueplace(clues);
  if (map(cx, cy, arg)) cursorx = cx, cursory = cy;
}

static void swapbits(unsigned& v, int a, int b) {
  unsigned ba = v >> a & 1, bb = v >> b & 1;
  v &= ~(1u << a | 1u << b);
  v |= ba << b | bb << a;
}

static int swaplr(int m) { return (m & 1) << 1 | (m & 2) >> 1; }

editreport flipdiag() {
  int shape = gtypes[gtype].shape;
  if (shape == SHAPE_CIRC) return {};
  beginedit();
  std::vector<cluemove> clues = cluecapture();
  for (cluemove& m : clues) std::swap(m.x, m.y);
  // Hexagonal grids keep the diagonal direction 1; the other two change places.
  int a = 0, b = shape == SHAPE_RECT ? 1 : 2;
  // Transposing keeps the squares in use, [0, sqext) x [0, sqext), where they are.
  for (int x = 0; x < sqext; x++)
    for (int y = 0; y < sqext; y++) {
      square& s = moved[y][x];
      s = sq(x, y);
      swapbits(s.bars, a, b);
      swapbits(s.merge, a, b);
      unsigned ls = s.lightsel;
      swapbits(ls, a, b);
      s.lightsel = (unsigned char)ls;
      std::swap(s.lightrec[a], s.lightrec[b]);
      if (getcprops(x, y)->unlinked) {
        std::swap(s.nchars[a], s.nchars[b]);
        std::swap(s.charsets[a], s.charsets[b]);
      }
    }
  putmoved(sqext);
  for (int i = 0; i < nfreelights; i++)
    for (int j = 0; j < freelights[i].n; j++) std::swap(freelights[i].x[j], freelights[i].y[j]);
  std::swap(width, height);
  mirsym = swaplr(mirsym);
  dupsym = swaplr(dupsym);
  static const int flipped[NGTYPES] = {0, 2, 1, 3, 4, 6, 5, 8, 7, 9, 11, 10, 12};
  gtype = flipped[gtype];
  clueplace(clues);
  // The cursor stays on its square and keeps pointing along the same light.
  std::swap(cursorx, cursory);
  if (cursordir == a) cursordir = b;
  else if (cursordir == b) cursordir = a;
  return wholegrid();
}

// Rotation by arg[0] radii; free light cells off the grid stay where they are.
static bool rotatemap(int& x, int& y, const int* arg) {
  if (x < width && y < height) x = (x + arg[0] + width) % width;
  return true;
}

// Inserting and deleting: arg[0] 1 for a row (annulus), 0 for a column (radius); arg[1] the
// line inserted or removed. A free light cell pushed past the last line of the array is dropped.
static bool insertmap(int& x, int& y, const int* arg) {
  int& c = arg[0] ? y : x;
  if (c >= arg[1]) c++;
  return c < MXSZ;
}

static bool deletemap(int& x, int& y, const int* arg) {
  int& c = arg[0] ? y : x;
  if (c == arg[1]) return false;
  if (c > arg[1]) c--;
  return true;
}

editreport rotategrid(int clockwise) {
  if (gtypes[gtype].shape != SHAPE_CIRC) return {};
  beginedit();
  int arg[1] = {clockwise ? 1 : -1};
  rearrange(width, height, rotatemap, arg);
  return wholegrid();
}

static editreport insertline(int rows, int line) {
  if ((rows ? height : width) >= MXSZ) return {};
  beginedit();
  int arg[2] = {rows, line};
  rearrange(width + !rows, height + rows, insertmap, arg);
  return wholegrid();
}

editreport insertrow(int below) { return insertline(1, cursory + (below != 0)); }
editreport insertcol(int right) { return insertline(0, cursorx + (right != 0)); }

// The edge bits of a square that cross to the next row (rows) or column.
static unsigned crossing(int rows) {
  if (rows) return gtype == 1 ? 4 : gtype == 2 ? 6 : 2;
  return gtype == 1 ? 3 : 1;
}

static editreport deleteline(int rows) {
  int n = rows ? height : width, line = rows ? cursory : cursorx;
  if (n < 2 || line < 0 || line >= n) return {};
  beginedit();
  // Bars on the far side of the removed line are kept by the line that takes its place.
  if (line < n - 1) {
    unsigned bits = crossing(rows);
    for (int i = 0; i < (rows ? width : height); i++) {
      int x = rows ? i : line, y = rows ? line : i;
      int bx = rows ? x : x + 1, by = rows ? y + 1 : y;
      if (sqexists(x, y) && sqexists(bx, by)) sq(bx, by).bars |= sq(x, y).bars & bits;
    }
  }
  int arg[2] = {rows, line};
  rearrange(width - !rows, height - rows, deletemap, arg);
  return wholegrid();
}

editreport deleterow() { return deleteline(1); }
editreport deletecol() { return deleteline(0); }
