// Drawing: cell geometry of every shape, arcs, the hit test, text placement, the cells and marks
// in exported pictures (probed pixel by pixel), the screen-only layers, and the picture files.
#include <gtest/gtest.h>

#include <cairo.h>
#include <dirent.h>
#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "alphabet/alphabet.h"
#include "core/prefs.h"
#include "draw/draw.h"
#include "draw/picture.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/select.h"
#include "tests/testutil.h"

namespace {

class Draw : public ::testing::Test {
 protected:
  void SetUp() override {
    resetengine();
    squarepx = STARTPX;
    filename[0] = 0;
  }
};

void blank(int gt, int w, int h) { drawgrid(gt, std::vector<std::string>(h, std::string(w, '.'))); }

void setletter(int x, int y, char c) { sqarray[x][y].charsets[0][0] = 1ULL << (uchartoICC(c) - 1); }

// An image read back, with pixels as 0xRRGGBB.
struct image {
  cairo_surface_t* s;
  explicit image(const std::string& png) : s(cairo_image_surface_create_from_png(png.c_str())) {}
  explicit image(cairo_surface_t* surf) : s(cairo_surface_reference(surf)) {}
  ~image() { cairo_surface_destroy(s); }
  bool ok() const { return cairo_surface_status(s) == CAIRO_STATUS_SUCCESS; }
  int w() const { return cairo_image_surface_get_width(s); }
  int h() const { return cairo_image_surface_get_height(s); }
  unsigned px(int x, int y) const {
    cairo_surface_flush(s);
    const unsigned char* d = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    return ((const uint32_t*)d)[x] & 0xFFFFFF;
  }
  // How dark a pixel is, 0 (white) to 1 (black).
  double ink(int x, int y) const {
    unsigned c = px(x, y);
    return 1 - ((c >> 16 & 255) + (c >> 8 & 255) + (c & 255)) / 765.0;
  }
  // Centre of the ink in a box, and its amount; -1 when there is none.
  void inkcentre(int x0, int y0, int x1, int y1, double* cx, double* cy, double* amount = nullptr) const {
    double sx = 0, sy = 0, t = 0;
    for (int y = y0; y < y1; y++)
      for (int x = x0; x < x1; x++) {
        double k = ink(x, y);
        sx += k * x, sy += k * y, t += k;
      }
    *cx = t > 0 ? sx / t : -1;
    *cy = t > 0 ? sy / t : -1;
    if (amount) *amount = t;
  }
  // Rows between y0 and y1 holding ink in columns x0..x1: the first and last, -1 when none.
  void inkrows(int x0, int y0, int x1, int y1, int* top, int* bottom) const {
    *top = *bottom = -1;
    for (int y = y0; y < y1; y++)
      for (int x = x0; x < x1; x++)
        if (ink(x, y) > 0.3) {
          if (*top < 0) *top = y;
          *bottom = y;
        }
  }
};

// A picture of the grid in a fresh image surface, as an export at square size s draws it.
std::string picture(int flags, const char* suffix = ".png") {
  std::string p = writetemp("", suffix);
  EXPECT_EQ(a_exportg(p.c_str(), flags, PIC_PNG), 0);
  return p;
}

// Device position of grid point (gx, gy) in a PNG picture with square s and bar b.
double dev(int s, int b, double g) { return b - 0.5 + s * g; }

// The points of the current path, flattened.
std::vector<gpoint> pathpoints(cairo_t* cr) {
  std::vector<gpoint> r;
  cairo_path_t* p = cairo_copy_path_flat(cr);
  for (int i = 0; i < p->num_data; i += p->data[i].header.length)
    if (p->data[i].header.type != CAIRO_PATH_CLOSE_PATH) r.push_back({p->data[i + 1].point.x, p->data[i + 1].point.y});
  cairo_path_destroy(p);
  return r;
}

struct recorder {
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 10);
  cairo_t* cr = cairo_create(s);
  ~recorder() {
    cairo_destroy(cr);
    cairo_surface_destroy(s);
  }
};

bool near(gpoint a, gpoint b) { return fabs(a.x - b.x) < 0.005 && fabs(a.y - b.y) < 0.005; }

}  // namespace

TEST_F(Draw, VerticesOfEveryShape) {
  const double r2 = sqrt(0.5);
  struct {
    int gt, w, h, x, y;
    std::vector<gpoint> v;
  } cases[] = {
      {0, 5, 5, 2, 3, {{3, 3}, {3, 4}, {2, 4}, {2, 3}}},
      {1, 5, 5, 1, 2, {{2.4, 3.5}, {2.8, 4.2}, {2.4, 4.9}, {1.6, 4.9}, {1.2, 4.2}, {1.6, 3.5}}},
      {2, 5, 5, 2, 1, {{4.9, 1.6}, {4.9, 2.4}, {4.2, 2.8}, {3.5, 2.4}, {3.5, 1.6}, {4.2, 1.2}}},
      {3, 4, 2, 0, 0, {{4, 2}, {3, 2}, {2, 1}, {2, 0}}},
      {4, 4, 2, 0, 0, {{2 + 2 * r2, 2 - 2 * r2}, {2 + r2, 2 - r2}, {2 - r2, 2 - r2}, {2 - 2 * r2, 2 - 2 * r2}}},
  };
  for (auto& c : cases) {
    blank(c.gt, c.w, c.h);
    for (int k = 0; k < (int)c.v.size(); k++)
      EXPECT_TRUE(near(cellvertex(k, c.x, c.y), c.v[k])) << "gtype " << c.gt << " vertex " << k;
  }
}

