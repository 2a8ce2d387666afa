// The screen's cached surfaces: bar widths by zoom, what typing a letter repaints, and that the
// picture kept up to date edit by edit is the one a fresh drawing gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/hooks.h"
#include "core/prefs.h"
#include "dicts/dicts.h"
#include "draw/picture.h"
#include "draw/screen.h"
#include "draw/shape.h"
#include "filler/filler.h"
#include "grid/cursor.h"
#include "grid/edit.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/select.h"
#include "tests/testutil.h"

namespace {

struct rect {
  int x, y, w, h;
  bool operator==(const rect&) const = default;
};
std::vector<rect> repainted;

class Screen : public testing::Test {
 protected:
  void SetUp() override {
    resetdocument(9);
    assistmode = 0;
    squarepx = STARTPX;
    ui.invalidate = [](int x, int y, int w, int h) { repainted.push_back({x, y, w, h}); };
  }
  void TearDown() override {
    filler_stop();
    freesurfaces();
    ui = {};
    squarepx = STARTPX;
  }
};

// The composited picture of the drawing area, as bytes.
std::string screenpixels() {
  int w = imagewidth(squarepx, bawdpx()) + 3, h = imageheight(squarepx, bawdpx()) + 3;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_t* cr = cairo_create(s);
  EXPECT_EQ(compositescreen(cr, 0, 0, w, h), 1);
  cairo_destroy(cr);
  cairo_surface_flush(s);
  std::string px((const char*)cairo_image_surface_get_data(s), (size_t)cairo_image_surface_get_stride(s) * h);
  cairo_surface_destroy(s);
  return px;
}

}  // namespace

TEST_F(Screen, BarWidthsFollowTheZoom) {
  struct {
    int px, half, bar;
  } cases[] = {{18, 2, 3}, {36, 3, 5}, {72, 5, 9}};
  for (auto c : cases) {
    squarepx = c.px;
    EXPECT_EQ(hbawdpx(), c.half) << c.px;
    EXPECT_EQ(bawdpx(), c.bar) << c.px;
  }
}

// A letter repaints its own cell's box and the cursor's old and new squares, nothing more; a
// letter typed into a merged cell repaints every square of it.
TEST_F(Screen, TypingALetterRepaintsOneCell) {
  makesurfaces();
  repainted.clear();
  editreport r = keypress('a', 0, 0);
  refreshreport(r);
  refreshcursor();
  int b = bawdpx(), h = hbawdpx();
  std::vector<rect> want = {{b - h, b - h, squarepx + 2 * h, squarepx + 2 * h},  // cell (0, 0) with half a bar round it
                            {b, b, squarepx, squarepx},                          // the cursor's old square
                            {b + squarepx, b, squarepx, squarepx}};              // and its new one
  EXPECT_EQ(repainted, want);

  rotsym = 1;
  cursorx = 3, cursory = 3;
  refreshreport(editmerge());
  repainted.clear();
  cursorx = 3;
  refreshreport(keypress('b', 0, 0));
  EXPECT_EQ(repainted.size(), 2u);
  EXPECT_EQ(repainted[1].x - repainted[0].x, squarepx);
}

// After every kind of edit the picture kept square by square equals a fresh drawing of the grid,
// on each shape of cell. A background drawn again over its own slanted or curved edge blends
// those edge pixels a little differently; a stale square differs by a whole glyph or bar.
TEST_F(Screen, KeptPictureMatchesAFreshDrawing) {
  struct step {
    const char* what;
    std::function<editreport()> edit;
  };
  std::vector<step> steps = {
      {"letters", [] { return keypress('c', 0, 0); }},
      {"block with symmetry", [] { return editblock(); }},
      {"bar", [] {
         cursorx = 2, cursory = 2;
         return editbarbefore();
       }},
      {"merge", [] {
         cursorx = 4, cursory = 1;
         return editmerge();
       }},
      {"letter in the merged cell", [] {
         cursorx = 4, cursory = 1;
         return keypress('d', 0, 0);
       }},
      {"cutout", [] {
         cursorx = 1, cursory = 3;
         return editcutout();
       }},
      {"empty", [] {
         cursorx = 1, cursory = 3;
         return editempty();
       }},
      {"clear all", [] { return clearallcells(); }},
  };
  for (int gt : {0, 1, 3}) {
    SCOPED_TRACE(gt);
    filler_stop();
    resetdocument(9);
    assistmode = 0;
    gtype = gt;
    makesurfaces();
    for (const step& s : steps) {
      SCOPED_TRACE(s.what);
      editreport r = s.edit();
      ASSERT_FALSE(r.shape);
      refreshreport(r);
      // What the window's after-edit hook redraws, and the hints once the fill the edit
      // started has published them.
      refreshcursor();
      refreshmarks();
      refreshselection();
      filler_wait();
      refreshhints();
      std::string kept = screenpixels();
      makesurfaces();
      std::string fresh = screenpixels();
      ASSERT_EQ(kept.size(), fresh.size());
      int worst = 0;
      for (size_t i = 0; i < kept.size(); i++) worst = std::max(worst, abs((unsigned char)kept[i] - (unsigned char)fresh[i]));
      EXPECT_LE(worst, 48);
    }
  }
}

