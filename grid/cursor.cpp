// The cursor and the keyboard: moving with the arrows and the editing keys, changing direction
// and multiplex layer, and typing characters into cells.
#include "grid/cursor.h"

#include <glib.h>

#include <cstring>

#include "alphabet/alphabet.h"
#include "core/hooks.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/road.h"
#include "grid/select.h"
#include "grid/zyn.h"

int movecursor(int dx, int dy) {
  const gtypeinfo& g = gtypes[gtype];
  int x = cursorx + dx, y = cursory + dy;
  if (cursordir >= 100) cursordir = 0;
  // Arrows move by array column and row; crossing a joined edge may mirror the other coordinate.
  if (g.xwrap && (x < 0 || x >= width)) {
    x = (x + width) % width;
    if (g.xwrap == 2) y = height - 1 - y;
  }
  if (g.ywrap && (y < 0 || y >= height)) {
    y = (y + height) % height;
    if (g.ywrap == 2) x = width - 1 - x;
  }
  if (!sqexists(x, y)) return 0;
  cursorx = x, cursory = y;
  return 1;
}

// Layers of the multiplexed light through the cursor in direction d: its largest number of
// characters in one cell; 1 when the light is not multiplexed (or there is none).
static int cursorlayers(int d) {
  int x = cursorx, y = cursory;
  if (d < 0 || d >= ndir() || lightstart(x, y, d) != 1 || !isstartoflight(x, y, d)) return 1;
  if (!getlprops(x, y, d)->layered) return 1;
  int m = lightmaxchars(x, y, d);
  return m > 1 ? m : 1;
}

// A direction the cursor may rest on: every grid direction, and the free lights through it.
static int cursorcanpoint(int d) { return d < ndir() || onfreelight(d - 100, cursorx, cursory); }

void nextdir() {
  int m = cursorlayers(cursordir);
  if (m > 1 && ++cursorlayer < m) return;
  do {
    cursordir++;
    cursorlayer = 0;
    if (cursordir == ndir()) cursordir = 100;
    if (cursordir >= 100 + nfreelights) cursordir = 0;
  } while (!cursorcanpoint(cursordir));
}

void prevdir() {
  int m = cursorlayers(cursordir);
  if (m > 1) {
    int l = cursorlayer - 1;
    if (l > m - 1) l = m - 1;
    if (l >= 0) {
      cursorlayer = l;
      return;
    }
  }
  do {
    cursordir--;
    cursorlayer = 0;
    if (cursordir == -1) cursordir = 100 + nfreelights - 1;
    if (cursordir == 99) cursordir = ndir() - 1;
  } while (!cursorcanpoint(cursordir));
  cursorlayer = cursorlayers(cursordir) - 1;
}

std::vector<sqpos> cursorlight() {
  editreport r;
  int lx[MXCL], ly[MXCL];
  if (!sqexists(cursorx, cursory)) return r.squares;
  int n = lightsquares(lx, ly, cursorx, cursory, cursordir);
  // A single cell is no light; a free light is one even through a single clear cell.
  if (n < (cursordir >= 100 ? 1 : 2)) return r.squares;
  for (int i = 0; i < n; i++) reportcell(r, lx[i], ly[i]);
  reportdone(r);
  return r.squares;
}

namespace {
int flpos = -1;  // the index along the free light that typing last moved the cursor to

// The cell of square (x, y), to compare squares of one merged cell.
sqpos cellof(int x, int y) {
  cellrep(x, y);
  return {x, y};
}

bool flcellok(const freelight& f, int i) { return i >= 0 && i < f.n && isclear(f.x[i], f.y[i]); }
}  // namespace

int cursorflpos() {
  int k = cursordir - 100;
  if (k < 0 || k >= nfreelights || !sqexists(cursorx, cursory)) return -1;
  const freelight& f = freelights[k];
  sqpos c = cellof(cursorx, cursory);
  auto holds = [&](int i) { return flcellok(f, i) && cellof(f.x[i], f.y[i]) == c; };
  if (holds(flpos)) return flpos;
  for (int i = 0; i < f.n; i++)
    if (holds(i)) return i;
  return -1;
}

int flprevcell(int k, int i) {
  if (k < 0 || k >= nfreelights) return -1;
  for (int j = i - 1; j >= 0; j--)
    if (flcellok(freelights[k], j)) return j;
  return -1;
}

int flnextcell(int k, int i) {
  if (k < 0 || k >= nfreelights || i < 0) return -1;
  for (int j = i + 1; j < freelights[k].n; j++)
    if (flcellok(freelights[k], j)) return j;
  return -1;
}

// After a character: on along the light, or along the free light's path.
static void typedon() {
  if (cursordir < 100) {
    advancecursor();
    return;
  }
  int k = cursordir - 100, j = flnextcell(k, cursorflpos());
  if (j < 0) return;
  cursorx = freelights[k].x[j], cursory = freelights[k].y[j];
  flpos = j;
}

