// Menu sensitivity as a function of the document and the selection, and the assistance setting.
#include "grid/menus.h"

#include "filler/filler.h"
#include "grid/road.h"
#include "grid/select.h"
#include "grid/symm.h"
#include "grid/zyn.h"

std::vector<itemstate> selitems() {
  int cells = selmode == SEL_CELLS && nsel > 0, onefree = selmode == SEL_FREE && nsel == 1;
  return {
      {ACT_CLEARSEL, cells},
      {ACT_FLEXTEND, onefree},
      {ACT_FLSHORTEN, onefree},
      {ACT_FLMODIFY, onefree},
      {ACT_FLDELETE, selmode == SEL_FREE && nsel > 0},
      {ACT_SELCELLPROPS, cells},
      {ACT_SELLIGHTPROPS, selmode != SEL_CELLS && nsel > 0},
  };
}

std::vector<itemstate> shapeitems() {
  std::vector<itemstate> r;
  for (int i = 1; i <= 12; i++) r.push_back({ACT_ROTSYM + i, symmrotok(i)});
  for (int i = 0; i < 4; i++) r.push_back({ACT_MIRSYM + i, symmmirok(i)});
  for (int i = 0; i < 4; i++) r.push_back({ACT_DUPSYM + i, symmdupok(i)});
  int circ = gtypes[gtype].shape == SHAPE_CIRC;
  r.push_back({ACT_FLIP, !circ});
  r.push_back({ACT_ROTCW, circ});
  r.push_back({ACT_ROTACW, circ});
  for (int a : ACT_SQUAREEXPORTS) r.push_back({a, gtypes[gtype].shape == SHAPE_RECT});
  return r;
}

int setassistmode(int m, editreport* r) {
  if (m < 0 || m > 2) return 1;
  assistmode = m;
  editreport e;
  e = endmove(e);
  if (r) *r = e;
  return 0;
}