// Between a change of shape and the next makesurfaces nothing is painted or redrawn.
TEST_F(Screen, SurfacesOfAnotherShapeShowNothing) {
  makesurfaces();
  width = 12;
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 10, 10);
  cairo_t* cr = cairo_create(s);
  EXPECT_EQ(compositescreen(cr, 0, 0, 10, 10), 0);
  repainted.clear();
  refreshsq(10, 0);
  refreshall();
  EXPECT_TRUE(repainted.empty());
  makesurfaces();
  EXPECT_EQ(compositescreen(cr, 0, 0, 10, 10), 1);
  cairo_destroy(cr);
  cairo_surface_destroy(s);
}

namespace {

// The colour of square (x, y) of the composited screen, as 0xRRGGBB: a little up and right of
// its centre, clear of the cursor, the free lights' dots and path and the light numbers.
unsigned centrepixel(const std::string& px, int x, int y) {
  int w = imagewidth(squarepx, bawdpx()) + 3;
  int stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, w);
  gpoint c = runcentre(x, y, 0, 1);
  int ix = bawdpx() + (int)((c.x + 0.3) * squarepx), iy = bawdpx() + (int)((c.y - 0.25) * squarepx);
  uint32_t v;
  memcpy(&v, px.data() + (size_t)iy * stride + 4 * ix, 4);
  return v & 0xffffff;
}

bool shaded(unsigned rgb) { return (rgb & 0xff) > (rgb >> 16 & 0xff) + 20; }  // bluer than it is red

}  // namespace

// The cursor's light is shaded under the letters on every shape, at both ends of the zoom, along
// a light that runs across the joined edge of a torus and along a free light; it follows the
// cursor, goes with its preference, and never reaches a picture.
TEST_F(Screen, TheCursorsLightIsShaded) {
  struct tc {
    const char* what;
    int gt, cx, cy, d;
    std::vector<sqpos> in, out;  // squares of the light, and squares beside it
  } cases[] = {
      {"plain", 0, 2, 4, 0, {{0, 4}, {5, 4}, {8, 4}}, {{0, 3}, {4, 5}}},
      {"plain down", 0, 2, 4, 1, {{2, 0}, {2, 8}}, {{1, 4}, {3, 4}}},
      {"hexagonal", 1, 2, 4, 2, {{2, 0}, {2, 8}}, {{1, 4}, {3, 4}}},
      {"circular ring", 3, 1, 4, 0, {{0, 4}, {5, 4}, {8, 4}}, {{3, 4}, {2, 3}, {2, 5}}},
      {"torus across the joined edge", 9, 1, 4, 0, {{0, 4}, {2, 4}, {8, 4}, {5, 4}}, {{3, 4}, {1, 3}}},
      {"free light", 0, 3, 3, 100, {{1, 1}, {2, 2}, {4, 4}}, {{2, 1}, {1, 2}}},
  };
  for (int px : {18, 72})
    for (const tc& c : cases) {
      SCOPED_TRACE(std::string(c.what) + " at " + std::to_string(px));
      filler_stop();
      resetdocument(9);
      assistmode = 0;
      squarepx = px;
      gtype = c.gt;
      rotsym = 1;
      if (c.gt >= 3) sqarray[3][4].sqflags = SQF_BLOCK;  // the ring of row 4 becomes a light
      if (c.d >= 100) setfreelight(0, {{1, 1}, {2, 2}, {3, 3}, {4, 4}});
      cursorx = c.cx, cursory = c.cy, cursordir = c.d;
      ASSERT_EQ(rebuild(), 0);
      makesurfaces();
      std::string pic = screenpixels();
      for (sqpos q : c.in) EXPECT_TRUE(shaded(centrepixel(pic, q.x, q.y))) << q.x << "," << q.y;
      for (sqpos q : c.out) EXPECT_FALSE(shaded(centrepixel(pic, q.x, q.y))) << q.x << "," << q.y;
    }
  squarepx = STARTPX;
  // The shade follows the cursor to its next light, and goes when its preference is off.
  filler_stop();
  resetdocument(9);
  assistmode = 0;
  makesurfaces();
  EXPECT_TRUE(shaded(centrepixel(screenpixels(), 5, 0)));
  cursordir = 1;
  refreshcursor();
  std::string pic = screenpixels();
  EXPECT_EQ(centrepixel(pic, 5, 0), 0xffffffu);
  EXPECT_TRUE(shaded(centrepixel(pic, 0, 5)));
  prefdata[PREF_EDIT_HIGHLIGHT_LIGHT] = 0;
  refreshcursor();
  EXPECT_EQ(centrepixel(screenpixels(), 0, 5), 0xffffffu);
  prefdata[PREF_EDIT_HIGHLIGHT_LIGHT] = 1;
  // A picture of the grid shows no shade.
  refreshcursor();
  cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, imagewidth(36, 5), imageheight(36, 5));
  cairo_t* cr = cairo_create(s);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  drawpicture(cr, 36, 5, 0);
  cairo_destroy(cr);
  cairo_surface_flush(s);
  uint32_t v;
  memcpy(&v, cairo_image_surface_get_data(s) + (size_t)(5 + 5 * 36 + 18) * cairo_image_surface_get_stride(s) + 4 * (5 + 18), 4);
  EXPECT_EQ(v & 0xffffff, 0xffffffu);
  cairo_surface_destroy(s);
}