// The internal code of Unicode character ch in the current alphabet, 0 for none.
static int cptocode(int ch) {
  for (int i = 1; i <= MAXICC; i++)
    if (icccp[i] == ch && (alphaset >> (i - 1) & 1)) return i;
  return 0;
}

int typechar(int ch, editreport& r) {
  // The pattern characters of the contents dialogs, some of which are also editing keys.
  if (ch <= 0 || ch >= MAXUCP || !g_unichar_isgraph((gunichar)ch)) return 0;
  if (ch < 128 && strchr(".-?,[]^\"@#", ch)) return 0;
  int code = cptocode(ch);
  int x = cursorx, y = cursory;
  // Blocks and cutouts hold no letters: typing on them would only store hidden contents.
  if (!code || !isclear(x, y)) return 0;
  cellrep(x, y);
  square& s = sqarray[x][y];
  int slot = getcprops(x, y)->unlinked && cursordir < ndir() ? cursordir : 0;
  if (s.nchars[slot] == 1) {
    beginedit();
    s.charsets[slot][0] = 1ULL << (code - 1);
    reportcell(r, x, y);
    typedon();
    r = endedit(r);
    return 1;
  }
  // Several positions (or none): the cell contents dialog takes the character instead. It
  // ends its own edit; a cancelled dialog leaves everything, the cursor included, alone.
  if (!ui.cellcontents) return 0;
  if (ui.cellcontents()) {
    reportcell(r, x, y);
    typedon();
  }
  return 1;
}

// Home and End: the first or last cell of the cursor's light.
static void lightend(int last) {
  int lx[MXCL], ly[MXCL];
  int n = lightsquares(lx, ly, cursorx, cursory, cursordir);
  if (n <= 0) return;
  int i = last ? n - 1 : 0;
  cursorx = lx[i], cursory = ly[i];
}

static void clearatcursor(editreport& r) {
  beginedit();
  clearcell(cursorx, cursory);
  reportcell(r, cursorx, cursory);
  r.doc = 1;
}

// Shift+Tab: back to the previous cell (past a merged cell to its first square) and clear it.
static void clearback(editreport& r) {
  int x = cursorx, y = cursory, d = cursordir;
  stepprev(x, y, d);
  for (int i = 0; i < 2 * MXSZ && sqexists(x, y) && ismerge(x, y, d + ndir()); i++) {
    stepprev(x, y, d);
    if (x == cursorx && y == cursory) break;
  }
  if (!sqexists(x, y)) return;
  cursorx = x, cursory = y;
  clearatcursor(r);
}

// The editing keys; 0 when the key is not one of them.
static int editkey(int ch, int key, editreport& r) {
  int onlight = cursordir < 100;
  if (ch == ' ') {
    if (onlight) advancecursor();
  } else if (ch == ',' || ch == '.') {
    r = ch == ',' ? editblock() : editempty();
  } else if (ch == '/' || key == ZK_PAGEDOWN) {
    nextdir();
  } else if (key == ZK_PAGEUP) {
    prevdir();
  } else if (key == ZK_TAB) {
    clearatcursor(r);
    if (onlight) advancecursor();
  } else if (key == ZK_LEFTTAB) {
    if (onlight) clearback(r);
  } else if (key == ZK_BACKSPACE) {
    int x = cursorx, y = cursory;
    if (onlight) stepprev(x, y, cursordir);
    if (onlight && sqexists(x, y)) cursorx = x, cursory = y;
  } else if (key == ZK_HOME || key == ZK_END) {
    lightend(key == ZK_END);
  } else if (key >= ZK_LEFT && key <= ZK_DOWN) {
    movecursor(key == ZK_LEFT ? -1 : key == ZK_RIGHT ? 1 : 0, key == ZK_UP ? -1 : key == ZK_DOWN ? 1 : 0);
  } else {
    return 0;
  }
  return 1;
}

editreport keypress(int ch, int key, unsigned mods) {
  editreport r;
  // Control and Alt belong to the menus' shortcuts; AltGr arrives as its own modifier and types.
  if (mods & (KM_CONTROL | KM_ALT)) return r;
  int used = 0;
  if (ch > 0) {
    used = typechar(ch, r) || typechar((int)g_unichar_toupper((gunichar)ch), r) ||
           typechar((int)g_unichar_tolower((gunichar)ch), r);
  }
  if (!used && !editkey(ch, key, r)) return r;
  // A character, the block and the empty key have ended their edits already; r.doc marks a key
  // that cleared a cell, any other key moved the cursor.
  if (r.done) return r;
  if (r.doc) return endedit(r);
  return endmove(r);
}
