// Cached surfaces of the screen picture, refreshed layer by layer and square by square, and
// composited bottom to top: backgrounds, tints, cursor, hints, squares, marks, selection.
#include "draw/screen.h"

#include <climits>
#include <cmath>

#include "core/common.h"
#include "core/hooks.h"
#include "core/prefs.h"
#include "core/traces.h"
#include "draw/draw.h"
#include "grid/cursor.h"
#include "grid/geometry.h"

namespace {

cairo_surface_t* sfb;  // backgrounds
cairo_surface_t* sft;  // tints of the cursor's light and of failed lights
cairo_surface_t* sfc;  // cursor, one square
cairo_surface_t* sfh;  // hints
cairo_surface_t* sfm;  // marks and numbers
cairo_surface_t* sfs;  // selection
cairo_surface_t* sfq[MXSZ][MXSZ];  // each square's lines, bars and contents
int qx0[MXSZ][MXSZ], qy0[MXSZ][MXSZ], qx1[MXSZ][MXSZ], qy1[MXSZ][MXSZ];  // their pixel boxes
int sfcx, sfcy, cursorshown;  // where the cursor surface was last put
unsigned char tint[MXSZ][MXSZ];  // TINT_* bits of each square
// The grid and zoom the surfaces were made for. Between a change of shape and the window's
// next makesurfaces (a message box shown while a document loads, say) they show nothing.
struct madefor {
  int gtype, width, height, squarepx;
  bool operator==(const madefor&) const = default;
} made;

bool fits() { return sfb && made == madefor{gtype, width, height, squarepx}; }

void invalidate(int x, int y, int w, int h) {
  if (ui.invalidate) ui.invalidate(x, y, w, h);
}

void invalidateall() {
  if (deb(DEB_DRAW)) pstdout("invalidate all\n");
  invalidate(0, 0, -1, -1);
}

cairo_surface_t* newsurface(int w, int h) { return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w > 0 ? w : 1, h > 0 ? h : 1); }

void clear(cairo_t* cr) {
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgba(cr, 0, 0, 0, 0);
  cairo_paint(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

// A whole-grid layer redrawn from scratch: cleared, translated by half a pixel (thin lines on
// pixel centres) plus dx, at the zoom's scale.
template <class F>
void redrawlayer(cairo_surface_t* s, double d, F draw) {
  if (!fits()) return;
  cairo_t* cr = cairo_create(s);
  clear(cr);
  cairo_translate(cr, d, d);
  {
    drawscope ds(squarepx, true);
    draw(cr);
  }
  cairo_destroy(cr);
}

void paint(cairo_t* cr, cairo_surface_t* s, int x, int y) {
  cairo_set_source_surface(cr, s, x, y);
  cairo_paint(cr);
}

void freesurface(cairo_surface_t*& s) {
  if (s) cairo_surface_destroy(s);
  s = nullptr;
}

// Redraw the tint layer inside the pixel rectangle from (x0, y0) to (x1, y1) of the layer:
// cleared there, and every tinted square that meets it drawn again in grid order, so that the
// result is the same as a whole redraw.
void redrawtints(int x0, int y0, int x1, int y1) {
  if (!fits() || x1 <= x0 || y1 <= y0) return;
  cairo_t* cr = cairo_create(sft);
  cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
  cairo_clip(cr);
  clear(cr);
  cairo_translate(cr, 0.5, 0.5);
  {
    drawscope ds(squarepx, true);
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++)
        if (tint[x][y] && sqexists(x, y) && qx1[x][y] > x0 && qx0[x][y] < x1 && qy1[x][y] > y0 && qy0[x][y] < y1)
          drawtint(cr, x, y, tint[x][y]);
  }
  cairo_destroy(cr);
  int b = bawdpx();
  invalidate(x0 + b, y0 + b, x1 - x0, y1 - y0);
}

// Give tint bit `bit` to exactly these squares; the part of the layer where that changes
// anything is redrawn.
void settint(unsigned bit, const std::vector<sqpos>& squares) {
  static unsigned char want[MXSZ][MXSZ];
  for (auto& col : want)
    for (unsigned char& w : col) w = 0;
  for (const sqpos& q : squares)
    if (q.x >= 0 && q.y >= 0 && q.x < MXSZ && q.y < MXSZ) want[q.x][q.y] = 1;
  int x0 = INT_MAX, y0 = INT_MAX, x1 = INT_MIN, y1 = INT_MIN;
  for (int x = 0; x < MXSZ; x++)
    for (int y = 0; y < MXSZ; y++) {
      if (!(tint[x][y] & bit) == !want[x][y]) continue;
      tint[x][y] ^= bit;
      if (x >= width || y >= height || !sqexists(x, y)) continue;
      x0 = std::min(x0, qx0[x][y]), y0 = std::min(y0, qy0[x][y]);
      x1 = std::max(x1, qx1[x][y]), y1 = std::max(y1, qy1[x][y]);
    }
  redrawtints(x0, y0, x1, y1);
}

}  // namespace

