// Editing operations: blocks, cutouts, bars and merges with symmetry, and the whole-grid
// rearrangements, checked through the squares, the lights they make and the undo history.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/lock.h"
#include "core/undo.h"
#include "filler/filler.h"
#include "grid/edit.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/select.h"
#include "grid/symm.h"
#include "tests/testutil.h"

namespace {

typedef std::vector<std::string> rows;

// The grid as rows: '#' block, 'x' cutout, a settled letter, '.' otherwise; ' ' for a square
// that does not exist.
rows picture() {
  rows r(height, std::string(width, ' '));
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      if (!sqexists(x, y)) continue;
      const square& s = sqarray[x][y];
      int c = cellchar(x, y);
      r[y][x] = s.sqflags & SQF_BLOCK ? '#' : s.sqflags & SQF_CUTOUT ? 'x' : c > 0 ? 'A' + c - 1 : '.';
    }
  return r;
}

// Everything an edit may change, as bytes: type, size, symmetry, the squares of the grid
// (without the derived data), the free lights.
std::string docstate() {
  std::string s;
  auto put = [&s](const void* p, size_t n) { s.append((const char*)p, n); };
  int head[] = {gtype, width, height, rotsym, mirsym, dupsym, nfreelights};
  put(head, sizeof head);
  for (int x = 0; x < width; x++)
    for (int y = 0; y < height; y++) put(&sqarray[x][y], offsetof(square, ent));
  for (int i = 0; i < nfreelights; i++) {
    const freelight& f = freelights[i];
    put(&f.n, sizeof f.n);
    put(f.x, f.n * sizeof(int));
    put(f.y, f.n * sizeof(int));
    put(&f.lp, sizeof f.lp);
    put(&f.sel, 1);
  }
  return s;
}

ABM letter(char c) { return 1ULL << (c - 'A'); }

sqpos rep(int x, int y) {
  cellrep(x, y);
  return {x, y};
}

class Edit : public testing::Test {
 protected:
  void SetUp() override {
    fresh();
  }
  // Edits restart the background fill; a new grid must not be drawn under it.
  void fresh() {
    filler_stop();
    resetengine();
    assistmode = 0;
  }
  void TearDown() override {
    filler_stop();
  }
  void grid(int gt, const rows& r, int rot = 1, int mir = 0, int dup = 0) {
    fresh();
    drawgrid(gt, r);
    rotsym = rot, mirsym = mir, dupsym = dup;
    selmode = SEL_CELLS;
    undo_start();
  }
};

// A small document with a bit of everything: bars, a merged cell, a selected cell, a light
// override, a cell whose lights need not agree, two free lights, and the cursor down a light.
void richdoc(int gt) {
  drawgrid(gt, {"....#", ".x...", "....."});
  rotsym = 1, mirsym = 1, dupsym = 2;
  setbar(1, 0, 0, 1);
  setbar(2, 2, 1 + ndir(), 1);
  setmerge(0, 0, gt == 1 ? 1 : 0, 1);  // (0,0) with (1,0), along its row
  selcellgroup(0, 0, 1);
  sqarray[0][2].lightrec[0].lightown = 1;
  sqarray[0][2].lightrec[0].dmask = 3;
  square& u = sqarray[2][2];
  u.cellrec.cellown = u.cellrec.unlinked = 1;
  int last = ndir() - 1;  // the slot of the direction a flip exchanges with 0
  u.nchars[last] = 2;
  u.charsets[0][0] = letter('Q');
  u.charsets[last][1] = letter('Z');
  sqarray[0][0].charsets[0][0] = letter('A');
  setfreelight(0, {{0, 0}, {1, 1}, {2, 2}});
  setfreelight(1, {{4, 2}, {3, 2}, {9, 9}});  // a cell may lie off the grid
  freelights[1].sel = 1;
  cursorx = 2, cursory = 1, cursordir = 1;
  rebuild();
}

}  // namespace

