// Selection: the Select menu in each mode, conversions between modes, shift-drag selection,
// clearing cells with the treatment-constraint question, and the items the selection enables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/hooks.h"
#include "core/lock.h"
#include "core/undo.h"
#include "filler/filler.h"
#include "grid/edit.h"
#include "grid/geometry.h"
#include "grid/lights.h"
#include "grid/menus.h"
#include "grid/select.h"
#include "tests/testutil.h"
#include "treatment/treatment.h"

namespace {

typedef std::vector<std::string> rows;

// The cell selection as rows: '*' selected, '.' not.
rows cellsel() {
  rows r(height, std::string(width, '.'));
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++)
      if (sqarray[x][y].sqflags & SQF_SEL) r[y][x] = '*';
  return r;
}

// The selected lights as "x,y,d" strings, in grid order.
std::vector<std::string> lightsel() {
  std::vector<std::string> r;
  for (int d = 0; d < ndir(); d++)
    for (int y = 0; y < height; y++)
      for (int x = 0; x < width; x++)
        if ((sqarray[x][y].lightsel >> d & 1) && isstartoflight(x, y, d))
          r.push_back(std::to_string(x) + "," + std::to_string(y) + "," + std::to_string(d));
  return r;
}

std::string freesel() {
  std::string r;
  for (int i = 0; i < nfreelights; i++) r += freelights[i].sel ? '1' : '0';
  return r;
}

class Select : public testing::Test {
 protected:
  void SetUp() override {
    filler_stop();
    resetengine();
    assistmode = 0;
    // Lights: across at rows 0 and 2 and (2,1)-(3,1); down in columns 0, 2, 3 and 1 is cut.
    drawgrid(0, {"....", ".#..", "...."});
    selmode = SEL_CELLS;
    clearsel();
    cursorx = cursory = cursordir = 0;
  }
  void TearDown() override {
    filler_stop();
  }
};

}  // namespace

TEST_F(Select, CurrentCellAndLight) {
  setmerge(2, 0, 0, 1);  // (2,0) and (3,0) are one cell
  rebuild();
  cursorx = 3;
  selcurcell();
  EXPECT_EQ(cellsel(), (rows{"..**", "....", "...."}));
  EXPECT_EQ(nsel, 2);  // a merged cell counts each of its squares
  selcurcell();
  EXPECT_EQ(nsel, 0);
  selcurcell();
  // Selecting a light empties the cell selection first.
  cursordir = 1;
  selcurlight();
  EXPECT_EQ(selmode, SEL_LIGHTS);
  EXPECT_EQ(lightsel(), (std::vector<std::string>{"3,0,1"}));
  EXPECT_EQ(nsel, 1);
  selcurcell();  // back in cell mode: the light selection is gone
  EXPECT_EQ(selmode, SEL_CELLS);
  EXPECT_TRUE(lightsel().empty());
  EXPECT_EQ(nsel, 2);
  // On a free light: free light mode; a free light that does not exist is ignored.
  setfreelight(0, {{0, 0}, {1, 0}});
  setfreelight(1, {{3, 2}});
  cursordir = 101;
  selcurlight();
  EXPECT_EQ(selmode, SEL_FREE);
  EXPECT_EQ(freesel(), "01");
  EXPECT_EQ(nsel, 1);
  cursordir = 102;
  selcurlight();
  EXPECT_EQ(freesel(), "01");
  // A block is no cell to select.
  cursorx = cursory = 1;
  selcurcell();
  EXPECT_EQ(nsel, 0);
}

TEST_F(Select, ConvertingBetweenCellsAndLights) {
  setmerge(1, 2, 0, 1);
  rebuild();
  selmode = SEL_LIGHTS;
  sellight(0, 2, 0, 1);  // the bottom row
  selswitchmode();
  EXPECT_EQ(selmode, SEL_CELLS);
  EXPECT_EQ(cellsel(), (rows{"....", "....", "****"}));
  // Back to lights: every light through those cells, more than before.
  selswitchmode();
  EXPECT_EQ(selmode, SEL_LIGHTS);
  EXPECT_EQ(lightsel(), (std::vector<std::string>{"0,2,0", "0,0,1", "2,0,1", "3,0,1"}));
  EXPECT_EQ(nsel, 4);
  // From free lights: the cells of every free light, selected or not; cells off the grid and
  // blocks alone are skipped or taken as they are.
  setfreelight(0, {{0, 0}, {9, 9}});
  setfreelight(1, {{3, 1}, {1, 1}});
  selmode = SEL_FREE;
  freelights[0].sel = 1;
  selswitchmode();
  EXPECT_EQ(cellsel(), (rows{"*...", ".*.*", "...."}));
}

