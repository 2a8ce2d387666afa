// Grid topology: existence, stepping with edge joins, lights of every grid type, merged
// cells and their representatives, mark ownership, and the small cell operations.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "core/prefs.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "tests/testutil.h"

namespace {

typedef std::pair<int, int> sqr;
typedef std::vector<sqr> sqlist;

void setgrid(int gt, const std::vector<std::string>& rows) {
  loadprefdefaults();
  drawgrid(gt, rows);
  rebuild();
}

void blankgrid(int gt, int w, int h) { setgrid(gt, std::vector<std::string>(h, std::string(w, '.'))); }

sqlist squaresof(int x, int y, int d) {
  int lx[MXCL], ly[MXCL];
  int n = lightsquares(lx, ly, x, y, d);
  sqlist r;
  for (int i = 0; i < n; i++) r.push_back({lx[i], ly[i]});
  return r;
}

// Every light of the grid in direction d, as its squares from the start.
std::vector<sqlist> lightsin(int d) {
  std::vector<sqlist> r;
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      if (isstartoflight(x, y, d)) r.push_back(squaresof(x, y, d));
  std::sort(r.begin(), r.end());
  return r;
}

sqr rep(int x, int y) {
  cellrep(x, y);
  return {x, y};
}

void mergerun(int x, int y, int d, int n) {
  for (int i = 0; i < n; i++) {
    setmerge(x, y, d, 1);
    stepnext(x, y, d);
  }
}

}  // namespace

TEST(Geometry, ExistenceOfHexagonalSquares) {
  blankgrid(1, 5, 4);
  EXPECT_FALSE(sqexists(1, 3));
  EXPECT_FALSE(sqexists(3, 3));
  EXPECT_TRUE(sqexists(2, 3));
  EXPECT_TRUE(sqexists(1, 2));
  EXPECT_FALSE(isclear(1, 3));
  blankgrid(1, 6, 4);
  for (int x = 0; x < 6; x++) EXPECT_TRUE(sqexists(x, 3));
  blankgrid(2, 4, 5);
  EXPECT_FALSE(sqexists(3, 1));
  EXPECT_FALSE(sqexists(3, 3));
  EXPECT_TRUE(sqexists(3, 2));
  EXPECT_FALSE(sqexists(4, 0));
  EXPECT_FALSE(sqexists(-1, 0));
}

