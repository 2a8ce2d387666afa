// Symmetric images of squares and edges for every grid shape, the orders each grid allows, and
// the Symmetry menu's setters.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "grid/geometry.h"
#include "grid/menus.h"
#include "grid/symm.h"
#include "tests/testutil.h"

namespace {

typedef std::tuple<int, int, int> img;
typedef std::pair<int, int> sqr;

std::vector<img> images(int x, int y, int d) {
  std::vector<img> v;
  symmapply([](int x, int y, int d, void* a) { ((std::vector<img>*)a)->push_back({x, y, d}); }, &v, x, y, d);
  return v;
}

// The edges (pairs of squares) that images of an edge direction give, where both squares exist.
std::set<std::pair<sqr, sqr>> edgesof(const std::vector<img>& v) {
  std::set<std::pair<sqr, sqr>> r;
  for (auto [x, y, d] : v) {
    int nx = x, ny = y;
    stepnext(nx, ny, d);
    if (sqexists(nx, ny)) r.insert(std::minmax(sqr(x, y), sqr(nx, ny)));
  }
  return r;
}

void grid(int gt, int w, int h, int rot, int mir, int dup) {
  drawgrid(gt, std::vector<std::string>(h, std::string(w, '.')));
  rotsym = rot, mirsym = mir, dupsym = dup;
}

struct imgcase {
  int gt, w, h, rot, mir, dup, x, y, d;
  std::vector<img> want;  // sorted, without repeats
};

}  // namespace

TEST(Symm, ImagesTable) {
  resetengine();
  const imgcase cases[] = {
      {0, 15, 15, 2, 0, 0, 0, 2, 0, {{0, 2, 0}, {14, 12, 2}}},
      {0, 12, 10, 4, 0, 0, 1, 1, 0, {{1, 1, 0}, {1, 8, 3}, {10, 1, 1}, {10, 8, 2}}},
      // The quarter turns of a corner square of a 12 by 10 grid leave the grid.
      {0, 12, 10, 4, 0, 0, 11, 0, 0, {{0, 9, 2}, {11, 0, 0}}},
      {0, 5, 5, 1, 3, 0, 1, 1, 0, {{1, 1, 0}, {1, 3, 0}, {3, 1, 2}, {3, 3, 2}}},
      {0, 5, 5, 1, 2, 0, 1, 1, 1, {{1, 1, 1}, {1, 3, 3}}},
      {0, 7, 3, 1, 0, 1, 0, 1, 0, {{0, 1, 0}, {4, 1, 0}}},
      {0, 7, 3, 1, 0, 1, 3, 1, 0, {{3, 1, 0}}},  // the duplicate at x = 7 is dropped
      {0, 4, 5, 1, 0, 2, 1, 1, 0, {{1, 1, 0}, {1, 4, 0}}},
      {0, 6, 6, 1, 1, 3, 0, 0, 0, {{0, 0, 0}, {0, 3, 0}, {2, 0, 2}, {2, 3, 2}, {3, 0, 0}, {3, 3, 0}, {5, 0, 2}, {5, 3, 2}}},
      {9, 4, 4, 4, 0, 0, 0, 0, 1, {{0, 0, 1}, {0, 3, 0}, {3, 0, 2}, {3, 3, 3}}},
      // Hexagonal grids turn about the centre cell (2, 2) in sixths.
      {1, 5, 5, 6, 0, 0, 2, 0, 5, {{0, 1, 4}, {0, 3, 3}, {2, 0, 5}, {2, 4, 2}, {4, 1, 0}, {4, 3, 1}}},
      {1, 5, 5, 3, 0, 0, 2, 0, 5, {{0, 3, 3}, {2, 0, 5}, {4, 3, 1}}},
      {1, 5, 5, 4, 0, 0, 2, 0, 5, {{2, 0, 5}, {2, 4, 2}}},  // order 4 is order 2
      {1, 5, 5, 6, 0, 0, 2, 2, 0, {{2, 2, 0}, {2, 2, 1}, {2, 2, 2}, {2, 2, 3}, {2, 2, 4}, {2, 2, 5}}},
      {2, 5, 5, 6, 0, 0, 0, 2, 3, {{0, 2, 3}, {1, 0, 4}, {1, 4, 2}, {3, 0, 5}, {3, 4, 1}, {4, 2, 0}}},
      {1, 5, 5, 1, 1, 0, 0, 0, 0, {{0, 0, 0}, {4, 0, 4}}},
      // An odd column of an odd-width grid is one cell shorter.
      {1, 5, 5, 1, 2, 0, 1, 0, 2, {{1, 0, 2}, {1, 3, 5}}},
      {1, 5, 5, 1, 2, 0, 0, 0, 0, {{0, 0, 0}, {0, 4, 1}}},
      // ... and an odd row of an odd-height grid of horizontal lights.
      {2, 5, 5, 1, 1, 0, 0, 1, 0, {{0, 1, 0}, {3, 1, 3}}},
      {2, 5, 5, 1, 1, 0, 0, 0, 1, {{0, 0, 1}, {4, 0, 2}}},
      {2, 4, 5, 1, 2, 0, 1, 1, 1, {{1, 1, 1}, {1, 3, 5}}},
      {1, 6, 4, 1, 0, 1, 1, 2, 0, {{1, 2, 0}, {4, 2, 0}}},
      {2, 6, 4, 1, 0, 2, 1, 0, 2, {{1, 0, 2}, {1, 2, 2}}},
      // Circular grids turn by whole sectors; mirrors differ with the half-cell offset.
      {3, 12, 3, 3, 0, 0, 1, 2, 1, {{1, 2, 1}, {5, 2, 1}, {9, 2, 1}}},
      {3, 12, 3, 12, 0, 0, 0, 0, 0, {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}, {5, 0, 0}, {6, 0, 0}, {7, 0, 0}, {8, 0, 0}, {9, 0, 0}, {10, 0, 0}, {11, 0, 0}}},
      {3, 6, 2, 1, 1, 0, 1, 0, 0, {{1, 0, 0}, {4, 0, 2}}},
      {3, 6, 2, 1, 2, 0, 0, 1, 1, {{0, 1, 1}, {2, 1, 1}}},
      {4, 6, 2, 1, 1, 0, 1, 0, 0, {{1, 0, 0}, {5, 0, 2}}},
      {4, 6, 2, 1, 1, 0, 0, 0, 3, {{0, 0, 3}}},
      {4, 6, 2, 1, 2, 0, 1, 0, 0, {{1, 0, 0}, {2, 0, 2}}},
      {3, 4, 2, 2, 3, 0, 0, 0, 0, {{0, 0, 0}, {1, 0, 2}, {2, 0, 0}, {3, 0, 2}}},
  };
  for (const imgcase& c : cases) {
    grid(c.gt, c.w, c.h, c.rot, c.mir, c.dup);
    std::vector<img> got = images(c.x, c.y, c.d);
    SCOPED_TRACE(testing::Message() << "gtype " << c.gt << " " << c.w << "x" << c.h << " rot " << c.rot << " mir "
                                    << c.mir << " dup " << c.dup << " at " << c.x << "," << c.y << "," << c.d);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back(), img(c.x, c.y, c.d));  // the identity comes last
    std::sort(got.begin(), got.end());
    got.erase(std::unique(got.begin(), got.end()), got.end());
    EXPECT_EQ(got, c.want);
  }
}

