// Reading the foreign grid text format: a plain rectangular grid given by its size, a few
// header settings and a list of straight lights with their texts. Every square starts solid
// and each light clears its squares; in a barred grid the bars along the lights go too.
#include <glib.h>

#include <cstring>
#include <string>

#include "alphabet/alphabet.h"
#include "docfile/readers.h"
#include "grid/symm.h"
#include "grid/zyn.h"

namespace {

constexpr int BAR_ACROSS = 1, BAR_DOWN = 2;

// A number after a header's "=", saturating; 0 when there is none.
int headernum(const std::string& l, size_t at) {
  const char* p = l.c_str() + at;
  int v = 0;
  return readint(p, &v) ? v : 0;
}

// The n numbers of a "[Name n1 n2 ...]" line from byte `at` on, and nothing else: 0, else 1.
int bracketfields(const std::string& l, size_t at, const char* fmt, int* v) {
  if (l.size() <= at || l.back() != ']') return 1;
  std::string inside = l.substr(at, l.size() - 1 - at);
  const char* rest;
  int n = (int)strlen(fmt);
  if (readfields(inside.c_str(), fmt, v, &rest) < n) return 1;
  while (*rest == ' ') rest++;
  return *rest != 0;
}

struct flight {
  int x0, y0, x1, y1;
  int horiz;
  int len() const { return horiz ? x1 - x0 : y1 - y0; }
  int sx(int i) const { return horiz ? x0 + i : x0; }
  int sy(int i) const { return horiz ? y0 : y0 + i; }
};

// The light's coordinates, checked against the grid: 0, or 1 for a format error.
int readlight(const std::string& l, flight* L) {
  int v[4];
  if (bracketfields(l, 6, "dddd", v)) return 1;
  L->x0 = v[0], L->y0 = v[1], L->x1 = v[2], L->y1 = v[3];
  if (deb(DEB_DOC)) pstdout("(%d,%d - %d,%d)\n", L->x0, L->y0, L->x1, L->y1);
  if (L->y0 == L->y1) {
    L->horiz = 1;
    return !(0 <= L->x0 && L->x0 <= L->x1 && L->x1 <= width && 0 <= L->y0 && L->y0 < height);
  }
  if (L->x0 == L->x1) {
    L->horiz = 0;
    return !(0 <= L->y0 && L->y0 <= L->y1 && L->y1 <= height && 0 <= L->x0 && L->x0 < width);
  }
  if (deb(DEB_DOC)) pstdout("Light %d %d %d %d is not straight\n", L->x0, L->y0, L->x1, L->y1);
  return 1;
}

void settext(const flight& L, const char* p) {
  for (int i = 0; i < L.len() && *p; i++) {
    gunichar u = g_utf8_get_char_validated(p, -1);
    if (u == (gunichar)-1 || u == (gunichar)-2) {
      p++;
      u = 0;
    } else {
      p = g_utf8_next_char(p);
    }
    int c = u > 0 && u < 128 ? cptoicc[u] : 0;
    sqarray[L.sx(i)][L.sy(i)].charsets[0][0] = c >= 1 && c <= MAXICC ? 1ULL << (c - 1) : ABM_ALL;
  }
}

void setcolour(const flight& L, const std::string& l) {
  int v[3] = {0, 0, 0};
  const char* p = l.c_str() + strlen("BackgroundColor=");
  for (int k = 0; k < 3; k++) {
    if (!readint(p, &v[k])) break;
    if (*p == ',') p++;
  }
  unsigned colour = (unsigned)(v[0] & 0xff) << 16 | (unsigned)(v[1] & 0xff) << 8 | (unsigned)(v[2] & 0xff);
  for (int i = 0; i < L.len(); i++) {
    cellprops& c = sqarray[L.sx(i)][L.sy(i)].cellrec;
    c.cellown = 1;
    c.bgcolour = colour;
  }
}

void unprocessed(const std::string& l) {
  if (deb(DEB_DOC)) pstdout("Unprocessed: <%s>\n", l.c_str());
}

}  // namespace

int readforeign(linereader& lr) {
  int wh[2];
  if (!lr.next() || !startswith(lr.line, "[Grid ") || bracketfields(lr.line, 5, "dd", wh)) return 1;
  if (wh[0] < 1 || wh[0] > MXSZ || wh[1] < 1 || wh[1] > MXSZ) return 1;
  gtype = 0;
  setgridsize(wh[0], wh[1]);
  // The symmetry stays, as far as a plain grid of this size allows it.
  symmreduce();

  int blockhole = 0, chkt = 1, symt = 0;
  for (;;) {
    if (!lr.next()) return 1;
    const std::string& l = lr.line;
    if (startswith(l, "[Light ")) break;
    if (startswith(l, "#Title=")) textread(title, l.substr(7), SLEN);
    else if (startswith(l, "#Author=")) textread(author, l.substr(8), SLEN);
    else if (startswith(l, "BlockHole=")) blockhole = headernum(l, 10);
    else if (startswith(l, "CheckingType=")) chkt = headernum(l, 13);
    else if (startswith(l, "SymmetryType=")) symt = headernum(l, 13);
    else unprocessed(l);
  }
  if (deb(DEB_DOC)) pstdout("chkt=%d symt=%d; now processing lights\n", chkt, symt);

  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) {
      square& s = sqarray[x][y];
      if (chkt == 0) s.bars = (x < width - 1 ? BAR_ACROSS : 0) | (y < height - 1 ? BAR_DOWN : 0);
      s.sqflags = blockhole ? SQF_CUTOUT : SQF_BLOCK;
    }

  // lr.line is a "[Light" line here; each section runs to the next one or the end of the file.
  bool more = true;
  while (more) {
    flight L;
    if (readlight(lr.line, &L)) return 1;
    for (int i = 0; i < L.len(); i++) {
      square& s = sqarray[L.sx(i)][L.sy(i)];
      s.sqflags = 0;
      if (chkt == 0 && i < L.len() - 1) s.bars &= ~(unsigned)(L.horiz ? BAR_ACROSS : BAR_DOWN);
    }
    while ((more = lr.next()) && !startswith(lr.line, "[Light ")) {
      const std::string& l = lr.line;
      // An empty light has no squares, and its start may lie just beyond the grid.
      if (L.len() == 0) continue;
      if (startswith(l, "Text=")) {
        settext(L, l.c_str() + 5);
      } else if (l == "Number=") {
        lightprops& lp = sqarray[L.x0][L.y0].lightrec[L.horiz ? 0 : 1];
        lp.lightown = 1;
        lp.nonumber = 1;
      } else if (startswith(l, "BackgroundColor=")) {
        setcolour(L, l);
      } else {
        unprocessed(l);
      }
    }
  }

  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++)
      if (sqarray[x][y].sqflags & SQF_CUTOUT) {
        sqarray[x][y].bars = 0;
        if (x > 0) sqarray[x - 1][y].bars &= ~(unsigned)BAR_ACROSS;
        if (y > 0) sqarray[x][y - 1].bars &= ~(unsigned)BAR_DOWN;
      }
  return 0;
}