TEST(Geometry, StepTable) {
  struct stepcase {
    int gt, w, h, x, y, d, ex, ey;
  } cases[] = {
      {0, 4, 3, 3, 0, 0, 4, 0},   // plain grids do not wrap
      {0, 4, 3, 0, 2, 1, 0, 3},
      {1, 4, 3, 0, 2, 0, 1, 1},   // even column: northeast goes up
      {1, 4, 3, 1, 2, 0, 2, 2},   // odd column: northeast stays on the row
      {1, 4, 3, 0, 1, 1, 1, 1},
      {1, 4, 3, 1, 1, 1, 2, 2},
      {1, 4, 3, 1, 1, 2, 1, 2},
      {2, 4, 3, 2, 0, 0, 3, 0},
      {2, 4, 3, 0, 0, 1, 0, 1},   // even row: southeast goes straight down
      {2, 4, 3, 0, 1, 1, 1, 2},
      {2, 4, 3, 1, 0, 2, 0, 1},
      {2, 4, 3, 1, 1, 2, 1, 2},
      {3, 4, 3, 3, 1, 0, 0, 1},   // rings wrap, radii do not
      {3, 4, 3, 1, 2, 1, 1, 3},
      {4, 4, 3, 3, 2, 0, 0, 2},
      {5, 4, 3, 3, 1, 0, 0, 1},
      {5, 4, 3, 1, 2, 1, 1, 3},
      {6, 4, 3, 3, 1, 0, 4, 1},
      {6, 4, 3, 1, 2, 1, 1, 0},
      {7, 4, 3, 3, 0, 0, 0, 2},   // joined with flip: the row is mirrored
      {7, 4, 3, 1, 2, 1, 1, 3},
      {8, 4, 3, 0, 2, 1, 3, 0},
      {8, 4, 3, 3, 0, 0, 4, 0},
      {9, 4, 3, 3, 2, 0, 0, 2},
      {9, 4, 3, 3, 2, 1, 3, 0},
      {10, 4, 3, 3, 0, 0, 0, 2},
      {10, 4, 3, 1, 2, 1, 1, 0},
      {11, 4, 3, 3, 0, 0, 0, 0},
      {11, 4, 3, 1, 2, 1, 2, 0},
      {12, 4, 3, 3, 0, 0, 0, 2},
      {12, 4, 3, 1, 2, 1, 2, 0},
  };
  for (const stepcase& c : cases) {
    SCOPED_TRACE("gtype " + std::to_string(c.gt) + " from " + std::to_string(c.x) + "," +
                 std::to_string(c.y) + " dir " + std::to_string(c.d));
    blankgrid(c.gt, c.w, c.h);
    int x = c.x, y = c.y;
    stepnext(x, y, c.d);
    EXPECT_EQ(sqr(x, y), sqr(c.ex, c.ey));
    stepprev(x, y, c.d);
    EXPECT_EQ(sqr(x, y), sqr(c.x, c.y));
    // A direction beyond ndir is the opposite one.
    x = c.ex, y = c.ey;
    stepnext(x, y, c.d + ndir());
    EXPECT_EQ(sqr(x, y), sqr(c.x, c.y));
  }
}

TEST(Geometry, SteppingBackUndoesSteppingOnEveryType) {
  for (int gt = 0; gt < NGTYPES; gt++)
    for (auto [w, h] : {std::pair{5, 4}, std::pair{4, 5}, std::pair{1, 3}})
      for (int d = 0; d < gtypes[gt].ndir; d++) {
        gtype = gt, width = w, height = h;
        for (int x = 0; x < w; x++)
          for (int y = 0; y < h; y++) {
            if (!sqexists(x, y)) continue;
            int nx = x, ny = y;
            stepnext(nx, ny, d);
            if (!sqexists(nx, ny)) continue;
            stepprev(nx, ny, d);
            ASSERT_EQ(sqr(nx, ny), sqr(x, y)) << "gtype " << gt << " w " << w << " dir " << d;
          }
      }
}