void setfailmarks(const std::vector<sqpos>& squares) { settint(TINT_FAIL, squares); }

void freesurfaces() {
  freesurface(sfb);
  freesurface(sft);
  freesurface(sfc);
  freesurface(sfh);
  freesurface(sfm);
  freesurface(sfs);
  for (auto& col : sfq)
    for (cairo_surface_t*& s : col) freesurface(s);
  cursorshown = 0;
}

void makesurfaces() {
  freesurfaces();
  int h = hbawdpx(), b = bawdpx();
  if (deb(DEB_DRAW)) pstdout("bawdpx=%d hbawdpx=%d\n", b, h);
  int ow = 0, oh = 0, minx = 0, miny = 0;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      if (!sqexists(x, y)) continue;
      gbox bb = cellbbox(x, y);
      int x0 = qx0[x][y] = (int)floor(squarepx * bb.x0 - h), y0 = qy0[x][y] = (int)floor(squarepx * bb.y0 - h);
      int x1 = qx1[x][y] = (int)ceil(squarepx * bb.x1 + h), y1 = qy1[x][y] = (int)ceil(squarepx * bb.y1 + h);
      sfq[x][y] = newsurface(x1 - x0, y1 - y0);
      minx = std::min(minx, x0), miny = std::min(miny, y0);
      ow = std::max(ow, x1), oh = std::max(oh, y1);
    }
  if (deb(DEB_DRAW)) pstdout("Overall bbox = (%d,%d)-(%d,%d)\n", minx, miny, ow, oh);
  sfb = newsurface(ow, oh);
  sft = newsurface(ow, oh);
  sfh = newsurface(ow, oh);
  sfm = newsurface(ow, oh);
  sfc = newsurface(squarepx, squarepx);
  sfs = newsurface(h + ow - 1, h + oh - 1);
  made = {gtype, width, height, squarepx};
  // Where each cell's centre falls on the drawing area, for the window scripts' pixel checks.
  if (deb(DEB_DRAW))
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++) {
        if (!isclear(x, y)) continue;
        gpoint c = groupof(x, y).c;
        pstdout(TRACE_CELLCENTRE "\n", x, y, b + (int)floor(squarepx * c.x + 0.5), b + (int)floor(squarepx * c.y + 0.5));
      }
  refreshall();
}

void refreshsq(int x, int y) {
  if (deb(DEB_DRAW)) pstdout("refreshsq(%d,%d)\n", x, y);
  if (!fits() || !sqexists(x, y)) return;
  gridcheck(sfq[x][y] != nullptr, "sfq[x][y]");
  drawscope ds(squarepx, true);
  cairo_t* cr = cairo_create(sfb);
  cairo_translate(cr, 0.5, 0.5);
  drawcellbg(cr, x, y, squarepx, 0);
  cairo_destroy(cr);
  cr = cairo_create(sfq[x][y]);
  clear(cr);
  cairo_translate(cr, 0.5 - qx0[x][y], 0.5 - qy0[x][y]);
  drawcellfg(cr, x, y, squarepx, bawdpx(), 1, 1, 1);
  cairo_destroy(cr);
  int b = bawdpx(), w = qx1[x][y] - qx0[x][y], h = qy1[x][y] - qy0[x][y];
  if (deb(DEB_DRAW)) pstdout("invalidate(%d,%d - %d,%d)\n", qx0[x][y] + b, qy0[x][y] + b, qx1[x][y] + b, qy1[x][y] + b);
  invalidate(qx0[x][y] + b, qy0[x][y] + b, w, h);
}

