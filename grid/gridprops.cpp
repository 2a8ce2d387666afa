// The grid properties change, in an order that keeps every step on a consistent grid: size,
// type, title, author and copyright, free lights, the squares' direction bits, symmetry, then the rebuild.
#include "grid/gridprops.h"

#include <cstring>

#include "grid/clues.h"
#include "grid/freelight.h"
#include "grid/road.h"
#include "grid/symm.h"
#include "grid/zyn.h"

editreport setgridprops(const char* newtitle, const char* newauthor, int type, int w, int h, const char* newcopyright) {
  editreport r;
  if (w < 1 || w > MXSZ) w = width;
  if (h < 1 || h > MXSZ) h = height;
  if (type < 0 || type >= NGTYPES) type = gtype;
  if (!newcopyright) newcopyright = copyright;
  if (w == width && h == height && type == gtype && !strcmp(newtitle, title) && !strcmp(newauthor, author) &&
      !strcmp(newcopyright, copyright))
    return r;
  beginedit();
  // The squares stay where they are; a clue goes to the light of the new grid that holds most
  // of its light's squares.
  std::vector<cluemove> clues = cluecapture();
  for (cluemove& m : clues) {
    size_t n = 0;
    for (size_t i = 0; i < m.x.size(); i++)
      if (m.x[i] < w && m.y[i] < h) m.x[n] = m.x[i], m.y[n++] = m.y[i];
    m.x.resize(n), m.y.resize(n);
  }
  for (int x = 0; x < w; x++)
    for (int y = 0; y < h; y++)
      if (x >= width || y >= height) initsquare(&sqarray[x][y]);
  setgridsize(w, h);
  gtype = type;
  strlcpy0(title, newtitle, SLEN);
  strlcpy0(author, newauthor, SLEN);
  if (newcopyright != copyright) utf8cut(copyright, newcopyright, SLEN);
  for (int i = 0; i < nfreelights; i++) {
    freelight& f = freelights[i];
    int n = 0;
    for (int k = 0; k < f.n; k++)
      if (f.x[k] < w && f.y[k] < h) f.x[n] = f.x[k], f.y[n] = f.y[k], n++;
    f.n = n;
  }
  compactfreelights();
  // A type with fewer directions must not inherit bars, merges or selected lights along
  // directions it does not have.
  unsigned dirs = (1u << ndir()) - 1;
  for (int x = 0; x < w; x++)
    for (int y = 0; y < h; y++) {
      square& s = sqarray[x][y];
      s.bars &= dirs;
      s.merge &= dirs;
      s.lightsel &= dirs;
    }
  clueplace(clues);
  symmreduce();
  r.all = r.shape = r.marks = r.sel = 1;
  return endedit(r);
}