TEST_F(Select, FreeLightCyclesOneAtATime) {
  {
    msgcapture mc;
    selfreelight();
    EXPECT_EQ(mc.msgs, (std::vector<std::string>{"E:No free lights\nhave been defined"}));
  }
  setfreelight(0, {{0, 0}});
  setfreelight(1, {{2, 2}, {3, 2}});
  setfreelight(2, {{3, 2}});
  cursorx = 3, cursory = 2;
  selfreelight();  // from cell mode: the first through the cursor cell
  EXPECT_EQ(selmode, SEL_FREE);
  EXPECT_EQ(freesel(), "010");
  selfreelight();
  EXPECT_EQ(freesel(), "001");
  selfreelight();
  EXPECT_EQ(freesel(), "100");
  freelights[2].sel = 1;  // after the highest selected
  selfreelight();
  EXPECT_EQ(freesel(), "100");
  cursorx = 1, cursory = 0;
  selmode = SEL_CELLS;
  selfreelight();  // no free light through the cursor: the first
  EXPECT_EQ(freesel(), "100");
}

TEST_F(Select, AllInvertAndNothingInEachMode) {
  selall();
  EXPECT_EQ(cellsel(), (rows{"****", "*.**", "****"}));
  sqarray[0][0].sqflags &= ~SQF_SEL;
  selinvert();
  EXPECT_EQ(cellsel(), (rows{"*...", "....", "...."}));
  EXPECT_EQ(nsel, 1);

  selmode = SEL_LIGHTS;
  selall();
  EXPECT_EQ(nsel, 6);
  sellight(0, 0, 0, 0);
  selinvert();
  EXPECT_EQ(lightsel(), (std::vector<std::string>{"0,0,0"}));
  selnothing();
  EXPECT_EQ(selmode, SEL_LIGHTS);
  EXPECT_EQ(nsel, 0);

  setfreelight(0, {{0, 0}});
  setfreelight(1, {{1, 0}});
  selmode = SEL_FREE;
  freelights[1].sel = 1;
  selinvert();
  EXPECT_EQ(freesel(), "10");
  selall();
  EXPECT_EQ(nsel, 2);
}

TEST_F(Select, CellFilters) {
  setmerge(0, 0, 0, 1);  // (0,0)-(1,0): the representative's properties count
  sqarray[0][0].cellrec.cellown = 1;
  sqarray[3][2].cellrec.cellown = 1;
  sqarray[3][2].cellrec.treatcell = 1;  // its own record
  defcell.treatcell = 1;               // every other cell by default
  sqarray[2][2].cellrec.treatcell = 1;  // ignored: not its own record
  sqarray[2][1].cellrec.cellown = 1;
  sqarray[1][1].cellrec.cellown = 1;  // a block: selected on its own
  rebuild();
  selcellsown();
  EXPECT_EQ(cellsel(), (rows{"**..", ".**.", "...*"}));
  selcellstreat();
  EXPECT_EQ(cellsel(), (rows{"..**", "*..*", "****"}));
  // Unchecked cells lie in one light only: (0,1) and (1,2); the merged cell (0,0)-(1,0) is
  // in two.
  sqarray[1][1].sqflags |= SQF_SEL;  // a block has no entry and keeps its state
  selcellsunchecked();
  EXPECT_EQ(cellsel(), (rows{"....", "**..", ".*.."}));
}

TEST_F(Select, LightFilters) {
  rebuild();
  cursorx = 2, cursory = 0, cursordir = 1;
  sellightsdir();
  EXPECT_EQ(lightsel(), (std::vector<std::string>{"0,0,1", "2,0,1", "3,0,1"}));
  sellightsdir();  // the cursor's light is selected: all in that direction are deselected
  EXPECT_TRUE(lightsel().empty());
  cursordir = 100;
  sellightsdir();  // not on a free light
  EXPECT_TRUE(lightsel().empty());

  sqarray[0][2].lightrec[0].lightown = 1;
  sqarray[3][0].lightrec[1].lightown = 1;
  sqarray[3][0].lightrec[1].ten = 1;
  deflight.ten = 1;
  sqarray[0][0].lightrec[0].ten = 1;  // not its own record: the default applies
  sqarray[2][1].lightrec[0].lightown = 1;
  rebuild();
  sellightsown();
  EXPECT_EQ(lightsel(), (std::vector<std::string>{"2,1,0", "0,2,0", "3,0,1"}));
  sellightsten();
  EXPECT_EQ(lightsel(), (std::vector<std::string>{"0,0,0", "0,0,1", "2,0,1", "3,0,1"}));

  // Checking flags: a row of five with one checked cell, crossed by a light of two.
  drawgrid(0, {"#.###", ".....", "#####"});
  rebuild();
  typedef std::vector<std::string> lights;
  struct {
    int m;
    lights want;
  } viol[] = {{1, {"0,1,0"}}, {2, {"0,1,0"}}, {4, {"0,1,0", "1,0,1"}}, {8, {}}, {12, {"0,1,0", "1,0,1"}}};
  for (auto& v : viol) {
    selviol(v.m);
    EXPECT_EQ(lightsel(), v.want) << v.m;
  }
}

