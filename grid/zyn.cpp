// The document: its globals, the grid-type table, the fresh square and the default
// properties, document reset, and the effective-property accessors.
#include "grid/zyn.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "grid/clues.h"
#include "grid/geometry.h"
#include "grid/lights.h"

const gtypeinfo gtypes[NGTYPES] = {
    {"Plain rectangular", 2, {"Across", "Down"}, SHAPE_RECT, 0, 0},
    {"Hex with vertical lights", 3, {"Northeast", "Southeast", "South"}, SHAPE_HEXV, 0, 0},
    {"Hex with horizontal lights", 3, {"East", "Southeast", "Southwest"}, SHAPE_HEXH, 0, 0},
    {"Circular", 2, {"Ring", "Radial"}, SHAPE_CIRC, 1, 0},
    {"Circular with half-cell offset", 2, {"Ring", "Radial"}, SHAPE_CIRC, 1, 0},
    {"Join left and right edges", 2, {"Across", "Down"}, SHAPE_RECT, 1, 0},
    {"Join top and bottom edges", 2, {"Across", "Down"}, SHAPE_RECT, 0, 1},
    {"Join left and right edges with flip", 2, {"Across", "Down"}, SHAPE_RECT, 2, 0},
    {"Join top and bottom edges with flip", 2, {"Across", "Down"}, SHAPE_RECT, 0, 2},
    {"Torus", 2, {"Across", "Down"}, SHAPE_RECT, 1, 1},
    {"Klein bottle (left and right edges joined with flip, top and bottom without)", 2,
     {"Across", "Down"}, SHAPE_RECT, 2, 1},
    {"Klein bottle (top and bottom edges joined with flip, left and right without)", 2,
     {"Across", "Down"}, SHAPE_RECT, 1, 2},
    {"Projective plane (both pairs of edges joined with flip)", 2, {"Across", "Down"},
     SHAPE_RECT, 2, 2},
};

int gtype = 0, width = 12, height = 12;
int rotsym = 2, mirsym = 0, dupsym = 0;
char title[SLEN] = "", author[SLEN] = "", copyright[SLEN] = "", notes[SLEN] = "";
square sqarray[MXSZ][MXSZ];
int sqext = 0;
cellprops defcell;
lightprops deflight;
freelight freelights[MXFL];
int nfreelights = 0;
int cursorx = 0, cursory = 0, cursordir = 0, cursorlayer = 0;
int unsaved = 0;

int treattype = 0;
int mustbeword = 0;
int allocmode[2] = {0, 0};
char pluginpath[SLEN] = "";
char treatmsg[2][MXMSGLEN + 1];
ABM msgconstr[2][MXMSGSLOTS];

void gridfatal(const char* what) {
  fflush(stdout);
  pstream(stderr, "Fatal: grid consistency check failed: %s\n", what);
  abort();
}

void initcellprops(cellprops* c) {
  memset(c, 0, sizeof *c);
  c->bgcolour = 0xFFFFFF;
  strlcpy0(c->marktexts[0], "\\#", sizeof c->marktexts[0]);
}

void initlightprops(lightprops* l) {
  memset(l, 0, sizeof *l);
  l->dmask = 1;
  l->emask = 1;
}

void initsquare(square* s) {
  memset(s, 0, sizeof *s);
  s->nchars[0] = 1;
  for (auto& slot : s->charsets)
    for (ABM& b : slot) b = ABM_ALL;
  initcellprops(&s->cellrec);
  for (lightprops& l : s->lightrec) initlightprops(&l);
  memset(s->ent, 0xff, sizeof s->ent);
  memset(s->wrd, 0xff, sizeof s->wrd);
  s->number = -1;
  s->goi = -1;
}

void initfreelight(freelight* f) {
  f->n = 0;
  initlightprops(&f->lp);
  f->sel = 0;
  f->w = -1;
}

void sqreserve(int n) {
  if (n <= sqext) return;
  for (int x = 0; x < n; x++)
    for (int y = x < sqext ? sqext : 0; y < n; y++) initsquare(&sqarray[x][y]);
  sqext = n;
}

void setgridsize(int w, int h) {
  width = w, height = h;
  sqreserve(std::max(w, h));
}

void docreset() {
  eachsquare([](square& s) { initsquare(&s); });
  sqreserve(std::max(width, height));
  initcellprops(&defcell);
  initlightprops(&deflight);
  for (freelight& f : freelights) initfreelight(&f);
  nfreelights = 0;
  treattype = 0;
  mustbeword = 0;
  allocmode[0] = allocmode[1] = 0;
  treatmsg[0][0] = treatmsg[1][0] = 0;
  pluginpath[0] = 0;
  for (auto& m : msgconstr)
    for (ABM& b : m) b = ABM_ALLDASH;
  cluesclear();
  unsaved = 0;
  rebuild();
}

const cellprops* getcprops(int x, int y) {
  const cellprops* c = &sqarray[x][y].cellrec;
  return c->cellown ? c : &defcell;
}

const cellprops* getcpropsrep(int x, int y) {
  cellrep(x, y);
  return getcprops(x, y);
}

lightprops* getlprops(int x, int y, int d) {
  if (d >= 100) return &freelights[d - 100].lp;
  lightprops* l = &sqarray[x][y].lightrec[d];
  return l->lightown ? l : &deflight;
}
