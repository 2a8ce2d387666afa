// Drawing the cells of the grid: backgrounds, grid lines and bars, contents and corner marks.
// The same routines draw the screen's layers and every exported picture.
#include "draw/draw.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "alphabet/alphabet.h"
#include "grid/geometry.h"

double hairpx = STARTPX;

namespace {

struct drawstate {
  double scale, hairpx, arcpx;
};
drawstate saved[8];
int nsaved = 0;

// The on-screen cutout: grey diagonal stripes on an 8 by 8 tile, repeated unscaled.
cairo_pattern_t* cutoutpattern() {
  static cairo_pattern_t* pat = nullptr;
  if (pat) return pat;
  cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 8, 8);
  cairo_surface_flush(tile);
  unsigned char* data = cairo_image_surface_get_data(tile);
  int stride = cairo_image_surface_get_stride(tile);
  for (int r = 0; r < 8; r++)
    for (int q = 0; q < 8; q++) {
      int m = (r + q) % 8;
      uint32_t c = m == 0 || m >= 6 ? 0x808080 : m == 1 || m == 5 ? 0xCCCCCC : 0xFFFFFF;
      if (data) ((uint32_t*)(data + r * stride))[q] = c;
    }
  cairo_surface_mark_dirty(tile);
  pat = cairo_pattern_create_for_surface(tile);
  cairo_pattern_set_extend(pat, CAIRO_EXTEND_REPEAT);
  cairo_pattern_set_filter(pat, CAIRO_FILTER_NEAREST);  // whole pixels, wherever the tile starts
  cairo_surface_destroy(tile);
  return pat;
}

void dotspaces(std::string& s) {
  for (char& c : s)
    if (c == ' ') c = '.';
}

// Where mark k of (x, y) starts for a text tw wide and h high, before the small inset.
gpoint anchor(int x, int y, int k, double tw, double h) {
  gpoint p = cellref(x, y);
  switch (shapeclass()) {
    case SC_SQUARE: {
      const gpoint o[4] = {{0.03, 1.25 * h}, {0.97 - tw, 1.25 * h}, {0.97 - tw, 0.97 - 0.1 * h}, {0.03, 0.97 - 0.1 * h}};
      return {p.x + o[k].x, p.y + o[k].y};
    }
    case SC_HEXV: {
      const gpoint o[6] = {{0, 1.25 * h},          {0.8 - tw, 1.25 * h},      {1.2 - tw - h / 2, 0.7 + h / 2},
                           {0.8 - tw, 1.37 - 0.1 * h}, {0, 1.37 - 0.1 * h}, {h / 2 - 0.4, 0.7 + h / 2}};
      return {p.x + o[k].x, p.y + o[k].y};
    }
    case SC_HEXH: {
      const gpoint o[6] = {{0.03, 1.25 * h}, {0.7 - tw / 2, 1.25 * h - 0.45 + tw / 2}, {1.37 - tw, 1.25 * h},
                           {1.37 - tw, 0.8}, {0.7 - tw / 2, 1.25 - tw / 2},          {0.03, 0.8}};
      return {p.x + o[k].x, p.y + o[k].y};
    }
  }
  // Circular: from the polar position of the corner, stepped inwards or outwards and along the
  // ring, then moved by the text's size according to the quadrant so that it stays inside.
  double R = height;
  gpoint v = cellvertex((k + 3) % 4, x, y);
  double dx = v.x - R, dy = v.y - R, u = hypot(dx, dy);
  double a = u < 0.001 ? 0 : atan2(dx, -dy);
  if (a < 0) a += 2 * M_PI;
  double u1 = k < 2 ? u - 0.05 : u + 0.05;
  a += (k == 0 || k == 3 ? 1 : -1) * 0.03 * M_PI / u1;
  if (a < 0) a += 2 * M_PI;
  if (a >= 2 * M_PI) a -= 2 * M_PI;
  int q = a <= M_PI / 2 ? 0 : a <= M_PI ? 1 : a <= 1.5 * M_PI ? 2 : 3;
  double w = tw + 0.03, vv = 1.25 * h;
  switch ((q - k + 4) % 4) {
    case 0: u1 -= sin(a) * w; break;
    case 1: u1 += cos(a) * vv; break;
    case 2: u1 += sin(a) * w; break;
    case 3: u1 -= cos(a) * vv; break;
  }
  if (k == 0 || k == 3) q ^= 2;
  gpoint r = {R + sin(a) * u1, R - cos(a) * u1};
  if (q == 0 || q == 3) r.x -= w;
  if (q == 2 || q == 3) r.y += vv;
  return r;
}

}  // namespace