TEST_F(Draw, CentresOfCellsAndRuns) {
  struct {
    int gt, w, h, x, y, d, n;
    gpoint c;
  } cases[] = {
      {0, 5, 5, 2, 3, 0, 1, {2.5, 3.5}},
      {0, 5, 5, 2, 3, 0, 2, {3, 3.5}},
      {1, 5, 5, 1, 2, 0, 1, {2.0, 4.2}},
      {1, 5, 5, 1, 2, 0, 3, {3.2, 3.5}},
      {2, 5, 5, 2, 1, 1, 1, {4.2, 2.0}},
      {3, 4, 2, 0, 0, 0, 1, {2 + 1.5 * sqrt(0.5), 2 - 1.5 * sqrt(0.5)}},
      {3, 4, 2, 0, 0, 1, 2, {2 + sqrt(0.5), 2 - sqrt(0.5)}},
      // A run wrapping across the joined edge of a torus is measured from its middle cell, or
      // from one cell when the run leaves the grid right after it.
      {9, 5, 4, 1, 3, 0, 5, {3.5, 3.5}},
      {9, 5, 4, 3, 3, 0, 4, {4.5, 3.5}},
      {9, 5, 4, 1, 3, 0, 2, {2.0, 3.5}},
      {9, 5, 4, 2, 3, 1, 5, {2.5, 1.5}},
  };
  for (auto& c : cases) {
    blank(c.gt, c.w, c.h);
    gpoint p = runcentre(c.x, c.y, c.d, c.n);
    EXPECT_TRUE(near(p, c.c)) << "gtype " << c.gt << " (" << c.x << "," << c.y << ") d" << c.d << " n" << c.n << ": " << p.x << "," << p.y;
  }
}

TEST_F(Draw, BoundingBoxesAndImageSizes) {
  blank(0, 5, 5);
  gbox b = cellbbox(2, 3);
  EXPECT_TRUE(b.x0 == 2 && b.y0 == 3 && b.x1 == 3 && b.y1 == 4);
  // The single cell of a one-sector circle: only its outer arc reaches the left and right.
  blank(3, 1, 1);
  b = cellbbox(0, 0);
  EXPECT_NEAR(b.x0, 0, 1e-9);
  EXPECT_NEAR(b.x1, 2, 1e-9);
  EXPECT_NEAR(b.y0, 0, 1e-9);
  EXPECT_NEAR(b.y1, 2, 1e-9);

  struct {
    int gt, w, h, s, b, iw, ih;
  } sizes[] = {
      {0, 15, 15, 36, 4, 547, 547}, {0, 15, 15, 10, 2, 153, 153}, {9, 3, 2, 36, 4, 115, 79},
      {1, 5, 4, 36, 4, 237, 209},   {1, 6, 4, 36, 4, 281, 234},   {2, 4, 5, 36, 4, 209, 237},
      {2, 4, 6, 36, 4, 234, 281},   {3, 12, 4, 36, 4, 295, 295},  {4, 12, 4, 36, 4, 295, 295},
  };
  for (auto& c : sizes) {
    blank(c.gt, c.w, c.h);
    EXPECT_EQ(imagewidth(c.s, c.b), c.iw) << "gtype " << c.gt << " " << c.w << "x" << c.h;
    EXPECT_EQ(imageheight(c.s, c.b), c.ih) << "gtype " << c.gt << " " << c.w << "x" << c.h;
  }

  blank(3, 12, 4);
  EXPECT_NEAR(sizefactor(3, 1), 0.7 * 2 * M_PI / 12, 1e-9);
  EXPECT_NEAR(sizefactor(3, 2), 1.4 * 2 * M_PI / 12, 1e-9);
  EXPECT_EQ(sizefactor(0, 1), 1);
  blank(1, 5, 5);
  EXPECT_EQ(sizefactor(4, 1), 1);
}

