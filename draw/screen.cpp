// Cached surfaces of the screen picture, refreshed layer by layer and square by square, and
// composited bottom to top: backgrounds, tints, cursor, hints, squares, marks, selection. Only the
// part of the drawing area round what the window shows is cached: a big grid at a large zoom
// would otherwise take hundreds of megabytes of surfaces.
#include "draw/screen.h"

#include <algorithm>
#include <chrono>
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

// A rectangle of drawing-area pixels, from (x0, y0) up to but not including (x1, y1).
struct area {
  int x0, y0, x1, y1;
  bool empty() const { return x1 <= x0 || y1 <= y0; }
  bool meets(const area& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
  bool holds(const area& o) const { return o.x0 >= x0 && o.x1 <= x1 && o.y0 >= y0 && o.y1 <= y1; }
  area operator&(const area& o) const { return {std::max(x0, o.x0), std::max(y0, o.y0), std::min(x1, o.x1), std::min(y1, o.y1)}; }
  area operator|(const area& o) const { return {std::min(x0, o.x0), std::min(y0, o.y0), std::max(x1, o.x1), std::max(y1, o.y1)}; }
};

// A whole-grid layer, of which a surface holds the part inside the cached area. Drawing code
// sees the whole layer: the context it is given has its origin at the layer's top left.
struct layer {
  area whole;             // where the whole layer lies on the drawing area
  area held;              // the part the surface holds
  cairo_surface_t* s;
};

layer lb;  // backgrounds
layer lt;  // tints of the cursor's light and of failed lights
layer lh;  // hints
layer lm;  // marks and numbers
layer ls;  // selection
layer* const layers[] = {&lb, &lt, &lh, &lm, &ls};
cairo_surface_t* sfc;  // cursor, one square
cairo_surface_t* sfq[MXSZ][MXSZ];  // the lines, bars and contents of each square in the cached area
int qx0[MXSZ][MXSZ], qy0[MXSZ][MXSZ], qx1[MXSZ][MXSZ], qy1[MXSZ][MXSZ];  // their pixel boxes in the layers
int sfcx, sfcy, cursorshown;  // where the cursor surface was last put
unsigned char tint[MXSZ][MXSZ];  // TINT_* bits of each square
area cached;  // the part of the drawing area the surfaces hold; empty until the first paint
area view;    // the part the window shows, when it has said
area all;     // the part any layer or square covers
// The grid and zoom the surfaces were made for. Between a change of shape and the window's
// next makesurfaces (a message box shown while a document loads, say) they show nothing.
struct madefor {
  int gtype, width, height, squarepx;
  bool operator==(const madefor&) const = default;
} made;
bool havesurfaces;

bool fits() { return havesurfaces && made == madefor{gtype, width, height, squarepx}; }

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

void freesurface(cairo_surface_t*& s) {
  if (s) cairo_surface_destroy(s);
  s = nullptr;
}

// The drawing-area box of square (x, y) and its surface.
area sqarea(int x, int y) {
  int b = bawdpx();
  return {qx0[x][y] + b, qy0[x][y] + b, qx1[x][y] + b, qy1[x][y] + b};
}

bool sqcached(int x, int y) { return !cached.empty() && sqarea(x, y).meets(cached); }

// A context on layer l whose origin is the whole layer's top left.
cairo_t* layercontext(layer& l) {
  cairo_t* cr = cairo_create(l.s);
  cairo_translate(cr, l.whole.x0 - l.held.x0, l.whole.y0 - l.held.y0);
  return cr;
}

// A whole-grid layer redrawn from scratch: cleared, translated by half a pixel (thin lines on
// pixel centres) plus dx, at the zoom's scale.
template <class F>
void redrawlayer(layer& l, double d, F draw) {
  if (!fits() || cached.empty()) return;
  cairo_t* cr = layercontext(l);
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

// The square's background into the background layer and its lines, bars and contents into its
// own surface, when it is in the cached area.
void drawsq(int x, int y, bool withfg = true) {
  if (cached.empty()) return;
  drawscope ds(squarepx, true);
  // A curved cell's background, stroked round, can reach a little past its box.
  area a = sqarea(x, y);
  int m = squarepx / 4;
  if (area{a.x0 - m, a.y0 - m, a.x1 + m, a.y1 + m}.meets(lb.held)) {
    cairo_t* cr = layercontext(lb);
    cairo_translate(cr, 0.5, 0.5);
    drawcellbg(cr, x, y, squarepx, 0);
    cairo_destroy(cr);
  }
  if (!withfg || !a.meets(cached)) return;
  gridcheck(sfq[x][y] != nullptr, "sfq[x][y]");
  cairo_t* cr = cairo_create(sfq[x][y]);
  clear(cr);
  cairo_translate(cr, 0.5 - qx0[x][y], 0.5 - qy0[x][y]);
  drawcellfg(cr, x, y, squarepx, bawdpx(), 1, 1, 1);
  cairo_destroy(cr);
}

// Redraw the tint layer inside the pixel rectangle from (x0, y0) to (x1, y1) of the layer:
// cleared there, and every tinted square that meets it drawn again in grid order, so that the
// result is the same as a whole redraw.
void drawtints(int x0, int y0, int x1, int y1) {
  int b = bawdpx();
  area r = area{x0 + b, y0 + b, x1 + b, y1 + b} & lt.held;
  if (r.empty() || cached.empty()) return;
  x0 = r.x0 - b, y0 = r.y0 - b, x1 = r.x1 - b, y1 = r.y1 - b;
  cairo_t* cr = layercontext(lt);
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
}

void redrawtints(int x0, int y0, int x1, int y1) {
  if (!fits() || x1 <= x0 || y1 <= y0) return;
  drawtints(x0, y0, x1, y1);
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

void drawmarkslayer() { redrawlayer(lm, 0.5, [](cairo_t* cr) { drawmarks(cr, prefint(PREF_EDIT_SHOW_NUMBERS)); }); }
void drawhintslayer() { redrawlayer(lh, 0.5, drawhints); }
void drawselectionlayer() { redrawlayer(ls, hbawdpx() - 0.5, drawselection); }

// Every square in the cached area and every layer drawn again there; a square whose surface is
// kept keeps its lines, bars and contents when `kept` says so.
void drawcached(const bool (*kept)[MXSZ] = nullptr) {
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      if (sqexists(x, y)) drawsq(x, y, !kept || !kept[x][y]);
  int b = bawdpx();
  drawtints(lt.whole.x0 - b, lt.whole.y0 - b, lt.whole.x1 - b, lt.whole.y1 - b);
  drawmarkslayer();
  drawhintslayer();
  drawselectionlayer();
}

// Cache area r (within the layers): new layer surfaces drawn afresh, the surfaces of the
// squares that leave it freed and those of the squares that come into it made.
void cache(const area& r) {
  auto t0 = std::chrono::steady_clock::now();
  cached = r;
  // A path cut at a surface's edge is rasterized a little differently near it: the surfaces
  // reach a few pixels past the area, so that what is painted matches a whole-grid drawing to a
  // level or two on the antialiased edges of slanted and curved backgrounds.
  for (layer* l : layers) {
    freesurface(l->s);
    l->held = l->whole & area{r.x0 - 8, r.y0 - 8, r.x1 + 8, r.y1 + 8};
    l->s = newsurface(l->held.x1 - l->held.x0, l->held.y1 - l->held.y0);
  }
  // A square's surface is up to date while it is cached, so the squares still in the area keep theirs.
  static bool kept[MXSZ][MXSZ];
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      kept[x][y] = false;
      if (!sqexists(x, y)) continue;
      if (!sqcached(x, y)) freesurface(sfq[x][y]);
      else if (sfq[x][y]) kept[x][y] = true;
      else sfq[x][y] = newsurface(qx1[x][y] - qx0[x][y], qy1[x][y] - qy0[x][y]);
    }
  drawcached(kept);
  if (deb(DEB_DRAW))
    pstdout("cached area (%d,%d)-(%d,%d) drawn in %.2f ms\n", r.x0, r.y0, r.x1, r.y1,
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
}

// Make the cached area hold `want`: when it does not, the area round what the window shows and
// `want`, with a margin of half their size each way for scrolling, is cached instead.
void cover(area want) {
  want = want & all;
  if (want.empty() || (!cached.empty() && cached.holds(want))) return;
  area v = view.empty() ? want : view | want;
  int mx = std::max(128, (v.x1 - v.x0) / 2), my = std::max(128, (v.y1 - v.y0) / 2);
  cache(area{v.x0 - mx, v.y0 - my, v.x1 + mx, v.y1 + my} & all);
}

}  // namespace

void setfailmarks(const std::vector<sqpos>& squares) { settint(TINT_FAIL, squares); }

void freesurfaces() {
  for (layer* l : layers) freesurface(l->s);
  freesurface(sfc);
  for (auto& col : sfq)
    for (cairo_surface_t*& s : col) freesurface(s);
  cursorshown = 0;
  cached = {};
  havesurfaces = false;
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
      minx = std::min(minx, x0), miny = std::min(miny, y0);
      ow = std::max(ow, x1), oh = std::max(oh, y1);
    }
  if (deb(DEB_DRAW)) pstdout("Overall bbox = (%d,%d)-(%d,%d)\n", minx, miny, ow, oh);
  for (layer* l : {&lb, &lt, &lh, &lm}) l->whole = {b, b, b + std::max(ow, 1), b + std::max(oh, 1)};
  ls.whole = {h, h, h + std::max(h + ow - 1, 1), h + std::max(h + oh - 1, 1)};
  all = lb.whole | ls.whole | area{b + minx, b + miny, b + ow, b + oh};
  sfc = newsurface(squarepx, squarepx);
  made = {gtype, width, height, squarepx};
  havesurfaces = true;
  // Where each cell's centre falls on the drawing area, for the window scripts' pixel checks.
  if (deb(DEB_DRAW))
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++) {
        if (!isclear(x, y)) continue;
        gpoint c = groupof(x, y).c;
        pstdout(TRACE_CELLCENTRE "\n", x, y, b + (int)floor(squarepx * c.x + 0.5), b + (int)floor(squarepx * c.y + 0.5));
      }
  // The part round the last view is drawn now, so that the next repaint only composites; the
  // backgrounds are drawn once, as their shared antialiased edges darken when drawn again.
  if (!view.empty()) cover(view);
  invalidateall();
  refreshcursor();
}