drawscope::drawscope(double s, bool screen) {
  if (nsaved < 8) saved[nsaved] = {scale, hairpx, arcpx};
  nsaved++;
  scale = s;
  hairpx = screen ? s : STARTPX;
  arcpx = s;
}

drawscope::~drawscope() {
  if (--nsaved < 8) {
    scale = saved[nsaved].scale;
    hairpx = saved[nsaved].hairpx;
    arcpx = saved[nsaved].arcpx;
  }
}

std::string slottext(const square& sq, int slot) {
  char buf[MXCP * 16 + 1];
  abmstodispstr(buf, sizeof buf, sq.charsets[slot], sq.nchars[slot]);
  return buf;
}

void setrgb(cairo_t* cr, unsigned c) { cairo_set_source_rgb(cr, (c >> 16 & 255) / 255.0, (c >> 8 & 255) / 255.0, (c & 255) / 255.0); }

void drawcellbg(cairo_t* cr, int x, int y, int s, int exporting) {
  if (!sqexists(x, y)) return;
  unsigned char f = sqarray[x][y].sqflags;
  if (f & SQF_CUTOUT) {
    if (exporting) return;
    cairo_save(cr);
    celloutline(cr, x, y);
    cairo_set_source(cr, cutoutpattern());
    cairo_fill(cr);
    cairo_restore(cr);
    return;
  }
  celloutline(cr, x, y);
  setrgb(cr, f & SQF_BLOCK ? 0 : getcpropsrep(x, y)->bgcolour);
  cairo_set_line_width(cr, scale / s);
  // On screen the outline is stroked too, so that neighbouring backgrounds leave no hairline gaps.
  if (!exporting) cairo_stroke_preserve(cr);
  cairo_fill(cr);
}

void drawcellfg(cairo_t* cr, int x, int y, int s, int b, int withcontents, int ocm, double textscale) {
  if (!sqexists(x, y)) return;
  unsigned bars = 0, merges = 0, all = (1u << 2 * ndir()) - 1;
  for (int k = 0; k < 2 * ndir(); k++) {
    if (isbar(x, y, k)) bars |= 1u << k;
    if (ismerge(x, y, k)) merges |= 1u << k;
  }
  cairo_set_source_rgb(cr, 0, 0, 0);
  if (!(sqarray[x][y].sqflags & SQF_CUTOUT)) {
    cairo_set_line_width(cr, scale / hairpx);
    edgepath(cr, x, y, all & ~merges);
    cairo_stroke(cr);
  }
  cairo_set_line_width(cr, (double)b / s * scale);
  edgepath(cr, x, y, bars);
  cairo_stroke(cr);
  if (!withcontents) return;
  int rx = x, ry = y;
  cellrep(rx, ry);
  if (sqarray[rx][ry].sqflags & (SQF_BLOCK | SQF_CUTOUT)) return;
  setrgb(cr, getcprops(rx, ry)->fgcolour);
  drawcontents(cr, x, y, sqarray[rx][ry], ocm, 0, textscale);
}

void drawcontents(cairo_t* cr, int x, int y, const square& sq, int ocm, int dots, double textscale) {
  cellrun g = groupof(x, y);
  // Every square of a merged cell draws it alike, at the size of the representative's ring.
  double size = sizefactor(g.y, g.n) * textscale;
  const cellprops* cp = getcprops(g.x, g.y);
  int nd = ndir();
  if (cp->unlinked == 2) {
    int m = 1;
    for (int i = 0; i < nd; i++) m = std::max(m, sq.nchars[i]);
    double o = std::min(0.7 / nd, 1.0 / m);
    for (int i = 0; i < nd; i++) {
      std::string t = slottext(sq, i);
      if (dots) dotspaces(t);
      ctext(cp->fontstyle, ocm, g.c.x, g.c.y + size * ((i - (nd - 1) / 2.0) * o + 0.42 * o), o * size, cr, t.c_str());
    }
    return;
  }
  std::string t;
  int n = 0;
  for (int i = 0; i < (cp->unlinked ? nd : 1); i++) {
    t += slottext(sq, i);
    n += sq.nchars[i];
  }
  double a = n <= 1 ? 0.7 : 1.0 / n;
  if (dots && n > 1) dotspaces(t);
  ctext(cp->fontstyle, ocm, g.c.x, g.c.y + 0.42 * a * size, a * size, cr, t.c_str());
}

