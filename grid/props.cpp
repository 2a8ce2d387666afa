// The cell and light properties dialogs without their widgets.
#include "grid/props.h"

#include "core/message.h"
#include "dicts/dictinfo.h"
#include "grid/geometry.h"
#include "grid/road.h"
#include "grid/select.h"

int defcelltargets(celltargets& t) {
  t.selected = false;
  t.recs = {&defcell};
  return 0;
}

int selcelltargets(celltargets& t) {
  t.selected = true;
  t.recs.clear();
  if (selmode == SEL_CELLS)
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++)
        if (sqarray[x][y].sqflags & SQF_SEL) t.recs.push_back(&sqarray[x][y].cellrec);
  if (t.recs.empty()) {
    errbox("Please select one or more cells\nwhose properties you wish to change");
    return 1;
  }
  return 0;
}

int deflighttargets(lighttargets& t) {
  t.selected = t.freelights = false;
  t.recs = {&deflight};
  return 0;
}

int sellighttargets(lighttargets& t) {
  t.selected = true;
  t.freelights = selmode == SEL_FREE;
  t.recs.clear();
  if (selmode == SEL_LIGHTS) {
    for (int d = 0; d < ndir(); d++)
      for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
          if ((sqarray[x][y].lightsel >> d & 1) && isstartoflight(x, y, d))
            t.recs.push_back(&sqarray[x][y].lightrec[d]);
  } else if (selmode == SEL_FREE) {
    for (int i = 0; i < nfreelights; i++)
      if (freelights[i].sel) t.recs.push_back(&freelights[i].lp);
  }
  if (t.recs.empty()) {
    errbox("Please select one or more lights\nwhose properties you wish to change");
    return 1;
  }
  return 0;
}

const char* marklabel(int k) {
  static const char* const rect[] = {"NW mark: ", "NE mark: ", "SE mark: ", "SW mark: ", "", ""};
  static const char* const hexv[] = {"NW mark: ", "NE mark: ", "E mark: ", "SE mark: ", "SW mark: ", "W mark: "};
  static const char* const hexh[] = {"NW mark: ", "N mark: ", "NE mark: ", "SE mark: ", "S mark: ", "SW mark: "};
  static const char* const circ[] = {"First mark: ", "Second mark: ", "Third mark: ", "Fourth mark: ", "", ""};
  if (k < 0 || k >= NMARKS) return "";
  switch (gtypes[gtype].shape) {
    case SHAPE_HEXV: return hexv[k];
    case SHAPE_HEXH: return hexh[k];
    case SHAPE_CIRC: return circ[k];
    default: return rect[k];
  }
}

int nmarksedit() { return 2 * ndir(); }

std::string dictuselabel(int n) {
  std::string desc;
  for (char c : dictdesc(n - 1, 25)) {
    desc += c;
    if (c == '_') desc += '_';
  }
  return "Use dictionary _" + std::to_string(n) + " (" + desc + ")";
}

editreport applycellform(const cellform& f, celltargets& t) {
  beginedit();
  // Marks left untouched keep the first record's whole text, however long.
  std::string mark[NMARKS];
  for (int k = 0; k < nmarksedit(); k++)
    mark[k] = f.typed[k] == f.shown[k] ? t.recs[0]->marktexts[k] : f.typed[k];
  for (cellprops* c : t.recs) {
    if (t.selected) c->cellown = f.p.cellown;
    c->bgcolour = f.p.bgcolour;
    c->fgcolour = f.p.fgcolour;
    c->markcolour = f.p.markcolour;
    c->fontstyle = f.p.fontstyle;
    c->unlinked = f.p.unlinked;
    c->treatcell = f.p.treatcell;
    for (int k = 0; k < nmarksedit(); k++) utf8cut(c->marktexts[k], mark[k].c_str(), sizeof c->marktexts[k]);
  }
  // Colours, styles and marks: every square and mark may look different.
  editreport r;
  r.all = r.marks = 1;
  return endedit(r);
}

editreport applylightform(const lightprops& p, lighttargets& t) {
  beginedit();
  unsigned int emask = p.emask & 0x1f;
  if (!emask) {
    errbox("No entry methods selected:\nthis would make fill impossible.\nAllowing lights to be entered normally.");
    emask = 1;
  }
  for (lightprops* l : t.recs) {
    if (t.selected && !t.freelights) l->lightown = p.lightown;
    l->dmask = p.dmask & ((1u << MAXNDICTS) - 1);
    l->emask = emask;
    l->ten = p.ten;
    l->nonumber = p.nonumber;
    l->layered = p.layered;
  }
  // The numbering may change, and with layers what a cell shows.
  editreport r;
  r.all = r.marks = 1;
  return endedit(r);
}