TEST_F(Edit, SymmetricBlocksEmptiesAndCutouts) {
  grid(0, rows(15, std::string(15, '.')), 2);
  cursorx = 0, cursory = 2, cursordir = 0;
  int steps = undo_steps();
  editreport r = editblock();
  EXPECT_TRUE(r.done && !r.all && !r.shape);
  EXPECT_EQ(picture()[2][0], '#');
  EXPECT_EQ(picture()[12][14], '#');
  EXPECT_EQ(cursorx * 100 + cursory, 102);  // moved on along the light
  EXPECT_EQ(undo_steps(), steps + 1);
  EXPECT_TRUE(unsaved);
  // The report names both squares and their neighbours, sorted, once each.
  for (sqpos p : {sqpos{0, 2}, sqpos{14, 12}, sqpos{1, 2}, sqpos{14, 11}}) EXPECT_NE(std::find(r.squares.begin(), r.squares.end(), p), r.squares.end());
  EXPECT_TRUE(std::is_sorted(r.squares.begin(), r.squares.end()));
  EXPECT_EQ(std::adjacent_find(r.squares.begin(), r.squares.end()), r.squares.end());
  EXPECT_EQ(sqarray[0][0].number, 1);
  EXPECT_EQ(sqarray[0][3].number, 18);  // renumbered after the edit

  // Empty clears the contents of the cursor cell only; the image loses its block alone.
  sqarray[0][2].charsets[0][0] = letter('K');
  sqarray[14][12].charsets[0][0] = letter('L');
  sqarray[14][12].sqflags |= SQF_SEL;
  cursorx = 0;
  editempty();
  EXPECT_EQ(picture()[2][0], '.');
  EXPECT_EQ(picture()[12][14], 'L');
  EXPECT_TRUE(sqarray[14][12].sqflags & SQF_SEL);

  // A cutout (or block) takes the square out of its merged cell and drops its selection.
  cursorx = 5, cursory = 5, cursordir = 1;
  setmerge(5, 5, 0, 1);
  sqarray[5][5].sqflags = SQF_SEL;
  editcutout();
  EXPECT_EQ(sqarray[5][5].sqflags, SQF_CUTOUT);
  EXPECT_EQ(sqarray[9][9].sqflags, SQF_CUTOUT);
  EXPECT_FALSE(ismerge(6, 5, 2));
  EXPECT_EQ(cursorx * 100 + cursory, 506);

  // On a free light the cursor stays.
  setfreelight(0, {{3, 3}, {4, 4}});
  cursorx = cursory = 3, cursordir = 100;
  editblock();
  EXPECT_EQ(cursorx * 100 + cursory, 303);
  EXPECT_EQ(picture()[11][11], '#');
}

TEST_F(Edit, BarsBeforeTheCursor) {
  grid(0, {"....", "....", "...."}, 2);
  // The image of the edge before (2, 1) across is the same edge: it is set once.
  cursorx = 2, cursory = 1, cursordir = 0;
  editreport r = editbarbefore();
  EXPECT_TRUE(isbar(1, 1, 0));
  EXPECT_EQ(r.squares, (std::vector<sqpos>{{1, 1}, {2, 1}}));
  editbarbefore();
  EXPECT_FALSE(isbar(1, 1, 0));
  // Down, with its image; the light through the bar is cut in two.
  cursorx = 0, cursory = 1, cursordir = 1;
  editbarbefore();
  EXPECT_TRUE(isbar(0, 0, 1));
  EXPECT_TRUE(isbar(3, 1, 1));
  EXPECT_FALSE(isstartoflight(0, 0, 1));
  // At the top edge there is no square before: refused, no undo step.
  cursory = 0;
  int steps = undo_steps();
  EXPECT_FALSE(editbarbefore().done);
  EXPECT_EQ(undo_steps(), steps);
  // Not on a free light.
  setfreelight(0, {{0, 0}, {1, 1}});
  cursory = 1, cursordir = 100;
  EXPECT_FALSE(editbarbefore().done);
  EXPECT_FALSE(editmerge().done);
  EXPECT_TRUE(isbar(0, 0, 1));
}

