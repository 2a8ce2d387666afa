// The pointer on the grid: click rules for blocks, bars and the cursor, and shift-drag selection.
#include "grid/pointer.h"

#include <bit>

#include "core/prefs.h"
#include "grid/cursor.h"
#include "grid/geometry.h"
#include "grid/road.h"
#include "grid/select.h"
#include "grid/zyn.h"

editreport pointerbutton(int x, int y, unsigned edges, int button, unsigned mods, int kind) {
  editreport r;
  if (kind == PE_RELEASE) {
    dragsel = -1;
    return r;
  }
  if (kind != PE_PRESS) return r;
  if (mods & KM_SHIFT) {
    if (button == 3) return draglight(x, y);
    if (button == 1) return dragcell(x, y);
    return r;
  }
  if (button != 1 || !sqexists(x, y)) return r;
  edges &= (1u << 2 * ndir()) - 1;
  int nedges = std::popcount(edges);
  if (prefint(PREF_EDIT_CLICK_FOR_BLOCK) && nedges >= 2) return toggleblock(x, y);
  if (prefint(PREF_EDIT_CLICK_FOR_BAR) && nedges == 1) {
    int b = std::countr_zero(edges);
    if (deb(DEB_DRAW)) pstdout("  x=%d y=%d e=%d b=%d isbar(x,y,b)=%d\n", x, y, edges, b, isbar(x, y, b));
    // An edge with no square beyond it cannot carry a bar: togglebar refuses it.
    return togglebar(x, y, b);
  }
  if (x == cursorx && y == cursory) {
    nextdir();
  } else {
    cursorx = x, cursory = y;
    if (cursordir >= 100) cursordir = 0;
  }
  return endmove(r);
}

editreport pointermotion(int x, int y, unsigned mods) {
  if (!sqexists(x, y)) return {};
  if (!(mods & KM_SHIFT)) dragsel = -1;
  else if (mods & KM_BUTTON3) return draglight(x, y);
  else if (mods & KM_BUTTON1) return dragcell(x, y);
  else dragsel = -1;
  return {};
}