// Under every rotation and mirror a grid allows, the images of the two sides of an edge are
// the two sides of the same edges, and every image is a square of the grid.
TEST(Symm, ImagesKeepEdgesTogether) {
  resetengine();
  struct shape {
    int gt, w, h;
  } shapes[] = {{0, 6, 6}, {0, 7, 5}, {1, 5, 5}, {1, 7, 6}, {1, 3, 4}, {2, 5, 5}, {2, 6, 7}, {2, 4, 3}, {1, 6, 5}, {2, 5, 6},
                {3, 12, 3}, {3, 9, 2}, {4, 12, 3}, {4, 10, 4}, {9, 5, 5}};
  for (const shape& s : shapes) {
    grid(s.gt, s.w, s.h, 1, 0, 0);
    unsigned rots = symmrotmask();
    for (int rot = 1; rot <= 12; rot++)
      for (int mir = 0; mir < 4; mir++) {
        if (!(rots >> rot & 1) || !symmmirok(mir)) continue;
        // Mirrors of a hexagonal grid are exact only when its offset lines are odd in number.
        if (mir && ((s.gt == 1 && !(s.w & 1)) || (s.gt == 2 && !(s.h & 1)))) continue;
        rotsym = rot, mirsym = mir;
        SCOPED_TRACE(testing::Message() << "gtype " << s.gt << " " << s.w << "x" << s.h << " rot " << rot << " mir " << mir);
        for (int x = 0; x < width; x++)
          for (int y = 0; y < height; y++)
            for (int e = 0; e < 2 * ndir(); e++) {
              if (!sqexists(x, y)) continue;
              std::vector<img> a = images(x, y, e);
              for (auto [ix, iy, id] : a) ASSERT_TRUE(sqexists(ix, iy));
              // A circle turns onto itself: no image is ever lost.
              if (gtypes[gtype].shape == SHAPE_CIRC && !mir) {
                EXPECT_EQ((int)a.size(), rot);
              }
              int nx = x, ny = y;
              stepnext(nx, ny, e);
              if (!sqexists(nx, ny)) continue;
              std::vector<img> b = images(nx, ny, (e + ndir()) % (2 * ndir()));
              EXPECT_EQ(edgesof(a), edgesof(b));
            }
      }
  }
}