TEST_F(Edit, MergesAlongOneDirection) {
  grid(0, {"....", "....", "...."}, 2);
  setbar(1, 0, 0, 1);
  setmerge(1, 0, 1, 1);  // (1,0) merged down with (1,1)
  selcellgroup(1, 0, 1);
  cursorx = 1, cursory = 0, cursordir = 0;
  editmerge();
  // Merged across with (2,0): the bar between them is gone, the merge down is cleared, and
  // the merged cell is selected as the square was.
  EXPECT_TRUE(ismerge(1, 0, 0));
  EXPECT_FALSE(isbar(1, 0, 0));
  EXPECT_FALSE(ismerge(1, 0, 1));
  EXPECT_TRUE(sqarray[2][0].sqflags & SQF_SEL);
  EXPECT_TRUE(ismerge(1, 2, 0));  // the image (2,2)-(1,2)
  filler_stop();
  EXPECT_EQ(words[wordat(0, 0, 0, 0)].nent, 3);
  // Toggling again splits both.
  editmerge();
  EXPECT_FALSE(ismerge(1, 0, 0));
  EXPECT_FALSE(ismerge(1, 2, 0));
  // A merge needs two clear squares.
  sqarray[2][0].sqflags = SQF_BLOCK;
  int steps = undo_steps();
  EXPECT_FALSE(editmerge().done);
  EXPECT_FALSE(ismerge(1, 0, 0));
  cursorx = 3;
  EXPECT_FALSE(editmerge().done);
  EXPECT_EQ(undo_steps(), steps);
}

TEST_F(Edit, FlipInTheMainDiagonal) {
  for (int gt : {0, 1, 2, 7, 10}) {
    SCOPED_TRACE(gt);
    fresh();
    richdoc(gt);
    undo_start();
    std::string before = docstate();
    editreport r = flipdiag();
    EXPECT_TRUE(r.done && r.all && r.shape);
    int swapped = gt == 0 ? 0 : gt == 1 ? 2 : gt == 2 ? 1 : gt == 7 ? 8 : 11;
    EXPECT_EQ(gtype, swapped);
    EXPECT_EQ(width * 100 + height, 305);
    EXPECT_EQ(mirsym * 10 + dupsym, 21);
    // The cursor stays on its square, along the same light.
    EXPECT_EQ(cursorx * 100 + cursory, 102);
    EXPECT_EQ(cursordir, gt == 1 || gt == 2 ? 1 : 0);
    EXPECT_EQ(freelights[0].x[1] * 100 + freelights[0].y[1], 101);
    EXPECT_EQ(freelights[1].x[1] * 100 + freelights[1].y[1], 203);
    int a = 0, b = gtypes[gtype].shape == SHAPE_RECT ? 1 : 2;
    EXPECT_TRUE(sqarray[0][1].bars >> b & 1);     // was (1,0) across
    EXPECT_EQ(rep(0, 1), sqpos(0, 0));  // was (1,0)
    EXPECT_EQ(sqarray[2][0].lightrec[b].dmask, 3u);  // was (0,2) across
    // Contents of a cell whose lights need not agree follow their directions.
    EXPECT_EQ(sqarray[2][2].nchars[a], 2);
    EXPECT_EQ(sqarray[2][2].charsets[a][1], letter('Z'));
    EXPECT_EQ(sqarray[2][2].charsets[b][0], letter('Q'));
    EXPECT_EQ(sqarray[0][0].charsets[0][0], letter('A'));
    EXPECT_EQ(getlprops(2, 0, b)->dmask, 3u);
    flipdiag();
    EXPECT_TRUE(docstate() == before);
    EXPECT_EQ(cursorx * 100 + cursory + cursordir * 10000, 10201);
    // Undo steps back over both flips.
    undo_undo();
    EXPECT_EQ(width * 100 + height, 305);
    EXPECT_TRUE(sqexists(cursorx, cursory));
    undo_undo();
    EXPECT_TRUE(docstate() == before);
  }
  // Circular grids have no diagonal to flip in.
  grid(3, {"....", "...."});
  std::string before = docstate();
  EXPECT_FALSE(flipdiag().done);
  EXPECT_TRUE(docstate() == before);
}

