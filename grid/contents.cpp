// Cell and light contents as text: reading the cursor's cell or light into the notation of
// character sets, and storing what the user typed.
#include "grid/contents.h"

#include <algorithm>

#include "core/message.h"
#include "grid/geometry.h"
#include "grid/road.h"
#include "grid/zyn.h"

int contentscell(int* x, int* y) {
  int rx = cursorx, ry = cursory;
  if (isclear(rx, ry)) cellrep(rx, ry);
  if (!isclear(rx, ry)) {
    errbox("Please place the cursor on a cell\nthat can contain characters");
    return 0;
  }
  *x = rx, *y = ry;
  return 1;
}

int contentsrows(int x, int y) { return getcprops(x, y)->unlinked ? ndir() : 1; }

int contentsfocus(int rows) { return cursordir >= 100 ? 0 : std::min(cursordir, rows - 1); }

std::string slotcontents(int x, int y, int slot) {
  std::string t;
  char buf[SLEN];
  const square& s = sqarray[x][y];
  for (int i = 0; i < s.nchars[slot]; i++) {
    abmtostr(buf, sizeof buf, s.charsets[slot][i], 0);
    t += buf;
  }
  return t;
}

int contentsunread(const char* text) {
  static ABM sets[MXCL * MXCP];
  int bad = 0;
  parseabm(sets, MXCL * MXCP, text, 0, &bad);
  return bad;
}

editreport setcellcontents(int x, int y, const std::string* texts, int rows) {
  editreport r;
  beginedit();
  square& s = sqarray[x][y];
  for (int i = 0; i < rows && i < MAXNDIR; i++) {
    ABM sets[MXCP];
    int n = parseabm(sets, MXCP, texts[i].c_str(), 0);
    s.nchars[i] = n;
    std::copy(sets, sets + n, s.charsets[i]);
  }
  reportcell(r, x, y);
  return endedit(r);
}

int lightcontents(lightpos* pos, std::string* text) {
  int n = lightpositions(pos, cursorx, cursory, cursordir, cursorlayer);
  if (n == -2) {
    errbox("Light is too long");
    return 0;
  }
  if (n < 2) {
    errbox("Please point the cursor along a light");
    return 0;
  }
  text->clear();
  char buf[SLEN];
  for (int i = 0; i < n; i++) {
    abmtostr(buf, sizeof buf, sqarray[pos[i].x][pos[i].y].charsets[pos[i].slot][pos[i].pos], 0);
    *text += buf;
  }
  return n;
}

editreport setlightcontents(const lightpos* pos, int n, const char* text) {
  editreport r;
  beginedit();
  ABM sets[MXCL];
  int got = parseabm(sets, n, text, 0);
  for (int i = 0; i < n; i++) sqarray[pos[i].x][pos[i].y].charsets[pos[i].slot][pos[i].pos] = i < got ? sets[i] : ABM_ALL;
  r.all = 1;
  return endedit(r);
}