TEST_F(Draw, ArcsAndOutlines) {
  recorder r;
  {
    // A quarter circle of radius 10 at the start-up zoom: halved until (span)^2 * r <= 1/36.
    drawscope ds(STARTPX, true);
    cairo_move_to(r.cr, 360, 0);
    arccw(0, M_PI / 2, r.cr, 0, 0, 10);
    std::vector<gpoint> p = pathpoints(r.cr);
    ASSERT_EQ(p.size(), 33u);
    EXPECT_TRUE(near(p.back(), {0, 360}));
    for (auto& q : p) EXPECT_NEAR(hypot(q.x, q.y), 360, 0.005);  // cairo keeps 1/256 of a unit
    cairo_new_path(r.cr);
  }
  drawscope ds(1, true);
  // Anticlockwise from 0 to -pi/2 the long way would be wrong: it goes up, not round.
  cairo_move_to(r.cr, 1, 0);
  arcccw(0, -M_PI / 2, r.cr, 0, 0, 1);
  std::vector<gpoint> p = pathpoints(r.cr);
  for (auto& q : p) EXPECT_LE(q.y, 1e-9);
  cairo_new_path(r.cr);

  // The inner arc of a one-ring circle keeps a radius of 0.001.
  blank(3, 4, 1);
  {
    drawscope big(1000, true);
    celloutline(r.cr, 0, 0);
    p = pathpoints(r.cr);
    int inner = 0;
    for (auto& q : p) inner += fabs(hypot(q.x - 1000, q.y - 1000) - 1) < 0.01;
    EXPECT_GE(inner, 2);
    cairo_new_path(r.cr);
  }

  // Edge paths: nothing for no edges; each straight edge in two halves; a closed outline for all.
  blank(0, 3, 3);
  edgepath(r.cr, 1, 1, 0);
  EXPECT_FALSE(cairo_has_current_point(r.cr));
  edgepath(r.cr, 1, 1, 1 | 2);
  p = pathpoints(r.cr);
  std::vector<gpoint> want = {{2, 1}, {2, 1.5}, {2, 1.5}, {2, 2}, {1.5, 2}, {1.5, 2}, {1, 2}};
  ASSERT_EQ(p.size(), want.size());
  for (size_t i = 0; i < p.size(); i++) EXPECT_TRUE(near(p[i], want[i])) << i;
}

TEST_F(Draw, HitTestSquaresAndEdges) {
  struct {
    int gt, w, h;
    double u, v;
    int x, y;
    unsigned mask;
  } cases[] = {
      {0, 5, 5, 2.5, 3.5, 2, 3, 0},
      {0, 5, 5, 2.95, 3.5, 2, 3, 1},
      {0, 5, 5, 2.95, 3.05, 2, 3, 1 | 8},
      {0, 5, 5, 2.5, 3.85, 2, 3, 2},
      {0, 5, 5, -0.5, 1.5, -1, 1, 0},
      // Hexagons in columns: the rectangular middle, then the slanted strip shared with the
      // column on the left, above its upper-left and below its lower-left edge, for an odd and
      // an even column.
      {1, 5, 5, 2.0, 2.8, 1, 1, 0},
      {1, 5, 5, 1.3, 2.2, 0, 1, 0},
      {1, 5, 5, 1.3, 3.4, 0, 2, 0},
      {1, 5, 5, 1.3, 2.8, 1, 1, 8 | 16},
      {1, 5, 5, 2.5, 1.5, 1, 0, 0},
      {1, 5, 5, 2.5, 2.7, 1, 1, 0},
      {1, 5, 5, 2.0, 0.75, 1, 0, 32},
      {1, 5, 5, 2.35, 0.75, 1, 0, 1 | 32},
      // Hexagons in rows: the same with the axes exchanged.
      {2, 5, 5, 2.8, 2.0, 1, 1, 0},
      {2, 5, 5, 2.2, 1.3, 1, 0, 0},
      {2, 5, 5, 3.4, 1.3, 2, 0, 0},
      {2, 5, 5, 1.5, 2.5, 0, 1, 0},
      {2, 5, 5, 2.7, 2.5, 1, 1, 0},
  };
  for (auto& c : cases) {
    blank(c.gt, c.w, c.h);
    hitresult h = hitgrid(c.u, c.v);
    EXPECT_TRUE(h.x == c.x && h.y == c.y && h.mask == c.mask)
        << "gtype " << c.gt << " at " << c.u << "," << c.v << ": (" << h.x << "," << h.y << ") mask " << h.mask;
  }

  // Pixels: the margin is bawdpx, x is rounded and y truncated.
  blank(0, 5, 5);
  EXPECT_EQ(bawdpx(), 5);
  hitresult h = hittest(5 + 36 * 2.5 - 0.4, 5 + 36 * 3.5 + 0.9);
  EXPECT_TRUE(h.x == 2 && h.y == 3 && h.mask == 0);
}

TEST_F(Draw, HitTestFindsTheHexagonHoldingThePoint) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> U(0, 9);
  for (int gt : {1, 2}) {
    blank(gt, 6, 6);
    for (int i = 0; i < 20000; i++) {
      double u = U(rng), v = U(rng);
      hitresult h = hitgrid(u, v);
      // Inside the hexagon: on the inner side of all six edges (vertices run clockwise).
      double worst = 1;
      for (int k = 0; k < 6; k++) {
        gpoint a = cellvertex(k, h.x, h.y), b = cellvertex(k + 1, h.x, h.y);
        worst = std::min(worst, (b.x - a.x) * (v - a.y) - (b.y - a.y) * (u - a.x));
      }
      ASSERT_GE(worst, -1e-9) << "gtype " << gt << " point " << u << "," << v << " gave (" << h.x << "," << h.y << ")";
    }
  }
}