void setscreenview(int x, int y, int w, int h) { view = {x, y, x + w, y + h}; }

void refreshsq(int x, int y) {
  if (deb(DEB_DRAW)) pstdout("refreshsq(%d,%d)\n", x, y);
  if (!fits() || !sqexists(x, y)) return;
  drawsq(x, y);
  area a = sqarea(x, y);
  if (deb(DEB_DRAW)) pstdout("invalidate(%d,%d - %d,%d)\n", a.x0, a.y0, a.x1, a.y1);
  invalidate(a.x0, a.y0, a.x1 - a.x0, a.y1 - a.y0);
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
  if (!fits()) return;
  drawcached();
  invalidateall();
  refreshcursor();
}

void refreshmarks() {
  drawmarkslayer();
  if (fits()) invalidateall();
}

void refreshhints() {
  if (deb(DEB_DRAW)) pstdout(TRACE_HINTS "\n");
  drawhintslayer();
  if (fits()) invalidateall();
}

void refreshselection() {
  drawselectionlayer();
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
    // One repaint of the whole area rather than one per square.
    if (fits())
      for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
          if (sqexists(x, y)) drawsq(x, y);
    if (fits()) invalidateall();
  } else {
    for (const sqpos& p : r.squares) refreshsq(p.x, p.y);
  }
  if (r.marks || ((r.all || !r.squares.empty()) && markscontents())) refreshmarks();
}

int compositescreen(cairo_t* cr, int x, int y, int w, int h) {
  if (!fits()) return 0;
  area want{x, y, x + w, y + h};
  cover(want);
  for (layer* l : {&lb, &lt}) paint(cr, l->s, l->held.x0, l->held.y0);
  paint(cr, sfc, sfcx, sfcy);
  paint(cr, lh.s, lh.held.x0, lh.held.y0);
  // Only the squares that meet the rectangle: the others would paint nothing inside it.
  for (int j = 0; j < height; j++)
    for (int i = 0; i < width; i++) {
      if (!sqexists(i, j) || !sqarea(i, j).meets(want)) continue;
      gridcheck(sfq[i][j] != nullptr, "sfq[i][j]");
      paint(cr, sfq[i][j], qx0[i][j] + bawdpx(), qy0[i][j] + bawdpx());
    }
  paint(cr, lm.s, lm.held.x0, lm.held.y0);
  paint(cr, ls.s, ls.held.x0, ls.held.y0);
  return 1;
}