TEST_F(Select, ShiftDragSelectsOrDeselects) {
  selmode = SEL_LIGHTS;
  sellight(0, 0, 0, 1);
  dragsel = -1;
  dragcell(0, 0);  // entering cell mode empties the light selection
  dragcell(1, 0);
  dragcell(1, 0);  // already in the target state
  EXPECT_EQ(cellsel(), (rows{"**..", "....", "...."}));
  EXPECT_TRUE(lightsel().empty());
  dragsel = -1;
  dragcell(1, 0);  // starting on a selected cell deselects
  dragcell(2, 0);
  dragcell(0, 0);
  EXPECT_EQ(cellsel(), (rows{"....", "....", "...."}));
  dragcell(-1, -1);  // off the grid: nothing
  dragcell(9, 0);

  rebuild();
  dragsel = -1;
  cursordir = 1;
  draglight(0, 2);
  draglight(3, 1);
  draglight(1, 1);  // a block: no light
  EXPECT_EQ(selmode, SEL_LIGHTS);
  EXPECT_EQ(lightsel(), (std::vector<std::string>{"0,0,1", "3,0,1"}));
  EXPECT_EQ(cellsel(), (rows{"....", "....", "...."}));
  cursordir = 100;
  dragsel = -1;
  draglight(2, 0);
  EXPECT_EQ(nsel, 2);
}

TEST_F(Select, ClearingCellsAsksOnceAboutTreatmentConstraints) {
  for (int x = 0; x < 4; x++) sqarray[x][0].charsets[0][0] = 1;
  sqarray[2][2].charsets[0][0] = 2;
  treattype = TT_DELETE;
  allocmode[0] = 1;
  msgconstr[0][3] = 1;
  undo_start();
  int asked = 0;
  for (int answer : {0, 1}) {
    msgcapture mc;
    static int reply, *count;
    reply = answer, count = &asked;
    ui.askyesno = [](const char*) {
      ++*count;
      return reply;
    };
    editreport r = clearallcells();
    EXPECT_TRUE(r.done && r.all && !r.shape);
    EXPECT_EQ(cellchar(0, 0), -2);
    EXPECT_EQ(cellchar(2, 2), -2);
    EXPECT_EQ(msgconstr[0][3], answer ? ABM_ALLDASH : 1);
  }
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(undo_steps(), 2);
  // With nothing to reset there is no question.
  {
    msgcapture mc;
    ui.askyesno = [](const char*) -> int { ADD_FAILURE(); return 0; };
    clearallcells();
    // A message the treatment places itself is not asked about.
    allocmode[0] = 0;
    msgconstr[0][3] = 1;
    clearallcells();
    EXPECT_EQ(msgconstr[0][3], 1u);
  }

  // Selected cells only; a light selection is made into cells first.
  sqarray[0][0].charsets[0][0] = sqarray[0][2].charsets[0][0] = sqarray[3][2].charsets[0][0] = 4;
  selmode = SEL_LIGHTS;
  sellight(0, 0, 1, 1);
  editreport r = clearselcells();
  EXPECT_EQ(selmode, SEL_CELLS);
  EXPECT_EQ(cellchar(0, 0), -2);
  EXPECT_EQ(cellchar(0, 2), -2);
  EXPECT_EQ(cellchar(3, 2), 3);
  EXPECT_EQ(r.squares, (std::vector<sqpos>{{0, 0}, {0, 1}, {0, 2}}));
}

TEST_F(Select, AnEditThatRemovesASelectedLightDropsIt) {
  rebuild();
  selmode = SEL_LIGHTS;
  sellight(0, 2, 0, 1);
  sellight(0, 0, 0, 1);
  countsel();
  EXPECT_EQ(nsel, 2);
  cursorx = 0, cursory = 2, cursordir = 0;
  editblock();
  EXPECT_EQ(nsel, 1);
  EXPECT_EQ(sqarray[0][2].lightsel, 0);
}

TEST_F(Select, ItemsTheSelectionEnables) {
  struct {
    int mode, n;
    std::vector<int> on;
  } cases[] = {
      {SEL_CELLS, 0, {}},
      {SEL_CELLS, 3, {ACT_CLEARSEL, ACT_SELCELLPROPS}},
      {SEL_LIGHTS, 0, {}},
      {SEL_LIGHTS, 2, {ACT_SELLIGHTPROPS}},
      {SEL_FREE, 1, {ACT_FLEXTEND, ACT_FLSHORTEN, ACT_FLMODIFY, ACT_FLDELETE, ACT_SELLIGHTPROPS}},
      {SEL_FREE, 2, {ACT_FLDELETE, ACT_SELLIGHTPROPS}},
  };
  for (auto& c : cases) {
    selmode = c.mode, nsel = c.n;
    std::vector<int> on;
    for (itemstate s : selitems())
      if (s.sensitive) on.push_back(s.action);
    EXPECT_EQ(on, c.on) << c.mode << " " << c.n;
  }
}

TEST_F(Select, AssistanceModeSetting) {
  EXPECT_EQ(setassistmode(2), 0);
  EXPECT_EQ(assistmode, 2);
  EXPECT_EQ(setassistmode(3), 1);
  EXPECT_EQ(setassistmode(-1), 1);
  EXPECT_EQ(assistmode, 2);
  EXPECT_EQ(setassistmode(0), 0);
  EXPECT_EQ(assistmode, 0);
}
