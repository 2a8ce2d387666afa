// Symmetry: the settings the grid allows, their menu setters, and the images of a square and
// edge under the current settings.
#include "grid/symm.h"

#include "core/common.h"
#include "grid/geometry.h"
#include "grid/zyn.h"

unsigned int symmrotmask() {
  int shape = gtypes[gtype].shape;
  if (shape == SHAPE_RECT) return 1u << 1 | 1u << 2 | 1u << 4;
  if (shape == SHAPE_CIRC) {
    unsigned m = 0;
    for (int i = 1; i <= 12; i++)
      if (width % i == 0) m |= 1u << i;
    return m;
  }
  // Hexagonal grids have a centre cell only for some sizes; only then do the orders 3 and 6 map
  // squares onto squares.
  int a = shape == SHAPE_HEXV ? width : height, b = shape == SHAPE_HEXV ? height : width;
  unsigned m = 1u << 1 | 1u << 2;
  if ((a & 1) && ((a / 2 + b) & 1)) m |= 1u << 3 | 1u << 4 | 1u << 6;
  return m;
}

int symmmirok(int m) {
  if (m < 0 || m > 3) return 0;
  // An up-down mirror of a circular grid maps radii onto radii only when their number is even.
  if (gtypes[gtype].shape == SHAPE_CIRC && (width & 1) && (m & 2)) return 0;
  return 1;
}

int symmdupok(int m) {
  if (m < 0 || m > 3) return 0;
  return gtypes[gtype].shape != SHAPE_CIRC || m == 0;
}

void symmreduce() {
  if (!symmrotok(rotsym)) rotsym = 1;
  if (!symmmirok(mirsym)) mirsym = mirsym >= 0 && mirsym <= 3 ? mirsym & 1 : 0;
  if (!symmdupok(dupsym)) dupsym = 0;
}