void refreshsqmg(int x, int y) {
  if (deb(DEB_DRAW)) pstdout("refreshsqmg(%d,%d)\n", x, y);
  if (!sqexists(x, y)) return;
  int gx[MXCL], gy[MXCL];
  int n = 1;
  gx[0] = x, gy[0] = y;
  if (isclear(x, y)) n = mergegroup(gx, gy, x, y, mergedir(x, y));
  if (deb(DEB_DRAW)) pstdout("refreshsqlist([%d])\n", n);
  for (int i = 0; i < n; i++) refreshsq(gx[i], gy[i]);
}

void refreshall() {
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) refreshsq(x, y);
  if (fits()) redrawtints(0, 0, cairo_image_surface_get_width(sft), cairo_image_surface_get_height(sft));
  refreshcursor();
  refreshmarks();
  refreshhints();
  refreshselection();
}

void refreshmarks() {
  redrawlayer(sfm, 0.5, [](cairo_t* cr) { drawmarks(cr, prefint(PREF_EDIT_SHOW_NUMBERS)); });
  if (fits()) invalidateall();
}

void refreshhints() {
  if (deb(DEB_DRAW)) pstdout(TRACE_HINTS "\n");
  redrawlayer(sfh, 0.5, drawhints);
  if (fits()) invalidateall();
}

void refreshselection() {
  redrawlayer(sfs, hbawdpx() - 0.5, drawselection);
  if (fits()) invalidateall();
}

void refreshcursor() {
  if (!fits()) return;
  cairo_t* cr = cairo_create(sfc);
  clear(cr);
  drawcursor(cr);
  cairo_destroy(cr);
  int x, y;
  cursorpos(&x, &y);
  if (cursorshown && (x != sfcx || y != sfcy)) invalidate(sfcx, sfcy, squarepx, squarepx);
  sfcx = x, sfcy = y, cursorshown = 1;
  invalidate(x, y, squarepx, squarepx);
  settint(TINT_LIGHT, prefint(PREF_EDIT_HIGHLIGHT_LIGHT) ? cursorlight() : std::vector<sqpos>());
}

void refreshreport(const editreport& r) {
  if (r.all) {
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++) refreshsq(x, y);
  } else {
    for (const sqpos& p : r.squares) refreshsq(p.x, p.y);
  }
  if ((r.all || !r.squares.empty()) && markscontents()) refreshmarks();
}

int compositescreen(cairo_t* cr, int x, int y, int w, int h) {
  if (!fits()) return 0;
  int b = bawdpx(), hb = hbawdpx();
  paint(cr, sfb, b, b);
  paint(cr, sft, b, b);
  paint(cr, sfc, sfcx, sfcy);
  paint(cr, sfh, b, b);
  // Only the squares that meet the rectangle: the others would paint nothing inside it.
  for (int j = 0; j < height; j++)
    for (int i = 0; i < width; i++) {
      if (!sqexists(i, j)) continue;
      gridcheck(sfq[i][j] != nullptr, "sfq[i][j]");
      if (qx1[i][j] + b <= x || qx0[i][j] + b >= x + w || qy1[i][j] + b <= y || qy0[i][j] + b >= y + h) continue;
      paint(cr, sfq[i][j], qx0[i][j] + b, qy0[i][j] + b);
    }
  paint(cr, sfm, b, b);
  paint(cr, sfs, hb, hb);
  return 1;
}