TEST(Symm, AllowedOrdersAndSetters) {
  resetengine();
  struct {
    int gt, w, h;
    unsigned rots;
    int mirs, dups;  // bit m: mirror (duplication) setting m allowed
  } cases[] = {
      {0, 12, 10, 1 << 1 | 1 << 2 | 1 << 4, 15, 15},
      {12, 5, 5, 1 << 1 | 1 << 2 | 1 << 4, 15, 15},
      {1, 5, 5, 1 << 1 | 1 << 2 | 1 << 3 | 1 << 4 | 1 << 6, 15, 15},
      {1, 5, 4, 1 << 1 | 1 << 2, 15, 15},  // 5/2 + 4 is even
      {1, 6, 5, 1 << 1 | 1 << 2, 15, 15},
      {2, 4, 3, 1 << 1 | 1 << 2 | 1 << 3 | 1 << 4 | 1 << 6, 15, 15},
      {2, 4, 5, 1 << 1 | 1 << 2, 15, 15},
      {2, 5, 5, 1 << 1 | 1 << 2 | 1 << 3 | 1 << 4 | 1 << 6, 15, 15},
      {2, 5, 6, 1 << 1 | 1 << 2, 15, 15},
      {3, 12, 3, 1 << 1 | 1 << 2 | 1 << 3 | 1 << 4 | 1 << 6 | 1 << 12, 15, 1},
      {4, 9, 3, 1 << 1 | 1 << 3 | 1 << 9, 3, 1},  // odd: no up-down mirror
      {3, 7, 2, 1 << 1 | 1 << 7, 3, 1},
  };
  for (auto& c : cases) {
    grid(c.gt, c.w, c.h, 1, 0, 0);
    SCOPED_TRACE(testing::Message() << "gtype " << c.gt << " " << c.w << "x" << c.h);
    EXPECT_EQ(symmrotmask(), c.rots);
    for (int i = 0; i <= 13; i++) {
      int ok = i >= 1 && i <= 12 && (c.rots >> i & 1);
      rotsym = 1;
      EXPECT_EQ(setrotsym(i), !ok) << i;
      EXPECT_EQ(rotsym, ok ? i : 1);
    }
    for (int m = -1; m <= 4; m++) {
      int mok = m >= 0 && m < 4 && (c.mirs >> m & 1), dok = m >= 0 && m < 4 && (c.dups >> m & 1);
      mirsym = dupsym = 0;
      EXPECT_EQ(setmirsym(m), !mok) << m;
      EXPECT_EQ(setdupsym(m), !dok) << m;
      EXPECT_EQ(mirsym, mok ? m : 0);
      EXPECT_EQ(dupsym, dok ? m : 0);
    }
  }
  rotsym = 2, mirsym = 1, dupsym = 3;
  setnosymmetry();
  EXPECT_EQ(rotsym * 100 + mirsym * 10 + dupsym, 100);
}

// The menu items that follow the grid's shape: on a circle of odd width the up-down mirrors
// and the duplications are unavailable, there is no flip but both rotations, and the exports
// that need square cells are off; a plain grid is the other way round.
TEST(Symm, ItemsTheShapeEnables) {
  resetengine();
  auto on = [] {
    std::vector<int> r;
    for (itemstate s : shapeitems())
      if (s.sensitive) r.push_back(s.action);
    return r;
  };
  grid(3, 9, 3, 1, 0, 0);
  EXPECT_EQ(on(), (std::vector<int>{0x101, 0x103, 0x109, 0x200, 0x201, 0x300, ACT_ROTCW, ACT_ROTACW}));
  grid(0, 12, 10, 1, 0, 0);
  EXPECT_EQ(on(), (std::vector<int>{0x101, 0x102, 0x104, 0x200, 0x201, 0x202, 0x203, 0x300, 0x301, 0x302, 0x303,
                                    ACT_FLIP, 0x404, 0x414, 0x433, 0x443, 0x451, 0x452, 0x453}));
  grid(2, 5, 5, 1, 0, 0);
  std::vector<int> hex = on();
  EXPECT_EQ(std::count(hex.begin(), hex.end(), ACT_FLIP), 1);
  EXPECT_EQ(std::count(hex.begin(), hex.end(), 0x404), 0);
}