TEST_F(Draw, HitTestOnCircles) {
  // Polar position: t sectors clockwise from the top, o rings in from the outer edge.
  auto at = [](double t, double o) {
    double R = height, th = 2 * M_PI * t / width, r = R - o;
    return hitgrid(R + r * sin(th), R - r * cos(th));
  };
  struct {
    int gt;
    double t, o;
    int x, y;
    unsigned mask;
  } cases[] = {
      {3, 1.5, 1.5, 1, 1, 0},  {3, 1.5, 1.1, 1, 1, 8},  {3, 1.5, 1.9, 1, 1, 2}, {3, 1.97, 0.5, 1, 0, 1},
      {3, 1.03, 0.5, 1, 0, 4}, {3, 7.5, 0.5, 7, 0, 0},  {4, 1.25, 1.5, 1, 1, 0}, {4, 1.6, 1.5, 2, 1, 4},
      {4, 7.6, 0.5, 0, 0, 4},  {3, 1.5, -0.5, 1, -1, 0},
  };
  for (auto& c : cases) {
    blank(c.gt, 8, 3);
    hitresult h = at(c.t, c.o);
    EXPECT_TRUE(h.x == c.x && h.y == c.y && h.mask == c.mask)
        << "gtype " << c.gt << " t=" << c.t << " o=" << c.o << ": (" << h.x << "," << h.y << ") mask " << h.mask;
  }
  // The centre belongs to no square.
  blank(3, 8, 3);
  hitresult h = hittest(5 + 36 * 3, 5 + 36 * 3);
  EXPECT_TRUE(h.x == -1 && h.y == -1);
}

TEST_F(Draw, TextOneCharacterAtATime) {
  // "AB" at height 1 with one character at a time: A centred 0.4 left of x, B 0.4 right, both
  // standing on the baseline.
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 400, 200);
  image img(s);
  for (int round = 0; round < 2; round++) {
    // A second context (often at the freed one's address) draws exactly as the first.
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, 0, 0, 0);
    {
      drawscope ds(100, false);
      ctext(0, 1, 2, 1.5, 1, cr, "AB");
    }
    cairo_destroy(cr);
    double ax, ay, bx, by;
    img.inkcentre(0, 0, 200, 200, &ax, &ay);
    img.inkcentre(200, 0, 400, 200, &bx, &by);
    EXPECT_NEAR(ax, 160, 4);
    EXPECT_NEAR(bx, 240, 4);
    int top, bottom;
    img.inkrows(100, 0, 200, 200, &top, &bottom);
    EXPECT_NEAR(bottom, 150, 1.5);
    img.inkrows(200, 0, 300, 200, &top, &bottom);
    EXPECT_NEAR(bottom, 150, 1.5);
  }
  cairo_surface_destroy(s);
}

TEST_F(Draw, MarkTexts) {
  drawgrid(0, {"...", "..."});
  numbering();
  setletter(0, 0, 'A');
  codewordnumbers();
  strcpy(owncell(0, 0)->marktexts[1], "\\c");
  strcpy(owncell(2, 1)->marktexts[1], "\\C");
  strcpy(owncell(1, 0)->marktexts[2], "\\I");
  strcpy(sqarray[1][0].cellrec.marktexts[3], "\\o");
  nfreelights = 1;
  freelights[0].n = 2;
  freelights[0].x[0] = 2, freelights[0].y[0] = 0;
  freelights[0].x[1] = 1, freelights[0].y[1] = 0;
  struct {
    int x, y, k, shownums;
    std::string t;
  } cases[] = {
      {0, 0, 0, 1, "1"},  // the light number
      {0, 0, 0, 0, ""},   // numbers off
      {1, 1, 0, 1, ""},   // no light starts here
      {0, 0, 1, 1, std::to_string(codewordno[uchartoICC('A')])},
      {2, 1, 1, 1, "-"},  // no single character: no codeword number
      {1, 0, 2, 1, "2"},  // second cell of free light 0
      {2, 0, 2, 1, ""},   // a cell with its default marks
      {1, 0, 3, 1, ""},   // the circle is drawn, not written
  };
  for (auto& c : cases) EXPECT_EQ(marktext(c.x, c.y, c.k, c.shownums), c.t) << c.x << "," << c.y << " mark " << c.k;
  // A merged pair across: the top-left mark on the first square, the top-right on the second.
  drawgrid(0, {"..."});
  setmerge(0, 0, 0, 1);
  strcpy(owncell(0, 0)->marktexts[0], "L");
  strcpy(sqarray[0][0].cellrec.marktexts[1], "R");
  EXPECT_EQ(marktext(0, 0, 0, 1), "L");
  EXPECT_EQ(marktext(1, 0, 0, 1), "");
  EXPECT_EQ(marktext(0, 0, 1, 1), "");
  EXPECT_EQ(marktext(1, 0, 1, 1), "R");
}