TEST_F(Edit, RotatingACircle) {
  grid(3, {"#...x.", "......"}, 3);
  setbar(0, 0, 1, 1);
  setmerge(5, 1, 0, 1);  // across the seam, to (0,1)
  sqarray[2][1].charsets[0][0] = letter('R');
  setfreelight(0, {{2, 1}, {3, 1}, {9, 9}});
  cursorx = 2, cursory = 1, cursordir = 0;
  std::string before = docstate();
  EXPECT_TRUE(rotategrid(1).shape);
  EXPECT_EQ(picture(), (rows{".#...x", "...R.."}));
  EXPECT_TRUE(isbar(1, 0, 1));
  EXPECT_TRUE(ismerge(0, 1, 0));
  // The free light and the cursor keep to their cells; a free light cell off the grid stays.
  EXPECT_EQ(freelights[0].x[0] * 100 + freelights[0].x[1] * 10, 340);
  EXPECT_EQ(freelights[0].x[2], 9);
  EXPECT_EQ(cursorx, 3);
  rotategrid(0);
  EXPECT_TRUE(docstate() == before);
  rotategrid(0);
  EXPECT_EQ(picture(), (rows{"...x.#", ".R...."}));
  // Other grids have nothing to rotate.
  grid(0, {"#..", "..."});
  before = docstate();
  EXPECT_FALSE(rotategrid(1).done);
  EXPECT_FALSE(rotategrid(0).done);
  EXPECT_TRUE(docstate() == before);
}

TEST_F(Edit, InsertThenDeleteGivesTheDocumentBack) {
  for (int gt : {0, 1, 2, 3, 9, 12}) {
    for (int rows_ : {0, 1})
      for (int side : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "gtype " << gt << (rows_ ? " row" : " column") << " side " << side);
        fresh();
        richdoc(gt);
        symmreduce();
        undo_start();
        std::string before = docstate();
        int cx = cursorx, cy = cursory;
        editreport r = rows_ ? insertrow(side) : insertcol(side);
        EXPECT_TRUE(r.done && r.all && r.shape);
        EXPECT_EQ(width * 100 + height, 503 + (rows_ ? 1 : 100));
        // The cursor stays on its square; the new line is fresh.
        EXPECT_EQ(cursorx * 100 + cursory, (cx + (!rows_ && !side)) * 100 + cy + (rows_ && !side));
        int line = rows_ ? cy + side : cx + side;
        for (int i = 0; i < (rows_ ? width : height); i++) {
          int x = rows_ ? i : line, y = rows_ ? line : i;
          EXPECT_TRUE(!sqexists(x, y) || sqarray[x][y].sqflags == 0) << x << "," << y;
        }
        if (rows_) cursory = line;
        else cursorx = line;
        EXPECT_TRUE(rows_ ? deleterow().shape : deletecol().shape);
        EXPECT_TRUE(docstate() == before);
      }
  }
}

TEST_F(Edit, InsertAndDeleteLimits) {
  grid(0, {"..."});
  std::string before = docstate();
  EXPECT_FALSE(deleterow().done);  // the only row
  EXPECT_TRUE(docstate() == before);
  grid(0, rows(MXSZ, "..."));
  EXPECT_FALSE(insertrow(0).done);
  EXPECT_FALSE(insertrow(1).done);
  EXPECT_EQ(height, MXSZ);
  grid(0, {std::string(MXSZ, '.')});
  EXPECT_FALSE(insertcol(1).done);
  EXPECT_TRUE(insertrow(1).done);
  EXPECT_EQ(height, 2);
}

TEST_F(Edit, AnInsertedLineCutsTheMergesAcrossIt) {
  grid(0, {"...", "...", "..."});
  setmerge(1, 0, 1, 1);  // (1,0) down with (1,1)
  setmerge(0, 2, 0, 1);  // (0,2) across with (1,2)
  cursory = 0;
  insertrow(1);
  EXPECT_FALSE(ismerge(1, 0, 1));  // not with the new square below it
  EXPECT_FALSE(ismerge(1, 2, 3));  // nor with the square it was merged with
  EXPECT_TRUE(ismerge(0, 3, 0));
}

TEST_F(Edit, InsertingMovesFreeLightCellsAndDropsThosePushedOffTheArray) {
  grid(0, {"...", "..."});
  setfreelight(0, {{0, 0}, {0, 1}, {1, 62}});
  setfreelight(1, {{2, 62}});
  setfreelight(2, {{1, 1}});
  cursorx = 1, cursory = 1, cursordir = 102;
  insertrow(0);
  const freelight& f = freelights[0];
  ASSERT_EQ(f.n, 2);
  EXPECT_EQ(f.y[0] * 10 + f.y[1], 2);
  // The free light that had only a cell at row 62 is gone; the cursor follows its free light.
  EXPECT_EQ(nfreelights, 2);
  EXPECT_EQ(freelights[1].y[0], 2);
  EXPECT_EQ(cursordir, 101);
  EXPECT_EQ(cursory, 2);
  for (int i = 0; i < nfreelights; i++)
    for (int j = 0; j < freelights[i].n; j++) EXPECT_LT(freelights[i].y[j], MXSZ);
}

