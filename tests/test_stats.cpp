// The statistics window's texts and its entry histogram, drawn on an image surface.
#include <gtest/gtest.h>

#include <cairo.h>

#include "alphabet/alphabet.h"
#include "draw/draw.h"
#include "grid/clues.h"
#include "grid/lights.h"
#include "grid/stats.h"
#include "grid/zyn.h"
#include "tests/testutil.h"

namespace {

void build(const std::vector<std::string>& rows) {
  resetengine();
  drawgrid(0, rows);
  ASSERT_EQ(rebuild(), 0);
}

// Put letters into the first row's cells and rebuild.
void letters(const char* s) {
  for (int x = 0; s[x]; x++) sqarray[x][0].charsets[0][0] = 1ULL << (s[x] - 'A');
  ASSERT_EQ(rebuild(), 0);
}

}  // namespace

TEST(Stats, GeneralPage) {
  build({"...", "...", "..."});
  EXPECT_EQ(statslines(), (std::vector<std::string>{
                              "  Total lights: 6", "  Mean length: 3.0", "  Checked light characters: 18/18 (100.0%)",
                              "  Checked grid cells: 9/9 (100.0%)", "  Lights with double unches: 0",
                              "  Lights with triple, quadruple etc. unches: 0", "  Lights too long for filler: 0",
                              "  Total free lights: 0", "  Free lights too long for filler: 0",
                              "  Clues: 0 of 6 lights clued", "  "}));
  EXPECT_EQ(statsrow(3), (std::vector<std::string>{"3", "6", " ", " ", "1.00:1.00:1.00"}));

  // Lights of 5 and of 3 cells, no row for the lengths between. The 5-cell light has one
  // checked cell and then three unches (counted once, as triple); the 3-cell one two unches.
  build({".....", "#.###", "#.###"});
  EXPECT_TRUE(statsrow(2).empty());
  EXPECT_TRUE(statsrow(4).empty());
  EXPECT_EQ(statsrow(5), (std::vector<std::string>{"5", "1", "1 (100.0%)", " ", "0.20:0.20:0.20"}));
  EXPECT_EQ(statsrow(3), (std::vector<std::string>{"3", "1", "1 (100.0%)", " ", "0.33:0.33:0.33"}));
  std::vector<std::string> l = statslines();
  EXPECT_EQ(l[0], "  Total lights: 2");
  EXPECT_EQ(l[1], "  Mean length: 4.0");
  EXPECT_EQ(l[2], "  Checked light characters: 2/8 (25.0%)");
  EXPECT_EQ(l[3], "  Checked grid cells: 1/7 (14.3%)");
  EXPECT_EQ(l[4], "  Lights with double unches: 1");
  EXPECT_EQ(l[5], "  Lights with triple, quadruple etc. unches: 1");

  // No lights at all.
  build({"#.#", "###", "#.#"});
  l = statslines();
  EXPECT_EQ(l[0], "  Total lights: 0");
  EXPECT_EQ(l[1], "  Mean length: -");
  EXPECT_EQ(l[2], "  Checked light characters: -");
  for (int len = 2; len <= MXCL; len++) EXPECT_TRUE(statsrow(len).empty());
}

TEST(Stats, HistogramByPixels) {
  build({"....", "....", "....", "...."});
  alphaload(2);  // letters, then digits
  ASSERT_EQ(classstart[1], 26);
  ASSERT_EQ(rebuild(), 0);
  const int w = histogramwidth(), h = 250;
  auto draw = [&] {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    drawhistogram(cr);
    cairo_destroy(cr);
    cairo_surface_flush(s);
    return s;
  };
  auto pixel = [](cairo_surface_t* s, int x, int y) {
    const unsigned char* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    return ((const uint32_t*)row)[x] & 0xffffff;
  };
  // Whether any pixel of the box is of the colour.
  auto has = [&](cairo_surface_t* s, int x0, int y0, int x1, int y1, uint32_t colour) {
    for (int y = y0; y < y1; y++)
      for (int x = x0; x < x1; x++)
        if (pixel(s, x, y) == colour) return true;
    return false;
  };

  // Nothing entered: a blank drawing.
  cairo_surface_t* s = draw();
  EXPECT_FALSE(has(s, 0, 0, w, h, 0x000000));
  cairo_surface_destroy(s);

  // A twice, C once: A's bar is 150 pixels, C's 75, B has none and a red label; the digits
  // take no room.
  letters("ACA");
  s = draw();
  const int xa = 5, xb = 21, xc = 37;
  EXPECT_EQ(pixel(s, xa + 6, 224 - 149), 0x00ff00u);
  EXPECT_EQ(pixel(s, xa + 6, 224 - 152), 0xffffffu);
  EXPECT_EQ(pixel(s, xc + 6, 224 - 74), 0x00ff00u);
  EXPECT_EQ(pixel(s, xc + 6, 224 - 77), 0xffffffu);
  EXPECT_FALSE(has(s, xb + 1, 100, xb + 11, 222, 0x00ff00));
  EXPECT_TRUE(has(s, xb, 228, xb + 13, 246, 0xff0000));   // B, never entered
  EXPECT_FALSE(has(s, xa, 228, xa + 13, 246, 0xff0000));  // A, entered
  EXPECT_TRUE(has(s, xa + 9, 40, xa + 16, 70, 0x000000));  // A's count, written upwards above the bar
  EXPECT_FALSE(has(s, 5 + 16 * 26, 0, w, h, 0x000000));   // no digits
  cairo_surface_destroy(s);

  // A digit: its group follows the letters, in cyan.
  sqarray[3][3].charsets[0][0] = 1ULL << (ordericc[26] - 1);
  ASSERT_EQ(rebuild(), 0);
  s = draw();
  EXPECT_EQ(pixel(s, 5 + 16 * 26 + 6, 224 - 10), 0x00ffffu);
  cairo_surface_destroy(s);
}

TEST(Stats, CluesAndOrphansAreCounted) {
  build({"...", "...", "..."});
  clueset({0, 0, 0}, "Top", "");
  clueset({0, 2, 0}, "Bottom", "");
  sqarray[0][2].sqflags = SQF_BLOCK;
  rebuild();
  EXPECT_EQ(statslines()[9], "  Clues: 1 of 6 lights clued, 1 orphaned");
  cluesclear();
}