TEST_F(Draw, PictureOfBlocksCutoutsBarsColoursAndLetters) {
  drawgrid(0, {"A#.", ".xB", "..."});
  setletter(0, 0, 'A');
  setletter(2, 1, 'B');
  sqarray[0][2].bars = 1;  // between (0,2) and (1,2)
  owncell(2, 2)->bgcolour = 0x3366CC;
  setletter(1, 1, 'Q');  // a cutout's characters and marks never show
  strcpy(owncell(1, 1)->marktexts[1], "Z");
  numbering();
  prefdata[PREF_EXPORT_HTML_SQUARE_PIXELS] = 36;
  const int s = 36, b = 4;
  image img(picture(PIC_LETTERS));
  ASSERT_TRUE(img.ok());
  ASSERT_EQ(img.w(), 3 * s + 2 * b - 1);
  auto at = [&](double gx, double gy) { return img.px((int)dev(s, b, gx), (int)dev(s, b, gy)); };
  EXPECT_EQ(at(1.5, 0.5), 0x000000u);   // block
  EXPECT_EQ(at(2.5, 2.5), 0x3366CCu);   // background colour
  // The cutout: a hole with no fill, lines or contents of its own.
  for (int y = (int)dev(s, b, 1) + 2; y < (int)dev(s, b, 2) - 1; y++)
    for (int x = (int)dev(s, b, 1) + 2; x < (int)dev(s, b, 2) - 1; x++) ASSERT_EQ(img.px(x, y), 0xFFFFFFu) << x << "," << y;
  // The bar is b pixels of ink across (a little more: the cells on either side both draw it, so
  // its antialiased edges are darkened twice), the thin line one.
  double bar = 0, line = 0;
  for (int x = (int)dev(s, b, 0.6); x < (int)dev(s, b, 1.4); x++) {
    bar += img.ink(x, (int)dev(s, b, 2.5));
    line += img.ink(x, (int)dev(s, b, 1.5));
  }
  EXPECT_GE(bar, b - 0.1);
  EXPECT_LE(bar, b + 0.6);
  EXPECT_NEAR(line, 1, 0.25);
  // Letters sit near the middle of their cells.
  double cx, cy;
  img.inkcentre((int)dev(s, b, 0) + 2, (int)dev(s, b, 0) + 2, (int)dev(s, b, 1) - 1, (int)dev(s, b, 1) - 1, &cx, &cy);
  EXPECT_NEAR(cx, dev(s, b, 0.5), s / 10.0);
  EXPECT_NEAR(cy, dev(s, b, 0.5), s / 8.0);
  img.inkcentre((int)dev(s, b, 2) + 2, (int)dev(s, b, 1) + 2, (int)dev(s, b, 3) - 1, (int)dev(s, b, 2) - 1, &cx, &cy);
  EXPECT_NEAR(cx, dev(s, b, 2.5), s / 10.0);
}

TEST_F(Draw, PictureSizesNumbersAndLetterScale) {
  drawgrid(0, {"AB", ".."});
  setletter(0, 0, 'A');
  setletter(1, 0, 'B');
  numbering();
  // Below 16 pixels the bar width and margin stay at 2.
  prefdata[PREF_EXPORT_HTML_SQUARE_PIXELS] = 12;
  image small(picture(PIC_NUMBERS));
  EXPECT_EQ(small.w(), 2 * 12 + 3);

  prefdata[PREF_EXPORT_HTML_SQUARE_PIXELS] = 72;
  const int s = 72, b = 9;
  int x0 = (int)dev(s, b, 0) + 2, x1 = (int)dev(s, b, 1) - 1;
  // Numbers sit in the top-left corner; letters are 0.8 as tall when numbers are shown too.
  image letters(picture(PIC_LETTERS)), both(picture(PIC_LETTERS | PIC_NUMBERS)), numbers(picture(PIC_NUMBERS));
  double ink;
  double cx, cy;
  letters.inkcentre(x0, x0, x0 + s / 4, x0 + s / 4, &cx, &cy, &ink);
  EXPECT_LT(ink, 1);  // no number without the numbers flag
  numbers.inkcentre(x0, x0, x0 + s / 4, x0 + s / 4, &cx, &cy, &ink);
  EXPECT_GT(ink, 5);
  int t1, b1, t2, b2;
  letters.inkrows(x0 + s / 4, x0, x1, x1, &t1, &b1);
  both.inkrows(x0 + s / 4, x0, x1, x1, &t2, &b2);
  EXPECT_NEAR((b2 - t2 + 1) / (double)(b1 - t1 + 1), 0.8, 0.06);
}

TEST_F(Draw, PicturesOfEveryGridTypeHaveTheirSize) {
  prefdata[PREF_EXPORT_HTML_SQUARE_PIXELS] = 20;
  for (int gt = 0; gt < NGTYPES; gt++) {
    drawgrid(gt, {"A...", ".#..", "..x."});
    setletter(0, 0, 'A');
    numbering();
    image img(picture(filledflags()));
    ASSERT_TRUE(img.ok()) << gt;
    EXPECT_EQ(img.w(), imagewidth(20, 2)) << gt;
    EXPECT_EQ(img.h(), imageheight(20, 2)) << gt;
    // The block is black at its centre.
    gpoint c = runcentre(1, 1, 0, 1);
    EXPECT_EQ(img.px((int)dev(20, 2, c.x), (int)dev(20, 2, c.y)), 0u) << gt;
  }
}

