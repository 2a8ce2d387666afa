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
#include "draw/screen.h"
#include "draw/shape.h"
#include "filler/filler.h"
#include "grid/cursor.h"
#include "grid/edit.h"
#include "grid/geometry.h"
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
