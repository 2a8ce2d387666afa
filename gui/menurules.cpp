// Menu sensitivity from the grid and the selection.
#include "gui/menurules.h"

#include "grid/select.h"
#include "grid/symm.h"
#include "grid/zyn.h"
#include "gui/menutable.h"

std::vector<menustate> shaperules() {
  std::vector<menustate> r;
  for (int i = 1; i <= 12; i++) r.push_back({MC_ROTSYM, AV_ROTSYM + i, symmrotok(i) != 0});
  for (int m = 0; m < 4; m++) {
    r.push_back({MC_MIRSYM, AV_MIRSYM + m, symmmirok(m) != 0});
    r.push_back({MC_DUPSYM, AV_DUPSYM + m, symmdupok(m) != 0});
  }
  bool circ = gtypes[gtype].shape == SHAPE_CIRC;
  r.push_back({MC_FLIP, AV_FLIP, !circ});
  r.push_back({MC_ROTATE, AV_ROTCW, circ});
  r.push_back({MC_ROTATE, AV_ROTACW, circ});
  // The HTML grids and the XML export lay cells out in rows and columns.
  for (int v : {0x404, 0x414, 0x433, 0x443, 0x451}) r.push_back({MC_EXPORT, v, gtypes[gtype].shape == SHAPE_RECT});
  return r;
}

std::vector<menustate> selrules() {
  bool cells = selmode == SEL_CELLS && nsel > 0, onefree = selmode == SEL_FREE && nsel == 1;
  return {
      {MC_CLEARSEL, AV_CLEARSEL, cells},
      {MC_FLEXTEND, AV_FLEXTEND, onefree},
      {MC_FLSHORTEN, AV_FLSHORTEN, onefree},
      {MC_FLMODIFY, AV_FLMODIFY, onefree},
      {MC_FLDELETE, AV_FLDELETE, selmode == SEL_FREE && nsel > 0},
      {MC_SELCELLPROPS, AV_SELCELLPROPS, cells},
      {MC_SELLIGHTPROPS, AV_SELLIGHTPROPS, selmode != SEL_CELLS && nsel > 0},
  };
}