TEST_F(Draw, MergedCellDrawsOneLetterAndOneCircle) {
  drawgrid(0, {"....", "...."});
  setmerge(1, 0, 0, 1);
  setletter(1, 0, 'W');
  cellprops& c = *owncell(1, 0);
  strcpy(c.marktexts[3], "\\o");
  numbering();
  const int s = 36, b = 4;
  image img(picture(PIC_LETTERS));
  // No line between the two squares of the merged cell, and the letter centred on the pair.
  int y = (int)dev(s, b, 0.15);
  EXPECT_EQ(img.px((int)dev(s, b, 2), y), 0xFFFFFFu);
  EXPECT_LT(img.ink((int)dev(s, b, 1), y) + img.ink((int)dev(s, b, 1) + 1, y), 2);
  EXPECT_GT(img.ink((int)dev(s, b, 1), y) + img.ink((int)dev(s, b, 1) - 1, y), 0.5);
  double cx, cy;
  img.inkcentre((int)dev(s, b, 1.2), (int)dev(s, b, 0.2), (int)dev(s, b, 2.8), (int)dev(s, b, 0.8), &cx, &cy);
  EXPECT_NEAR(cx, dev(s, b, 2), 3);
  // The circle goes round the group's centre: grey ink where it crosses the horizontal axis.
  EXPECT_GT(img.ink((int)dev(s, b, 2.48), (int)dev(s, b, 0.5)), 0.1);
  EXPECT_GT(img.ink((int)dev(s, b, 1.52), (int)dev(s, b, 0.5)), 0.1);
  EXPECT_EQ(img.px((int)dev(s, b, 1.02), (int)dev(s, b, 0.5)), 0xFFFFFFu);
  // Drawn once, not once per square: a single glyph in the SVG (the other cells hold nothing).
  for (int y = 0; y < 2; y++)
    for (int x = 0; x < 4; x++)
      if (x != 1 || y != 0) sqarray[x][y].nchars[0] = 0;
  std::string svg = writetemp("", ".svg");
  ASSERT_EQ(a_exportg(svg.c_str(), PIC_LETTERS, PIC_SVG), 0);
  std::string t = readfile(svg);
  int uses = 0;
  for (size_t at = 0; (at = t.find("<use xlink:href=\"#glyph", at)) != std::string::npos; at++) uses++;
  EXPECT_EQ(uses, 1);
}

namespace {

// Cairo's lines that differ from run to run: the creation date, and the numbers of surfaces and
// glyph sets, which count every one made by the process so far.
std::string normalised(std::string t) {
  t = std::regex_replace(t, std::regex("%%CreationDate:[^\n]*\n"), "");
  t = std::regex_replace(t, std::regex("surface[0-9]+"), "surfaceN");
  return std::regex_replace(t, std::regex("glyph[0-9]+-"), "glyphN-");
}

// Render a picture file with an outside program and read it back.
std::string rendered(const std::string& path, int format) {
  std::string png = writetemp("", ".png");
  std::string cmd = format == PIC_SVG ? "rsvg-convert -o " + png + " " + path
                                      : "gs -q -dSAFER -dBATCH -dNOPAUSE -dEPSCrop -sDEVICE=png16m -r72 -sOutputFile=" + png + " " + path;
  EXPECT_EQ(runcmd(cmd, nullptr, nullptr), 0) << cmd;
  return png;
}

int filesin(const std::string& dir) {
  int n = 0;
  DIR* d = opendir(dir.c_str());
  while (dirent* e = readdir(d)) n += e->d_name[0] != '.';
  closedir(d);
  return n;
}

}  // namespace

TEST_F(Draw, VectorPicturesAreCompleteAndRepeatable) {
  drawgrid(0, {"A#", ".."});
  setletter(0, 0, 'A');
  sqarray[0][1].bars = 1;
  numbering();
  for (int format : {PIC_EPS, PIC_SVG}) {
    std::string p = writetemp("", format == PIC_EPS ? ".eps" : ".svg");
    ASSERT_EQ(a_exportg(p.c_str(), PIC_LETTERS | PIC_NUMBERS, format), 0);
    std::string first = readfile(p);
    ASSERT_EQ(a_exportg(p.c_str(), PIC_LETTERS | PIC_NUMBERS, format), 0);
    EXPECT_EQ(normalised(first), normalised(readfile(p)));
    // What a reader shows: the block black, the letter's ink in the top-left cell.
    image img(rendered(p, format));
    ASSERT_TRUE(img.ok());
    double sc = format == PIC_EPS ? 1 : 4 / 3.0;  // the SVG is rendered at 96 pixels per inch
    int b = 4;
    double off = format == PIC_EPS ? b - 0.5 - 3 : (b - 0.5) * sc;  // EPS: cropped to its ink
    EXPECT_EQ(img.px((int)(off + 54 * sc), (int)(off + 18 * sc)), 0u);
    double cx, cy, ink;
    img.inkcentre((int)(off + 8 * sc), (int)(off + 8 * sc), (int)(off + 32 * sc), (int)(off + 32 * sc), &cx, &cy, &ink);
    EXPECT_GT(ink, 20);
  }
}