TEST_F(Edit, DeletingARow) {
  // Bars below the removed row pass to the row below it; merges into it are cleared.
  grid(0, {"....", "....", "....", "...."});
  setbar(0, 1, 1, 1);
  setmerge(1, 0, 1, 1);  // (1,0) down into the removed row
  setmerge(2, 1, 1, 1);  // (2,1) down out of it
  setmerge(3, 2, 1, 1);  // below it, kept
  setfreelight(0, {{0, 1}, {1, 1}});
  setfreelight(1, {{0, 0}, {0, 1}, {0, 3}});
  setfreelight(2, {{2, 2}, {3, 1}});
  cursorx = 1, cursory = 1, cursordir = 102;
  deleterow();
  EXPECT_EQ(height, 3);
  EXPECT_TRUE(isbar(0, 1, 1));  // now between (0,1) and (0,2): the old rows 2 and 3
  EXPECT_FALSE(ismerge(1, 0, 1));
  EXPECT_FALSE(ismerge(2, 0, 1));
  EXPECT_TRUE(ismerge(3, 1, 1));
  // Free light 0 lay wholly in the row: deleted; the others lose that row's cells.
  ASSERT_EQ(nfreelights, 2);
  EXPECT_EQ(freelights[0].n, 2);
  EXPECT_EQ(freelights[0].y[1], 2);
  EXPECT_EQ(freelights[1].n, 1);
  EXPECT_EQ(cursordir, 101);  // still on the free light it was on
  cursordir = 100;
  setfreelight(1, {{1, 0}});
  cursory = 0;
  deleterow();
  EXPECT_EQ(nfreelights, 1);
  EXPECT_EQ(cursordir, 100);
  EXPECT_EQ(freelights[0].y[0], 1);  // (0,0) went with the row; (0,3) came up twice
  cursory = 0, cursordir = 101;
  setfreelight(1, {{1, 0}});
  deleterow();
  EXPECT_EQ(cursordir, 0);  // its free light is gone

  // The cursor lands on a square that exists: the last row of a hexagonal grid of odd width
  // lacks its odd columns.
  grid(1, {"...", "...", "...", "..."});
  cursorx = 1, cursory = 3;
  deleterow();
  EXPECT_EQ(height, 3);
  EXPECT_TRUE(sqexists(cursorx, cursory));
  EXPECT_EQ(abs(cursorx - 1) + abs(cursory - 2), 1);
}

TEST_F(Edit, DeletingAColumnKeepsBarsCrossingIt) {
  grid(1, {"....", "....", "...."});
  setbar(1, 1, 0, 1);  // north-east and south-east of column 1
  setbar(1, 0, 1, 1);
  cursorx = 1;
  deletecol();
  EXPECT_EQ(width, 3);
  EXPECT_TRUE(sqarray[1][1].bars & 1);
  EXPECT_TRUE(sqarray[1][0].bars & 2);
}

TEST_F(Edit, WholeGridEditsKeepOnlyTheSymmetryTheGridAllows) {
  // Threefold symmetry needs a centre cell; after a new row there is none.
  grid(1, rows(5, "....."), 3, 1, 0);
  insertrow(1);
  EXPECT_EQ(rotsym, 1);
  cursorx = cursory = 0;
  editblock();  // would trip the exactness check with the old order
  EXPECT_EQ(picture()[0][0], '#');
  // A circle of 12 radii with sixfold symmetry loses a radius: the order no longer divides it.
  grid(3, {"............", "............"}, 6, 2, 0);
  deletecol();
  EXPECT_EQ(rotsym * 10 + mirsym, 10);
  insertcol(0);
  EXPECT_EQ(rotsym, 1);
  EXPECT_TRUE(setrotsym(6) == 0 && setmirsym(2) == 0);
}
