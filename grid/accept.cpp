// Accept hints: the fill's settled characters become the cells' contents.
#include "grid/accept.h"

#include <bit>

#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/road.h"
#include "grid/select.h"
#include "grid/zyn.h"

// Each square takes its merged cell's hints, slot by slot and position by position.
static void hintcells() {
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      if (!isclear(x, y)) continue;
      int rx = x, ry = y;
      cellrep(rx, ry);
      int nslots = getcprops(rx, ry)->unlinked ? ndir() : 1;
      for (int sl = 0; sl < nslots; sl++)
        for (int k = 0; k < sqarray[rx][ry].nchars[sl]; k++) {
          int e = entryat(rx, ry, sl, k);
          if (e >= 0 && std::has_single_bit(entries[e].flbmh)) sqarray[x][y].charsets[sl][k] = entries[e].flbmh;
        }
    }
}

// The message slots' entries follow the grid's: all of message 0's slots, then message 1's.
// A slot without a hint (a fill that found nothing) leaves its constraint alone.
static int hintconstraints() {
  int changed = 0;
  if (!treattype || ne <= msgent0) return 0;
  int nslots = (ne - msgent0) / 2;
  for (int m = 0; m < 2; m++) {
    if (allocmode[m] != 1 && allocmode[m] != 2) continue;
    for (int k = 0; k < nslots && k < MXMSGSLOTS; k++) {
      ABM h = entries[msgent0 + m * nslots + k].flbmh;
      ABM b = msgconstr[m][k] & h;
      if (!h || b == msgconstr[m][k]) continue;
      msgconstr[m][k] = b;
      changed = 1;
    }
  }
  return changed;
}

int accepthints(editreport* r) {
  beginedit();
  hintcells();
  int changed = hintconstraints();
  editreport e;
  e.all = 1;
  e = endedit(e);
  if (r) *r = e;
  return changed;
}