TEST_F(Draw, VectorPicturesMatchTheirGoldenFiles) {
  // Without text the files do not depend on the fonts installed.
  drawgrid(0, {".#", "x."});
  defcell.marktexts[0][0] = 0;
  sqarray[0][0].bars = 2;
  for (int format : {PIC_EPS, PIC_SVG}) {
    std::string dir = tempdir(), name = format == PIC_EPS ? "tiny.eps" : "tiny.svg";
    ASSERT_EQ(a_exportg((dir + "/" + name).c_str(), PIC_NUMBERS, format), 0);
    std::string actual = normalised(readfile(dir + "/" + name));
    EXPECT_EQ(actual, golden(name, actual)) << name;
    unlink((dir + "/" + name).c_str());
    rmdir(dir.c_str());
  }
}

TEST_F(Draw, EpsTitleNamesTheFileWithinTheLineLimit) {
  drawgrid(0, {"#."});
  std::string dir = tempdir();
  std::string shortname = dir + "/grid one.eps", longname = dir + "/" + std::string(240, 'n') + "\xc3\xa9" + ".eps";
  ASSERT_EQ(a_exportg(shortname.c_str(), PIC_NUMBERS, PIC_EPS), 0);
  EXPECT_NE(readfile(shortname).find("\n%%Title: grid one.eps generated by Zyn\n"), std::string::npos);
  // A name too long for one DSC line is cut short (at a character boundary), and the picture is
  // drawn all the same.
  ASSERT_EQ(a_exportg(longname.c_str(), PIC_NUMBERS, PIC_EPS), 0);
  std::string eps = readfile(longname);
  size_t t = eps.find("\n%%Title: nnn");
  ASSERT_NE(t, std::string::npos);
  std::string line = eps.substr(t + 1, eps.find('\n', t + 1) - t - 1);
  EXPECT_EQ(line, "%%Title: " + std::string(229, 'n') + " generated by Zyn");
  image img(rendered(longname, PIC_EPS));
  EXPECT_EQ(img.px(10, 10), 0u);
  unlink(shortname.c_str());
  unlink(longname.c_str());
  rmdir(dir.c_str());
}

TEST_F(Draw, FailedPicturesAreReportedAndKeepTheOldFile) {
  drawgrid(0, {"#."});
  msgcapture cap;
  EXPECT_EQ(a_exportg("/nonexistent/dir/x.png", PIC_NUMBERS, PIC_PNG), 1);
  ASSERT_EQ(cap.msgs.size(), 1u);
  EXPECT_EQ(cap.msgs[0], "E:Filing system error: No such file or directory");

  // A picture too large for an image surface: reported, and the file already there survives.
  std::string dir = tempdir(), path = dir + "/keep.png";
  std::ofstream(path) << "precious";
  prefdata[PREF_EXPORT_HTML_SQUARE_PIXELS] = 40000;
  EXPECT_EQ(a_exportg(path.c_str(), PIC_NUMBERS, PIC_PNG), 1);
  ASSERT_EQ(cap.msgs.size(), 2u);
  EXPECT_EQ(cap.msgs[1].rfind("E:Could not draw the picture: ", 0), 0u) << cap.msgs[1];
  EXPECT_EQ(readfile(path), "precious");
  EXPECT_EQ(filesin(dir), 1);
  unlink(path.c_str());
  rmdir(dir.c_str());
}

namespace {

// A screen layer of the whole grid on a white image surface, at the start-up zoom.
struct screen {
  cairo_surface_t* s;
  cairo_t* cr;
  screen() {
    s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width * squarepx + 2, height * squarepx + 2);
    cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_translate(cr, 0.5, 0.5);
  }
  ~screen() {
    cairo_destroy(cr);
    cairo_surface_destroy(s);
  }
  unsigned at(double gx, double gy) { return image(s).px((int)(0.5 + gx * squarepx), (int)(0.5 + gy * squarepx)); }
  int count(unsigned colour) {
    image img(s);
    int n = 0;
    for (int y = 0; y < img.h(); y++)
      for (int x = 0; x < img.w(); x++) n += img.px(x, y) == colour;
    return n;
  }
};

}  // namespace

TEST_F(Draw, CutoutsAreHatchedOnScreenOnly) {
  drawgrid(0, {"x"});
  screen on, off;
  drawscope ds(squarepx, true);
  drawcellbg(on.cr, 0, 0, squarepx, 0);
  drawcellbg(off.cr, 0, 0, squarepx, 1);
  EXPECT_GT(on.count(0x808080), 100);
  EXPECT_GT(on.count(0xCCCCCC), 100);
  EXPECT_EQ(off.count(0xFFFFFF), 38 * 38);
}