void codewordsync() {
  // FNV-1a over the grid's shape and every cell's contents: the numbers belong to this fill of
  // this grid, and a solver who sees only the puzzle cannot work them out.
  uint64_t h = 0xcbf29ce484222325ULL;
  auto mix = [&](uint64_t v) {
    for (int i = 0; i < 8; i++, v >>= 8) h = (h ^ (v & 0xff)) * 0x100000001b3ULL;
  };
  mix((uint64_t)gtype << 16 | (uint64_t)width << 8 | (uint64_t)height);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      const square& s = sqarray[x][y];
      mix((uint64_t)s.sqflags << 16 | s.bars << 8 | s.merge);
      for (int d = 0; d < ndir(); d++)
        for (int i = 0; i < s.nchars[d]; i++) mix(s.charsets[d][i]);
    }
  codewordnumbers(h);
}

std::string marktext(int x, int y, int k, int shownums) {
  const char* t = markown(x, y, k);
  if (t[0] != '\\' || !t[1] || t[2]) return t;
  switch (t[1] | 0x20) {
    case '#': {
      int n = sqarray[x][y].number;
      return shownums && n > 0 ? std::to_string(n) : "";
    }
    case 'c': {
      int c = cellchar(x, y);
      return c > 0 && c <= MAXICC ? std::to_string(codewordno[c]) : "-";
    }
    case 'i':
      if (nfreelights > 0) {
        const freelight& f = freelights[0];
        for (int i = 0; i < f.n; i++)
          if (f.x[i] == x && f.y[i] == y) return std::to_string(i + 1);
      }
      return "";
    case 'o': return "";
  }
  return t;
}

void drawmarks(cairo_t* cr, int shownums) {
  if (markscontents()) codewordsync();
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      // A cutout is no part of the grid: nothing is drawn on it.
      if (!sqexists(x, y) || (sqarray[x][y].sqflags & SQF_CUTOUT)) continue;
      double F = sizefactor(y, 1);
      unsigned colour = getcpropsrep(x, y)->markcolour;
      for (int k = 0; k < 2 * ndir(); k++) {
        if (iscirclemark(markown(x, y, k))) {
          cellrun g = groupof(x, y);
          double r = F / 2 - 0.02;
          cairo_set_source_rgba(cr, (colour >> 16 & 255) / 255.0, (colour >> 8 & 255) / 255.0, (colour & 255) / 255.0, 0.5);
          cairo_set_line_width(cr, 0.04 * scale);
          cairo_move_to(cr, scale * (g.c.x + r), scale * g.c.y);
          arccw(0, 2 * M_PI, cr, g.c.x, g.c.y, r);
          cairo_close_path(cr);
          cairo_stroke(cr);
          continue;
        }
        std::string t = marktext(x, y, k, shownums);
        if (t.empty()) continue;
        setfonttext(cr, t.c_str(), 0.25 * F, 0);
        double tw = textwidth() + 0.1 * F;
        gpoint p = anchor(x, y, k, tw, 0.27 * F);
        cairo_move_to(cr, scale * (p.x + 0.05 * F), scale * (p.y - 0.05 * F));
        setrgb(cr, colour);
        cairo_rel_move_to(cr, 0, -textbaseline * scale);
        showtext(cr);
      }
    }
}

int markscontents() {
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      if (!sqexists(x, y)) continue;
      for (int k = 0; k < 2 * ndir(); k++) {
        const char* t = markown(x, y, k);
        if (t[0] == '\\' && (t[1] | 0x20) == 'c' && !t[2]) return 1;
      }
    }
  return 0;
}
