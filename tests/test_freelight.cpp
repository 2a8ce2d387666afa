// Free lights: the commands that start, extend, shorten and delete them, and the path text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/undo.h"
#include "filler/filler.h"
#include "grid/freelight.h"
#include "grid/lights.h"
#include "grid/select.h"
#include "grid/zyn.h"
#include "tests/testutil.h"

namespace {

class FreeLight : public ::testing::Test {
 protected:
  void SetUp() override {
    resetengine();
    drawgrid(0, {".....", ".#...", ".....", "....."});
    selmode = SEL_CELLS;
    clearsel();
    undo_start();
  }
  void TearDown() override { filler_stop(); }
};

void at(int x, int y) { cursorx = x, cursory = y; }

std::vector<std::pair<int, int>> cells(int i) {
  std::vector<std::pair<int, int>> c;
  for (int k = 0; k < freelights[i].n; k++) c.push_back({freelights[i].x[k], freelights[i].y[k]});
  return c;
}

// Free lights of one cell each, at (i, 3), none selected.
void makelights(int n) {
  for (int i = 0; i < n; i++) {
    initfreelight(&freelights[i]);
    freelights[i].n = 1;
    freelights[i].x[0] = i % 5;
    freelights[i].y[0] = 3;
  }
  nfreelights = n;
  selmode = SEL_FREE;
  countsel();
}

void selectonly(int i) {
  for (int k = 0; k < nfreelights; k++) freelights[k].sel = k == i;
  countsel();
}

}  // namespace

TEST_F(FreeLight, StartExtendShorten) {
  at(2, 0);
  sqarray[0][0].sqflags |= SQF_SEL;
  ASSERT_EQ(flstartnew(), 0);
  EXPECT_EQ(selmode, SEL_FREE);
  EXPECT_EQ(nsel, 1);
  EXPECT_EQ(sqarray[0][0].sqflags & SQF_SEL, 0);
  ASSERT_EQ(nfreelights, 1);
  EXPECT_EQ(freelights[0].lp.dmask, 1u);
  at(2, 1);
  ASSERT_EQ(flextend(), 0);
  at(3, 1);
  ASSERT_EQ(flextend(), 0);
  EXPECT_EQ(cells(0), (std::vector<std::pair<int, int>>{{2, 0}, {2, 1}, {3, 1}}));
  ASSERT_EQ(flshorten(), 0);
  EXPECT_EQ(freelights[0].n, 2);
  EXPECT_EQ(undo_steps(), 4);
  EXPECT_EQ(unsaved, 1);
  // The free light is a word of its own.
  EXPECT_GE(wordat(0, 0, 100, 0), 0);

  // Undo brings the three cells back.
  undo_undo();
  EXPECT_EQ(freelights[0].n, 3);

  // A second Start new leaves only the new one selected; Extend needs exactly one selected.
  ASSERT_EQ(flstartnew(), 0);
  EXPECT_EQ(freelights[0].sel, 0);
  EXPECT_EQ(nsel, 1);
  freelights[0].sel = 1;
  countsel();
  EXPECT_EQ(flextend(), 1);
  EXPECT_EQ(flshorten(), 1);
}

TEST_F(FreeLight, Limits) {
  makelights(MXFL);
  {
    msgcapture cap;
    EXPECT_EQ(flstartnew(), 1);
    EXPECT_EQ(cap.msgs, std::vector<std::string>{"E:Limit on number of\nfree lights reached"});
  }
  EXPECT_EQ(nfreelights, MXFL);
  EXPECT_EQ(undo_steps(), 0);

  freelights[7].n = MXCL;
  selectonly(7);
  msgcapture cap;
  EXPECT_EQ(flextend(), 1);
  EXPECT_EQ(cap.msgs, std::vector<std::string>{"E:Limit on length of\nfree light reached"});
  EXPECT_EQ(freelights[7].n, MXCL);
}

TEST_F(FreeLight, DeletingKeepsTheCursorOnItsLight) {
  makelights(4);
  // Shortening a one-cell light deletes it; the cursor stays on the light it was on.
  cursordir = 102;
  selectonly(0);
  ASSERT_EQ(flshorten(), 0);
  ASSERT_EQ(nfreelights, 3);
  EXPECT_EQ(cursordir, 101);
  EXPECT_EQ(freelights[1].x[0], 2);

  // Deleting the selected lights keeps the others in order; a cursor on a deleted one leaves it.
  freelights[0].sel = freelights[1].sel = 1;
  countsel();
  ASSERT_EQ(fldelete(), 0);
  ASSERT_EQ(nfreelights, 1);
  EXPECT_EQ(freelights[0].x[0], 3);
  EXPECT_EQ(cursordir, 0);
  EXPECT_EQ(nsel, 0);

  selmode = SEL_CELLS;
  EXPECT_EQ(fldelete(), 1);
}

TEST_F(FreeLight, PathText) {
  makelights(1);
  const struct {
    const char* text;
    int result;
    std::vector<std::pair<int, int>> want;
    const char* error;
  } cases[] = {
      {"3,4\n5 6\n", 0, {{3, 4}, {5, 6}}, nullptr},
      {"  70, 2\n1 ,, 99999999999999999999\n", 0, {{62, 2}, {1, 62}}, nullptr},
      {"0\t0 1\n1", 0, {{0, 0}, {1, 1}}, nullptr},
      {"abc\n", 1, {}, "E:Each line must contain\ntwo numeric coordinate values\nseparated by a comma or space"},
      {"3\n", 1, {}, "E:Each line must contain\ntwo numeric coordinate values\nseparated by a comma or space"},
      {"3,-4\n", 1, {}, "E:Each line must contain\ntwo numeric coordinate values\nseparated by a comma or space"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    freelights[0].n = 1;
    freelights[0].x[0] = freelights[0].y[0] = 4;
    msgcapture cap;
    EXPECT_EQ(flsetpath(0, c.text), c.result);
    if (c.error) {
      EXPECT_EQ(cap.msgs, std::vector<std::string>{c.error});
      EXPECT_EQ(cells(0), (std::vector<std::pair<int, int>>{{4, 4}}));
    } else {
      EXPECT_TRUE(cap.msgs.empty());
      EXPECT_EQ(cells(0), c.want);
    }
  }

  // An empty text keeps the path; 250 pairs are the most.
  freelights[0].n = 1;
  EXPECT_EQ(flsetpath(0, " \n "), 0);
  EXPECT_EQ(freelights[0].n, 1);
  std::string text;
  for (int i = 0; i < MXCL; i++) text += "1 2\n";
  EXPECT_EQ(flsetpath(0, text.c_str()), 0);
  EXPECT_EQ(freelights[0].n, MXCL);
  msgcapture cap;
  EXPECT_EQ(flsetpath(0, (text + "3 4\n").c_str()), 1);
  EXPECT_EQ(cap.msgs, std::vector<std::string>{"E:Free light length limit reached"});
}

TEST_F(FreeLight, ABlockedCellGivesNoEntry) {
  makelights(1);
  ASSERT_EQ(flsetpath(0, "0,1\n1,1\n2,1\n"), 0);
  int w = wordat(0, 0, 100, 0);
  ASSERT_GE(w, 0);
  EXPECT_EQ(words[w].nent, 2);  // (1, 1) is a block
}