TEST_F(Draw, HintsShowTheFeasibleCharacters) {
  drawgrid(0, {"..."});
  ASSERT_EQ(rebuild(), 0);
  auto feasible = [](int x, const char* chars) {
    ABM b = 0;
    for (const char* c = chars; *c; c++) b |= 1ULL << (uchartoICC(*c) - 1);
    entries[entryat(x, 0, 0, 0)].flbmh = b;
  };
  feasible(0, "K");
  feasible(1, "ABC");
  feasible(2, "ABCDEFGHIJKLMNOPQR");  // squarepx/2 candidates: too many for a square
  screen sc;
  {
    drawscope ds(squarepx, true);
    drawhints(sc.cr);
  }
  image img(sc.s);
  double cx, cy, ink;
  img.inkcentre(2, 2, 34, 34, &cx, &cy, &ink);
  EXPECT_GT(ink, 5);  // the one candidate, in grey
  EXPECT_EQ(sc.count(0xBFBFBF) > 0, true);
  // Three candidates: a red square a third of the cell wide at the cell's centre; none for 18.
  EXPECT_NEAR(sc.count(0xFF0000), 12 * 12, 30);
  EXPECT_EQ(sc.at(1.5, 0.5), 0xFF0000u);
  EXPECT_NE(sc.at(2.5, 0.5), 0xFF0000u);
}

TEST_F(Draw, CursorAndSelectionLayers) {
  drawgrid(0, {"...", "...", "..."});
  ASSERT_EQ(rebuild(), 0);
  int m = squarepx / 2;
  for (int dir : {0, 1}) {
    cursordir = dir;
    screen sc;
    drawcursor(sc.cr);
    image img(sc.s);
    // The arrow points along the light: ink towards its tip, none to its side at the middle.
    int ax = dir == 0 ? m + 11 : m, ay = dir == 0 ? m : m + 11;
    EXPECT_NE(img.px(ax, ay), 0xFFFFFFu) << dir;
    EXPECT_EQ(img.px(dir == 0 ? m : m + 11, dir == 0 ? m - 11 : m), 0xFFFFFFu) << dir;
  }
  cursorx = 2, cursory = 1;
  int px, py;
  cursorpos(&px, &py);
  EXPECT_EQ(px, bawdpx() + 90 - 18);
  EXPECT_EQ(py, bawdpx() + 54 - 18);

  // Two selected free lights through (1,0) share it on a 2 by 2 sub-grid; a third is neither
  // selected nor current and is not drawn.
  nfreelights = 3;
  int path0[][2] = {{0, 0}, {1, 0}, {2, 0}}, path1[][2] = {{1, 0}, {1, 1}}, path2[][2] = {{0, 2}, {2, 2}};
  auto setfree = [](int k, int (*p)[2], int n, int sel) {
    freelights[k].n = n;
    for (int i = 0; i < n; i++) freelights[k].x[i] = p[i][0], freelights[k].y[i] = p[i][1];
    freelights[k].sel = sel;
  };
  setfree(0, path0, 3, 1);
  setfree(1, path1, 2, 1);
  setfree(2, path2, 2, 0);
  selmode = SEL_FREE;
  cursordir = 0;
  {
    screen sc;
    drawscope ds(squarepx, true);
    drawselection(sc.cr);
    EXPECT_NE(sc.at(1.25, 0.25), 0xFFFFFFu);
    EXPECT_NE(sc.at(1.75, 0.25), 0xFFFFFFu);
    EXPECT_EQ(sc.at(1.25, 0.75), 0xFFFFFFu);
    EXPECT_EQ(sc.at(1.0, 2.5), 0xFFFFFFu);
  }
  // On a free light the cursor has no arrow, and the free lights show in cell selection mode.
  setfree(0, path0, 3, 0);
  setfree(1, path1, 2, 0);
  selmode = SEL_CELLS;
  cursordir = 102;
  {
    screen sc;
    drawcursor(sc.cr);
    EXPECT_EQ(sc.count(0xFFFFFF), (int)(image(sc.s).w() * image(sc.s).h()));
    drawscope ds(squarepx, true);
    drawselection(sc.cr);
    EXPECT_NE(sc.at(1.0, 2.5), 0xFFFFFFu);
    EXPECT_EQ(sc.at(1.5, 0.5), 0xFFFFFFu);
  }
  // Selected cells are filled.
  cursordir = 0;
  sqarray[2][2].sqflags |= SQF_SEL;
  screen sc;
  drawscope ds(squarepx, true);
  drawselection(sc.cr);
  EXPECT_NE(sc.at(2.5, 2.5), 0xFFFFFFu);
  EXPECT_EQ(sc.at(1.5, 2.5), 0xFFFFFFu);
}

TEST_F(Draw, PicturesDoNotDependOnTheScreenZoom) {
  // Thin lines and arc segments of a picture follow its own square size, not the window's zoom.
  drawgrid(3, {"A...", "...."});
  setletter(0, 0, 'A');
  numbering();
  for (int format : {PIC_PNG, PIC_SVG}) {
    std::string p = writetemp("", format == PIC_PNG ? ".png" : ".svg");
    squarepx = STARTPX;
    ASSERT_EQ(a_exportg(p.c_str(), filledflags(), format), 0);
    std::string at36 = normalised(readfile(p));
    squarepx = 72;
    ASSERT_EQ(a_exportg(p.c_str(), filledflags(), format), 0);
    EXPECT_EQ(normalised(readfile(p)), at36) << format;
  }
}