namespace {
struct image {
  int x, y, d;
};
// Most images: 12 rotations, each mirrored four ways and duplicated four ways.
constexpr int MXIMG = 12 * 4 * 4;

// Edge directions of the left-right and up-down mirror images, by shape.
const int mirlr[4][6] = {{2, 1, 0, 3}, {4, 3, 2, 1, 0, 5}, {3, 2, 1, 0, 5, 4}, {2, 1, 0, 3}};
const int mirud[4][6] = {{0, 3, 2, 1}, {1, 0, 5, 4, 3, 2}, {0, 5, 4, 3, 2, 1}, {2, 1, 0, 3}};

int mod(int a, int n) { return (a % n + n) % n; }

// Hexagonal rotation by n sixths of a turn on a lattice centred on the grid. a is the offset
// coordinate (x for vertical lights, y for horizontal), b the other; la and lb their counts.
// The offset coordinate's parity moves the centre half a cell; the lattice point (u, v) is
// turned with doubled values so that every step stays in integers.
void hexrot(int& a, int& b, int la, int lb, int n) {
  int L = 3 * (la - 1), M = 2 * (lb - 1) + 1 - (la & 1);
  int u = 6 * a - L, v = 2 * (2 * b + (a & 1)) - M, u2, v2;
  switch (n) {
    case 1: u2 = u - 3 * v, v2 = u + v; break;
    case 2: u2 = -u - 3 * v, v2 = u - v; break;
    case 3: u2 = -2 * u, v2 = -2 * v; break;
    case 4: u2 = 3 * v - u, v2 = -u - v; break;
    default: u2 = u + 3 * v, v2 = v - u; break;
  }
  gridcheck(!(u2 & 1) && !(v2 & 1), "hexagonal rotation not exact");
  u2 /= 2, v2 /= 2;
  gridcheck(mod(L + u2, 6) == 0, "hexagonal rotation not exact");
  a = (L + u2) / 6;
  int t = M + v2 - 2 * (a & 1);
  gridcheck(mod(t, 4) == 0, "hexagonal rotation not exact");
  b = t / 4;
}

int rotations(image* out, int x, int y, int d) {
  int n = 0, shape = gtypes[gtype].shape, nd = 2 * ndir();
  gridcheck(rotsym >= 1 && rotsym <= 12, "rotational order out of range");
  out[n++] = {x, y, d};
  if (shape == SHAPE_RECT) {
    if (rotsym == 2 || rotsym == 4) out[n++] = {width - 1 - x, height - 1 - y, (d + 2) % 4};
    if (rotsym == 4) {
      out[n++] = {width - 1 - y, x, (d + 1) % 4};
      out[n++] = {y, height - 1 - x, (d + 3) % 4};
    }
  } else if (shape == SHAPE_CIRC) {
    for (int i = 1; i < rotsym; i++) out[n++] = {(x + i * width / rotsym) % width, y, d};
  } else {
    for (int i = 1; i < 6; i++) {
      if (i * rotsym % 6) continue;
      int a = x, b = y;
      if (shape == SHAPE_HEXV) {
        hexrot(a, b, width, height, i);
        out[n++] = {a, b, (d + i) % nd};
      } else {
        hexrot(b, a, height, width, i);
        out[n++] = {a, b, mod(d - i, nd)};
      }
    }
  }
  return n;
}

int mirrors(image* out, image im) {
  int n = 0, shape = gtypes[gtype].shape;
  out[n++] = im;
  if (mirsym & 1) {
    int f = width;
    if (gtype == 2 && (height & 1) && (im.y & 1)) f = width - 1;
    int x = gtype == 4 ? mod(f - im.x, f) : f - 1 - im.x;
    out[n++] = {x, im.y, mirlr[shape][im.d]};
  }
  if (mirsym & 2) {
    int k = n;
    for (int i = 0; i < k; i++) {
      image m = out[i];
      if (shape == SHAPE_CIRC) {
        if (width & 1) continue;
        int x = gtype == 3 ? 3 * width / 2 - m.x - 1 : 3 * width / 2 - m.x;
        out[n++] = {mod(x, width), m.y, mirud[shape][m.d]};
      } else {
        int h = height;
        if (gtype == 1 && (width & 1) && (m.x & 1)) h = height - 1;
        out[n++] = {m.x, h - 1 - m.y, mirud[shape][m.d]};
      }
    }
  }
  return n;
}

int duplications(image* out, image im) {
  int n = 0;
  out[n++] = im;
  if (gtypes[gtype].shape == SHAPE_CIRC) return n;
  if (dupsym & 1) {
    int h = (width + 1) / 2;
    out[n++] = {(im.x + h) % (2 * h), im.y, im.d};
  }
  if (dupsym & 2) {
    int h = (height + 1) / 2, k = n;
    for (int i = 0; i < k; i++) out[n++] = {out[i].x, (out[i].y + h) % (2 * h), out[i].d};
  }
  return n;
}
}  // namespace

void symmapply(void (*f)(int x, int y, int d, void* arg), void* arg, int x, int y, int d) {
  image rot[12], mir[4], dup[4], all[MXIMG];
  int n = 0;
  int nr = rotations(rot, x, y, d);
  for (int i = 0; i < nr; i++) {
    if (!sqexists(rot[i].x, rot[i].y)) continue;
    int nm = mirrors(mir, rot[i]);
    for (int j = 0; j < nm; j++) {
      int nd = duplications(dup, mir[j]);
      for (int k = 0; k < nd; k++)
        if (sqexists(dup[k].x, dup[k].y)) all[n++] = dup[k];
    }
  }
  // The identity is the first image made; it is applied last.
  for (int i = 1; i < n; i++) f(all[i].x, all[i].y, all[i].d, arg);
  if (n) f(all[0].x, all[0].y, all[0].d, arg);
}

int setrotsym(int order) {
  if (!symmrotok(order)) return 1;
  rotsym = order;
  return 0;
}

int setmirsym(int m) {
  if (!symmmirok(m)) return 1;
  mirsym = m;
  return 0;
}

int setdupsym(int m) {
  if (!symmdupok(m)) return 1;
  dupsym = m;
  return 0;
}

void setnosymmetry() { rotsym = 1, mirsym = 0, dupsym = 0; }
