// Symmetry settings the grid allows.
#include "grid/symm.h"

#include "core/common.h"
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