// Marks on the lights where a fill failed shade their squares until they are taken away.
TEST_F(Screen, FailedLightsAreMarked) {
  makesurfaces();
  cursordir = 1;  // the cursor's light is column 0
  refreshcursor();
  setfailmarks({{4, 2}, {5, 2}, {6, 2}});
  std::string pic = screenpixels();
  unsigned m = centrepixel(pic, 5, 2);
  EXPECT_GT(m >> 16 & 0xff, (m & 0xff) + 20) << std::hex << m;  // redder than blue
  EXPECT_EQ(centrepixel(pic, 5, 3), 0xffffffu);
  setfailmarks({});
  EXPECT_EQ(centrepixel(screenpixels(), 5, 2), 0xffffffu);
}

// With the heat map on, an open cell whose lights kept few candidates is tinted red under its
// hints, and one whose lights kept many is not.
TEST_F(Screen, HeatMapOfCandidates) {
  std::vector<std::string> many;
  for (char a = 'a'; a <= 'z'; a++)
    for (char b = 'a'; b <= 'z'; b++) many.push_back(std::string("q") + a + b);
  many.push_back("cat");
  many.push_back("cot");
  ASSERT_EQ(loadwords(many), 0);
  drawgrid(0, {"...", "###", "..."});
  sqarray[0][0].charsets[0][0] = 1ULL << ('c' - 'a');
  sqarray[2][0].charsets[0][0] = 1ULL << ('t' - 'a');
  assistmode = 2;
  for (int on : {0, 1}) {
    SCOPED_TRACE(on);
    prefdata[PREF_EDIT_HEAT_MAP] = on;
    ASSERT_EQ(runfiller(FM_ASSIST), 0);
    filler_wait();
    makesurfaces();
    std::string pic = screenpixels();
    unsigned few = centrepixel(pic, 1, 0), lots = centrepixel(pic, 1, 2);  // C?T: two words; Q??: 676
    EXPECT_EQ((few >> 16 & 0xff) > (few & 0xff) + 20, on == 1) << std::hex << few;
    EXPECT_FALSE((lots >> 16 & 0xff) > (lots & 0xff) + 20) << std::hex << lots;
  }
  prefdata[PREF_EDIT_HEAT_MAP] = 0;
  filler_stop();
  dictsfree();
}

// A picture painted tile by tile while the window's view moves over it, so that the cached part
// of the grid moves too, is the one painted whole, on each shape of cell and at both ends of the
// zoom: a square or a layer drawn at the wrong place, or left out, differs by a whole line.
TEST_F(Screen, PaintingAMovingViewMatchesTheWhole) {
  for (int gt : {0, 1, 3})
    for (int px : {18, 72}) {
      SCOPED_TRACE(std::to_string(gt) + " at " + std::to_string(px));
      filler_stop();
      resetdocument(9);
      assistmode = 0;
      gtype = gt;
      squarepx = px;
      ASSERT_EQ(rebuild(), 0);
      for (int i = 0; i < 5; i++) refreshreport(keypress('e' + i, 0, 0));
      setfailmarks({{2, 6}, {3, 6}, {4, 6}});
      makesurfaces();
      std::string whole = screenpixels();
      // The first tile is painted from what the new surfaces drew for the view they were made for.
      setscreenview(0, 0, 70, 50);
      makesurfaces();
      int w = imagewidth(squarepx, bawdpx()) + 3, h = imageheight(squarepx, bawdpx()) + 3, tw = 70, th = 50;
      cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
      for (int y = 0; y < h; y += th)
        for (int x = 0; x < w; x += tw) {
          setscreenview(x, y, tw, th);
          cairo_t* cr = cairo_create(s);
          cairo_rectangle(cr, x, y, tw, th);
          cairo_clip(cr);
          EXPECT_EQ(compositescreen(cr, x, y, tw, th), 1);
          cairo_destroy(cr);
        }
      cairo_surface_flush(s);
      std::string tiled((const char*)cairo_image_surface_get_data(s), (size_t)cairo_image_surface_get_stride(s) * h);
      cairo_surface_destroy(s);
      // Square cells are drawn identically; slanted and curved backgrounds, cut where the
      // cached part ends, round their antialiased edges by a level or two differently.
      int worst = 0;
      for (size_t i = 0; i < tiled.size(); i++) worst = std::max(worst, abs((unsigned char)tiled[i] - (unsigned char)whole[i]));
      EXPECT_LE(worst, gt == 0 ? 0 : 8);
    }
  setscreenview(0, 0, 0, 0);
}