TEST(Geometry, LightsOfEachGridType) {
  struct lightcase {
    const char* what;
    int gt;
    std::vector<std::string> rows;
    int d;
    std::vector<sqlist> lights;
  } cases[] = {
      {"plain row split by a block", 0, {"..#..."}, 0, {{{0, 0}, {1, 0}}, {{3, 0}, {4, 0}, {5, 0}}}},
      {"single cells are no lights", 0, {".#.#."}, 0, {}},
      {"cutouts delimit lights", 0, {"x..x"}, 0, {{{1, 0}, {2, 0}}}},
      {"torus row with one block wraps", 9, {"..#..", "#####"}, 0,
       {{{3, 0}, {4, 0}, {0, 0}, {1, 0}}}},
      {"torus row without blocks is no light", 9, {".....", "#####"}, 0, {}},
      {"torus column wraps", 9, {".#", "##", ".#"}, 1, {{{0, 2}, {0, 0}}}},
      {"cylinder does not join top and bottom", 5, {".#", "##", ".#"}, 1, {}},
      {"flipped join runs on along the mirrored row", 7, {"..#", "..."}, 0,
       {{{0, 1}, {1, 1}, {2, 1}, {0, 0}, {1, 0}}}},
      {"flipped top-bottom join", 8, {"#.", "#.", ".#"}, 1, {{{0, 2}, {1, 0}, {1, 1}}}},
      {"projective plane", 12, {"#..", "..."}, 0, {{{1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}}},
      {"circular ring with a block", 3, {"#...", "...."}, 0, {{{1, 0}, {2, 0}, {3, 0}}}},
      {"circular radii", 3, {"#...", "...."}, 1, {{{1, 0}, {1, 1}}, {{2, 0}, {2, 1}}, {{3, 0}, {3, 1}}}},
      {"hex northeast", 1, {"...", "..."}, 0, {{{0, 1}, {1, 0}, {2, 0}}}},
      {"hex southeast skips the missing square", 1, {"...", "..."}, 1, {{{0, 0}, {1, 0}, {2, 1}}}},
      {"hex south", 1, {"...", "..."}, 2, {{{0, 0}, {0, 1}}, {{2, 0}, {2, 1}}}},
      {"hex rows east", 2, {"...", "...", "..."}, 0,
       {{{0, 0}, {1, 0}, {2, 0}}, {{0, 1}, {1, 1}}, {{0, 2}, {1, 2}, {2, 2}}}},
      {"hex rows southwest", 2, {"...", "...", "..."}, 2,
       {{{1, 0}, {0, 1}, {0, 2}}, {{2, 0}, {1, 1}, {1, 2}}}},
  };
  for (const lightcase& c : cases) {
    SCOPED_TRACE(c.what);
    setgrid(c.gt, c.rows);
    std::vector<sqlist> want = c.lights;
    std::sort(want.begin(), want.end());
    EXPECT_EQ(lightsin(c.d), want);
  }
}

TEST(Geometry, LightStartResults) {
  setgrid(9, {".....", "..#.."});
  int x = 2, y = 0;
  EXPECT_EQ(lightstart(x, y, 0), -1);  // closed ring
  x = 2, y = 1;
  EXPECT_EQ(lightstart(x, y, 0), 0);   // block
  x = 1, y = 1;
  EXPECT_EQ(lightstart(x, y, 0), 1);
  EXPECT_EQ(sqr(x, y), sqr(3, 1));
  EXPECT_EQ(squaresof(2, 0, 0).size(), 0u);
}

TEST(Geometry, BarsSplitLightsAndAreTestedFromBothSides) {
  setgrid(0, {"....."});
  sqarray[1][0].bars = 1;  // between (1,0) and (2,0)
  EXPECT_TRUE(isbar(1, 0, 0));
  EXPECT_TRUE(isbar(2, 0, 2));
  EXPECT_FALSE(isbar(2, 0, 0));
  sqarray[4][0].bars = 1;  // an edge leading off the grid is not an edge
  EXPECT_FALSE(isbar(4, 0, 0));
  EXPECT_EQ(lightsin(0), (std::vector<sqlist>{{{0, 0}, {1, 0}}, {{2, 0}, {3, 0}, {4, 0}}}));
  // A torus row with no block but one bar is one light starting after the bar.
  setgrid(9, {"....", "####"});
  sqarray[1][0].bars = 1;
  EXPECT_EQ(lightsin(0), (std::vector<sqlist>{{{2, 0}, {3, 0}, {0, 0}, {1, 0}}}));
}

TEST(Geometry, MergedCellsAreOneCellOfTheLight) {
  setgrid(0, {".....", "....."});
  sqarray[1][0].bars = 1;
  mergerun(1, 0, 0, 2);  // (1,0)-(2,0)-(3,0); merging removes the bar
  EXPECT_FALSE(isbar(1, 0, 0));
  EXPECT_TRUE(ismerge(2, 0, 0));
  EXPECT_TRUE(ismerge(2, 0, 2));
  for (int x = 1; x <= 3; x++) EXPECT_EQ(rep(x, 0), sqr(1, 0));
  EXPECT_EQ(mergedir(2, 0), 0);
  EXPECT_EQ(mergedir(0, 1), 0);
  int gx[MXCL], gy[MXCL];
  ASSERT_EQ(mergegroup(gx, gy, 3, 0, 0), 3);
  EXPECT_EQ(sqr(gx[2], gy[2]), sqr(3, 0));
  EXPECT_EQ(squaresof(0, 0, 0), (sqlist{{0, 0}, {1, 0}, {4, 0}}));
  // A Down light through the middle of the merged cell keeps its own square.
  int lx[MXCL], ly[MXCL];
  ASSERT_EQ(lightreps(lx, ly, 2, 1, 1), 2);
  EXPECT_EQ(sqr(lx[0], ly[0]), sqr(1, 0));
  int x = 0, y = 0;
  stepnextcell(x, y, 0);
  EXPECT_EQ(sqr(x, y), sqr(1, 0));
  stepnextcell(x, y, 0);
  EXPECT_EQ(sqr(x, y), sqr(4, 0));

  clearmerges(2, 0);
  EXPECT_FALSE(ismerge(1, 0, 0));
  EXPECT_FALSE(ismerge(2, 0, 0));
  EXPECT_EQ(rep(2, 0), sqr(2, 0));
  EXPECT_EQ(rep(3, 0), sqr(3, 0));
  setmerge(3, 0, 2, 1);  // the edge before (3,0)
  EXPECT_TRUE(ismerge(2, 0, 0));
  setmerge(2, 0, 0, 0);
  EXPECT_FALSE(ismerge(3, 0, 2));
}

TEST(Geometry, MergedRingHasSmallestSquareAsRepresentative) {
  // On a left-right join with flip the two rows form one ring of six squares.
  setgrid(7, {"...", "..."});
  for (int y = 0; y < 2; y++)
    for (int x = 0; x < 3; x++) setmerge(x, y, 0, 1);
  for (int y = 0; y < 2; y++)
    for (int x = 0; x < 3; x++) EXPECT_EQ(rep(x, y), sqr(0, 0));
  int gx[MXCL], gy[MXCL];
  EXPECT_EQ(mergegroup(gx, gy, 2, 1, 0), 6);
  int x = 1, y = 1;
  stepnextcell(x, y, 0);
  EXPECT_EQ(sqr(x, y), sqr(1, 1));
  EXPECT_FALSE(openafter(1, 1, 0));
  EXPECT_EQ(lightsin(0).size(), 0u);
  // A bar on a merged edge (only a damaged file can have it) does not split the cell.
  sqarray[1][1].bars = 1;
  EXPECT_EQ(squaresof(1, 1, 0).size(), 0u);
  EXPECT_EQ(rebuild(), 0);

  // The representative of a ring is the same whichever square the walk starts from.
  setgrid(9, {"####", "...."});
  for (int x2 = 0; x2 < 4; x2++) setmerge(x2, 1, 0, 1);
  for (int x2 = 0; x2 < 4; x2++) EXPECT_EQ(rep(x2, 1), sqr(0, 1));
}

TEST(Geometry, MergeIntoBlockIsIgnored) {
  // Merge bits touching a block can only come from a damaged file; the cell ends at the block.
  setgrid(5, {"#...", "...."});
  sqarray[0][0].merge = 1;
  sqarray[3][0].merge = 1;  // wraps onto the block
  mergerun(1, 0, 0, 1);
  EXPECT_EQ(rep(2, 0), sqr(1, 0));
  EXPECT_EQ(rep(1, 0), sqr(1, 0));
  EXPECT_EQ(rebuild(), 0);
  EXPECT_EQ(lightsin(0)[0], (sqlist{{1, 0}, {3, 0}}));
  int w = wordat(1, 0, 0, 0);
  ASSERT_GE(w, 0);
  EXPECT_EQ(words[w].nent, 2);
}

TEST(Geometry, MarkOwnershipOnMergedCells) {
  setgrid(0, {"...", "..."});
  strcpy(defcell.marktexts[0], "a");
  strcpy(defcell.marktexts[1], "b");
  strcpy(defcell.marktexts[2], "\\o");
  strcpy(defcell.marktexts[3], "\\#");
  mergerun(0, 0, 0, 2);  // across: (0,0) first, (2,0) last
  struct markcase {
    int x, y;
    const char* want[4];
  } cases[] = {
      {0, 0, {"a", "", "\\o", "\\#"}},  // left corners on the first square
      {1, 0, {"", "", "", "\\#"}},
      {2, 0, {"", "b", "", "\\#"}},     // right corners on the last
      {0, 1, {"a", "b", "\\o", "\\#"}}, // unmerged: everything
  };
  for (const markcase& c : cases)
    for (int k = 0; k < 4; k++) EXPECT_STREQ(markown(c.x, c.y, k), c.want[k]) << c.x << "," << c.y << " mark " << k;

  // Merged downwards: top corners on the upper square, bottom corners on the lower.
  setgrid(0, {".", "."});
  strcpy(defcell.marktexts[1], "b");
  strcpy(defcell.marktexts[2], "c");
  setmerge(0, 0, 1, 1);
  EXPECT_STREQ(markown(0, 0, 1), "b");
  EXPECT_STREQ(markown(0, 1, 1), "");
  EXPECT_STREQ(markown(0, 0, 2), "");
  EXPECT_STREQ(markown(0, 1, 2), "c");
  // Marks come from the representative's own properties.
  sqarray[0][0].cellrec.cellown = 1;
  strcpy(sqarray[0][0].cellrec.marktexts[2], "z");
  EXPECT_STREQ(markown(0, 1, 2), "z");
}

TEST(Geometry, CellOperations) {
  setgrid(0, {"...", "..."});
  mergerun(0, 0, 0, 1);
  square& r = sqarray[0][0];
  EXPECT_EQ(cellchar(1, 0), -2);  // empty cell: several codes
  r.charsets[0][0] = 1ULL << 4;
  EXPECT_EQ(cellchar(1, 0), 5);   // read from the representative
  r.charsets[0][0] = 0;
  EXPECT_EQ(cellchar(0, 0), -1);
  r.nchars[0] = 2;
  EXPECT_EQ(cellchar(0, 0), -3);
  r.nchars[0] = 1;
  r.cellrec.cellown = 1;
  r.cellrec.unlinked = 1;
  EXPECT_EQ(cellchar(0, 0), -3);
  EXPECT_EQ(cellchar(5, 5), -3);

  r.charsets[1][3] = 7;
  clearcell(1, 0);
  EXPECT_EQ(r.charsets[0][0], ABM_ALL);
  EXPECT_EQ(r.charsets[1][3], ABM_ALL);
  EXPECT_EQ(r.nchars[0], 1);

  // The cursor steps past the merged cell and stays put at the edge.
  cursorx = 0, cursory = 0, cursordir = 0;
  EXPECT_EQ(advancecursor(), 1);
  EXPECT_EQ(sqr(cursorx, cursory), sqr(2, 0));
  EXPECT_EQ(advancecursor(), 0);
  EXPECT_EQ(sqr(cursorx, cursory), sqr(2, 0));
  cursordir = 1;
  EXPECT_EQ(advancecursor(), 1);
  EXPECT_EQ(sqr(cursorx, cursory), sqr(2, 1));
}

TEST(Geometry, SelectLightMarksItsStart) {
  setgrid(0, {"....", "#.##"});
  sellight(2, 0, 0, 1);
  EXPECT_EQ(sqarray[0][0].lightsel, 1);
  sellight(1, 1, 1, 1);
  EXPECT_EQ(sqarray[1][0].lightsel, 2);
  sellight(3, 0, 0, 0);
  EXPECT_EQ(sqarray[0][0].lightsel, 0);
  sellight(0, 0, 1, 1);  // (0,0) starts no Down light
  sellight(2, 1, 0, 1);  // block
  EXPECT_EQ(sqarray[0][0].lightsel, 0);
  EXPECT_EQ(sqarray[2][1].lightsel, 0);
}
